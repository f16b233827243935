#include "platform/hourglass.h"

#include <QCursor>
#include <QGuiApplication>

THourglass::THourglass() : shown_(qGuiApp != nullptr) {
  if (shown_) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

THourglass::~THourglass() {
  if (shown_) QGuiApplication::restoreOverrideCursor();
}
