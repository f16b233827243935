#include "play/boxes.h"

#include <gtest/gtest.h>

#include <vector>

#include "builtpuzzle.h"
#include "game/savedboard.h"
#include "platform/colors.h"
#include "platform/cursors.h"
#include "platform/errors.h"
#include "play/gesture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A tray collection that notes what it asks the game for.
class TTestBoxes : public TBoxes {
 public:
  using TBoxes::TBoxes;
  std::vector<TRect> Refreshed;
  std::vector<int> Effects;
  std::vector<TPoint> Popups;
  void RefreshArea(const TRect& rect) override { Refreshed.push_back(rect); }
  void PopupTrayIcon(TPoint screenPoint) override { Popups.push_back(screenPoint); }

 protected:
  void PlayEffect(int effect) override { Effects.push_back(effect); }
};

// A play area that notes the areas shown, in order, and those of them shown
// at once.
class TRecordingScreen : public TScreen {
 public:
  std::vector<TRect> Shown, ShownNow;

 protected:
  void Show(const QRegion& region, bool now) override {
    const QRect r = region.boundingRect();
    Shown.push_back(Bounds(r.x(), r.y(), r.width(), r.height()));
    if (now) ShownNow.push_back(Shown.back());
  }
};

bool Within(const TRect& inner, const TRect& outer) { return inner.Union(outer) == outer; }

class TrayTest : public ::testing::Test {
 protected:
  TrayTest() {
    options.PlayWidth = 800;
    options.PlayHeight = 600;
    puzzle.PictureWidth = 800;
    puzzle.PictureHeight = 600;
    puzzle.CellWidth = puzzle.CellHeight = 48;
    screen.Resize(800, 600);
    QObject::connect(&bar, &TTrayBar::ButtonAdded, [this](TTrayButton* b) { added.push_back(b); });
  }

  // Loose 40-pixel pieces in a row on the board, all in the board tray.
  void MakePieces(int count) {
    puzzle.PieceCount = puzzle.Columns = std::uint16_t(count);
    puzzle.Rows = 1;
    boxes.MakeTrays();
    for (TFormPiece& p : boxes.Pieces) {
      p.Width = p.Height = 40;
      p.Group = p.Index;
      p.X = 50 * p.Index;
      p.Y = 50;
    }
  }
  // A tray at its cascade place unless bounds are given.
  TBox& AddTray(std::uint32_t number, TRect bounds = {}) {
    TBox& tray = *boxes.Trays.emplace_back(std::make_unique<TBox>(boxes, number));
    if (!bounds.IsEmpty()) tray.SetBounds(bounds);
    return tray;
  }
  TPieceList List(std::initializer_list<int> indices) {
    TPieceList list;
    for (int i : indices) list.push_back(&boxes.PieceAt(i));
    return list;
  }

  TPuzzleGeometry puzzle;
  TPieceOptions options;
  TTrayCounters counters;
  TTrayBar bar;
  TRecordingScreen screen;
  TTestBoxes boxes{puzzle, options, counters, bar, screen};
  // What a tray's edge drag keeps while it lasts.
  TGesture gesture;
  std::vector<TTrayButton*> added;
};

}  // namespace

TEST_F(TrayTest, NewTraysCascadeFromTheBoard) {
  MakePieces(3);
  const TBox& board = boxes.BoardTray();
  EXPECT_EQ(board.BoundsRect(), TRect(0, 0, 800, 600));
  EXPECT_EQ(board.InnerRect(), board.BoundsRect());
  EXPECT_EQ(board.FrontNo, 0u);
  EXPECT_FALSE(board.Button->Visible());
  EXPECT_EQ(boxes.CurrentTray, &board);
  EXPECT_EQ(board.Pieces, boxes.AllPieces());

  bar.PlayAreaOffset = {0, 560};
  TBox& tray = AddTray(1);
  EXPECT_EQ(tray.BoundsRect(), TRect(20, 20, 220, 170));
  EXPECT_EQ(tray.InnerRect(), TRect(28, 44, 212, 162));  // 184 x 118
  EXPECT_EQ(tray.CloseBoxRect(), TRect(197, 24, 213, 40));
  EXPECT_EQ(tray.Color, 12615935u);
  const TTrayButton& button = *tray.Button;
  EXPECT_TRUE(button.Visible() && button.Down() && !button.Full() && button.Caption() == "1");
  EXPECT_EQ(button.GroupIndex(), 101);
  EXPECT_EQ(tray.ButtonRect(), TRect(26, 563, 74, 587));
  EXPECT_EQ(added, (std::vector<TTrayButton*>{board.Button.get(), tray.Button.get()}));

  EXPECT_TRUE(tray.CloseBoxHit(197, 24) && tray.ClosePressed);
  EXPECT_FALSE(tray.CloseBoxHit(213, 24) || boxes.BoardTray().CloseBoxHit(197, 24));

  // The cascade wraps 32 pixels before the far edges, with signed remainders.
  boxes.NextTrayPos = {760, 555};
  EXPECT_EQ(AddTray(2).BoundsRect(), Bounds(760, 555, 200, 150));
  EXPECT_EQ(boxes.NextTrayPos, TPoint(12, 7));
  boxes.NextTrayPos = {-30, -10};
  AddTray(3);
  EXPECT_EQ(boxes.NextTrayPos, TPoint(-10, 10));
  // A play area too small to cascade in keeps the place.
  options.PlayWidth = options.PlayHeight = 20;
  boxes.NextTrayPos = {5, 5};
  const TBox small(boxes, 4);
  EXPECT_EQ(small.BoundsRect(), Bounds(5, 5, 200, 150));
  EXPECT_EQ(boxes.NextTrayPos, TPoint(5, 5));
  boxes.MakeTrays();
  EXPECT_EQ(boxes.BoardTray().BoundsRect(), TRect(0, 0, 20, 20));
}

TEST_F(TrayTest, EdgeCursorsFollowTheFrameZones) {
  MakePieces(0);
  const TBox& tray = AddTray(1, Bounds(100, 50, 200, 150));
  const std::vector<std::pair<TPoint, int>> cases = {
      {{102, 53}, crSizeNWSE},  {{102, 56}, crSizeWE},   {{200, 55}, crSizeNS},   {{200, 56}, crDefault},
      {{200, 192}, crDefault},  {{200, 193}, crSizeNS},  {{200, 199}, crSizeNS},  {{200, 200}, crDefault},
      {{107, 120}, crSizeWE},   {{108, 120}, crDefault}, {{292, 120}, crDefault}, {{293, 120}, crSizeWE},
      {{299, 120}, crSizeWE},   {{300, 120}, crDefault}, {{99, 120}, crDefault},  {{299, 50}, crSizeNESW},
      {{100, 199}, crSizeNESW}, {{299, 199}, crSizeNWSE}};
  for (const auto& [point, cursor] : cases)
    EXPECT_EQ(tray.EdgeCursorAt(point.X, point.Y), cursor) << point.X << ", " << point.Y;
  // On a screen of 200 % the board has twice the pixels: the zones are as
  // deep on the screen.
  bar.PlayAreaScale = 2;
  const std::vector<std::pair<TPoint, int>> doubled = {
      {{200, 61}, crSizeNS}, {{200, 62}, crDefault}, {{115, 120}, crSizeWE}, {{116, 120}, crDefault},
      {{285, 120}, crDefault}, {{286, 120}, crSizeWE}, {{200, 186}, crSizeNS}, {{200, 185}, crDefault}};
  for (const auto& [point, cursor] : doubled)
    EXPECT_EQ(tray.EdgeCursorAt(point.X, point.Y), cursor) << point.X << ", " << point.Y;
}

TEST_F(TrayTest, EdgeDragsStopAtTheMinimumSize) {
  MakePieces(0);
  TBox& tray = AddTray(1, Bounds(50, 40, 200, 150));
  auto drag = [&](int cursor, TPoint press, std::vector<TPoint> moves) {
    int x = press.X, y = press.Y;
    tray.ResizeStart(gesture, x, y, cursor);
    std::vector<TPoint> points{{x, y}};
    for (TPoint m : moves) {
      tray.ResizeTrack(gesture, m.X, m.Y, cursor);
      points.push_back(m);
    }
    points.push_back({boxes.Band.BandEnd().Right, 0});
    return points;
  };
  const TBitmap before = screen.Image();
  // The right edge, 3 pixels inside it, dragged leftwards past the minimum.
  EXPECT_EQ(drag(crSizeWE, {247, 110}, {{120, 130}, {200, 130}}),
            (std::vector<TPoint>{{50, 40}, {150, 190}, {203, 190}, {203, 0}}));
  EXPECT_EQ(gesture.ResizeGrab, TPoint(3, -70));
  // The top-left corner moves; the bottom-right one stays.
  EXPECT_EQ(drag(crSizeNWSE, {52, 42}, {{200, 160}, {10, 5}}),
            (std::vector<TPoint>{{250, 190}, {150, 115}, {8, 3}, {250, 0}}));
  EXPECT_EQ(gesture.ResizeAnchor, TPoint(250, 190));
  // The bottom edge: the band keeps the tray's width.
  EXPECT_EQ(drag(crSizeNS, {70, 188}, {{500, 300}}), (std::vector<TPoint>{{50, 40}, {250, 302}, {250, 0}}));
  EXPECT_EQ(screen.Image().Image(), before.Image());
}

TEST_F(TrayTest, FrameTitleAndShadowStayInTheirPlaces) {
  MakePieces(0);
  TBox& tray = AddTray(3, Bounds(50, 40, 200, 150));
  EXPECT_EQ(tray.Title(), "Tray 3");
  tray.Description = "Sky";
  EXPECT_EQ(tray.Title(), "Tray 3: Sky");
  const TColor marker = RGBColor(1, 2, 3);
  TBitmap bitmap(400, 300);
  bitmap.Fill(marker);
  // Nothing for a closed or lifted tray, the board, or a clip beside the tray.
  const TRect touching{250, 0, 400, 300};
  tray.Open = false;
  tray.Draw(bitmap, nullptr);
  tray.Open = true;
  tray.Lifted = true;
  tray.Draw(bitmap, nullptr);
  tray.Lifted = false;
  boxes.BoardTray().Draw(bitmap, nullptr);
  tray.Draw(bitmap, &touching);
  for (int y = 0; y < 300; y += 7)
    for (int x = 0; x < 400; x += 7) ASSERT_EQ(bitmap.Pixel(x, y), marker);

  // A long blue title runs up to one pixel before the minimize box.
  SetSystemColor(COLOR_WINDOWTEXT, RGBColor(0, 0, 255));
  tray.Description = QString(40, QChar('W'));
  tray.Draw(bitmap, nullptr);
  ResetSystemColors();
  EXPECT_NE(bitmap.Pixel(60, 100), marker);
  bool blueText = false;
  for (int y = 42; y < 58; ++y) {
    EXPECT_EQ(bitmap.Pixel(226, y), ColorToRGB(clBtnFace)) << y;
    for (int x = 200; x < 226; ++x)
      blueText |= BlueOf(bitmap.Pixel(x, y)) > 200 && RedOf(bitmap.Pixel(x, y)) < 60;
  }
  EXPECT_TRUE(blueText);

  bitmap.Fill(marker);
  TBitmap clipped = bitmap;
  const TRect left{0, 0, 150, 300};
  tray.Draw(clipped, &left);
  for (int y = 0; y < 300; y += 3) EXPECT_EQ(clipped.Pixel(150, y), marker);

  tray.SetBounds(Bounds(10, 10, 40, 30));
  tray.DrawShadow(bitmap, 4);  // (14, 40, 54, 44) and (50, 14, 54, 40)
  for (TPoint p : {TPoint{14, 40}, {53, 43}, {50, 14}, {53, 39}}) EXPECT_EQ(bitmap.Pixel(p.X, p.Y), clBlack);
  for (TPoint p : {TPoint{13, 41}, {54, 43}, {50, 13}, {49, 20}, {14, 44}})
    EXPECT_EQ(bitmap.Pixel(p.X, p.Y), marker);
}

TEST_F(TrayTest, TrayAtAndSorting) {
  MakePieces(0);
  TBox& a = AddTray(1, {100, 100, 300, 250});
  TBox& b = AddTray(2, {200, 150, 400, 300});
  EXPECT_EQ(&boxes.TrayAt(250, 200), &b);
  EXPECT_EQ(&boxes.TrayAt(299, 120), &a);
  EXPECT_EQ(&boxes.TrayAt(300, 120), &boxes.BoardTray());
  a.FrontNo = 5;
  boxes.SortTrays(TBoxes::TTrayOrder::Stacking);
  EXPECT_EQ(&boxes.TrayAt(250, 200), &a);
  a.Open = false;
  EXPECT_EQ(&boxes.TrayAt(250, 200), &b);
  EXPECT_EQ(&boxes.TrayAt(150, 120), &boxes.BoardTray());
  EXPECT_EQ(&boxes.TrayByNumber(2), &b);
  EXPECT_EQ(&boxes.TrayByNumber(9), &boxes.BoardTray());

  auto order = [&] {
    std::vector<std::uint32_t> numbers;
    for (const auto& t : boxes.Trays) numbers.push_back(t->Number);
    return numbers;
  };
  EXPECT_EQ(order(), (std::vector<std::uint32_t>{0, 2, 1}));
  boxes.SortTrays(TBoxes::TTrayOrder::Number);
  EXPECT_EQ(order(), (std::vector<std::uint32_t>{0, 1, 2}));
  // A tray whose front number ties with the board's never goes below it.
  b.FrontNo = 0;
  boxes.SortTrays(TBoxes::TTrayOrder::Stacking);
  EXPECT_EQ(order(), (std::vector<std::uint32_t>{0, 2, 1}));
}

TEST_F(TrayTest, TraysAreKeptOnThePlayArea) {
  const TRect area{0, 0, 800, 600};
  const std::vector<std::pair<TRect, TRect>> cases = {
      {Bounds(790, 100, 200, 150), Bounds(768, 100, 200, 150)},  // 10 pixels visible: 32 again
      {Bounds(-190, 100, 200, 150), Bounds(-168, 100, 200, 150)},
      {Bounds(100, -20, 200, 150), Bounds(100, 0, 200, 150)},
      {Bounds(100, 590, 200, 150), Bounds(100, 568, 200, 150)},
      {Bounds(100, 100, 200, 150), Bounds(100, 100, 200, 150)}};
  for (auto [rect, kept] : cases) {
    TBoxes::KeepTrayVisible(rect, area);
    EXPECT_EQ(rect, kept);
  }

  // The play area shrinks: the tray moves in with its pieces, the board's
  // groups go back to their proportional places.
  MakePieces(3);
  TBox& tray = AddTray(1, Bounds(700, 400, 200, 150));
  boxes.MoveToTray(List({1, 2}), tray);
  boxes.PieceAt(1).X = 720;
  boxes.PieceAt(1).Y = 440;
  boxes.PieceAt(2).X = boxes.PieceAt(2).Y = 0;  // lost outside the tray
  boxes.PieceAt(0).NormX = 400;
  boxes.PieceAt(0).NormY = 300;
  options.PlayWidth = 600;
  options.PlayHeight = 500;
  boxes.BoardTray().SetBounds({0, 0, 600, 500});
  boxes.RefitTrays();
  EXPECT_EQ(tray.BoundsRect(), Bounds(568, 400, 200, 150));
  EXPECT_EQ(boxes.PieceAt(1).X, 588);
  EXPECT_TRUE(TPieces::PieceRect(boxes.PieceAt(2)).Intersects(tray.InnerRect()));
  EXPECT_EQ(boxes.PieceAt(0).X, 300);
  EXPECT_EQ(boxes.PieceAt(0).Y, 250);
}

TEST_F(TrayTest, PiecesMoveBetweenTraysWithTheirButtonPictures) {
  MakePieces(4);
  TBox& board = boxes.BoardTray();
  TBox& tray = AddTray(1);
  boxes.MoveToTray(List({0, 2}), tray);
  EXPECT_EQ(tray.Pieces, List({0, 2}));
  EXPECT_EQ(board.Pieces, List({1, 3}));
  EXPECT_EQ(boxes.PieceAt(2).Tray, 1);
  EXPECT_TRUE(tray.Button->Full());
  boxes.MoveToTray(List({1}), tray);
  boxes.MoveToTray(List({1}), tray);  // already there
  boxes.MoveToTray({}, tray);
  EXPECT_EQ(tray.Count(), 3);
  boxes.MoveToTray(List({2, 0, 1}), board);
  EXPECT_FALSE(tray.Button->Full());
  EXPECT_EQ(board.Pieces, List({3, 2, 0, 1}));

  // A tray moves with its pieces and stores their places in its inner area.
  TBox& other = AddTray(2, Bounds(100, 100, 200, 150));
  boxes.MoveToTray(List({0, 1}), other);
  boxes.PieceAt(1).Group = 0;
  boxes.PieceAt(0).X = 200;
  boxes.PieceAt(0).Y = 183;
  boxes.MoveTray(other, 50, 20);  // inner (158, 144, 342, 262)
  EXPECT_EQ(boxes.PieceAt(0).X, 250);
  EXPECT_DOUBLE_EQ(boxes.PieceAt(0).NormX, 800.0 * 92 / 184 + 158);
  EXPECT_DOUBLE_EQ(boxes.PieceAt(0).NormY, 600.0 * 59 / 118 + 144);
  EXPECT_EQ(boxes.PieceAt(1).NormX, 0.0);  // the group's first piece stands for it

  // Only the open empty trays close.
  TBox& closed = AddTray(3);
  closed.Open = false;
  boxes.CloseEmptyTrays();
  EXPECT_FALSE(tray.Open);
  EXPECT_TRUE(other.Open);
  EXPECT_FALSE(closed.Open);
  EXPECT_EQ(boxes.Refreshed, (std::vector<TRect>{tray.BoundsRect()}));
}

TEST_F(TrayTest, LayoutBarShowsTheButtonsThatFit) {
  MakePieces(0);
  bar.Width = 400;
  boxes.LayoutBar(true);
  EXPECT_EQ(boxes.VisibleButtons, 6);
  EXPECT_FALSE(boxes.BoardTray().Button->Visible());
  EXPECT_EQ(bar.SpeedBoxRight.Left(), 378);
  for (const TTrayButton* b : {&bar.SpeedBoxLeft, &bar.SpeedBoxRight, &bar.SpeedBoxUp, &bar.SpeedBoxDown})
    EXPECT_FALSE(b->Enabled());
  EXPECT_TRUE(bar.SpeedBoxLeft.Visible() && !bar.SpeedBoxUp.Visible());

  // Numbers 7 down to 1 come in that order, so the front numbers run the
  // other way; the bar shows them by number.
  for (std::uint32_t n = 7; n >= 1; --n) AddTray(n);
  auto layout = [&](int first) {
    counters.FirstShownTray = std::uint16_t(first);
    boxes.LayoutBar(true);
    std::vector<int> places;  // by tray number; -1 hidden
    for (std::uint32_t n = 1; n <= 7; ++n) {
      const TTrayButton& b = *boxes.TrayByNumber(n).Button;
      places.push_back(!b.Visible() ? -1 : bar.Align == TTrayBar::TAlign::Bottom ? b.Left() : b.Top());
    }
    return places;
  };
  auto enabled = [&] {
    return std::vector<bool>{bar.SpeedBoxLeft.Enabled(), bar.SpeedBoxRight.Enabled(),
                             bar.SpeedBoxUp.Enabled(), bar.SpeedBoxDown.Enabled()};
  };
  bar.Width = 322;  // room for 5
  EXPECT_EQ(layout(1), (std::vector<int>{26, 80, 134, 188, 242, -1, -1}));
  EXPECT_EQ(enabled(), (std::vector<bool>{false, true, false, true}));
  EXPECT_EQ(boxes.Trays[1]->Number, 7u);  // back in front-number order
  EXPECT_EQ(layout(3), (std::vector<int>{-1, -1, 26, 80, 134, 188, 242}));
  EXPECT_EQ(enabled(), (std::vector<bool>{true, false, true, false}));

  bar.Align = TTrayBar::TAlign::Left;
  bar.Height = 126;  // room for 4
  EXPECT_EQ(layout(1), (std::vector<int>{3, 33, 63, 93, -1, -1, -1}));
  EXPECT_EQ(bar.SpeedBoxDown.Top(), 103);
  EXPECT_TRUE(bar.SpeedBoxUp.Visible() && !bar.SpeedBoxLeft.Visible());
  boxes.LayoutBar(false);
  EXPECT_EQ(boxes.VisibleButtons, 4);
  EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false}));

  // No room, or a template without size: nothing fits and nothing breaks.
  bar.Height = 0;
  EXPECT_EQ(layout(1), (std::vector<int>(7, -1)));
  bar.BoxBtn.SetBounds(26, 3, 48, -6);
  bar.Height = 126;
  EXPECT_EQ(layout(0), (std::vector<int>(7, -1)));
  EXPECT_EQ(boxes.VisibleButtons, 0);
}

TEST_F(TrayTest, ToggleOpenZoomsBetweenTrayAndButton) {
  MakePieces(0);
  bar.PlayAreaOffset = {0, 500};
  TBox& a = AddTray(1, {300, 100, 500, 250});
  AddTray(2);
  const TRect button = a.ButtonRect();  // (26, 503, 74, 527)
  const TBitmap before = screen.Image();
  const TRect all = screen.ClientRect();
  // The board is on the screen: nothing waits to be painted.
  screen.PaintFrom(before);
  screen.Shown.clear();

  a.Button->Click();
  EXPECT_FALSE(a.Open || a.Button->Down());
  EXPECT_EQ(boxes.Refreshed, (std::vector<TRect>{a.BoundsRect()}));
  EXPECT_EQ(boxes.Effects, (std::vector<int>{4}));
  // The zoom steps on the timer, after the click.
  EXPECT_TRUE(screen.Shown.empty());
  while (boxes.Animator.Advance()) {
  }
  ASSERT_GE(screen.Shown.size(), 3u);
  EXPECT_EQ(screen.Shown.front(), all);  // repainted at once before the zoom
  EXPECT_EQ(screen.ShownNow.front(), all);
  EXPECT_TRUE(Within(screen.Shown[1], a.BoundsRect().Inflate(25, 25)));
  EXPECT_TRUE(Within(screen.Shown.back(), button.Inflate(2, 2)));
  EXPECT_EQ(boxes.Trays[1].get(), &a);
  EXPECT_EQ(screen.Image().Image(), before.Image());

  screen.Shown.clear();
  screen.ShownNow.clear();
  a.Button->Click();
  while (boxes.Animator.Advance()) {
  }
  EXPECT_TRUE(a.Open && a.Button->Down());
  EXPECT_EQ(a.FrontNo, 3u);
  EXPECT_TRUE(a.IsFrontmost());
  EXPECT_EQ(boxes.Trays.back().get(), &a);
  EXPECT_EQ(boxes.Refreshed.back(), a.BoundsRect());
  EXPECT_EQ(boxes.Effects.size(), 2u);
  ASSERT_GE(screen.Shown.size(), 3u);
  EXPECT_TRUE(Within(screen.Shown.front(), button.Inflate(25, 25)));
  EXPECT_TRUE(Within(screen.Shown[screen.Shown.size() - 2], a.BoundsRect().Inflate(2, 2)));
  EXPECT_EQ(screen.ShownNow, (std::vector<TRect>{all}));  // repainted at once after the zoom
  EXPECT_EQ(screen.Shown.back(), all);
  EXPECT_EQ(screen.Image().Image(), before.Image());

  a.Button->RightPress({5, 6});
  EXPECT_EQ(boxes.CurrentTray, &a);
  EXPECT_EQ(boxes.Popups, (std::vector<TPoint>{{5, 6}}));
}

namespace {

// Tray 3 at (-5, 300), 250 x 180, front number 7, the default colour, open,
// described "Sky €".
Bytes SkyRecord() {
  Bytes r(TBox::RecordSize, 0);
  const Bytes head = {3, 0,    0xFB, 0xFF, 0x2C, 1, 0xFA, 0,   0xB4, 0,   7,   0,   0,
                      0, 0xFF, 0x80, 0xC0, 0,    1, 5,    'S', 'k',  'y', ' ', 0x80};
  std::copy(head.begin(), head.end(), r.begin());
  return r;
}

}  // namespace

TEST_F(TrayTest, TrayRecordsWriteAndReadByteForByte) {
  MakePieces(4);
  TBox& sky = AddTray(3);
  sky.SetBounds(Bounds(-5, 300, 250, 180));
  sky.FrontNo = 7;
  sky.Description = QString::fromUtf8("Sky €");
  TBox& wide = AddTray(5);
  wide.Description = QString(130, QChar('a'));
  wide.Open = false;
  const Bytes written = WriteTrayRecords(std::vector{sky.State(), wide.State()});
  ASSERT_EQ(written.size(), 296u);
  EXPECT_EQ(Bytes(written.begin(), written.begin() + 148), SkyRecord());
  EXPECT_EQ(written[148], 5);
  EXPECT_EQ(written[148 + 18], 0);
  EXPECT_EQ(written[148 + 19], 128);
  EXPECT_EQ(written.back(), 'a');

  // Read back onto a fresh board: each tray takes its pieces from the board.
  boxes.MakeTrays();
  for (int i : {1, 3}) boxes.PieceAt(i).Tray = 3;
  Bytes bytes = SkyRecord();
  Bytes closed = SkyRecord();
  closed[0] = 5;
  closed[6] = 100;  // the minimum size
  closed[8] = 75;
  closed[10] = 2;  // in front of nothing: drawn first
  closed[18] = 0;
  closed[19] = 200;  // more than the capacity
  std::fill(closed.begin() + 20, closed.end(), std::uint8_t('b'));
  bytes.insert(bytes.end(), closed.begin(), closed.end());
  bytes.resize(bytes.size() + 10, 0xEE);
  boxes.RestoreTrays(ReadTrayRecords(bytes, 2));

  ASSERT_EQ(boxes.Trays.size(), 3u);
  const TBox& read = *boxes.Trays[2];
  const auto again = TBox::ToRecord(read.State());
  EXPECT_EQ(Bytes(again.begin(), again.end()), SkyRecord());
  EXPECT_EQ(read.Description, QString::fromUtf8("Sky €"));
  EXPECT_EQ(read.Pieces, List({1, 3}));
  EXPECT_EQ(boxes.BoardTray().Pieces, List({0, 2}));
  EXPECT_TRUE(read.Button->Down() && read.Button->Full());
  EXPECT_EQ(read.Button->Hint(), QString::fromUtf8("Sky €|"));
  // Drawn in the order of their front numbers.
  const TBox& empty = *boxes.Trays[1];
  EXPECT_EQ(empty.Description, QString(128, QChar('b')));
  EXPECT_FALSE(empty.Open || empty.Button->Down() || empty.Button->Full());
}

TEST_F(TrayTest, DamagedTrayRecordsAreRefused) {
  EXPECT_TRUE(ReadTrayRecords(SkyRecord(), 0).empty());
  EXPECT_TRUE(ReadTrayRecords({}, 0).empty());

  auto damaged = [](std::size_t at, std::uint8_t value) {
    Bytes r = SkyRecord();
    r[at] = value;
    return r;
  };
  const Bytes sky = SkyRecord();
  Bytes twice = sky;
  twice.insert(twice.end(), sky.begin(), sky.end());
  const std::vector<std::pair<int, Bytes>> cases = {{1, Bytes(sky.begin(), sky.end() - 1)},  // short
                                                    {2, SkyRecord()},      // one of two records
                                                    {2, twice},            // one number twice
                                                    {1, damaged(0, 0)},    // the board's number
                                                    {1, damaged(18, 2)},   // open flag
                                                    {1, damaged(6, 99)},   // too narrow
                                                    {1, damaged(8, 74)}};  // too low
  for (const auto& [count, bytes] : cases) EXPECT_THROW(ReadTrayRecords(bytes, std::size_t(count)), EError);
}

TEST_F(TrayTest, RestoringTraysKeepsThoseItNamesAndDropsTheRest) {
  MakePieces(4);
  TBox& kept = AddTray(3);
  AddTray(4);
  boxes.CurrentTray = &kept;
  TTrayState moved = kept.State();
  moved.Bounds = Bounds(40, 50, 300, 200);
  moved.Description = QStringLiteral("Edges");
  boxes.PieceAt(2).Tray = 3;
  boxes.RestoreTrays(std::vector{moved});

  ASSERT_EQ(boxes.Trays.size(), 2u);
  EXPECT_EQ(boxes.Trays[1].get(), &kept);
  EXPECT_EQ(kept.State(), moved);
  EXPECT_EQ(kept.Button->Hint(), QStringLiteral("Edges|"));
  EXPECT_EQ(kept.Pieces, List({2}));
  EXPECT_EQ(boxes.BoardTray().Pieces, List({0, 1, 3}));
  EXPECT_EQ(boxes.CurrentTray, &boxes.BoardTray());
}

// Trays with real pieces: their pieces show only inside the frame.
TEST(TrayPieces, PiecesAreClippedToTheirTraysInnerArea) {
  TPuzzleRecord record;
  TPieceOptions options;
  options.OutlineStyle = OutlineNone;
  options.PlayWidth = 400;
  options.PlayHeight = 300;
  TTrayCounters counters;
  TTrayBar bar;
  TScreen screen;
  TTestBoxes boxes{record, options, counters, bar, screen};
  std::vector<std::uint8_t> outline;
  std::int32_t labelSize = 0;
  record.Seed = 5;
  record.ShapeStyle = 1;
  record.PieceCount = FitGrid(record, 12, 160, 120);
  boxes.MakeTrays();
  boxes.Picture = TestPicture(160, 120);
  SetRandSeed(record.Seed);
  TCut cut = Cut(record, false);
  BuildPieces(cut, boxes, outline, labelSize);
  boxes.BuildImages(outline);

  boxes.Trays.push_back(std::make_unique<TBox>(boxes, 1));
  TBox& tray = *boxes.Trays.back();
  tray.SetBounds(Bounds(100, 100, 200, 150));
  const TRect inner = tray.InnerRect();
  boxes.MoveToTray(boxes.AllPieces(), tray);
  for (TFormPiece& p : boxes.Pieces) {
    p.X = inner.Left - 10 + 7 * p.Index;  // the first ones straddle the frame
    p.Y = inner.Top - 5 + 3 * p.Index;
  }
  TBitmap frameOnly(400, 300), withPieces(400, 300);
  tray.Draw(frameOnly, nullptr);
  boxes.DrawTrays(withPieces, nullptr);
  int differing = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x)
      if (frameOnly.Pixel(x, y) != withPieces.Pixel(x, y)) {
        ++differing;
        ASSERT_TRUE(inner.Contains({x, y})) << x << ", " << y;
      }
  EXPECT_GT(differing, 0);

  // The piece under a point: the topmost, by its shape when asked, and only
  // inside the inner area.
  const TFormPiece& top = *tray.Pieces.back();
  auto pointWhere = [&](bool onPiece) {
    for (int y = top.Y; y < top.Y + top.Height; ++y)
      for (int x = top.X; x < top.X + top.Width; ++x)
        if (boxes.HitTest(top, x, y) == onPiece) return TPoint{x, y};
    return TPoint{-1, -1};
  };
  const TPoint on = pointWhere(true), off = pointWhere(false);  // off: in its box, beside its shape
  EXPECT_EQ(tray.PieceUnder(on.X, on.Y, true), &top);
  EXPECT_EQ(tray.PieceUnder(off.X, off.Y, false), &top);
  EXPECT_NE(tray.PieceUnder(off.X, off.Y, true), &top);
  EXPECT_EQ(tray.PieceUnder(inner.Left - 1, inner.Top + 1, false), nullptr);

  // A clip limits trays and board alike; a closed tray draws nothing.
  TBitmap clipped(400, 300);
  const TRect clip{150, 0, 400, 300};
  boxes.DrawTrays(clipped, &clip);
  for (int y = 0; y < 300; y += 2) EXPECT_EQ(clipped.Pixel(149, y), 0u);
  tray.Open = false;
  TBitmap none(400, 300);
  boxes.DrawTrays(none, nullptr);
  EXPECT_EQ(none.Image(), TBitmap(400, 300).Image());
}
