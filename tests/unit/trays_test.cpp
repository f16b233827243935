#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <vector>

#include "game/soundeffects.h"
#include "platform/errors.h"
#include "tests/common/testgame.h"

namespace {

class TEffects : public TSoundEffects {
 public:
  TEffects() { SetSoundEffects(this); }
  ~TEffects() override { SetSoundEffects(nullptr); }
  void PlaySoundEntry(int n) override { Played.push_back(n); }
  std::vector<int> Played;
};

// A 4 x 3 puzzle of 100-pixel cells scattered on a 960 x 720 board.
class TraysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    ASSERT_TRUE(WriteTestGift(gift_, 400, 300));
    t_ = Started();
  }

  std::unique_ptr<TTestGame> Started() {
    auto t = std::make_unique<TTestGame>(gift_, 960, 720);
    // The main window gives the bar the window's width.
    t->window.TrayBar.Width = 960;
    t->Start();
    return t;
  }

  TJigsaw& game() { return *t_->game; }
  // Makes the tray the one the tray commands act on, as its popup does.
  TJigsaw& On(TBox& tray) {
    game().CurrentTray = &tray;
    return game();
  }
  int PiecesIn(const TBox& tray) const { return tray.Count(); }
  bool InsideInner(const TBox& tray) {
    return std::all_of(tray.Pieces.begin(), tray.Pieces.end(), [&](const TFormPiece* p) {
      return tray.InnerRect().Union(TPieces::PieceRect(*p)) == tray.InnerRect() && p->Tray == int(tray.Number);
    });
  }

  QTemporaryDir dir_;
  QString gift_;
  std::unique_ptr<TTestGame> t_;
};

}  // namespace

TEST_F(TraysTest, NewTraysTakeFreshNumbersAndTheBarShowsWhileThereAreAny) {
  TEffects effects;
  game().Config.SoundOn = true;
  EXPECT_FALSE(t_->window.TrayBar.Visible());
  TBox& first = game().NewTray();
  TBox& second = game().NewTray();
  EXPECT_EQ(first.Number, 1u);
  EXPECT_EQ(second.Number, 2u);
  // Cascaded from the board's corner, of the default size and colour, open
  // and in front.
  EXPECT_EQ(first.BoundsRect(), Bounds(20, 20, 200, 150));
  EXPECT_NE(second.BoundsRect().Left, first.BoundsRect().Left);
  EXPECT_EQ(second.Color, TBox::DefaultColor);
  EXPECT_TRUE(second.Open && second.Button->Down());
  EXPECT_TRUE(second.IsFrontmost());
  EXPECT_EQ(&game().TrayAt(second.X + 50, second.Y + 50), &second);
  EXPECT_EQ(effects.Played, (std::vector<int>{4, 4}));
  EXPECT_TRUE(t_->window.TrayBar.Visible());
  EXPECT_TRUE(second.Button->Visible());

  // A deleted tray's number is not given again; the bar goes with the last
  // tray.
  On(second).DeleteTray();
  EXPECT_EQ(game().NewTray().Number, 3u);
  On(game().TrayByNumber(3)).DeleteTray();
  On(game().TrayByNumber(1)).DeleteTray();
  EXPECT_EQ(game().Trays.size(), 1u);
  EXPECT_FALSE(t_->window.TrayBar.Visible());
  EXPECT_EQ(game().BoardTray().Count(), 12);
}

TEST_F(TraysTest, GettingDroppingAndDeletingLosesNoPiece) {
  TJigsaw& g = game();
  TBox& sky = g.NewTray();
  TBox& edges = g.NewTray();
  // The edge pieces of a 4 x 3 puzzle: all but the two in the middle row's
  // middle.
  On(edges).GetLoosePieces(true);
  ASSERT_EQ(PiecesIn(edges), 10);
  for (const TFormPiece* p : edges.Pieces) EXPECT_FALSE(p->Index == 5 || p->Index == 6) << p->Index;
  // Ten pieces in four columns and three rows a sheet cell apart (a cell
  // with room for the tabs): the tray grows from 200 x 150 to hold them.
  EXPECT_TRUE(InsideInner(edges));
  const int cell = std::max(g.Record.CellWidth, g.Record.CellHeight);
  EXPECT_EQ(edges.Width, 4 * cell + 16 + 1);
  EXPECT_EQ(edges.Height, 3 * cell + 32 + 1);
  EXPECT_TRUE(edges.Button->Full());

  On(sky).GetLoosePieces(false);
  EXPECT_EQ(PiecesIn(sky), 2);
  EXPECT_EQ(g.BoardTray().Count(), 0);
  EXPECT_TRUE(InsideInner(sky));

  // Dropped, the pieces lie on the board where they were, and the tray
  // closes.
  std::vector<TPoint> where;
  for (const TFormPiece* p : edges.Pieces) where.push_back({p->X, p->Y});
  On(edges).DropTrayPieces();
  EXPECT_EQ(g.BoardTray().Count(), 10);
  EXPECT_FALSE(edges.Open);
  EXPECT_FALSE(edges.Button->Full());
  for (const TFormPiece* p : g.BoardTray().Pieces) {
    EXPECT_EQ(p->Tray, 0);
    EXPECT_NE(std::find(where.begin(), where.end(), TPoint{p->X, p->Y}), where.end());
  }
  On(sky).DeleteTray();
  EXPECT_EQ(g.BoardTray().Count(), 12);
  EXPECT_EQ(g.Trays.size(), 2u);
  EXPECT_EQ(g.CurrentTray, &g.BoardTray());
  // The board as a fresh redraw makes it: nothing left of the trays.
  TBitmap fresh(960, 720);
  g.View.Mural.Draw({0, 0, 960, 720}, fresh);
  g.DrawTrays(fresh, nullptr);
  EXPECT_TRUE(SameBitmap(fresh, g.View.BoardBitmap));
}

TEST_F(TraysTest, SelectingSendingBackDescribingAndColouring) {
  TJigsaw& g = game();
  TBox& front = g.NewTray();
  TBox& back = g.NewTray();
  On(back).GetLoosePieces(false);
  On(back).SelectTrayPieces();
  EXPECT_EQ(g.Gesture.MouseState, TJigsaw::Selected);
  EXPECT_EQ(g.Gesture.Moving.size(), 12u);
  g.CancelSelection();

  // Sent back, the tray lies behind the other one.
  On(back).SendTrayToBack();
  EXPECT_LT(back.FrontNo, front.FrontNo);
  EXPECT_EQ(g.Trays[1].get(), &back);

  On(front).SetTrayDescription(QStringLiteral("Sky \u00e9t\u00e9 \u20ac"));
  EXPECT_EQ(front.Title(), QStringLiteral("Tray 1: Sky \u00e9t\u00e9 \u20ac"));
  EXPECT_EQ(front.Button->Hint(), QStringLiteral("Sky \u00e9t\u00e9 \u20ac|"));
  EXPECT_THROW(g.SetTrayDescription(QStringLiteral("\u03a9mega")), EError);
  EXPECT_THROW(g.SetTrayDescription(QString(129, QLatin1Char('x'))), EError);
  g.SetTrayDescription(QString(128, QLatin1Char('x')));
  EXPECT_EQ(front.Description.size(), 128);

  EXPECT_EQ(g.TrayColorChoice(front), TTrayColorChoice::Default);
  g.SetTrayColor(TTrayColorChoice::Matching);
  EXPECT_EQ(front.Color, g.MatchingColor());
  EXPECT_EQ(g.TrayColorChoice(front), TTrayColorChoice::Matching);
  g.SetTrayColor(TTrayColorChoice::Contrasting);
  EXPECT_EQ(g.TrayColorChoice(front), TTrayColorChoice::Contrasting);
  g.SetTrayColor(RGBColor(1, 2, 3));
  EXPECT_EQ(g.TrayColorChoice(front), TTrayColorChoice::Custom);
  // No tray command touches the board.
  g.CurrentTray = &g.BoardTray();
  g.DeleteTray();
  g.SetTrayColor(RGBColor(9, 9, 9));
  EXPECT_EQ(g.Trays.size(), 3u);
}

TEST(TrayColors, TheContrastingColourStandsOutInBrightness) {
  // Far enough apart already: the complement.
  EXPECT_EQ(ContrastingColor(RGBColor(0, 0, 0)), RGBColor(255, 255, 255));
  EXPECT_EQ(ContrastingColor(RGBColor(240, 240, 20)), RGBColor(15, 15, 235));
  // A dark red's complement (55, 215, 215) is lightened three fifths of the
  // way to white; a middle grey's (127, 127, 127) darkened to two fifths.
  EXPECT_EQ(ContrastingColor(RGBColor(200, 40, 40)), RGBColor(175, 239, 239));
  EXPECT_EQ(ContrastingColor(RGBColor(128, 128, 128)), RGBColor(50, 50, 50));
}

TEST_F(TraysTest, ThreeTraysComeBackFromTheSavedGame) {
  TJigsaw& g = game();
  TBox& one = g.NewTray();
  TBox& two = g.NewTray();
  TBox& three = g.NewTray();
  On(two).GetLoosePieces(true);
  On(one).SetTrayDescription(QStringLiteral("Sky"));
  g.SetTrayColor(TTrayColorChoice::Matching);
  three.ToggleOpen();
  On(two).SendTrayToBack();
  g.SaveGame();

  auto resumed = Started();
  TJigsaw& r = *resumed->game;
  ASSERT_EQ(r.Trays.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    const TBox& a = *g.Trays[i];
    const TBox& b = *r.Trays[i];
    EXPECT_EQ(b.Number, a.Number);
    EXPECT_EQ(b.BoundsRect(), a.BoundsRect());
    EXPECT_EQ(b.FrontNo, a.FrontNo);
    EXPECT_EQ(b.Color, a.Color);
    EXPECT_EQ(b.Open, a.Open);
    EXPECT_EQ(b.Description, a.Description);
    EXPECT_EQ(b.Count(), a.Count());
    EXPECT_EQ(b.Button->Down(), a.Button->Down());
    // Placed again from the saved game, the pieces lie whole inside.
    if (i > 0) {
      EXPECT_TRUE(InsideInner(b)) << b.Number;
    }
  }
  EXPECT_TRUE(resumed->window.TrayBar.Visible());
  EXPECT_EQ(r.TrayColorChoice(r.TrayByNumber(1)), TTrayColorChoice::Matching);
  // Numbers go on from the highest there is.
  EXPECT_EQ(r.NewTray().Number, 4u);
}
