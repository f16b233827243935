#pragma once
// Looking closer and moving about a zoomed board: Ctrl+wheel and the
// touchpad's pinch zoom about the pointer, the zoom commands about the view's
// centre; the wheel, the arrow keys, the scroll bars and a drag with the
// middle button or with Space held move the view; dragging something to the
// view's edge scrolls it along. The game zooms and scrolls; this turns what
// the person does into its calls. A zoom cuts the pieces again, which takes a
// moment: a scaled copy of the view shows at once, and wheel steps that come
// meanwhile are made as one zoom.

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QTimer>
#include <functional>
#include <optional>

#include "game/jigsaw.h"
#include "game/windowstate.h"

class QKeyEvent;
class QScrollBar;
class TPlayArea;

class TZoomPan : public QObject {
  Q_OBJECT

 public:
  // A call on the game through the window's one entry.
  using TRun = std::function<void(const std::function<void()>&, TJigsaw::TCommandKind)>;
  // game gives the game being played, or null before it plays.
  TZoomPan(TPlayArea& area, std::function<TJigsaw*()> game, TRun run);

  // Over the play area's right and bottom edges, while the board is larger
  // than the view: they take no room from it, so the board never changes
  // size as they come and go.
  QScrollBar* Horizontal;
  QScrollBar* Vertical;
  // View > Zoom In, Zoom Out and Whole Board, enabled while they can act.
  TMenuItemState ZoomIn{false, false}, ZoomOut{false, false}, WholeBoard{false, false};

  // steps closer (> 0) or further (< 0), about the view's centre.
  void ZoomAtCentre(int steps);
  void ShowWholeBoard();
  // The keys that zoom or move the view (+, -, =, the arrows, Space): true
  // when the key was one of them and acted.
  bool KeyPressed(const QKeyEvent& event);
  bool KeyReleased(const QKeyEvent& event);
  // The window lost the mouse and the keyboard: a drag of the view ends.
  void Cancel();
  // The scroll bars and the zoom items follow the game's board and view.
  void FollowView();

  // Pixels within this distance of the view's edge scroll it while
  // something is dragged there.
  static constexpr int EdgeZone = 24;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The board is larger than the view: there is somewhere to move it.
  bool CanPan() const;
  // A zoom about the device point, made once the events already waiting
  // have added their steps.
  void RequestZoom(QPoint device, int steps);
  void ZoomNow();
  // Shows the view as it will look at percent about the device point.
  void ShowStandIn(const TJigsaw& game, QPoint device, double percent);
  // The view moved by (dx, dy) device pixels, or to a place, made once per
  // round of events.
  void ScrollBy(int dx, int dy);
  void ScrollTo(QPoint origin);
  void ScrollNow();
  // Where the view goes when the pending scrolls are made.
  QPoint ScrollTarget() const;
  bool Wheel(const class QWheelEvent& event);
  bool Pinch(const class QNativeGestureEvent& event);
  bool Mouse(QEvent& event);
  void StartPan(Qt::MouseButton button, QPoint device);
  void EndPan();
  // The scroll per tick while the pointer is at device near the edge.
  QPoint EdgePush(QPoint device) const;
  void AutoScroll();
  void PlaceBars();

  TPlayArea& area_;
  std::function<TJigsaw*()> game_;
  TRun run_;

  // The zoom to make: steps from the current one, or the whole board, about
  // a device point; and the view as it was when it was asked for.
  int zoomSteps_ = 0;
  bool toWholeBoard_ = false;
  bool zoomQueued_ = false;
  QPoint zoomAnchor_;
  QImage zoomFrom_;
  // Fractions of a wheel notch and of a pinch step, kept for the next event.
  int wheelAngle_ = 0;
  double pinchScale_ = 0;

  std::optional<QPoint> scrollTarget_;
  bool scrollQueued_ = false;

  bool spaceHeld_ = false;
  Qt::MouseButton panButton_ = Qt::NoButton;
  QPoint panFrom_;

  Qt::MouseButtons buttons_;
  QPoint pointer_;  // device pixels
  QTimer edgeTimer_;
};
