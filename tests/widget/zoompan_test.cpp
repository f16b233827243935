// Zoom and pan in the main window as a person does them: the wheel, the
// keys, the menus, the scroll bars and drags over the play area.

#include "shell/zoompan.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <cmath>
#include <optional>

#include "platform/messagebox.h"
#include "shell/mainform.h"
#include "shell/menus.h"
#include "shell/modal.h"
#include "shell/playarea.h"
#include "tests/common/testgift.h"

namespace {

class ZoomPanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageHandler([](TMsgType, TMsgButtons, const QString&) { return TMsgResult::Ok; });
    SetModalHandler([](QDialog&) { return int(QDialog::Accepted); });
    ASSERT_TRUE(dir_.isValid());
    const QString gift = dir_.filePath(QStringLiteral("gift"));
    ASSERT_TRUE(WriteTestGift(gift, 400, 300));
    form_ = std::make_unique<TMainForm>([gift] { return gift; });
    form_->show();
    QApplication::processEvents();
    form_->Timer1->stop();
    form_->Timer1Timer();
    ASSERT_TRUE(form_->BoardLive());
  }
  void TearDown() override {
    form_.reset();
    SetMessageHandler({});
    SetModalHandler({});
  }

  TJigsaw& Game() { return *form_->Game; }
  TPlayArea& Area() { return *form_->PaintBox1; }
  QPointF Logical(QPoint device) { return QPointF(device) / Area().Ratio(); }
  QPoint Corner() {
    const TRect view = Game().ViewRect();
    return {view.Left, view.Top};
  }

  void Wheel(QPoint device, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWheelEvent event(Logical(device), Area().mapToGlobal(Logical(device)), QPoint(), angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&Area(), &event);
  }
  void Mouse(QEvent::Type type, QPoint device, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, Logical(device), Area().mapToGlobal(Logical(device)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&Area(), &event);
  }
  void Key(QEvent::Type type, int key) {
    QKeyEvent event(type, key, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &event);
  }
  void Choose(QAction* item) {
    item->trigger();
    Settle();
  }
  // The queued zooms and scrolls are made.
  static void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  }
  // The screen as the play area shows it, once what is invalid is painted.
  QImage Screen() {
    Settle();
    Area().PaintInvalid();
    return Area().Image().Image().copy();
  }
  // A device point of the play area over a piece of the board.
  std::optional<QPoint> OverAPiece() {
    const TRect view = Game().ViewRect();
    for (const TFormPiece& p : Game().Pieces) {
      const int x = p.X + p.Width / 2, y = p.Y + p.Height / 2;
      if (x - view.Left > TZoomPan::EdgeZone * 2 && x < view.Right - TZoomPan::EdgeZone * 2 &&
          y - view.Top > TZoomPan::EdgeZone * 2 && y < view.Bottom - TZoomPan::EdgeZone * 2 && Game().HitTest(p, x, y))
        return QPoint(x - view.Left, y - view.Top);
    }
    return std::nullopt;
  }

  QTemporaryDir dir_;
  std::unique_ptr<TMainForm> form_;
};

}  // namespace

TEST_F(ZoomPanTest, CtrlWheelZoomsAboutThePointerAndWholeBoardGivesTheFirstBoardBack) {
  TMenus& menus = *form_->Menus;
  EXPECT_TRUE(menus.ZoomIn->isEnabled());
  EXPECT_FALSE(menus.ZoomOut->isEnabled());
  EXPECT_FALSE(menus.WholeBoard->isEnabled());
  EXPECT_FALSE(form_->ZoomPan->Horizontal->isVisibleTo(&Area()));
  EXPECT_FALSE(form_->ZoomPan->Vertical->isVisibleTo(&Area()));
  // The wheel alone does nothing on the whole board.
  Wheel({100, 100}, {0, -120});
  Settle();
  EXPECT_EQ(Corner(), QPoint(0, 0));
  const QImage first = Screen();
  const int whole = Game().ZoomPercent();

  // One notch about a point off the centre: the board point under the
  // pointer stays under it, within a pixel; a scaled frame shows at once.
  const QPoint at(Area().Width() / 3, Area().Height() / 3);
  // Where the pointer is on the board, in parts of the board.
  const auto pointed = [&] {
    const TSize board = Game().BoardSize();
    return QPointF(double(at.x() + Corner().x()) / board.Width, double(at.y() + Corner().y()) / board.Height);
  };
  QPointF under = pointed();
  Wheel(at, {0, 120}, Qt::ControlModifier);
  EXPECT_TRUE(Area().ShowsStandIn());
  EXPECT_EQ(Game().ZoomPercent(), whole);
  Settle();
  EXPECT_FALSE(Area().ShowsStandIn());
  EXPECT_GT(Game().ZoomPercent(), whole);
  EXPECT_TRUE(Game().IsZoomed());
  const auto expectUnder = [&] {
    const TSize board = Game().BoardSize();
    EXPECT_NEAR(at.x() + Corner().x(), under.x() * board.Width, 1.0);
    EXPECT_NEAR(at.y() + Corner().y(), under.y() * board.Height, 1.0);
  };
  expectUnder();

  // A touchpad's half notches add up to one.
  under = pointed();
  const int once = Game().ZoomPercent();
  Wheel(at, {0, 60}, Qt::ControlModifier);
  Settle();
  EXPECT_EQ(Game().ZoomPercent(), once);
  Wheel(at, {0, 60}, Qt::ControlModifier);
  Settle();
  EXPECT_GT(Game().ZoomPercent(), once);
  expectUnder();

  // Notches that come while a zoom is being made are made as one zoom.
  int zooms = 0;
  const auto counter = QObject::connect(&form_->Window, &TWindowState::ViewChanged, [&] { ++zooms; });
  const int twice = Game().ZoomPercent();
  Wheel(at, {0, -120}, Qt::ControlModifier);
  Wheel(at, {0, -120}, Qt::ControlModifier);
  Wheel(at, {0, 120}, Qt::ControlModifier);
  Settle();
  QObject::disconnect(counter);
  EXPECT_EQ(zooms, 1);
  EXPECT_LT(Game().ZoomPercent(), twice);
  EXPECT_GT(Game().ZoomPercent(), whole);

  // Zoomed: the items that zoom out are there, and the bars show the view.
  EXPECT_TRUE(menus.ZoomOut->isEnabled());
  EXPECT_TRUE(menus.WholeBoard->isEnabled());
  QScrollBar& across = *form_->ZoomPan->Horizontal;
  QScrollBar& down = *form_->ZoomPan->Vertical;
  EXPECT_TRUE(across.isVisibleTo(&Area()));
  EXPECT_TRUE(down.isVisibleTo(&Area()));
  EXPECT_EQ(across.maximum(), Game().BoardSize().Width - Game().ViewRect().Width());
  EXPECT_EQ(down.maximum(), Game().BoardSize().Height - Game().ViewRect().Height());
  EXPECT_EQ(QPoint(across.value(), down.value()), Corner());
  // They lie over the board's edges: the board keeps its size.
  EXPECT_EQ(Area().Width(), first.width());
  EXPECT_EQ(Area().Height(), first.height());
  EXPECT_EQ(Game().ViewRect().Width(), first.width());

  // Zoom In up to the closest look, where it is no longer offered.
  for (int i = 0; i < 20 && menus.ZoomIn->isEnabled(); ++i) Choose(menus.ZoomIn);
  EXPECT_FALSE(menus.ZoomIn->isEnabled());
  EXPECT_EQ(Game().ZoomPercent(), Game().LargestZoom());
  const int largest = Game().ZoomPercent();
  Choose(menus.ZoomOut);
  EXPECT_LT(Game().ZoomPercent(), largest);
  EXPECT_TRUE(menus.ZoomIn->isEnabled());

  // Whole Board: the first board, pixel for pixel, and no bars.
  Choose(menus.WholeBoard);
  EXPECT_FALSE(Game().IsZoomed());
  EXPECT_EQ(Game().ZoomPercent(), whole);
  EXPECT_FALSE(across.isVisibleTo(&Area()));
  EXPECT_FALSE(down.isVisibleTo(&Area()));
  EXPECT_FALSE(menus.WholeBoard->isEnabled());
  EXPECT_TRUE(Screen() == first);
  // Zooming is no step to undo.
  EXPECT_FALSE(menus.Undo1->isEnabled());

  // The + and - keys zoom about the view's centre.
  Key(QEvent::KeyPress, Qt::Key_Plus);
  Settle();
  EXPECT_GT(Game().ZoomPercent(), whole);
  Key(QEvent::KeyPress, Qt::Key_Minus);
  Settle();
  EXPECT_EQ(Game().ZoomPercent(), whole);

  // A pinch zooms once its scale has grown by a step's.
  const auto pinch = [&](Qt::NativeGestureType type, qreal value) {
    QNativeGestureEvent event(type, QPointingDevice::primaryPointingDevice(), 2, Logical(at), Logical(at),
                              Area().mapToGlobal(Logical(at)), value, QPointF());
    QApplication::sendEvent(&Area(), &event);
    Settle();
  };
  pinch(Qt::BeginNativeGesture, 0);
  pinch(Qt::ZoomNativeGesture, 0.1);
  pinch(Qt::ZoomNativeGesture, 0.1);
  EXPECT_EQ(Game().ZoomPercent(), whole);
  pinch(Qt::ZoomNativeGesture, 0.1);
  pinch(Qt::EndNativeGesture, 0);
  EXPECT_GT(Game().ZoomPercent(), whole);
}

TEST_F(ZoomPanTest, TheWheelTheKeysTheBarsAndDragsMoveTheView) {
  // On the whole board the middle button moves a piece, as the left one does.
  const std::optional<QPoint> piece = OverAPiece();
  ASSERT_TRUE(piece);
  Mouse(QEvent::MouseButtonPress, *piece, Qt::MiddleButton, Qt::MiddleButton);
  Settle();
  EXPECT_EQ(Game().Gesture.MouseState, TMouseState::DraggingPieces);
  Mouse(QEvent::MouseButtonRelease, *piece, Qt::MiddleButton, Qt::NoButton);
  Settle();
  EXPECT_EQ(Game().Gesture.MouseState, TMouseState::Idle);

  for (int i = 0; i < 3; ++i) Choose(form_->Menus->ZoomIn);
  ASSERT_TRUE(Game().IsZoomed());
  // From the top-left corner, so that every move below has room.
  form_->ZoomPan->Horizontal->setValue(0);
  form_->ZoomPan->Vertical->setValue(0);
  Settle();
  ASSERT_EQ(Corner(), QPoint(0, 0));
  const int stepX = Area().Width() / 8, stepY = Area().Height() / 8;

  Wheel({50, 50}, {0, -120});
  Settle();
  EXPECT_EQ(Corner(), QPoint(0, stepY));
  Wheel({50, 50}, {0, -120}, Qt::ShiftModifier);
  Settle();
  EXPECT_EQ(Corner(), QPoint(stepY, stepY));
  Wheel({50, 50}, {-120, 0});
  Settle();
  EXPECT_EQ(Corner(), QPoint(stepY + stepX, stepY));
  Wheel({50, 50}, {0, 240});
  Settle();
  EXPECT_EQ(Corner(), QPoint(stepY + stepX, 0));

  Key(QEvent::KeyPress, Qt::Key_Right);
  Settle();
  EXPECT_EQ(Corner(), QPoint(stepY + 2 * stepX, 0));
  Key(QEvent::KeyPress, Qt::Key_Down);
  Settle();
  EXPECT_EQ(Corner(), QPoint(stepY + 2 * stepX, stepY));

  // The bars follow the view, and moving them moves it.
  EXPECT_EQ(form_->ZoomPan->Horizontal->value(), stepY + 2 * stepX);
  form_->ZoomPan->Horizontal->setValue(40);
  form_->ZoomPan->Vertical->setValue(30);
  Settle();
  EXPECT_EQ(Corner(), QPoint(40, 30));

  // A middle-button drag takes the board along with the pointer, and picks
  // nothing up.
  const std::vector<TFormPiece> pieces = Game().Pieces;
  Mouse(QEvent::MouseButtonPress, {300, 200}, Qt::MiddleButton, Qt::MiddleButton);
  Mouse(QEvent::MouseMove, {280, 190}, Qt::NoButton, Qt::MiddleButton);
  Mouse(QEvent::MouseMove, {260, 180}, Qt::NoButton, Qt::MiddleButton);
  Settle();
  EXPECT_EQ(Corner(), QPoint(80, 50));
  Mouse(QEvent::MouseButtonRelease, {260, 180}, Qt::MiddleButton, Qt::NoButton);
  Settle();
  EXPECT_EQ(Game().Gesture.MouseState, TMouseState::Idle);
  for (std::size_t i = 0; i < pieces.size(); ++i) EXPECT_EQ(Game().Pieces[i].X, pieces[i].X) << i;

  // So does the left button while Space is held.
  Key(QEvent::KeyPress, Qt::Key_Space);
  Mouse(QEvent::MouseButtonPress, {260, 180}, Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseMove, {270, 200}, Qt::NoButton, Qt::LeftButton);
  Settle();
  Mouse(QEvent::MouseButtonRelease, {270, 200}, Qt::LeftButton, Qt::NoButton);
  Key(QEvent::KeyRelease, Qt::Key_Space);
  Settle();
  EXPECT_EQ(Corner(), QPoint(70, 30));
  EXPECT_EQ(Game().Gesture.MouseState, TMouseState::Idle);
}

TEST_F(ZoomPanTest, APieceDraggedToTheViewsEdgeScrollsItAndStaysUnderThePointer) {
  for (int i = 0; i < 3; ++i) Choose(form_->Menus->ZoomIn);
  ASSERT_TRUE(Game().IsZoomed());
  form_->ZoomPan->Horizontal->setValue(0);
  form_->ZoomPan->Vertical->setValue(0);
  Settle();
  const std::optional<QPoint> piece = OverAPiece();
  ASSERT_TRUE(piece);
  Mouse(QEvent::MouseButtonPress, *piece, Qt::LeftButton, Qt::LeftButton);
  Settle();
  ASSERT_EQ(Game().Gesture.MouseState, TMouseState::DraggingPieces);
  const QPoint edge(Area().Width() - 5, piece->y());
  Mouse(QEvent::MouseMove, edge, Qt::NoButton, Qt::LeftButton);
  QDeadlineTimer deadline(300);
  while (!deadline.hasExpired()) QApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_GT(Corner().x(), 0);
  EXPECT_EQ(Corner().y(), 0);
  // The floating piece is under the pointer, which lies over another part
  // of the board now.
  const TRect floating = Game().Gesture.MoveRect;
  EXPECT_LE(floating.Left, edge.x() + Corner().x());
  EXPECT_GT(floating.Right, edge.x() + Corner().x());
  Mouse(QEvent::MouseButtonRelease, edge, Qt::LeftButton, Qt::NoButton);
  Settle();
  EXPECT_EQ(Game().Gesture.MouseState, TMouseState::Idle);
  const int stopped = Corner().x();
  QApplication::processEvents(QEventLoop::AllEvents, 100);
  EXPECT_EQ(Corner().x(), stopped);
}

TEST_F(ZoomPanTest, PopupsOpenAtThePointerWhileScrolled) {
  for (int i = 0; i < 2; ++i) Choose(form_->Menus->ZoomIn);
  form_->ZoomPan->Horizontal->setValue(form_->ZoomPan->Horizontal->maximum());
  Settle();
  ASSERT_GT(Corner().x(), 0);
  const QPoint device(100, 80);
  const TPoint board{device.x() + Corner().x(), device.y() + Corner().y()};
  const TPoint screen = Area().ClientToScreen(board);
  const QPoint expected = Area().mapToGlobal(Logical(device)).toPoint();
  EXPECT_EQ(QPoint(screen.X, screen.Y), expected);
}
