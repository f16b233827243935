#pragma once
// The picture overlay: a small tool window that keeps the whole picture in
// view while the player works. It always has the picture's aspect; the game
// fits its client size to the picture whenever the user resizes it.

#include <QWidget>

#include "game/windowstate.h"
#include "platform/bitmap.h"

// What the overlay shows of the game; the main window answers for it.
class TOverlaySource {
 public:
  // The board is built and laid out: until then the overlay shows nothing of
  // the game and asks nothing of it.
  virtual bool BoardLive() const = 0;
  // Draws the picture into a bitmap of the overlay's client size.
  virtual void PaintOverlay(TBitmap& box) = 0;
  // Snaps the window state's overlay client size to the picture's aspect.
  virtual void FitOverlay() = 0;

 protected:
  ~TOverlaySource() = default;
};

class TOverlayForm : public QWidget {
  Q_OBJECT

 public:
  // The client size follows window.OverlayClientWidth and Height whenever
  // they change; a size the user gives the window is written back there.
  TOverlayForm(TWindowState& window, TOverlaySource& source, QWidget* parent = nullptr);

  // Draws the picture afresh at the next paint (a new game, a new cut).
  void Invalidate();

 signals:
  // The user closed the window by its close box. Hiding it from the program
  // does not count.
  void Closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  TWindowState& window_;
  TOverlaySource& source_;
  TBitmap picture_;  // the picture at the client size, once the board is live
};
