#include "shell/solvedlg.h"

#include <QPainter>

#include <algorithm>

#include "shell/fixeddialog.h"
#include "shell/fonts.h"
#include "shell/glyphs.h"

TGauge::TGauge(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void TGauge::SetRange(std::int32_t minimum, std::int32_t maximum) {
  ChangeProgress(minimum, maximum, progress_);
}

void TGauge::SetProgress(std::int32_t progress) { ChangeProgress(minimum_, maximum_, progress); }

void TGauge::ChangeProgress(std::int32_t minimum, std::int32_t maximum, std::int32_t progress) {
  const int shown = PercentDone();
  minimum_ = minimum;
  maximum_ = std::max(minimum, maximum);
  progress_ = std::clamp(progress, minimum_, maximum_);
  if (PercentDone() != shown) repaint();
}

int TGauge::PercentDone() const {
  if (maximum_ == minimum_) return 0;
  // Wide enough for the difference of any two bounds, times 100.
  return int((std::int64_t(progress_) - minimum_) * 100 / (std::int64_t(maximum_) - minimum_));
}

void TGauge::SetColors(TColor foreColor, TColor backColor) {
  foreColor_ = foreColor;
  backColor_ = backColor;
  update();
}

QImage TGauge::Render() const {
  QImage gauge(size(), QImage::Format_RGB32);
  gauge.fill(palette().color(QPalette::Window));
  const int percent = PercentDone();
  const QColor fore = ToQColor(foreColor_);
  {
    QPainter painter(&gauge);
    const QRect circle(0, 0, width() - 1, height() - 1);
    painter.setPen(fore);
    painter.setBrush(ToQColor(backColor_));
    painter.drawEllipse(circle);
    if (percent > 0) {
      painter.setBrush(fore);
      // Qt counts sixteenths of a degree anticlockwise from three o'clock.
      painter.drawPie(circle, 90 * 16, -percent * 360 * 16 / 100);
    }
  }
  // White text combined by exclusive or turns every pixel it covers into its
  // opposite, so it reads over the slice and the rest alike. Smoothed edges
  // would come out as stray colours, so the text is drawn without them.
  QImage text(size(), QImage::Format_RGB32);
  text.fill(Qt::black);
  {
    QPainter writer(&text);
    QFont sharp = font();
    sharp.setStyleStrategy(QFont::NoAntialias);
    writer.setFont(sharp);
    writer.setPen(Qt::white);
    writer.drawText(text.rect(), Qt::AlignCenter, QString::asprintf("%d%%", percent));
  }
  QPainter combiner(&gauge);
  combiner.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  combiner.drawImage(0, 0, text);
  return gauge;
}

void TGauge::paintEvent(QPaintEvent*) { QPainter(this).drawImage(0, 0, Render()); }

TSolveDlg::TSolveDlg(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      OKBtn(new QPushButton(QStringLiteral("Stop!"), this)),
      Panel1(new QFrame(this)),
      SolveGauge(new TGauge(Panel1)),
      SpeedBar(new QSlider(Qt::Horizontal, this)) {
  setObjectName(QStringLiteral("SolveDlg"));
  setWindowTitle(QStringLiteral("Set speed"));
  setFont(DesignFont(QStringLiteral("MS Sans Serif"), -13));
  SetFixedDialogSize(*this, ClientWidth, ClientHeight);
  move(14, 334);

  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(4, 4, 63, 61);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  SolveGauge->setObjectName(QStringLiteral("SolveGauge"));
  SolveGauge->setGeometry(Panel1->contentsRect());
  SolveGauge->SetColors(RGBColor(0, 0, 255), clBtnFace);
  SolveGauge->setToolTip(QStringLiteral("Percentage complete"));

  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setGeometry(71, 4, ClientWidth - 75, 33);
  OKBtn->setIcon(GlyphIcon(TGlyph::Close));
  OKBtn->setIconSize(QSize(16, 16));
  connect(OKBtn, &QPushButton::clicked, this, &QWidget::close);

  SpeedBar->setObjectName(QStringLiteral("SpeedBar"));
  SpeedBar->setGeometry(71, 39, ClientWidth - 75, 27);
  SpeedBar->setRange(1, 10);
  SpeedBar->setValue(5);
  SpeedBar->setPageStep(1);
  SpeedBar->setTickPosition(QSlider::TicksBelow);
  SpeedBar->setTickInterval(1);

  // Every way of closing a dialog ends in finished: the button's close, the
  // close box and Escape.
  connect(this, &QDialog::finished, this, [this] {
    if (OnStop) OnStop();
  });
}
