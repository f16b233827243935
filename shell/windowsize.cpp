// The main window's size on its screen: where it opens, the least size it
// keeps, and the play area a resumed game brings back.

#include <QLayout>
#include <QMenuBar>
#include <QScreen>

#include <algorithm>
#include <cmath>

#include "shell/mainform.h"
#include "shell/playarea.h"
#include "shell/speedbar.h"
#include "shell/traybarview.h"

void TMainForm::SetLeastSize() {
  constexpr int StatusTextRoom = 120;
  const int toolbar = SpeedBar->childrenRect().right() + SpeedBar->childrenRect().left();
  const int status = SolvedStatus->minimumWidth() + TimerStatus->minimumWidth() + StatusTextRoom;
  const int width = std::max({menuBar()->sizeHint().width(), toolbar, status, LeastBoardWidth});
  const int height = menuBar()->sizeHint().height() + SpeedBar->height() + TTrayBarView::BarHeight +
                     StatusLine->height() + LeastBoardHeight;
  setMinimumSize(width, height);
}

void TMainForm::OpenToFitTheScreen() {
  const QSize least(InitialWidth, InitialHeight);
  const QScreen* shownOn = screen();
  if (!shownOn) {
    resize(least);
    return;
  }
  const QSize available = shownOn->availableGeometry().size();
  // Each side by the square root of four fifths: four fifths of the area.
  const double side = std::sqrt(0.8);
  resize(QSize(int(available.width() * side), int(available.height() * side))
             .expandedTo(least)
             .expandedTo(minimumSize())
             .boundedTo(available));
  CentreOnScreen();
}

void TMainForm::CentreOnScreen() {
  const QScreen* shownOn = screen();
  if (!shownOn) return;
  QRect frame(QPoint(), frameGeometry().size());
  frame.moveCenter(shownOn->availableGeometry().center());
  move(frame.topLeft());
}

void TMainForm::TakePlayAreaSize(int boardWidth, int boardHeight) {
  const QScreen* shownOn = screen();
  if (!shownOn || boardWidth <= 0 || boardHeight <= 0) return;
  // Board pixels are device pixels of the play area. A size larger than the
  // screen is held to it before anything is added to it.
  const qreal ratio = PaintBox1->devicePixelRatioF();
  const QSize screenSize = shownOn->availableGeometry().size();
  const QSize wanted = QSize(int(std::min<qreal>(boardWidth / ratio, screenSize.width())),
                             int(std::min<qreal>(boardHeight / ratio, screenSize.height())));
  if (wanted.isEmpty()) return;
  savedPlayArea_ = wanted;
  FitPlayArea();
}

void TMainForm::FitPlayArea() {
  const QScreen* shownOn = screen();
  if (!shownOn || savedPlayArea_.isEmpty()) return;
  // The bars that the game has shown take their places first.
  centralWidget()->layout()->activate();
  const QSize around = size() - PaintBox1->size();
  const QSize frame = frameGeometry().size() - size();
  const QSize room = shownOn->availableGeometry().size() - frame;
  resize((savedPlayArea_ + around).expandedTo(minimumSize()).boundedTo(room));
  CentreOnScreen();
}
