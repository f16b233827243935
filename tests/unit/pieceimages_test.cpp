// Piece images: extraction boxes and sheet sizes, the tiling of the picture by
// the masks, drawing (also clipped, with wood sides and hidden pieces), rims
// and sides worked out by hand on rectangular pieces, and the status line.

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <functional>
#include <vector>

#include "builtpuzzle.h"
#include "pieces/edges.h"
#include "pieces/overlaybuilder.h"
#include "platform/errors.h"
#include "platform/utility.h"

namespace {

constexpr TColor Magenta = RGBColor(255, 0, 255);

std::uint8_t Label(int row, int column) { return std::uint8_t(0x10 + 4 * (row % 4) + column % 4); }

// A straight-lined label map as a cut without oddness draws it: cell (r, c)
// spans columns (R[c - 1], R[c]] and rows (B[r - 1], B[r]] with R[c] =
// width * c / columns (the last one width - 1), its right and bottom lines
// and the outer border in its own label, its inside free.
struct TGridMap {
  int Width, Height, Columns, Rows;
  std::vector<std::uint8_t> Labels;
  std::vector<TPoint> Centres;  // column by column

  TGridMap(int width, int height, int columns, int rows)
      : Width(width), Height(height), Columns(columns), Rows(rows), Labels(std::size_t(width) * height) {
    const auto right = [&](int c) { return c == 0 ? -1 : c == columns ? width - 1 : width * c / columns; };
    const auto bottom = [&](int r) { return r == 0 ? -1 : r == rows ? height - 1 : height * r / rows; };
    for (int c = 1; c <= columns; ++c)
      for (int r = 1; r <= rows; ++r) {
        const int left = right(c - 1) + 1, top = bottom(r - 1) + 1;
        for (int y = top; y <= bottom(r); ++y)
          for (int x = left; x <= right(c); ++x) {
            const bool line = x == right(c) || y == bottom(r) || x == 0 || y == 0;
            Labels[std::size_t(y) * width + x] = line ? Label(r, c) : 0;
          }
        Centres.push_back({(left + right(c)) / 2, (top + bottom(r)) / 2});
      }
  }
};

struct TEmptyPieces {
  TPuzzleGeometry Geometry;
  TPieceOptions Options;
  TPieces Pieces{Geometry, Options};

  explicit TEmptyPieces(const TGridMap& map) {
    Geometry.Columns = std::uint16_t(map.Columns);
    Geometry.Rows = std::uint16_t(map.Rows);
    Geometry.PieceCount = std::uint16_t(map.Columns * map.Rows);
    Geometry.CutWidth = Geometry.PictureWidth = std::uint16_t(map.Width);
    Geometry.CutHeight = Geometry.PictureHeight = std::uint16_t(map.Height);
    Pieces.CreatePieces();
    Pieces.Centres = map.Centres;
  }
};

bool MaskInside(const TPieces& pieces, const TFormPiece& p, int x, int y) {
  const int sx = p.SheetX + x;
  return !((pieces.MaskSheet.ScanLine(p.SheetY + y)[sx >> 3] >> (7 - (sx & 7))) & 1);
}

// Which pixels of a bitmap differ from another of the same size.
int CountDifferences(const TBitmap& a, const TBitmap& b, const TRect& area) {
  int differences = 0;
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x) differences += a.Pixel(x, y) != b.Pixel(x, y);
  return differences;
}

// The status texts shown while something runs.
class TRecordingStatus : public TStatusLine {
 public:
  TRecordingStatus() { SetStatusLine(this); }
  ~TRecordingStatus() override { SetStatusLine(nullptr); }
  void SetStatusText(const QString& text) override { Texts.append(text); }
  QStringList Texts;
};

}  // namespace

TEST(ExtractPieces, StraightGridGivesTheBoxesAndSheetsWorkedOutByHand) {
  // 30 x 20 in 3 x 2: column lines at 10, 20, 29; row lines at 10, 19.
  TGridMap map(30, 20, 3, 2);
  TEmptyPieces set(map);
  std::vector<std::uint8_t> filled = map.Labels;
  EXPECT_EQ(set.Pieces.ExtractPieces(filled), 48u / 8 * 22);

  const int homeX[] = {0, 11, 21}, widths[] = {11, 10, 9};
  const int homeY[] = {0, 11}, heights[] = {11, 9};
  for (const TFormPiece& p : set.Pieces.Pieces) {
    SCOPED_TRACE(p.Index);
    EXPECT_EQ(p.HomeX, homeX[p.Index % 3]);
    EXPECT_EQ(p.Width, widths[p.Index % 3]);
    EXPECT_EQ(p.HomeY, homeY[p.Index / 3]);
    EXPECT_EQ(p.Height, heights[p.Index / 3]);
  }
  // The largest side is 11: cells 16 x 11, sheets 48 x 22.
  EXPECT_EQ(set.Geometry.CellWidth, 16);
  EXPECT_EQ(set.Geometry.CellHeight, 11);
  EXPECT_EQ(set.Geometry.SheetWidth, 48);
  EXPECT_EQ(set.Geometry.SheetHeight, 22);
  // The map is filled, each cell with its own label marked by the high bit;
  // the lines keep their plain labels.
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) {
      const std::uint8_t line = map.Labels[std::size_t(y) * 30 + x];
      const std::uint8_t label = Label(y <= 10 ? 1 : 2, x <= 10 ? 1 : x <= 20 ? 2 : 3);
      ASSERT_EQ(filled[std::size_t(y) * 30 + x], line != 0 ? label : label | 0x80) << x << "," << y;
    }

  // Records or centres that do not match the grid are refused.
  set.Pieces.Centres.pop_back();
  EXPECT_THROW(set.Pieces.ExtractPieces(filled), EError);
}

namespace {

// One column of two cells, 20 x 40, the boundary at row 20 with a tab of
// one cell reaching past the other's centre: up into the upper cell (its
// centre (9, 10) in the tab) or down into the lower one (its centre (9, 30)).
TGridMap TabPastTheCentre(bool up) {
  TGridMap map(20, 40, 1, 2);
  std::fill(map.Labels.begin(), map.Labels.end(), 0);
  const std::uint8_t upper = Label(1, 1), lower = Label(2, 1);
  const auto set = [&](int x, int y, std::uint8_t label) { map.Labels[std::size_t(y) * 20 + x] = label; };
  for (int y = 0; y < 40; ++y) {
    set(0, y, y <= 20 ? upper : lower);
    set(19, y, y <= 20 ? upper : lower);
  }
  for (int x = 0; x < 20; ++x) {
    set(x, 0, upper);
    set(x, 39, lower);
    if (x <= 5 || x >= 14) set(x, 20, upper);
  }
  const int tip = up ? 5 : 35;
  for (int y = std::min(tip, 20); y <= std::max(tip, 20); ++y) {
    set(5, y, upper);
    set(14, y, upper);
  }
  for (int x = 5; x <= 14; ++x) set(x, tip, upper);
  map.Centres = {{9, 10}, {9, 30}};
  return map;
}

}  // namespace

TEST(ExtractPieces, ATabPastANeighboursCentreStillLeavesEachCellItsOwnArea) {
  for (const bool up : {true, false}) {
    SCOPED_TRACE(up ? "tab up" : "tab down");
    TGridMap map = TabPastTheCentre(up);
    TEmptyPieces set(map);
    std::vector<std::uint8_t> labels = map.Labels;
    const std::size_t sheet = set.Pieces.ExtractPieces(labels);
    std::vector<std::uint8_t> buffer(2 * sheet, 0xFF);
    set.Pieces.BuildMasks(labels, buffer);

    // Whose mask holds each pixel, counting pixels held twice.
    const std::size_t rowBytes = set.Geometry.SheetWidth / 8u;
    std::vector<int> owner(20 * 40, -1);
    for (const TFormPiece& p : set.Pieces.Pieces)
      for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
          const int sy = set.Geometry.SheetHeight + p.Index * set.Geometry.CellHeight + y;
          if ((buffer[std::size_t(sy) * rowBytes + std::size_t(x / 8)] >> (7 - x % 8)) & 1) continue;
          int& o = owner[std::size_t(p.HomeY + y) * 20 + std::size_t(p.HomeX + x)];
          ASSERT_EQ(o, -1) << "held twice: " << p.HomeX + x << "," << p.HomeY + y;
          o = p.Index;
        }
    EXPECT_EQ(std::count(owner.begin(), owner.end(), -1), 0);
    const auto at = [&](int x, int y) { return owner[std::size_t(y) * 20 + x]; };
    // The tab's inside goes with the cell it belongs to, whichever centre
    // lies in it; the rest of each cell stays its own.
    EXPECT_EQ(at(9, 10), up ? 1 : 0);
    EXPECT_EQ(at(9, 30), up ? 1 : 0);
    EXPECT_EQ(at(2, 10), 0);
    EXPECT_EQ(at(17, 3), 0);
    EXPECT_EQ(at(2, 30), 1);
    EXPECT_EQ(at(17, 37), 1);
  }
}

TEST(ExtractPieces, SheetsOf65536PixelsOrMoreOrTooManyPixelsAreRefused) {
  // Four 16,384-pixel pieces side by side need a 65,536-pixel sheet.
  TGridMap tooWide(65535, 8, 4, 1);
  TEmptyPieces refused(tooWide);
  std::vector<std::uint8_t> filled = tooWide.Labels;
  try {
    refused.Pieces.ExtractPieces(filled);
    FAIL() << "no error";
  } catch (const EError& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("65536 x 16384"))) << e.Message().toStdString();
  }
  EXPECT_EQ(refused.Geometry.CellWidth, 0);
  EXPECT_EQ(refused.Geometry.SheetWidth, 0);

  // 65,000 pixels in four: pieces of 16,251 and cells of 16,256 fit the
  // sides, but the square cells of such thin pieces pass the pixels a sheet
  // may have (a billion; three bytes each).
  TGridMap wide(65000, 8, 4, 1);
  TEmptyPieces thin(wide);
  filled = wide.Labels;
  try {
    thin.Pieces.ExtractPieces(filled);
    FAIL() << "no error";
  } catch (const EError& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("65024 x 16251 pixels, more than 65,535 on a side or "
                                                    "268435456 pixels in all")))
        << e.Message().toStdString();
  }
  EXPECT_EQ(thin.Geometry.SheetWidth, 0);

  // One piece of 16,384 pixels: a sheet of 16,384 x 16,384, as many pixels
  // as a sheet may have. One pixel more across, and its cell of 16,392 in a
  // sheet of 16,400 x 16,385 passes them.
  TGridMap largest(16384, 8, 1, 1);
  TEmptyPieces accepted(largest);
  filled = largest.Labels;
  accepted.Pieces.ExtractPieces(filled);
  EXPECT_EQ(accepted.Geometry.SheetWidth, 16384);
  EXPECT_EQ(accepted.Geometry.SheetHeight, 16384);
  TGridMap larger(16385, 8, 1, 1);
  TEmptyPieces tooLarge(larger);
  filled = larger.Labels;
  EXPECT_THROW(tooLarge.Pieces.ExtractPieces(filled), EError);
  EXPECT_EQ(tooLarge.Geometry.SheetWidth, 0);

  // The same limit holds for the sheet's height (one column of 4 rows).
  TGridMap tooTall(8, 65535, 1, 4);
  TEmptyPieces tall(tooTall);
  filled = tooTall.Labels;
  EXPECT_THROW(tall.Pieces.ExtractPieces(filled), EError);
}

namespace {

// Every pixel of the picture lies in exactly one piece's mask at its home
// position, and drawing every piece there without outlines gives the
// picture back.
void ExpectTiling(TBuiltPuzzle&& puzzle) {
  const TPieces& pieces = puzzle.Pieces;
  const int width = puzzle.Record.CutWidth, height = puzzle.Record.CutHeight;
  std::vector<int> cover(std::size_t(width * height), 0);
  for (const TFormPiece& p : pieces.Pieces) {
    ASSERT_GT(p.Width, 0);
    for (int y = 0; y < p.Height; ++y)
      for (int x = 0; x < p.Width; ++x) {
        if (!MaskInside(pieces, p, x, y)) continue;
        const int px = p.HomeX + x, py = p.HomeY + y;
        ASSERT_TRUE(px >= 0 && py >= 0 && px < width && py < height) << "piece " << p.Index;
        ++cover[std::size_t(py * width + px)];
      }
  }
  const auto wrong = std::find_if(cover.begin(), cover.end(), [](int n) { return n != 1; });
  ASSERT_EQ(wrong, cover.end()) << "pixel " << (wrong - cover.begin()) % width << ","
                                << (wrong - cover.begin()) / width << " covered " << *wrong << " times";

  puzzle.PlaceAtHome();
  TBitmap board(width, height);
  board.Fill(Magenta);
  const TPieceList all = puzzle.Pieces.AllPieces();
  pieces.DrawPieceList(all, board, nullptr);
  ASSERT_EQ(CountDifferences(board, pieces.Picture, board.BoundsRect()), 0);
}

}  // namespace

TEST(PieceImages, MasksTileThePictureAndDrawingAtHomeGivesItBack) {
  for (int style = 1; style <= 6; ++style)
    for (const std::uint32_t seed : {7u, 20240601u})
      for (const int oddness : {0, 4, 10}) {
        SCOPED_TRACE(testing::Message() << "style " << style << " seed " << seed << " oddness " << oddness);
        ExpectTiling(TBuiltPuzzle(160, 120, seed == 7 ? 12 : 40, style, oddness, seed, OutlineNone));
      }
  // Star tabs at oddness 10 that reach past a neighbour's centre.
  for (const std::uint32_t seed : {31676u, 118785u}) {
    SCOPED_TRACE(seed);
    ExpectTiling(TBuiltPuzzle(640, 480, 100, 4, 10, seed, OutlineNone));
  }
}

TEST(PieceImages, ImageCellsAreBlackOutsideThePiece) {
  TBuiltPuzzle puzzle(160, 120, 20, 1, 6, 99, OutlineCard);
  const TPieces& pieces = puzzle.Pieces;
  for (const TFormPiece& p : pieces.Pieces)
    for (int y = 0; y < puzzle.Record.CellHeight; ++y)
      for (int x = 0; x < puzzle.Record.CellWidth; ++x) {
        const bool inside = x < p.Width && y < p.Height && MaskInside(pieces, p, x, y);
        const TColor expected = inside ? pieces.Picture.Pixel(p.HomeX + x, p.HomeY + y) : 0;
        ASSERT_EQ(pieces.ImageSheet.Pixel(p.SheetX + x, p.SheetY + y), expected) << p.Index << ": " << x << "," << y;
      }
}

TEST(PieceImages, ClippedDrawingMatchesFullDrawingInsideTheClipOnly) {
  for (const std::int32_t outline : {OutlinePaper, OutlineCard, OutlineWood}) {
    SCOPED_TRACE(outline);
    TBuiltPuzzle puzzle(160, 120, 24, 5, 5, 31, outline);
    TPieces& pieces = puzzle.Pieces;
    // Scattered by hand over a larger board, overlapping, each its own group.
    SetRandSeed(5);
    for (TFormPiece& p : pieces.Pieces) {
      p.X = int(Random(200)) - 20;
      p.Y = int(Random(150)) - 20;
      p.Group = p.Index;
    }
    pieces.Pieces[3].Hidden = true;
    const TPieceList all = pieces.AllPieces();
    TBitmap full(220, 170);
    full.Fill(Magenta);
    pieces.DrawPieceList(all, full, nullptr);

    TBitmap blank(220, 170);
    blank.Fill(Magenta);
    for (const TRect clip : {TRect{40, 50, 90, 80}, TRect{0, 0, 15, 170}, TRect{100, 3, 219, 9}}) {
      TBitmap part = blank;
      pieces.DrawPieceList(all, part, &clip);
      EXPECT_EQ(CountDifferences(part, full, clip), 0);
      // Nothing outside the clip was drawn.
      TPieces::FillArea(part, clip, Magenta);
      EXPECT_EQ(CountDifferences(part, blank, part.BoundsRect()), 0);
    }
  }
}

TEST(PieceImages, WoodSidesGoUnderTheirOwnGroupButOverTheGroupsBelow) {
  TBuiltPuzzle puzzle(160, 120, 24, 1, 5, 8, OutlineWood);
  TPieces& pieces = puzzle.Pieces;
  puzzle.PlaceAtHome();
  const TPieceList all = pieces.AllPieces();
  TBitmap piecesOnly(170, 150);
  piecesOnly.Fill(Magenta);
  for (const TFormPiece* p : all) pieces.DrawPiece(*p, piecesOnly, nullptr);
  const TRect picture{0, 0, 160, 120};

  // One group: inside the picture every pixel is a piece's own.
  for (TFormPiece& p : pieces.Pieces) p.Group = 0;
  TBitmap oneGroup(170, 150);
  oneGroup.Fill(Magenta);
  pieces.DrawPieceList(all, oneGroup, nullptr);
  EXPECT_EQ(CountDifferences(oneGroup, piecesOnly, picture), 0);
  // The bottom row's sides show below the picture, Thickness rows deep.
  const int thickness = pieces.Thickness;
  EXPECT_GT(CountDifferences(oneGroup, piecesOnly, {0, 120, 160, 120 + thickness}), 0);
  EXPECT_EQ(CountDifferences(oneGroup, piecesOnly, {0, 120 + thickness, 170, 150}), 0);

  // Each piece its own group, the upper rows on top: their sides cover the
  // pieces below them.
  for (TFormPiece& p : pieces.Pieces) p.Group = puzzle.Record.PieceCount - p.Index;
  TPieceList stacked = all;
  TPieces::SortList(stacked, TSortOrder::Stacking);
  TBitmap separate(170, 150);
  separate.Fill(Magenta);
  pieces.DrawPieceList(stacked, separate, nullptr);
  EXPECT_GT(CountDifferences(separate, piecesOnly, picture), 0);
}

TEST(PieceImages, HiddenPiecesMasksAndFilledAreas) {
  TBuiltPuzzle puzzle(160, 120, 20, 2, 5, 3, OutlineNone);
  TPieces& pieces = puzzle.Pieces;
  puzzle.PlaceAtHome();
  TFormPiece& hidden = pieces.Pieces[6];
  hidden.Hidden = true;
  TBitmap board(160, 120);
  board.Fill(Magenta);
  const TPieceList all = pieces.AllPieces();
  pieces.DrawPieceList(all, board, nullptr);
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x) {
      const int hx = x - hidden.HomeX, hy = y - hidden.HomeY;
      const bool inHidden = hx >= 0 && hy >= 0 && hx < hidden.Width && hy < hidden.Height &&
                            MaskInside(pieces, hidden, hx, hy);
      ASSERT_EQ(board.Pixel(x, y), inHidden ? Magenta : pieces.Picture.Pixel(x, y)) << x << "," << y;
    }

  // Silhouettes of every piece, hidden or not, black out the whole picture,
  // in 24-bit and in mono bitmaps; outside them nothing changes.
  for (const TPixelFormat format : {TPixelFormat::Bgr24, TPixelFormat::Mono}) {
    TBitmap silhouettes(170, 130, format);
    silhouettes.Fill(0xFFFFFF);
    pieces.DrawMasks(all, silhouettes);
    for (int y = 0; y < 130; ++y)
      for (int x = 0; x < 170; ++x)
        ASSERT_EQ(silhouettes.Pixel(x, y), x < 160 && y < 120 ? 0u : 0xFFFFFFu) << x << "," << y;
  }

  TBitmap filled(20, 10);
  TPieces::FillArea(filled, {2, 3, 5, 20}, RGBColor(1, 2, 3));
  EXPECT_EQ(filled.Pixel(2, 3), RGBColor(1, 2, 3));
  EXPECT_EQ(filled.Pixel(4, 9), RGBColor(1, 2, 3));
  EXPECT_EQ(filled.Pixel(5, 3), 0u);
  EXPECT_EQ(filled.Pixel(2, 2), 0u);
}

TEST(PieceImages, RimWidthAndSideThicknessFollowTheCellSize) {
  for (const int cell : {8, 40, 79, 80, 119, 120, 239, 240, 1000}) {
    SCOPED_TRACE(cell);
    const int cardRim = cell < 80 ? 2 : cell < 120 ? 2 : cell < 160 ? 3 : cell < 200 ? 4 : cell < 240 ? 5 : 6;
    EXPECT_EQ(TPieces::RimWidthFor(OutlinePaper, cell), 1);
    EXPECT_EQ(TPieces::RimWidthFor(OutlineCard, cell), cardRim);
    EXPECT_EQ(TPieces::RimWidthFor(OutlineWood, cell), cardRim);
  }
  for (const auto& [cell, thickness] : {std::pair{1, 1}, {29, 1}, {30, 2}, {44, 2}, {45, 3}, {299, 19}, {300, 20}, {5000, 20}})
    EXPECT_EQ(TPieces::ThicknessFor(cell), thickness) << cell;
}

namespace {

int GreyAt(const TBitmap& bitmap, int x, int y) { return RedOf(bitmap.Pixel(x, y)); }

}  // namespace

TEST(PieceOverlays, PaperRimIsOnePixelWhereEachDiagonalEntersAndLeaves) {
  TLonePiece lone(40, 40, 25, OutlinePaper);
  EXPECT_EQ(lone.Pieces.RimWidth, 1);
  EXPECT_TRUE(lone.Piece().SideSprite.empty());
  const TBitmap rim = lone.RimOnGrey();
  // Pixel (x, y) lies m = min(x, y) steps into its diagonal and e steps
  // before its end. Diagonals of one pixel (two corners) get nothing.
  for (int y = 0; y < 29; ++y)
    for (int x = 0; x < 44; ++x) {
      int expected = 128;
      if (x < 40 && y < 25) {
        const int m = std::min(x, y), e = std::min(39 - x, 24 - y);
        if (m == 0 && e > 0) expected = 178;
        if (e == 0 && m > 0) expected = 58;
      }
      ASSERT_EQ(GreyAt(rim, x, y), expected) << x << "," << y;
    }
}

TEST(PieceOverlays, CardRimBandsAreTwoPixelsDeepAtCellsOf80) {
  TLonePiece lone(80, 40, 25, OutlineCard);
  EXPECT_EQ(lone.Pieces.RimWidth, 2);
  const TBitmap rim = lone.RimOnGrey();
  for (int x = 5; x <= 34; ++x) {
    SCOPED_TRACE(x);
    EXPECT_EQ(GreyAt(rim, x, 0), 178);
    EXPECT_EQ(GreyAt(rim, x, 1), 178);
    for (int y = 2; y <= 22; ++y) ASSERT_EQ(GreyAt(rim, x, y), 128) << y;
    EXPECT_EQ(GreyAt(rim, x, 23), 58);
    EXPECT_EQ(GreyAt(rim, x, 24), 58);
  }
  for (int y = 5; y <= 19; ++y) {
    SCOPED_TRACE(y);
    EXPECT_EQ(GreyAt(rim, 0, y), 178);
    EXPECT_EQ(GreyAt(rim, 1, y), 178);
    EXPECT_EQ(GreyAt(rim, 2, y), 128);
    EXPECT_EQ(GreyAt(rim, 37, y), 128);
    EXPECT_EQ(GreyAt(rim, 38, y), 58);
    EXPECT_EQ(GreyAt(rim, 39, y), 58);
  }
}

TEST(PieceOverlays, WoodSideShowsThicknessRowsOfTextureBelowThePiece) {
  for (const auto& [cell, width, height, thickness] : {std::tuple{29, 20, 12, 1}, {300, 40, 25, 20}}) {
    SCOPED_TRACE(cell);
    TLonePiece lone(cell, width, height, OutlineWood);
    ASSERT_EQ(lone.Pieces.Thickness, thickness);
    TBitmap side(width + 4, height + thickness + 4);
    const TColor grey = RGBColor(128, 128, 128);
    side.Fill(grey);
    lone.Pieces.DrawSide(lone.Piece(), side, nullptr);
    const TBitmap& texture = lone.Pieces.Texture;
    for (int y = 0; y < side.Height(); ++y)
      for (int x = 0; x < side.Width(); ++x) {
        TColor expected = grey;
        if (x < width && y >= height && y < height + thickness) {
          const std::uint8_t index = texture.ScanLine(y % 96)[x % 96];
          const TPaletteEntry& wood = lone.Pieces.SidePainter.Palette()[index];
          if (index != 0) expected = RGBColor(wood.Red, wood.Green, wood.Blue);
        }
        ASSERT_EQ(side.Pixel(x, y), expected) << x << "," << y;
      }
  }
}

TEST(PieceOverlays, ChangingTheOutlineStyleBuildsOrFreesOverlays) {
  TLonePiece lone(80, 40, 25, OutlineWood);
  EXPECT_FALSE(lone.Piece().RimSprite.empty());
  EXPECT_FALSE(lone.Piece().SideSprite.empty());
  lone.Options.OutlineStyle = OutlineCard;
  lone.Pieces.BuildOverlays();
  EXPECT_FALSE(lone.Piece().RimSprite.empty());
  EXPECT_TRUE(lone.Piece().SideSprite.empty());
  lone.Options.OutlineStyle = OutlinePaper;
  lone.Pieces.BuildOverlays();
  EXPECT_EQ(lone.Pieces.RimWidth, 1);
  lone.Options.OutlineStyle = OutlineNone;
  lone.Pieces.BuildOverlays();
  EXPECT_TRUE(lone.Piece().RimSprite.empty());
  EXPECT_TRUE(lone.Piece().SideSprite.empty());
}

TEST(PieceImages, ProgressGoesToTheStatusLineWhichEndsCleared) {
  TRecordingStatus status;
  TBuiltPuzzle puzzle(160, 120, 20, 1, 5, 1, OutlineCard);
  const auto shown = [&](const char* label) {
    return std::any_of(status.Texts.begin(), status.Texts.end(),
                       [&](const QString& t) { return t.startsWith(QLatin1String(label)) && t.endsWith('%'); });
  };
  EXPECT_TRUE(shown("Extracting: "));
  EXPECT_TRUE(shown("Drawing: "));
  ASSERT_FALSE(status.Texts.isEmpty());
  EXPECT_EQ(status.Texts.last(), QString());
}

TEST(PieceOverlays, RimsFollowTheDiagonalWalkOnEveryPieceOfACut) {
  for (const std::int32_t outline : {OutlinePaper, OutlineCard}) {
    SCOPED_TRACE(outline);
    TBuiltPuzzle puzzle(160, 120, 12, 6, 9, 123, outline);
    TPieces& pieces = puzzle.Pieces;
    const int rimWidth = pieces.RimWidth;
    for (const TFormPiece& p : pieces.Pieces) {
      SCOPED_TRACE(p.Index);
      // The walk as a state machine, pixel by pixel: 0 outside, 1 light band,
      // 2 inside; dark pixels go just before an outside pixel, or end at an
      // inside last pixel.
      const int w = p.Width, h = p.Height;
      std::vector<int> expected(std::size_t(w * h), 128);
      for (int j = 0; j < w + h - 1; ++j) {
        const int x0 = j < h ? 0 : j - h + 1, y0 = j < h ? h - 1 - j : 0;
        const int length = std::min(w - x0, h - y0);
        int state = 0, light = 0, deep = 0;
        for (int k = 0; k < length; ++k) {
          const bool in = MaskInside(pieces, p, x0 + k, y0 + k);
          if (in && k < length - 1) {
            if (state == 0) {
              expected[std::size_t((y0 + k) * w + x0 + k)] = 178;
              light = 1, deep = 0, state = 1;
            } else if (state == 1 && light < rimWidth) {
              expected[std::size_t((y0 + k) * w + x0 + k)] = 178;
              ++light;
            } else if (state == 1) {
              state = 2;
            } else {
              ++deep;
            }
            continue;
          }
          if (state != 0) {
            const int n = (light + std::min(rimWidth, deep) + 1) / 2;
            for (int t = 0; t < n; ++t) {
              const int at = (in ? k : k - 1) - t;
              expected[std::size_t((y0 + at) * w + x0 + at)] = 58;
            }
          }
          state = 0;
        }
      }
      TBitmap grey(w + 1, h + 1);
      grey.Fill(RGBColor(128, 128, 128));
      pieces.RimPainter.DrawRuns(p.RimSprite, grey, nullptr, 0, 0, w, h);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(RedOf(grey.Pixel(x, y)), expected[std::size_t(y * w + x)]) << x << "," << y;
    }
  }
}
