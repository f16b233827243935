#include "shell/zoompan.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "shell/fonts.h"
#include "shell/playarea.h"

namespace {

// The wheel's units in one notch, one zoom step.
constexpr int WheelNotch = 120;
// An arrow key or a wheel notch moves the view by this part of it.
constexpr int ScrollParts = 8;
constexpr int EdgeInterval = 30;  // ms between the scrolls at the edge
constexpr int EdgeSpeed = 40;     // device pixels per scroll, at the edge itself

bool DragsAlong(TMouseState state) {
  switch (state) {
    case TMouseState::Banding:
    case TMouseState::DraggingPieces:
    case TMouseState::DraggingSelection:
    case TMouseState::DraggingTray:
    case TMouseState::Resizing:
      return true;
    default:
      return false;
  }
}

// The scroll at a distance from an edge: faster the closer, fastest past it.
int Push(int distance) {
  if (distance >= TZoomPan::EdgeZone) return 0;
  return 1 + (EdgeSpeed - 1) * (TZoomPan::EdgeZone - std::max(distance, 0)) / TZoomPan::EdgeZone;
}

}  // namespace

TZoomPan::TZoomPan(TPlayArea& area, std::function<TJigsaw*()> game, TRun run)
    : QObject(&area),
      Horizontal(new QScrollBar(Qt::Horizontal, &area)),
      Vertical(new QScrollBar(Qt::Vertical, &area)),
      area_(area),
      game_(std::move(game)),
      run_(std::move(run)) {
  for (QScrollBar* bar : {Horizontal, Vertical}) {
    bar->setObjectName(bar == Horizontal ? QStringLiteral("HorzScrollBar") : QStringLiteral("VertScrollBar"));
    // The arrow keys stay the window's.
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setCursor(Qt::ArrowCursor);
    bar->hide();
    connect(bar, &QScrollBar::valueChanged, this, [this] { ScrollTo({Horizontal->value(), Vertical->value()}); });
  }
  edgeTimer_.setInterval(EdgeInterval);
  connect(&edgeTimer_, &QTimer::timeout, this, &TZoomPan::AutoScroll);
  area.installEventFilter(this);
}

bool TZoomPan::CanPan() const {
  const TJigsaw* game = game_();
  if (!game || !game->IsZoomed()) return false;
  const TSize board = game->BoardSize();
  const TRect view = game->ViewRect();
  return board.Width > view.Width() || board.Height > view.Height();
}

void TZoomPan::ZoomAtCentre(int steps) { RequestZoom({area_.Width() / 2, area_.Height() / 2}, steps); }

void TZoomPan::ShowWholeBoard() {
  TJigsaw* game = game_();
  if (!game || !game->CanZoomOut() || !(game->IsAtRest() || game->IsAnimating())) return;
  if (!zoomQueued_) zoomFrom_ = area_.Image().Image().copy();
  zoomSteps_ = 0;
  toWholeBoard_ = true;
  ShowStandIn(*game, {}, game->WholeBoardScale());
  if (!std::exchange(zoomQueued_, true)) QTimer::singleShot(0, this, &TZoomPan::ZoomNow);
}

void TZoomPan::RequestZoom(QPoint device, int steps) {
  TJigsaw* game = game_();
  // Something the mouse holds keeps the board as it is; a flash or a slide
  // is ended by the zoom.
  if (!game || steps == 0 || toWholeBoard_ || game->IsAutoSolving() || !(game->IsAtRest() || game->IsAnimating()))
    return;
  const double target = game->NextZoom(zoomSteps_ + steps);
  if (!zoomQueued_) {
    if (std::lround(target) == game->ZoomPercent()) return;
    zoomFrom_ = area_.Image().Image().copy();
  }
  zoomSteps_ += steps;
  zoomAnchor_ = device;
  ShowStandIn(*game, device, target);
  if (!std::exchange(zoomQueued_, true)) QTimer::singleShot(0, this, &TZoomPan::ZoomNow);
}

void TZoomPan::ShowStandIn(const TJigsaw& game, QPoint device, double percent) {
  if (zoomFrom_.isNull()) return;
  // The board grows by f; the device point keeps its board point, as far as
  // the board's edges let the view go.
  const double f = percent / game.ZoomPercent();
  const TSize board = game.BoardSize();
  const TRect view = game.ViewRect();
  const auto origin = [f](int anchor, int from, int boardSize, int viewSize) {
    const double most = std::max(boardSize * f - viewSize, 0.0);
    return std::clamp((anchor + from) * f - anchor, 0.0, most);
  };
  const QPointF corner(view.Left * f - origin(device.x(), view.Left, board.Width, view.Width()),
                       view.Top * f - origin(device.y(), view.Top, board.Height, view.Height()));
  QImage frame(zoomFrom_.size(), QImage::Format_RGB32);
  frame.fill(ToQColor(game.Window.Color()));
  {
    QPainter painter(&frame);
    painter.drawImage(QRectF(corner, QSizeF(zoomFrom_.size()) * f), zoomFrom_);
  }
  area_.ShowStandIn(frame);
}

void TZoomPan::ZoomNow() {
  const int steps = std::exchange(zoomSteps_, 0);
  const bool whole = std::exchange(toWholeBoard_, false);
  const QPoint anchor = area_.BoardPoint(zoomAnchor_);
  // A scroll still to come was meant for the board as it is now.
  scrollTarget_.reset();
  run_(
      [&] {
        if (TJigsaw* game = game_()) {
          if (whole)
            game->ShowWholeBoard();
          else
            game->ZoomStep(anchor.x(), anchor.y(), steps);
        }
      },
      TJigsaw::TCommandKind::Command);
  zoomQueued_ = false;
  zoomFrom_ = QImage();
  area_.DropStandIn();
  FollowView();
}

void TZoomPan::ScrollBy(int dx, int dy) {
  const QPoint at = ScrollTarget();
  ScrollTo(at + QPoint(dx, dy));
}

void TZoomPan::ScrollTo(QPoint origin) {
  if (!game_()) return;
  scrollTarget_ = origin;
  if (!std::exchange(scrollQueued_, true)) QTimer::singleShot(0, this, &TZoomPan::ScrollNow);
}

QPoint TZoomPan::ScrollTarget() const {
  if (scrollTarget_) return *scrollTarget_;
  const TJigsaw* game = game_();
  if (!game) return {};
  const TRect view = game->ViewRect();
  return {view.Left, view.Top};
}

void TZoomPan::ScrollNow() {
  scrollQueued_ = false;
  const std::optional<QPoint> target = std::exchange(scrollTarget_, std::nullopt);
  if (!target) return;
  run_(
      [&] {
        TJigsaw* game = game_();
        if (!game) return;
        game->ScrollTo(target->x(), target->y());
        // What floats stays under the pointer, which now lies over another
        // part of the board.
        if (panButton_ == Qt::NoButton && DragsAlong(game->Gesture.MouseState)) {
          const QPoint at = area_.BoardPoint(pointer_);
          game->MouseMove(at.x(), at.y());
        }
      },
      TJigsaw::TCommandKind::View);
}

bool TZoomPan::KeyPressed(const QKeyEvent& event) {
  if (!game_()) return false;
  const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
  const auto arrow = [&](int across, int down) {
    if (mods || !CanPan()) return false;
    ScrollBy(across * area_.Width() / ScrollParts, down * area_.Height() / ScrollParts);
    return true;
  };
  switch (event.key()) {
    // With Ctrl as well: a layout where the menu's shortcut does not match.
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      if (mods & ~(Qt::ShiftModifier | Qt::ControlModifier)) return false;
      ZoomAtCentre(1);
      return true;
    case Qt::Key_Minus:
      if (mods & ~Qt::ControlModifier) return false;
      ZoomAtCentre(-1);
      return true;
    case Qt::Key_Space:
      if (mods) return false;
      spaceHeld_ = true;
      if (panButton_ == Qt::NoButton && CanPan()) area_.setCursor(Qt::OpenHandCursor);
      return true;
    case Qt::Key_Left:
      return arrow(-1, 0);
    case Qt::Key_Right:
      return arrow(1, 0);
    case Qt::Key_Up:
      return arrow(0, -1);
    case Qt::Key_Down:
      return arrow(0, 1);
    default:
      return false;
  }
}

bool TZoomPan::KeyReleased(const QKeyEvent& event) {
  if (event.key() != Qt::Key_Space || event.isAutoRepeat() || !spaceHeld_) return false;
  spaceHeld_ = false;
  if (panButton_ == Qt::NoButton) area_.ShowPanCursor(false);
  return true;
}

void TZoomPan::Cancel() {
  spaceHeld_ = false;
  EndPan();
  edgeTimer_.stop();
}

bool TZoomPan::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::Wheel:
      return Wheel(*static_cast<QWheelEvent*>(event));
    case QEvent::NativeGesture:
      return Pinch(*static_cast<QNativeGestureEvent*>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
      return Mouse(*event);
    case QEvent::Resize:
      PlaceBars();
      return false;
    default:
      return false;
  }
}

bool TZoomPan::Wheel(const QWheelEvent& event) {
  if (!game_()) return false;
  const QPoint device = area_.DevicePoint(event.position());
  pointer_ = device;
  if (event.modifiers() & Qt::ControlModifier) {
    wheelAngle_ += event.angleDelta().y();
    const int steps = wheelAngle_ / WheelNotch;
    wheelAngle_ -= steps * WheelNotch;
    RequestZoom(device, steps);
    return true;
  }
  if (!CanPan()) return false;
  // A touchpad tells its pixels; a wheel its notches, each a part of the view.
  QPointF by = event.pixelDelta().isNull()
                   ? QPointF(event.angleDelta().x() * area_.Width(), event.angleDelta().y() * area_.Height()) /
                         double(WheelNotch * ScrollParts)
                   : QPointF(event.pixelDelta()) * area_.Ratio();
  // Shift turns the wheel sideways; a window system may have turned it
  // already.
  if ((event.modifiers() & Qt::ShiftModifier) && by.x() == 0) by = {by.y(), 0};
  ScrollBy(-int(std::lround(by.x())), -int(std::lround(by.y())));
  return true;
}

bool TZoomPan::Pinch(const QNativeGestureEvent& event) {
  if (!game_()) return false;
  switch (event.gestureType()) {
    case Qt::BeginNativeGesture:
      pinchScale_ = 0;
      return true;
    case Qt::ZoomNativeGesture: {
      // The pinch's scale multiplies up; a zoom step is made each time it
      // passes another step's factor.
      pinchScale_ += std::log1p(event.value());
      const int steps = int(pinchScale_ / std::log(TJigsaw::ZoomStepFactor));
      pinchScale_ -= steps * std::log(TJigsaw::ZoomStepFactor);
      RequestZoom(area_.DevicePoint(event.position()), steps);
      return true;
    }
    default:
      return false;
  }
}

bool TZoomPan::Mouse(QEvent& event) {
  const auto& mouse = static_cast<QMouseEvent&>(event);
  const QPoint device = area_.DevicePoint(mouse.position());
  pointer_ = device;
  buttons_ = mouse.buttons();
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (panButton_ != Qt::NoButton) return true;
      // The middle button, or the left one with Space held, drags the view
      // of a board larger than it; on the whole board the middle button
      // plays as it always did.
      const bool pan = mouse.button() == Qt::MiddleButton || (mouse.button() == Qt::LeftButton && spaceHeld_);
      const TJigsaw* game = game_();
      if (!pan || !CanPan() || !game->IsAtRest()) return false;
      StartPan(mouse.button(), device);
      return true;
    }
    case QEvent::MouseButtonRelease:
      if (panButton_ == Qt::NoButton) return false;
      if (mouse.button() == panButton_) EndPan();
      return true;
    default:
      break;
  }
  if (panButton_ != Qt::NoButton) {
    // The board follows the hand: the point under the pointer stays there.
    const QPoint moved = device - std::exchange(panFrom_, device);
    ScrollBy(-moved.x(), -moved.y());
    return true;
  }
  if ((buttons_ & (Qt::LeftButton | Qt::MiddleButton)) && !edgeTimer_.isActive() && !EdgePush(device).isNull())
    edgeTimer_.start();
  return false;
}

void TZoomPan::StartPan(Qt::MouseButton button, QPoint device) {
  panButton_ = button;
  panFrom_ = device;
  area_.ShowPanCursor(true);
}

void TZoomPan::EndPan() {
  if (panButton_ == Qt::NoButton) return;
  panButton_ = Qt::NoButton;
  if (spaceHeld_ && CanPan())
    area_.setCursor(Qt::OpenHandCursor);
  else
    area_.ShowPanCursor(false);
}

QPoint TZoomPan::EdgePush(QPoint device) const {
  const TJigsaw* game = game_();
  if (!game || !DragsAlong(game->Gesture.MouseState) || !CanPan()) return {};
  const TSize board = game->BoardSize();
  const TRect view = game->ViewRect();
  const auto along = [](int at, int size, int low, int high, int boardSize) {
    if (low > 0 && at < EdgeZone) return -Push(at);
    if (high < boardSize && at >= size - EdgeZone) return Push(size - 1 - at);
    return 0;
  };
  return {along(device.x(), area_.Width(), view.Left, view.Right, board.Width),
          along(device.y(), area_.Height(), view.Top, view.Bottom, board.Height)};
}

void TZoomPan::AutoScroll() {
  const QPoint push = (buttons_ & (Qt::LeftButton | Qt::MiddleButton)) ? EdgePush(pointer_) : QPoint();
  if (push.isNull())
    edgeTimer_.stop();
  else
    ScrollBy(push.x(), push.y());
}

void TZoomPan::FollowView() {
  const TJigsaw* game = game_();
  ZoomIn.SetEnabled(game && game->CanZoomIn());
  ZoomOut.SetEnabled(game && game->CanZoomOut());
  WholeBoard.SetEnabled(game && game->CanZoomOut());
  const bool zoomed = game && game->IsZoomed();
  const TSize board = zoomed ? game->BoardSize() : TSize{};
  const TRect view = zoomed ? game->ViewRect() : TRect{};
  const auto follow = [this](QScrollBar& bar, int boardSize, int viewSize, int at) {
    const QSignalBlocker quiet(bar);
    bar.setRange(0, std::max(boardSize - viewSize, 0));
    bar.setPageStep(std::max(viewSize, 1));
    bar.setSingleStep(std::max(viewSize / ScrollParts, 1));
    bar.setValue(at);
    bar.setVisible(boardSize > viewSize);
  };
  follow(*Horizontal, board.Width, view.Width(), view.Left);
  follow(*Vertical, board.Height, view.Height(), view.Top);
  PlaceBars();
  if (!zoomed) area_.ShowPanCursor(false);
}

void TZoomPan::PlaceBars() {
  const int extent = area_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Horizontal);
  const int across = Vertical->isHidden() ? 0 : extent;
  const int down = Horizontal->isHidden() ? 0 : extent;
  Horizontal->setGeometry(0, area_.height() - extent, area_.width() - across, extent);
  Vertical->setGeometry(area_.width() - extent, 0, extent, area_.height() - down);
}
