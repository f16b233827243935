#include "shell/mainform.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), paintBox_(new QWidget(this)), statusText_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Tessarine Gift"));
  setObjectName(QStringLiteral("MainForm"));
  paintBox_->setObjectName(QStringLiteral("PaintBox1"));
  paintBox_->setAutoFillBackground(true);
  setCentralWidget(paintBox_);
  statusBar()->addWidget(statusText_, 1);
  resize(InitialWidth, InitialHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  SetStatusLine(this);
}

TMainForm::~TMainForm() { SetStatusLine(nullptr); }

void TMainForm::SetStatusText(const QString& text) {
  statusText_->setText(text);
  statusText_->repaint();
}

QString TMainForm::StatusText() const { return statusText_->text(); }
