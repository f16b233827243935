#include "shell/piecesizedlg.h"

#include <QCoreApplication>
#include <QPainter>
#include <QRadialGradient>
#include <QScreen>
#include <QStatusTipEvent>

#include <algorithm>
#include <exception>

#include "game/jigsaw.h"
#include "pieces/samplepiece.h"
#include "platform/canvas.h"
#include "platform/messagebox.h"
#include "platform/utility.h"
#include "shell/adaptcolors.h"
#include "shell/devicepixels.h"
#include "shell/fixeddialog.h"
#include "shell/flattenbuttons.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/piecesizeglyphs.h"

bool DrawSamplePiece(const TPuzzleRecord& record, TCanvas* canvas, int scalePercent, int oddness, std::int32_t style) {
  const TPictureGrid grid{record.PictureWidth, record.PictureHeight, record.Columns, record.Rows};
  return CanCutAtScale(record, scalePercent) && DrawSamplePiece(canvas, scalePercent, oddness, style, grid);
}

TLed::TLed(QWidget* parent) : QWidget(parent) { setFixedSize(Size, Size); }

void TLed::SetLit(bool lit) {
  if (lit == lit_) return;
  lit_ = lit;
  update();
}

void TLed::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  // The ring is lit from the top left, so it reads as sunk into the dialog.
  const QRectF ring(0.5, 0.5, Size - 1, Size - 1);
  QLinearGradient sunk(ring.topLeft(), ring.bottomRight());
  sunk.setColorAt(0, palette().color(QPalette::Dark));
  sunk.setColorAt(1, palette().color(QPalette::Light));
  painter.setPen(QPen(QBrush(sunk), 1));
  painter.setBrush(palette().color(QPalette::Mid));
  painter.drawEllipse(ring);
  const qreal inset = (Size - LampSize) / 2.0;
  const QRectF lamp(inset, inset, LampSize, LampSize);
  const QColor yellow = lit_ ? QColor(0xFF, 0xF0, 0x20) : QColor(0x70, 0x68, 0x10);
  QRadialGradient glow(lamp.center() - QPointF(1, 1), LampSize / 2.0);
  glow.setColorAt(0, yellow.lighter(lit_ ? 140 : 120));
  glow.setColorAt(1, yellow);
  painter.setPen(Qt::NoPen);
  painter.setBrush(glow);
  painter.drawEllipse(lamp);
}

namespace {

constexpr int MinScale = 10;
constexpr int MaxOddness = 10;
constexpr int FullScale = 100;

// A hint is "tool tip|status text"; without the bar it is both.
void SetHint(QWidget& widget, const QString& hint) {
  widget.setToolTip(TextBefore(QStringLiteral("|"), hint));
  widget.setStatusTip(hint.contains(u'|') ? hint.section(u'|', 1) : hint);
}

QFrame* LoweredPanel(QWidget* parent, const QString& name, QRect geometry) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(name);
  panel->setGeometry(geometry);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  return panel;
}

QLabel* Label(QWidget* parent, const QString& name, const QString& text, QPoint place) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->move(place);
  return label;
}

// A value panel: a scroll bar so narrow that only its arrows show, and the
// value written beside it.
QScrollBar* ValueBar(QFrame* panel, const QString& name, int minimum, int maximum) {
  auto* bar = new QScrollBar(Qt::Horizontal, panel);
  bar->setObjectName(name);
  bar->setGeometry(4, 7, 38, 17);
  bar->setRange(minimum, maximum);
  return bar;
}

QLabel* ValueLabel(QFrame* panel, const QString& name, const QString& hint) {
  auto* label = new QLabel(panel);
  label->setObjectName(name);
  label->setGeometry(48, 7, 38, 17);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  SetHint(*label, hint);
  return label;
}

struct TStyleRow {
  const char* Name;
  const char* LedName;
  const char* Hint;
};

constexpr std::array<TStyleRow, TPieceSizeDlg::StyleCount> StyleRows{{
    {"BtnClassic", "LEDClassic", "Classic|The traditional jigsaw piece style"},
    {"BtnBlip", "LEDBlip", "Blip|Straight edges and round tabs"},
    {"BtnSquare", "LEDSquare", "Squares|Straight edges and no tabs"},
    {"BtnStar", "LEDStar", "Stars|Straight edges and pointed tabs"},
    {"BtnRound", "LEDRound", "Bubbles|Curved edges and no tabs"},
    {"BtnMix", "LEDMix", "Mixture|A random mixture of all the different styles"},
}};

QToolButton* StyleButton(QWidget* parent, int index) {
  const TStyleRow& row = StyleRows[std::size_t(index)];
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(row.Name));
  button->setGeometry(8 + 37 * index, 214, 32, 32);
  button->setIcon(StyleGlyphIcon(index + 1));
  button->setIconSize(QSize(StyleGlyphSize, StyleGlyphSize));
  // Flat always, whatever the program's other tool buttons do.
  button->setAutoRaise(true);
  button->setProperty(ButtonTag, KeepOwnLook);
  SetHint(*button, QString::fromLatin1(row.Hint));
  return button;
}

TLed* StyleLed(QWidget* parent, int index) {
  auto* led = new TLed(parent);
  led->setObjectName(QString::fromLatin1(StyleRows[std::size_t(index)].LedName));
  led->move(19 + 37 * index, 248);
  return led;
}

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption, int top) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(241, top, 90, 30);
  return button;
}

const QString InsufficientResources = QStringLiteral(
    "Insufficient graphics resources to set such a large piece size - reducing the number of Windows desktop "
    "colors may help. Setting scale factor back to 100%...");

}  // namespace

TPieceSizeDlg::TPieceSizeDlg(TPieceSizeSource& source, QWidget* parent)
    : QDialog(parent),
      Panel1(LoweredPanel(this, QStringLiteral("Panel1"), {8, 11, 217, 198})),
      PaintBox1(new QWidget(Panel1)),
      BtnClassic(StyleButton(this, 0)),
      BtnBlip(StyleButton(this, 1)),
      BtnSquare(StyleButton(this, 2)),
      BtnStar(StyleButton(this, 3)),
      BtnRound(StyleButton(this, 4)),
      BtnMix(StyleButton(this, 5)),
      LEDClassic(StyleLed(this, 0)),
      LEDBlip(StyleLed(this, 1)),
      LEDSquare(StyleLed(this, 2)),
      LEDStar(StyleLed(this, 3)),
      LEDRound(StyleLed(this, 4)),
      LEDMix(StyleLed(this, 5)),
      OKBtn(Button(this, QStringLiteral("OKBtn"), QStringLiteral("OK"), 10)),
      CancelBtn(Button(this, QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), 45)),
      ApplyBtn(Button(this, QStringLiteral("ApplyBtn"), QStringLiteral("Apply"), 80)),
      Label4(Label(this, QStringLiteral("Label4"), QStringLiteral("Oddness:"), {242, 161})),
      Panel3(LoweredPanel(this, QStringLiteral("Panel3"), {241, 177, 90, 31})),
      ScrollBarOdd(ValueBar(Panel3, QStringLiteral("ScrollBarOdd"), 0, MaxOddness)),
      LabelOdd(
          ValueLabel(Panel3, QStringLiteral("LabelOdd"), QStringLiteral("Piece oddness|Change piece oddness factor"))),
      Label1(Label(this, QStringLiteral("Label1"), QStringLiteral("Set size:"), {241, 214})),
      Panel2(LoweredPanel(this, QStringLiteral("Panel2"), {241, 230, 90, 31})),
      ScrollBarScale(ValueBar(Panel2, QStringLiteral("ScrollBarScale"), MinScale, LargestScalePercent)),
      LabelScale(
          ValueLabel(Panel2, QStringLiteral("LabelScale"), QStringLiteral("Piece size|Change piece scale factor"))),
      StyleButtons{BtnClassic, BtnBlip, BtnSquare, BtnStar, BtnRound, BtnMix},
      StyleLeds{LEDClassic, LEDBlip, LEDSquare, LEDStar, LEDRound, LEDMix},
      source_(source) {
  setObjectName(QStringLiteral("PieceSizeDlg"));
  setWindowTitle(QStringLiteral("Set Piece Size and Shape"));
  setFont(DesignFont(QStringLiteral("MS Sans Serif"), -13));
  SetFixedDialogSize(*this, ClientWidth, ClientHeight);
  // Sized once they have the dialog's font.
  for (QLabel* label : {Label4, Label1}) label->adjustSize();

  PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
  PaintBox1->setGeometry(2, 2, 213, 194);
  // The preview covers every pixel of the box.
  PaintBox1->setAttribute(Qt::WA_OpaquePaintEvent);
  PaintBox1->installEventFilter(this);
  ClearPreview();

  SetHint(*OKBtn, QStringLiteral("|Press OK to apply the new size"));
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, &TPieceSizeDlg::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  // A button as OK and Cancel are, right below them.
  SetHint(*ApplyBtn, QStringLiteral("Apply changes"));
  connect(ApplyBtn, &QPushButton::clicked, this, &TPieceSizeDlg::ApplyBtnClick);

  ScrollBarOdd->setSingleStep(1);
  ScrollBarOdd->setPageStep(1);
  SetHint(*ScrollBarOdd, QStringLiteral("|Set the amount of shape irregularity"));
  ScrollBarScale->setSingleStep(10);
  ScrollBarScale->setPageStep(20);
  ScrollBarScale->setValue(FullScale);
  for (QScrollBar* bar : {ScrollBarOdd, ScrollBarScale})
    connect(bar, &QScrollBar::valueChanged, this, &TPieceSizeDlg::ScrollBarScaleChange);

  for (QToolButton* button : StyleButtons)
    connect(button, &QToolButton::clicked, this, [this, button] { BtnPieceClick(button); });
  ShowValues();
}

void TPieceSizeDlg::FormShow() {
  AdaptColors(*this);
  const TPuzzleRecord& record = source_.Record();
  // A position that differs fires the change step, which takes the scale as
  // the limit if the preview accepts it; the rest is set again below.
  ScrollBarScale->setValue(record.ScalePercent);
  ScrollBarOdd->setValue(record.Oddness);
  ShowValues();
  StyleIndex = std::clamp<std::int32_t>(record.ShapeStyle, 1, StyleCount);
  for (TLed* led : StyleLeds) led->SetLit(false);
  StyleLeds[std::size_t(StyleIndex - 1)]->SetLit(true);
  DrawPreview();
  Changed = false;
  if (const QScreen* shownOn = screen())
    move(shownOn->availableGeometry().center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
}

void TPieceSizeDlg::ScrollBarScaleChange() {
  // Setting the bar back runs this step again with the accepted scale, which
  // draws its preview.
  if (!DrawPreview()) ScrollBarScale->setValue(ScaleLimit);
  ScaleLimit = ScrollBarScale->value();
  ShowValues();
  Changed = true;
}

void TPieceSizeDlg::BtnPieceClick(QToolButton* sender) {
  for (std::size_t i = 0; i < StyleButtons.size(); ++i) {
    if (StyleButtons[i] == sender) {
      StyleLeds[i]->SetLit(true);
      StyleIndex = std::int32_t(i) + 1;
      ScrollBarScaleChange();
    } else {
      StyleLeds[i]->SetLit(false);
    }
  }
}

void TPieceSizeDlg::ApplyBtnClick() {
  StyleIndex = std::clamp<std::int32_t>(StyleIndex, 1, StyleCount);
  const auto oddness = std::int16_t(ScrollBarOdd->value());
  const std::int32_t style = StyleIndex;
  const int percent = ScrollBarScale->value();
  auto recut = [this, oddness, style, percent] { Recut(oddness, style, percent); };
  if (OnRecut)
    OnRecut(recut);
  else
    recut();
  Changed = false;
}

void TPieceSizeDlg::OKBtnClick() {
  if (Changed) ApplyBtnClick();
  accept();
}

void TPieceSizeDlg::Recut(std::int16_t oddness, std::int32_t style, int percent) {
  bool failed = false;
  try {
    source_.SetShape(oddness, style);
    source_.SetScale(percent);
  } catch (const std::exception&) {
    failed = true;
  }
  if (!failed) return;
  MessageDlg(InsufficientResources, TMsgType::Error, TMsgButtons::Ok);
  source_.SetScale(FullScale);
  // The controls show the scale the puzzle now has, so that the next Apply
  // does not try the failed one again.
  ScrollBarScale->setValue(FullScale);
}

void TPieceSizeDlg::ClearPreview() {
  // The preview has the screen's device pixels, as the board has: the piece
  // shows as sharp, and as large, as it will lie on the board.
  if (const QSize device = DeviceSize(*PaintBox1); device != QSize(preview_.Width(), preview_.Height()))
    preview_ = TBitmap(device.width(), device.height());
  const QColor background = PaintBox1->palette().color(QPalette::Window);
  preview_.Fill(RGBColor(background.red(), background.green(), background.blue()));
  PaintBox1->update();
}

bool TPieceSizeDlg::DrawPreview() {
  ClearPreview();
  previewNote_.clear();
  const TPuzzleRecord& record = source_.Record();
  const int scale = ScrollBarScale->value();
  if (!DrawSamplePiece(record, nullptr, scale, ScrollBarOdd->value(), StyleIndex)) return false;
  // The piece is drawn on a sheet of its own with room for its tabs, then
  // placed in the middle of the box.
  const int cellWidth = scale * record.PictureWidth / 100 / std::max<int>(record.Columns, 1);
  const int cellHeight = scale * record.PictureHeight / 100 / std::max<int>(record.Rows, 1);
  const TColor background = preview_.Pixel(0, 0);
  TBitmap sheet(2 * cellWidth + 8, 2 * cellHeight + 8);
  sheet.Fill(background);
  TCanvas canvas(sheet);
  DrawSamplePiece(record, &canvas, scale, ScrollBarOdd->value(), StyleIndex);
  int left = sheet.Width(), top = sheet.Height(), right = -1, bottom = -1;
  for (int y = 0; y < sheet.Height(); ++y)
    for (int x = 0; x < sheet.Width(); ++x)
      if (sheet.Pixel(x, y) != background) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  if (right < 0) return true;
  const QRect drawn(QPoint(left, top), QPoint(right, bottom));
  QImage piece = sheet.Image().copy(drawn);
  const QRect box(0, 0, preview_.Width(), preview_.Height());
  // A piece larger than the box is shown smaller, with room for the note
  // that says so.
  const int noteHeight = QFontMetrics(font()).height() * preview_.Height() / std::max(1, PaintBox1->height());
  if (piece.width() > box.width() || piece.height() > box.height()) {
    const QSize room = box.size() - QSize(8, 8 + noteHeight);
    piece = piece.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    previewNote_ = QStringLiteral("Shown at %1 % of its size").arg(100 * piece.width() / drawn.width());
  }
  QPainter painter(&preview_.Image());
  const int noteRoom = previewNote_.isEmpty() ? 0 : noteHeight;
  painter.drawImage(QPoint((box.width() - piece.width()) / 2, (box.height() - noteRoom - piece.height()) / 2), piece);
  if (!previewNote_.isEmpty()) {
    QFont note = font();
    note.setPixelSize(std::max(1, note.pixelSize() * preview_.Height() / std::max(1, PaintBox1->height())));
    painter.setFont(note);
    painter.setPen(PaintBox1->palette().color(QPalette::WindowText));
    painter.drawText(QRect(0, box.height() - noteRoom - 2, box.width(), noteRoom), Qt::AlignCenter, previewNote_);
  }
  return true;
}

void TPieceSizeDlg::ShowValues() {
  LabelScale->setText(QStringLiteral("%1%").arg(ScrollBarScale->value()));
  LabelOdd->setText(QString::number(ScrollBarOdd->value()));
}

bool TPieceSizeDlg::event(QEvent* event) {
  // The status texts of the dialog's controls show on the main window's
  // status line, as those of its own controls do.
  if (event->type() == QEvent::StatusTip && parentWidget()) {
    QCoreApplication::sendEvent(parentWidget(), event);
    return true;
  }
  return QDialog::event(event);
}

bool TPieceSizeDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == PaintBox1 && event->type() == QEvent::Paint) {
    QPainter painter(PaintBox1);
    DrawDevicePixels(painter, preview_.Image(), PaintBox1->rect(), PaintBox1->devicePixelRatioF());
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void ChoosePieceSize(TPieceSizeDlg& dialog) {
  dialog.FormShow();
  ShowModal(dialog);
}
