#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <random>
#include <string>

#include "display/hrtimer.h"
#include "platform/input.h"
#include "tests/common/testgame.h"

namespace {

// A clock on which every reading is a millisecond later: the zoom of a tray
// that opens or closes takes no time.
class TQuickClock : public TTimerDevice {
 public:
  TQuickClock() { SetSystemTimerDevice(this); }
  ~TQuickClock() override { SetSystemTimerDevice(nullptr); }
  bool GetDevCaps(TTimerCaps& caps) override {
    caps = {1, 1000};
    return true;
  }
  void BeginPeriod(std::uint32_t) override {}
  void EndPeriod(std::uint32_t) override {}
  std::int32_t Time() override { return ++now_; }
  std::int32_t TickCount() override { return ++now_; }

 private:
  std::int32_t now_ = 0;
};

// A long game of trays played with the mouse and the tray commands, saved
// and resumed now and then, from a fixed seed: after every action, as the main window notes it, no piece of a
// tray lies even partly outside the tray's inner area (where it would be cut
// off or hidden), and no piece on the board lies under an open tray.
class TrayPlay : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    ASSERT_TRUE(WriteTestGift(gift_, 600, 400, TestTrailer(35, 77)));
    t_ = std::make_unique<TTestGame>(gift_, 900, 640);
    t_->window.TrayBar.Width = 900;
    t_->Start();
    SetInputSource([this] { return TInputState{false, ctrl_, false}; });
    game().Config.Rotating = true;
    game().NoteChanges();
  }
  void TearDown() override { SetInputSource({}); }

  TJigsaw& game() { return *t_->game; }
  int Below(int n) { return n <= 0 ? 0 : int(random_() % std::uint32_t(n)); }
  TPoint PointIn(const TRect& r) { return {r.Left + Below(r.Width()), r.Top + Below(r.Height())}; }
  TBox* AnyTray(bool openOnly) {
    std::vector<TBox*> trays;
    for (const auto& tray : game().Trays)
      if (!tray->IsBoard() && (tray->Open || !openOnly)) trays.push_back(tray.get());
    return trays.empty() ? nullptr : trays[std::size_t(Below(int(trays.size())))];
  }
  // A piece that shows, and a point on it where a hand takes it.
  TFormPiece* AnyVisiblePiece(TPoint& at) {
    for (int tries = 0; tries < 5; ++tries) {
      TFormPiece& p = game().Pieces[std::size_t(Below(int(game().Pieces.size())))];
      if (!game().TrayByNumber(std::uint32_t(p.Tray)).Open) continue;
      at = PointOnPiece(game(), p);
      if (game().TrayAt(at.X, at.Y).PieceUnder(at.X, at.Y, true) == &p) return &p;
    }
    return nullptr;
  }
  // Somewhere on the board, or inside an open tray half of the time.
  TPoint AnyTarget() {
    TBox* tray = Below(2) ? AnyTray(true) : nullptr;
    return PointIn(tray ? tray->InnerRect() : game().BoardTray().BoundsRect());
  }
  void DragFrom(TPoint from, TPoint to) {
    game().MouseDown(TJigsaw::LeftButton, from.X, from.Y);
    for (int step = 1; step <= 3; ++step)
      game().MouseMove(from.X + (to.X - from.X) * step / 3, from.Y + (to.Y - from.Y) * step / 3);
    game().MouseUp(to.X, to.Y);
  }
  // Grabs an edge or a corner of the tray and pulls it somewhere.
  void ResizeTray(TBox& tray) {
    const int across[] = {3, tray.Width / 2, tray.Width - 3};
    const int down[] = {2, tray.Height / 2, tray.Height - 3};
    const int i = Below(3), j = i == 1 ? 2 * Below(2) : Below(3);
    const TPoint edge{tray.X + across[i], tray.Y + down[j]};
    game().MouseMove(edge.X, edge.Y);
    if (game().Gesture.MouseState != TJigsaw::OverEdge) return;
    DragFrom(edge, {edge.X + Below(401) - 200, edge.Y + Below(301) - 150});
  }

  // One action of a person sorting pieces into trays; its name for the
  // failure message.
  std::string Act() {
    TJigsaw& g = game();
    TBox* tray = AnyTray(false);
    const int action = Below(20);
    if (!tray || action == 0) {
      if (g.Trays.size() > 3) return "nothing";
      g.NewTray();
      return "new tray";
    }
    g.CurrentTray = tray;  // as the tray's popup or its button's popup does
    switch (action) {
      case 1: case 2: case 3: case 4: case 5: {
        TPoint at;
        if (!AnyVisiblePiece(at)) return "nothing";
        DragFrom(at, AnyTarget());
        return "drag a piece";
      }
      case 6: {
        if (!tray->Open || tray->Count() == 0) return "nothing";
        g.SelectTrayPieces();
        if (g.Gesture.MouseState != TJigsaw::Selected) return "select nothing";
        const TFormPiece& by = *g.Gesture.Moving[std::size_t(Below(int(g.Gesture.Moving.size())))];
        TPoint at = PointOnPiece(g, by);
        if (!g.MovingPieceAt(at.X, at.Y)) at = {by.X + by.Width / 2, by.Y + by.Height / 2};
        DragFrom(at, AnyTarget());
        if (g.Gesture.MouseState == TJigsaw::Selected) g.CancelSelection();
        return "drag a tray's selection";
      }
      case 7:
        if (!tray->Open) return "nothing";
        DragFrom({tray->X + 12, tray->Y + 10}, PointIn(g.BoardTray().BoundsRect()));
        return "drag a tray";
      case 8: case 9:
        if (!tray->Open) return "nothing";
        ResizeTray(*tray);
        return "resize a tray";
      case 10:
        switch (Below(3)) {
          case 0: g.ArrangeInGrid(TArrangeSource::PopupTray, Below(2), Below(2)); return "arrange in grid";
          case 1: g.ArrangeAtEdge(TArrangeSource::PopupTray, Below(2), Below(2)); return "arrange at edge";
          default: g.Disarrange(TArrangeSource::PopupTray, Below(2)); return "disarrange";
        }
      case 11:
        g.GetLoosePieces(Below(2));
        return "get loose pieces";
      case 12:
        // Each opens or closes a tray with the zoom, which takes its time.
        switch (Below(4)) {
          case 0: tray->Button->Click(); return "open or close a tray";
          case 1: g.DropTrayPieces(); return "drop all pieces";
          default: return "nothing";
        }
      case 13: {
        TPoint at;
        if (!AnyVisiblePiece(at)) return "nothing";
        ctrl_ = true;
        g.MouseDown(Below(2) ? TJigsaw::LeftButton : TJigsaw::RightButton, at.X, at.Y);
        g.MouseUp(at.X, at.Y);
        ctrl_ = false;
        return "turn a piece";
      }
      case 14:
        if (Below(4) == 0) g.RightWayUpAll(); else g.SendTrayToBack();
        return "right way up or send back";
      case 15: case 16:
        g.Undo();
        return "undo";
      case 17:
        g.Redo();
        return "redo";
      case 18: {
        if (Below(3) == 0) {
          // The game is closed with its trays and resumed at the next start.
          g.SaveGame();
          const int w = t_->window.PlayAreaWidth, h = t_->window.PlayAreaHeight;
          t_ = std::make_unique<TTestGame>(gift_, w, h);
          t_->window.TrayBar.Width = w;
          t_->Start();
          game().NoteChanges();
          return "save and resume";
        }
        // The window is made larger or smaller.
        const int w = 760 + Below(300), h = 560 + Below(200);
        t_->window.PlayAreaWidth = w;
        t_->window.PlayAreaHeight = h;
        t_->screen.Resize(w, h);
        g.ResizeBoard(std::uint16_t(w), std::uint16_t(h));
        g.NoteBoardResized();
        return "resize the window";
      }
      default:
        if (Below(12) == 0) {
          g.DeleteTray();
          return "delete a tray";
        }
        g.ArrangeInGrid(TArrangeSource::Board, false, false);
        return "arrange the board";
    }
  }

  // Whether a place of the board that no open tray covers could take rect.
  bool FreePlaceFor(const TRect& rect) {
    const TRect board = game().BoardTray().BoundsRect();
    for (int y = board.Top; y + rect.Height() <= board.Bottom; y += 2)
      for (int x = board.Left; x + rect.Width() <= board.Right; x += 2)
        if (std::none_of(game().Trays.begin(), game().Trays.end(), [&](const auto& tray) {
              return !tray->IsBoard() && tray->Open && tray->BoundsRect().Intersects(Bounds(x, y, rect.Width(), rect.Height()));
            }))
          return true;
    return false;
  }
  TRect GroupRect(const TFormPiece& piece) {
    TRect group;
    for (const TFormPiece& p : game().Pieces)
      if (p.Tray == piece.Tray && p.Group == piece.Group) group = group.Union(TPieces::PieceRect(p));
    return group;
  }

  // Every piece of a tray inside its inner area, every piece of the board
  // out from under the open trays when the board has room for its group
  // elsewhere, and every piece in the tray it names.
  ::testing::AssertionResult InSight() {
    TJigsaw& g = game();
    std::size_t count = 0;
    for (const auto& tray : g.Trays) {
      count += tray->Pieces.size();
      for (const TFormPiece* p : tray->Pieces) {
        const TRect r = TPieces::PieceRect(*p);
        if (p->Tray != std::int32_t(tray->Number))
          return ::testing::AssertionFailure() << "piece " << p->Index << " is listed in tray " << tray->Number;
        if (!tray->IsBoard() && r.Intersect(tray->InnerRect()) != r)
          return ::testing::AssertionFailure() << "piece " << p->Index << " at " << r.Left << "," << r.Top
                                               << " size " << r.Width() << "x" << r.Height()
                                               << " sticks out of tray " << tray->Number;
        if (tray->IsBoard())
          for (const auto& over : g.Trays)
            if (!over->IsBoard() && over->Open && over->BoundsRect().Intersects(r) && FreePlaceFor(GroupRect(*p)))
              return ::testing::AssertionFailure() << "piece " << p->Index << " of the board lies under tray "
                                                   << over->Number;
      }
    }
    if (count != g.Pieces.size()) return ::testing::AssertionFailure() << count << " pieces in the trays";
    return ::testing::AssertionSuccess();
  }

  TQuickClock clock_;  // outlives the game's timers
  QTemporaryDir dir_;
  QString gift_;
  std::unique_ptr<TTestGame> t_;
  std::mt19937 random_{20261210};
  bool ctrl_ = false;
};

}  // namespace

TEST_F(TrayPlay, NoPieceIsEverHiddenByOrInATray) {
  std::vector<std::string> done;
  for (int i = 0; i < 400; ++i) {
    done.push_back(Act());
    // A band drawn by a press beside a tray's frame is let go.
    if (game().Gesture.MouseState == TJigsaw::Selected) game().CancelSelection();
    game().MouseMove(-1, -1);
    game().NoteChanges();
    ASSERT_EQ(game().Gesture.MouseState, TJigsaw::Idle) << done.back();
    ASSERT_TRUE(InSight()) << "after action " << i << ": " << done.back()
                           << (i > 0 ? ", which came after " + done[std::size_t(i - 1)] : std::string());
  }
}
