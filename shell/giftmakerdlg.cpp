#include "shell/giftmakerdlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QStandardPaths>
#include <QToolButton>
#include <QVBoxLayout>

#include <new>

#include "game/colornames.h"
#include "game/cut.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/packedrecord.h"
#include "platform/random.h"
#include "platform/utility.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/musicplayer.h"
#include "shell/piecesizeglyphs.h"

namespace {

const char* const shapeNames[] = {"Classic", "Blip", "Square", "Star", "Round", "Mix"};
const char* const outlineNames[] = {"None", "Paper", "Card", "Wood"};

TColor FromQColor(const QColor& color) { return RGBColor(color.red(), color.green(), color.blue()); }

// A font chosen in the font dialog as the trailer keeps it: its pixel
// height when it has one, else its size in points.
TFontSpec SpecFromFont(const QFont& font, TColor ink) {
  TFontSpec kept;
  kept.Color = ink;
  kept.Height = std::int16_t(font.pixelSize() > 0 ? -font.pixelSize() : std::max(1, qRound(font.pointSizeF())));
  kept.Pitch = font.fixedPitch() ? 2 : 0;
  kept.Style = std::uint8_t((font.bold() ? fsBold : 0) | (font.italic() ? fsItalic : 0) |
                            (font.underline() ? fsUnderline : 0) | (font.strikeOut() ? fsStrikeOut : 0));
  bool western = false;
  const QString family = font.family().left(qsizetype(TFontSpec::NameCapacity));
  ToWindows1252(family, &western);
  kept.Name = western ? family : QStringLiteral("DejaVu Sans");
  return kept;
}

// Where a new gift is offered to be saved: the pictures' folder, else home.
QString SaveFolder() {
  for (const auto location : {QStandardPaths::PicturesLocation, QStandardPaths::HomeLocation}) {
    const QString folder = QStandardPaths::writableLocation(location);
    if (QFileInfo(folder).isDir()) return folder;
  }
  return {};
}

QString SafeFileName(const QString& title) {
  QString name;
  for (const QChar c : title) name += c.isLetterOrNumber() || c == u' ' || c == u'-' ? c : QChar(u'_');
  name = name.simplified();
  return name.isEmpty() ? QStringLiteral("gift") : name;
}

}  // namespace

TCutPreview::TCutPreview(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Preview"));
  setMinimumSize(320, 240);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TCutPreview::SetPicture(const TBitmap* picture) {
  picture_ = picture;
  Rescale();
}

void TCutPreview::SetCut(const TPuzzleRecord& record) {
  record_ = record;
  Recut();
}

void TCutPreview::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Rescale();
}

void TCutPreview::Rescale() {
  shown_ = {};
  if (picture_ && !picture_->Image().isNull()) {
    const QSize room = (QSizeF(size()) * devicePixelRatioF()).toSize();
    const QSize fit = picture_->Image().size().scaled(room, Qt::KeepAspectRatio).boundedTo(picture_->Image().size());
    if (!fit.isEmpty())
      shown_ = picture_->Image()
                   .scaled(fit, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   .convertToFormat(QImage::Format_RGB32);
  }
  Recut();
}

// The cut at the shown size is the one the player makes for a board of that
// size: the grid fitted to the whole picture, the seed, oddness and shape
// drawn out at the scale of the pieces.
void TCutPreview::Recut() {
  lines_ = {};
  if (!shown_.isNull() && picture_) {
    TPuzzleRecord record = record_;
    FitGrid(record, record.RequestedPieces, picture_->Width(), picture_->Height());
    record.CutWidth = std::uint16_t(shown_.width());
    record.CutHeight = std::uint16_t(shown_.height());
    if (record.Columns <= record.CutWidth && record.Rows <= record.CutHeight) {
      // The program's generator carries on for the game as if the preview
      // had never drawn from it.
      const std::uint32_t gameState = RandSeed();
      // Nor does the game's status line show the preview's progress.
      const TStatusSilence silence;
      try {
        SetRandSeed(record.Seed);
        const TCut cut = Cut(record, false);
        lines_ = QImage(cut.Width(), cut.Height(), QImage::Format_ARGB32_Premultiplied);
        const auto labels = cut.Labels();
        for (int y = 0; y < cut.Height(); ++y) {
          auto* line = reinterpret_cast<QRgb*>(lines_.scanLine(y));
          const std::uint8_t* label = labels.data() + std::size_t(y) * std::size_t(cut.Width());
          for (int x = 0; x < cut.Width(); ++x) line[x] = label[x] ? 0xFFFFFFFFu : 0u;
        }
      } catch (const EError&) {
        lines_ = {};
      } catch (const std::bad_alloc&) {
        lines_ = {};
      }
      SetRandSeed(gameState);
    }
  }
  update();
}

void TCutPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (shown_.isNull()) {
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("Drop a picture here, or choose one with \"Choose Picture...\""));
    return;
  }
  const QSizeF logical = QSizeF(shown_.size()) / devicePixelRatioF();
  const QRectF target(QPointF((width() - logical.width()) / 2, (height() - logical.height()) / 2), logical);
  painter.drawImage(target, shown_);
  if (!lines_.isNull()) {
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.drawImage(target, lines_);
  }
}

TGiftMakerDlg::TGiftMakerDlg(TGiftMakerHost host, QWidget* parent)
    : QDialog(parent),
      Preview(new TCutPreview(this)),
      PicturePath(new QLineEdit(this)),
      PictureBtn(new QPushButton(QStringLiteral("&Choose Picture..."), this)),
      PictureInfo(new QLabel(this)),
      Pieces(new QSpinBox(this)),
      GridInfo(new QLabel(this)),
      Shapes(new QButtonGroup(this)),
      Oddness(new QSpinBox(this)),
      NewCutBtn(new QPushButton(QStringLiteral("&New cut"), this)),
      Outline(new QComboBox(this)),
      Rotation(new QCheckBox(QStringLiteral("Pieces start &turned and can be rotated"), this)),
      BoardColorBtn(new QPushButton(QStringLiteral("&Board colour..."), this)),
      Title(new QLineEdit(this)),
      Creator(new QLineEdit(this)),
      Description(new QPlainTextEdit(this)),
      OpeningText(new QPlainTextEdit(this)),
      ClosingText(new QPlainTextEdit(this)),
      OpeningFontBtn(new QPushButton(this)),
      OpeningColorBtn(new QPushButton(QStringLiteral("Paper..."), this)),
      ClosingFontBtn(new QPushButton(this)),
      ClosingColorBtn(new QPushButton(QStringLiteral("Paper..."), this)),
      MusicPath(new QLineEdit(this)),
      MusicBtn(new QPushButton(QStringLiteral("Choose &Music..."), this)),
      ListenBtn(new QPushButton(QStringLiteral("&Listen"), this)),
      NoMusicBtn(new QPushButton(QStringLiteral("No music"), this)),
      ProblemLabel(new QLabel(this)),
      SaveBtn(new QPushButton(QStringLiteral("&Save Gift..."), this)),
      PlayBtn(new QPushButton(QStringLiteral("&Play It"), this)),
      CloseBtn(new QPushButton(QStringLiteral("Close"), this)),
      host_(std::move(host)),
      trailer_(NewGiftTrailer()) {
  setObjectName(QStringLiteral("GiftMakerDlg"));
  setWindowTitle(QStringLiteral("Make a Jigsaw Gift"));
  setModal(false);
  setSizeGripEnabled(true);
  setAcceptDrops(true);

  // The picture, large, with the cut over it.
  auto* pictureRow = new QHBoxLayout;
  PicturePath->setObjectName(QStringLiteral("PicturePath"));
  PicturePath->setPlaceholderText(QStringLiteral("A picture: JPEG, PNG, WebP, BMP..."));
  pictureRow->addWidget(PicturePath, 1);
  PictureBtn->setObjectName(QStringLiteral("PictureBtn"));
  pictureRow->addWidget(PictureBtn);
  PictureInfo->setObjectName(QStringLiteral("PictureInfo"));
  auto* left = new QVBoxLayout;
  left->addWidget(Preview, 1);
  left->addLayout(pictureRow);
  left->addWidget(PictureInfo);

  // The cut.
  auto* cutBox = new QGroupBox(QStringLiteral("Pieces"), this);
  auto* cutForm = new QGridLayout(cutBox);
  Pieces->setObjectName(QStringLiteral("Pieces"));
  Pieces->setRange(2, 10000);
  Pieces->setValue(trailer_.RequestedPieces);
  Pieces->setGroupSeparatorShown(true);
  GridInfo->setObjectName(QStringLiteral("GridInfo"));
  cutForm->addWidget(new QLabel(QStringLiteral("Ho&w many:"), cutBox), 0, 0);
  cutForm->addWidget(Pieces, 0, 1);
  cutForm->addWidget(GridInfo, 0, 2, 1, 2);
  static_cast<QLabel*>(cutForm->itemAtPosition(0, 0)->widget())->setBuddy(Pieces);
  auto* shapeRow = new QHBoxLayout;
  for (int style = 1; style <= 6; ++style) {
    auto* button = new QToolButton(cutBox);
    button->setObjectName(QStringLiteral("Shape%1").arg(style));
    button->setCheckable(true);
    button->setIcon(StyleGlyphIcon(style));
    button->setIconSize(QSize(StyleGlyphSize, StyleGlyphSize));
    button->setText(QLatin1String(shapeNames[style - 1]));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setToolTip(QStringLiteral("%1 pieces").arg(QLatin1String(shapeNames[style - 1])));
    Shapes->addButton(button, style);
    shapeRow->addWidget(button);
  }
  // Six buttons of one width, the widest caption's.
  int shapeWidth = 0;
  for (QAbstractButton* button : Shapes->buttons()) shapeWidth = std::max(shapeWidth, button->sizeHint().width());
  for (QAbstractButton* button : Shapes->buttons()) button->setMinimumWidth(shapeWidth);
  Shapes->setExclusive(true);
  Shapes->button(int(trailer_.ShapeStyle))->setChecked(true);
  cutForm->addWidget(new QLabel(QStringLiteral("Shape:"), cutBox), 1, 0);
  cutForm->addLayout(shapeRow, 1, 1, 1, 3);
  Oddness->setObjectName(QStringLiteral("Oddness"));
  Oddness->setRange(0, 10);
  Oddness->setValue(trailer_.Oddness);
  Oddness->setToolTip(QStringLiteral("How irregular the cut is; 0 is a straight grid"));
  auto* oddLabel = new QLabel(QStringLiteral("O&ddness:"), cutBox);
  oddLabel->setBuddy(Oddness);
  cutForm->addWidget(oddLabel, 2, 0);
  cutForm->addWidget(Oddness, 2, 1);
  NewCutBtn->setObjectName(QStringLiteral("NewCutBtn"));
  NewCutBtn->setToolTip(QStringLiteral("Cut the same pieces another way"));
  cutForm->addWidget(NewCutBtn, 2, 2);
  Outline->setObjectName(QStringLiteral("Outline"));
  for (const char* name : outlineNames) Outline->addItem(QLatin1String(name));
  Outline->setCurrentIndex(int(trailer_.OutlineStyle));
  auto* outlineLabel = new QLabel(QStringLiteral("O&utline:"), cutBox);
  outlineLabel->setBuddy(Outline);
  cutForm->addWidget(outlineLabel, 3, 0);
  cutForm->addWidget(Outline, 3, 1);
  BoardColorBtn->setObjectName(QStringLiteral("BoardColorBtn"));
  cutForm->addWidget(BoardColorBtn, 3, 2);
  Rotation->setObjectName(QStringLiteral("Rotation"));
  cutForm->addWidget(Rotation, 4, 0, 1, 4);
  cutForm->setColumnStretch(3, 1);

  // The texts, with what the gift can hold.
  auto* textBox = new QGroupBox(QStringLiteral("Words"), this);
  auto* textForm = new QGridLayout(textBox);
  struct TTextRow {
    QWidget* Field;
    const char* ObjectName;
    const char* Label;
  };
  const TTextRow rows[] = {{Title, "Title", "T&itle:"},
                           {Creator, "Creator", "&From:"},
                           {Description, "Description", "&About:"},
                           {OpeningText, "OpeningText", "&Opening:"},
                           {ClosingText, "ClosingText", "C&losing:"}};
  const auto fields = GiftTextFields();
  for (int i = 0; i < 5; ++i) {
    rows[i].Field->setObjectName(QLatin1String(rows[i].ObjectName));
    auto* label = new QLabel(QLatin1String(rows[i].Label), textBox);
    label->setBuddy(rows[i].Field);
    textForm->addWidget(label, i, 0, Qt::AlignTop);
    textForm->addWidget(rows[i].Field, i, 1);
    auto* counter = new QLabel(textBox);
    counter->setObjectName(QStringLiteral("%1Count").arg(QLatin1String(rows[i].ObjectName)));
    counter->setToolTip(QStringLiteral("Characters used of the %1 the gift holds (a line break counts as two)")
                            .arg(fields[std::size_t(i)].Capacity));
    counters_.append(counter);
    auto* side = new QVBoxLayout;
    side->addWidget(counter);
    if (i == 3 || i == 4) {
      QPushButton* font = i == 3 ? OpeningFontBtn : ClosingFontBtn;
      QPushButton* color = i == 3 ? OpeningColorBtn : ClosingColorBtn;
      font->setObjectName(i == 3 ? QStringLiteral("OpeningFontBtn") : QStringLiteral("ClosingFontBtn"));
      color->setObjectName(i == 3 ? QStringLiteral("OpeningColorBtn") : QStringLiteral("ClosingColorBtn"));
      color->setToolTip(QStringLiteral("The colour behind the message"));
      side->addWidget(font);
      side->addWidget(color);
    }
    side->addStretch();
    textForm->addLayout(side, i, 2);
  }
  Title->setToolTip(QStringLiteral("Shown in \"About this Jigsaw\""));
  Creator->setText(trailer_.Creator);
  Description->setPlaceholderText(QStringLiteral("A few words for \"About this Jigsaw\" (optional)"));
  OpeningText->setPlainText(trailer_.OpeningText);
  ClosingText->setPlainText(trailer_.ClosingText);
  for (QPlainTextEdit* edit : {Description, OpeningText, ClosingText}) {
    edit->setTabChangesFocus(true);
    edit->setMinimumHeight(3 * fontMetrics().height());
  }

  // The music.
  auto* musicBox = new QGroupBox(QStringLiteral("Music (a standard MIDI file, optional)"), this);
  auto* musicRow = new QHBoxLayout(musicBox);
  MusicPath->setObjectName(QStringLiteral("MusicPath"));
  MusicPath->setPlaceholderText(QStringLiteral("No music"));
  MusicBtn->setObjectName(QStringLiteral("MusicBtn"));
  ListenBtn->setObjectName(QStringLiteral("ListenBtn"));
  NoMusicBtn->setObjectName(QStringLiteral("NoMusicBtn"));
  musicRow->addWidget(MusicPath, 1);
  musicRow->addWidget(MusicBtn);
  musicRow->addWidget(ListenBtn);
  musicRow->addWidget(NoMusicBtn);
  ListenBtn->setVisible(host_.Music != nullptr);

  // The settings keep the room their texts need, the messages shrinking to
  // a few lines on a small screen; the picture takes the rest.
  for (QGroupBox* box : {cutBox, musicBox}) box->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
  textBox->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
  auto* right = new QVBoxLayout;
  right->addWidget(cutBox);
  right->addWidget(textBox, 1);
  right->addWidget(musicBox);

  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 3);
  columns->addLayout(right, 2);

  ProblemLabel->setObjectName(QStringLiteral("ProblemLabel"));
  ProblemLabel->setWordWrap(true);
  ProblemLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  SaveBtn->setObjectName(QStringLiteral("SaveBtn"));
  SaveBtn->setToolTip(QStringLiteral("Save the gift as a file to give"));
  PlayBtn->setObjectName(QStringLiteral("PlayBtn"));
  PlayBtn->setToolTip(QStringLiteral("Play the saved gift in this window's player"));
  PlayBtn->setEnabled(false);
  PlayBtn->setVisible(bool(host_.PlayGift));
  CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ProblemLabel, 1);
  buttons->addWidget(SaveBtn);
  buttons->addWidget(PlayBtn);
  buttons->addWidget(CloseBtn);

  auto* whole = new QVBoxLayout(this);
  whole->addLayout(columns, 1);
  whole->addLayout(buttons);

  ShowSwatch(BoardColorBtn, trailer_.BackgroundColor);
  ShowFont(OpeningFontBtn, trailer_.OpeningFont);
  ShowFont(ClosingFontBtn, trailer_.ClosingFont);
  ShowSwatch(OpeningColorBtn, ColorFromName(trailer_.OpeningColorName).value_or(clWhite));
  ShowSwatch(ClosingColorBtn, ColorFromName(trailer_.ClosingColorName).value_or(clWhite));

  connect(PictureBtn, &QPushButton::clicked, this, &TGiftMakerDlg::ChoosePicture);
  connect(PicturePath, &QLineEdit::returnPressed, this, [this] { LoadPicture(PicturePath->text()); });
  connect(MusicBtn, &QPushButton::clicked, this, &TGiftMakerDlg::ChooseMusic);
  connect(MusicPath, &QLineEdit::returnPressed, this, [this] {
    if (MusicPath->text().isEmpty()) {
      music_.clear();
      TextsChanged();
    } else {
      LoadMusic(MusicPath->text());
    }
  });
  connect(NoMusicBtn, &QPushButton::clicked, this, [this] {
    StopListening();
    music_.clear();
    MusicPath->clear();
    TextsChanged();
  });
  connect(ListenBtn, &QPushButton::clicked, this, &TGiftMakerDlg::Listen);
  if (host_.Music)
    connect(host_.Music, &TMusicPlayer::Completed, this, [this] {
      listening_ = false;
      ListenBtn->setText(QStringLiteral("&Listen"));
    });
  connect(Pieces, &QSpinBox::valueChanged, this, &TGiftMakerDlg::SettingsChanged);
  connect(Oddness, &QSpinBox::valueChanged, this, &TGiftMakerDlg::SettingsChanged);
  connect(Shapes, &QButtonGroup::idClicked, this, &TGiftMakerDlg::SettingsChanged);
  connect(NewCutBtn, &QPushButton::clicked, this, [this] {
    trailer_.Seed = QRandomGenerator::system()->generate();
    SettingsChanged();
  });
  connect(BoardColorBtn, &QPushButton::clicked, this, &TGiftMakerDlg::ChooseBoardColor);
  connect(OpeningFontBtn, &QPushButton::clicked, this,
          [this] { ChooseFont(trailer_.OpeningFont, OpeningFontBtn); });
  connect(ClosingFontBtn, &QPushButton::clicked, this,
          [this] { ChooseFont(trailer_.ClosingFont, ClosingFontBtn); });
  connect(OpeningColorBtn, &QPushButton::clicked, this,
          [this] { ChooseMessageColor(trailer_.OpeningColorName, OpeningColorBtn); });
  connect(ClosingColorBtn, &QPushButton::clicked, this,
          [this] { ChooseMessageColor(trailer_.ClosingColorName, ClosingColorBtn); });
  for (QLineEdit* edit : {Title, Creator}) connect(edit, &QLineEdit::textChanged, this, &TGiftMakerDlg::TextsChanged);
  for (QPlainTextEdit* edit : {Description, OpeningText, ClosingText})
    connect(edit, &QPlainTextEdit::textChanged, this, &TGiftMakerDlg::TextsChanged);
  connect(SaveBtn, &QPushButton::clicked, this, &TGiftMakerDlg::ChooseSaveFile);
  // The window steps aside for the game; it keeps what it holds for the
  // next gift.
  connect(PlayBtn, &QPushButton::clicked, this, [this] {
    if (savedPath_.isEmpty() || !host_.PlayGift) return;
    close();
    host_.PlayGift(savedPath_);
  });
  connect(CloseBtn, &QPushButton::clicked, this, &QDialog::close);

  // Enter in a path field loads that file; no button takes it too.
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);

  resize(1000, 680);
  SettingsChanged();
  // A path can be typed or pasted at once.
  PicturePath->setFocus();
}

TGiftMakerDlg::~TGiftMakerDlg() { StopListening(); }

QString TGiftMakerDlg::LoadPicture(const QString& path) {
  PicturePath->setText(path);
  try {
    TGiftPicture picture = TGiftPicture::FromFile(path);
    Preview->SetPicture(nullptr);
    picture_ = std::move(picture);
    pictureProblem_.clear();
    Preview->SetPicture(&picture_->Upright());
    PictureInfo->setText(QStringLiteral("%1 x %2 pixels").arg(picture_->Width()).arg(picture_->Height()));
    if (Title->text().isEmpty()) Title->setText(GiftTitleFromFileName(path));
  } catch (const EError& e) {
    pictureProblem_ = e.Message();
  } catch (const std::bad_alloc&) {
    pictureProblem_ = QStringLiteral("There is not enough memory to read the picture \"%1\"").arg(path);
  }
  SettingsChanged();
  return pictureProblem_;
}

QString TGiftMakerDlg::LoadMusic(const QString& path) {
  MusicPath->setText(path);
  StopListening();
  try {
    music_ = ReadGiftMusic(path);
    TextsChanged();
    return {};
  } catch (const EError& e) {
    music_.clear();
    MusicPath->clear();
    TextsChanged();
    ProblemLabel->setText(e.Message());
    MessageDlg(e.Message(), TMsgType::Error, TMsgButtons::Ok);
    return e.Message();
  }
}

TGiftTrailer TGiftMakerDlg::Trailer() const {
  TGiftTrailer trailer = trailer_;
  trailer.Title = Title->text();
  trailer.Creator = Creator->text();
  trailer.Description = Description->toPlainText();
  trailer.OpeningText = OpeningText->toPlainText();
  trailer.ClosingText = ClosingText->toPlainText();
  trailer.RequestedPieces = std::uint16_t(Pieces->value());
  trailer.Oddness = std::uint16_t(Oddness->value());
  trailer.ShapeStyle = std::uint32_t(std::max(1, Shapes->checkedId()));
  trailer.OutlineStyle = std::uint32_t(Outline->currentIndex());
  trailer.RotationOn = Rotation->isChecked() ? 1 : 0;
  return trailer;
}

QString TGiftMakerDlg::Problem() const {
  if (!pictureProblem_.isEmpty()) return pictureProblem_;
  if (!picture_) return QStringLiteral("Choose a picture, or drop one onto this window.");
  const TGiftTrailer trailer = Trailer();
  for (const TGiftTextField& field : GiftTextFields())
    if (const QString problem = GiftTextProblem(field, trailer.*field.Field); !problem.isEmpty()) return problem;
  return GiftGridProblem(trailer, picture_->Width(), picture_->Height());
}

void TGiftMakerDlg::SettingsChanged() {
  const TGiftTrailer trailer = Trailer();
  TPuzzleRecord record;
  record.RequestedPieces = trailer.RequestedPieces;
  record.Oddness = trailer.Oddness;
  record.ShapeStyle = std::int32_t(trailer.ShapeStyle);
  record.Seed = trailer.Seed;
  if (picture_) {
    TPuzzleRecord grid = record;
    const int pieces = FitGrid(grid, record.RequestedPieces, picture_->Width(), picture_->Height());
    GridInfo->setText(QStringLiteral("%1 x %2 = %3 pieces of about %4 x %5 pixels")
                          .arg(grid.Columns)
                          .arg(grid.Rows)
                          .arg(pieces)
                          .arg(picture_->Width() / grid.Columns)
                          .arg(picture_->Height() / grid.Rows));
  } else {
    GridInfo->clear();
  }
  Preview->SetCut(record);
  TextsChanged();
}

void TGiftMakerDlg::TextsChanged() {
  const TGiftTrailer trailer = Trailer();
  const auto fields = GiftTextFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const qsizetype used = GiftTextLength(trailer.*fields[i].Field);
    QLabel* counter = counters_[qsizetype(i)];
    counter->setText(QStringLiteral("%1 / %2").arg(used).arg(fields[i].Capacity));
    const bool wrong = !GiftTextProblem(fields[i], trailer.*fields[i].Field).isEmpty();
    counter->setStyleSheet(wrong ? QStringLiteral("color: #c00000; font-weight: bold") : QString());
  }
  const QString problem = Problem();
  ProblemLabel->setStyleSheet(problem.isEmpty() || !picture_ ? QString() : QStringLiteral("color: #c00000"));
  ProblemLabel->setText(problem);
  SaveBtn->setEnabled(problem.isEmpty());
  ListenBtn->setEnabled(!music_.isEmpty());
  NoMusicBtn->setEnabled(!music_.isEmpty());
}

void TGiftMakerDlg::ShowSwatch(QPushButton* button, TColor color) {
  QPixmap swatch(16, 16);
  swatch.fill(ToQColor(color));
  button->setIcon(QIcon(swatch));
}

void TGiftMakerDlg::ShowFont(QPushButton* button, const TFontSpec& font) {
  const QFont shown = FontFromSpec(font);
  button->setText(QStringLiteral("%1, %2...").arg(shown.family()).arg(shown.pointSize() > 0 ? shown.pointSize()
                                                                                            : shown.pixelSize()));
  button->setToolTip(QStringLiteral("The message's font and ink"));
  ShowSwatch(button, font.Color);
}

void TGiftMakerDlg::ChoosePicture() {
  QFileDialog dialog(this, QStringLiteral("Choose Picture"), SaveFolder());
  dialog.setObjectName(QStringLiteral("ChoosePictureDlg"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({QStringLiteral("Pictures (*.jpg *.jpeg *.png *.webp *.bmp *.gif *.tif *.tiff)"),
                         QStringLiteral("All files (*)")});
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (ShowModal(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    LoadPicture(dialog.selectedFiles().first());
}

void TGiftMakerDlg::ChooseMusic() {
  QFileDialog dialog(this, QStringLiteral("Choose Music"), QStandardPaths::writableLocation(QStandardPaths::MusicLocation));
  dialog.setObjectName(QStringLiteral("ChooseMusicDlg"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({QStringLiteral("MIDI files (*.mid *.midi)"), QStringLiteral("All files (*)")});
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (ShowModal(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    LoadMusic(dialog.selectedFiles().first());
}

void TGiftMakerDlg::Listen() {
  if (listening_) {
    StopListening();
    return;
  }
  if (music_.isEmpty() || !host_.Music) return;
  try {
    if (!host_.Music->Open(music_)) {
      MessageDlg(QStringLiteral("No sound device is free to play the music."), TMsgType::Information,
                 TMsgButtons::Ok);
      return;
    }
    host_.Music->Play();
    listening_ = true;
    ListenBtn->setText(QStringLiteral("S&top"));
  } catch (const EError& e) {
    MessageDlg(e.Message(), TMsgType::Error, TMsgButtons::Ok);
  }
}

void TGiftMakerDlg::StopListening() {
  if (!listening_) return;
  listening_ = false;
  ListenBtn->setText(QStringLiteral("&Listen"));
  host_.Music->Stop();
  if (host_.MusicDone) host_.MusicDone();
}

void TGiftMakerDlg::ChooseBoardColor() {
  QColorDialog dialog(ToQColor(trailer_.BackgroundColor), this);
  dialog.setWindowTitle(QStringLiteral("Board colour"));
  if (ShowModal(dialog) != QDialog::Accepted) return;
  trailer_.BackgroundColor = FromQColor(dialog.selectedColor());
  ShowSwatch(BoardColorBtn, trailer_.BackgroundColor);
}

void TGiftMakerDlg::ChooseFont(TFontSpec& font, QPushButton* button) {
  QFontDialog fonts(FontFromSpec(font), this);
  fonts.setOption(QFontDialog::DontUseNativeDialog);
  if (ShowModal(fonts) != QDialog::Accepted) return;
  QColorDialog ink(ToQColor(font.Color), this);
  ink.setWindowTitle(QStringLiteral("Colour of the message's letters"));
  const TColor color = ShowModal(ink) == QDialog::Accepted ? FromQColor(ink.selectedColor()) : font.Color;
  font = SpecFromFont(fonts.selectedFont(), color);
  ShowFont(button, font);
}

void TGiftMakerDlg::ChooseMessageColor(QString& colorName, QPushButton* button) {
  QColorDialog dialog(ToQColor(ColorFromName(colorName).value_or(clWhite)), this);
  dialog.setWindowTitle(QStringLiteral("Colour behind the message"));
  if (ShowModal(dialog) != QDialog::Accepted) return;
  const TColor color = FromQColor(dialog.selectedColor());
  colorName = ColorName(color);
  ShowSwatch(button, color);
}

QString TGiftMakerDlg::SaveGift(const QString& path) {
  QString problem = Problem();
  if (problem.isEmpty()) {
    try {
      QByteArray program;
      if (!path.endsWith(QLatin1String(".tgift"), Qt::CaseInsensitive)) {
        const QString playerPath = host_.PlayerPath ? host_.PlayerPath() : QCoreApplication::applicationFilePath();
        QFile player(playerPath);
        if (!player.open(QIODevice::ReadOnly))
          throw EError(QStringLiteral("Cannot read the player \"%1\" to copy: %2").arg(playerPath, player.errorString()));
        program = ProgramImage(player.readAll());
      }
      MakeGift(path, Trailer(), *picture_, music_, program);
    } catch (const EError& e) {
      problem = e.Message();
    } catch (const std::bad_alloc&) {
      problem = QStringLiteral("There is not enough memory to save the gift \"%1\"").arg(path);
    }
  }
  if (!problem.isEmpty()) {
    ProblemLabel->setStyleSheet(QStringLiteral("color: #c00000"));
    ProblemLabel->setText(problem);
    return problem;
  }
  savedPath_ = path;
  PlayBtn->setEnabled(true);
  ProblemLabel->setStyleSheet({});
  ProblemLabel->setText(QStringLiteral("Saved as %1").arg(path));
  return {};
}

void TGiftMakerDlg::ChooseSaveFile() {
  const QString dataFilter = QStringLiteral("Jigsaw gift, for any Tessarine Gift player (*.tgift)");
  const QString programFilter = QStringLiteral("Program gift, plays by itself on Linux like this one (*)");
  QFileDialog dialog(this, QStringLiteral("Save Gift"), SaveFolder());
  dialog.setObjectName(QStringLiteral("SaveGiftDlg"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({dataFilter, programFilter});
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.selectFile(SafeFileName(Title->text()) + QStringLiteral(".tgift"));
  if (ShowModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  QString path = dialog.selectedFiles().first();
  if (dialog.selectedNameFilter() == dataFilter && !path.endsWith(QLatin1String(".tgift"), Qt::CaseInsensitive))
    path += QStringLiteral(".tgift");
  if (const QString problem = SaveGift(path); !problem.isEmpty())
    MessageDlg(problem, TMsgType::Error, TMsgButtons::Ok);
}

void TGiftMakerDlg::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && !event->mimeData()->urls().isEmpty() &&
      event->mimeData()->urls().first().isLocalFile())
    event->acceptProposedAction();
}

void TGiftMakerDlg::dropEvent(QDropEvent* event) {
  const QString path = event->mimeData()->urls().first().toLocalFile();
  event->acceptProposedAction();
  if (path.endsWith(QLatin1String(".mid"), Qt::CaseInsensitive) ||
      path.endsWith(QLatin1String(".midi"), Qt::CaseInsensitive))
    LoadMusic(path);
  else
    LoadPicture(path);
}

void TGiftMakerDlg::hideEvent(QHideEvent* event) {
  StopListening();
  QDialog::hideEvent(event);
}

void ShowGiftMaker(QWidget* parent, const TGiftMakerHost& host) {
  auto* maker = parent->findChild<TGiftMakerDlg*>(QString(), Qt::FindDirectChildrenOnly);
  if (!maker) maker = new TGiftMakerDlg(host, parent);
  maker->show();
  maker->raise();
  maker->activateWindow();
}
