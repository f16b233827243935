#include "pieces/colourkeys.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "platform/utility.h"

namespace {

class TRecordingStatusLine : public TStatusLine {
 public:
  TRecordingStatusLine() { SetStatusLine(this); }
  ~TRecordingStatusLine() override { SetStatusLine(nullptr); }
  TRecordingStatusLine(const TRecordingStatusLine&) = delete;
  TRecordingStatusLine& operator=(const TRecordingStatusLine&) = delete;
  void SetStatusText(const QString& text) override { Texts.push_back(text); }
  QStringList Texts;
};

constexpr std::uint32_t Rank(std::uint32_t r) { return ColourRankBase + r; }

class ColourKeysTest : public ::testing::Test {
 protected:
  // One row of 8 x 8 pieces side by side; each piece's only sample, at (4, 4)
  // inside it, takes the piece's colour. Returns the keys.
  std::vector<std::uint32_t> KeysOfRow(const std::vector<TColor>& colours) {
    const int n = int(colours.size());
    MakeRow(n, 8, 8);
    picture = TBitmap(8 * n, 8);
    for (int i = 0; i < n; ++i) picture.SetPixel(8 * i + 4, 4, colours[std::size_t(i)]);
    ComputeColourKeys(pieces, picture);
    return Keys();
  }

  void MakeRow(int n, int width, int height) {
    puzzle.Columns = std::uint16_t(n);
    puzzle.Rows = 1;
    puzzle.PieceCount = std::uint16_t(n);
    pieces.CreatePieces();
    for (TFormPiece& p : pieces.Pieces) {
      p.HomeX = width * p.Index;
      p.Width = std::uint16_t(width);
      p.Height = std::uint16_t(height);
    }
  }

  std::vector<std::uint32_t> Keys() const {
    std::vector<std::uint32_t> keys;
    for (const TFormPiece& p : pieces.Pieces) keys.push_back(p.ColourKey);
    return keys;
  }

  TPuzzleGeometry puzzle;
  TPieceOptions options;
  TPieces pieces{puzzle, options};
  TBitmap picture;
};

// The chain as plainly as it can be written: from each piece, scan all the
// others for the nearest one not yet visited; the first of equals wins.
std::vector<std::uint32_t> ReferenceKeys(const std::vector<TColor>& colours) {
  std::vector<std::uint32_t> keys(colours.begin(), colours.end());
  std::vector<bool> visited(colours.size(), false);
  std::size_t current = 0;
  visited[0] = true;
  for (std::uint32_t rank = 0;; ++rank) {
    keys[current] = Rank(rank);
    std::size_t nearest = colours.size();
    std::int32_t nearestDistance = ColourChainReach;
    for (std::size_t i = 0; i < colours.size(); ++i) {
      if (visited[i]) continue;
      const int dr = RedOf(colours[i]) - RedOf(colours[current]);
      const int dg = GreenOf(colours[i]) - GreenOf(colours[current]);
      const int db = BlueOf(colours[i]) - BlueOf(colours[current]);
      const std::int32_t distance = dr * dr + dg * dg + db * db;
      if (distance < nearestDistance) {
        nearest = i;
        nearestDistance = distance;
      }
    }
    if (nearest == colours.size()) return keys;
    visited[nearest] = true;
    current = nearest;
  }
}

// count colours, each channel drawn from that channel of low up to, not
// including, low + span.
std::vector<TColor> RandomColours(std::mt19937& random, int count, TColor low, TColor span) {
  auto draw = [&](int from, int values) { return from + int(random() % std::uint32_t(values)); };
  std::vector<TColor> colours;
  for (int i = 0; i < count; ++i) {
    const int red = draw(RedOf(low), RedOf(span));
    const int green = draw(GreenOf(low), GreenOf(span));
    const int blue = draw(BlueOf(low), BlueOf(span));
    colours.push_back(RGBColor(red, green, blue));
  }
  return colours;
}

}  // namespace

TEST_F(ColourKeysTest, AverageOfEveryFourthPixelInsideThePicture) {
  // Four 12 x 12 pieces; a 12-pixel side has samples at 4 and 8 only. The
  // picture is 30 wide, so piece 2 (from x = 24) has its samples at x = 32
  // outside it, and piece 3 is only 4 wide: no samples at all.
  MakeRow(4, 12, 12);
  pieces.PieceAt(3).HomeX = 0;
  pieces.PieceAt(3).Width = 4;
  picture = TBitmap(30, 12);
  picture.Fill(RGBColor(0, 255, 0));  // between the samples: never read
  for (int x : {4, 8})
    for (int y : {4, 8}) picture.SetPixel(x, y, RGBColor(255, 255, 255));
  // Piece 1: reds 10, 11, 11, 11 (43 / 4 truncates to 10), green 3 / 4 = 0.
  picture.SetPixel(16, 4, RGBColor(10, 0, 255));
  picture.SetPixel(20, 4, RGBColor(11, 0, 255));
  picture.SetPixel(16, 8, RGBColor(11, 0, 255));
  picture.SetPixel(20, 8, RGBColor(11, 3, 255));
  // Piece 2: blues 60 and 61 inside; 121 / 2 = 60.
  picture.SetPixel(28, 4, RGBColor(0, 0, 60));
  picture.SetPixel(28, 8, RGBColor(0, 0, 61));
  ComputeColourKeys(pieces, picture);
  // White piece 0 starts the chain and reaches none of the others.
  EXPECT_EQ(Keys(), (std::vector<std::uint32_t>{Rank(0), 0x00FF000A, 0x003C0000, 0}));
}

TEST_F(ColourKeysTest, ChainStopsAtSquaredDistance65535) {
  // Black and white: the chain runs through the black pieces (nearest first,
  // the earlier of equals first) and never crosses to white.
  const TColor black = 0;
  const TColor white = RGBColor(255, 255, 255);
  EXPECT_EQ(KeysOfRow({black, white, black, white, RGBColor(10, 0, 0), black}),
            (std::vector<std::uint32_t>{Rank(0), 0x00FFFFFF, Rank(1), 0x00FFFFFF, Rank(3), Rank(2)}));

  // 255^2 + 22^2 + 5^2 = 65534 is reached; 255^2 + 16^2 + 16^2 = 65537 is not.
  EXPECT_EQ(KeysOfRow({black, RGBColor(255, 22, 5)}), (std::vector<std::uint32_t>{Rank(0), Rank(1)}));
  EXPECT_EQ(KeysOfRow({black, RGBColor(255, 16, 16)}), (std::vector<std::uint32_t>{Rank(0), 0x001010FF}));

  // Pieces not reached keep their colour and so sort before every ranked one.
  TPieceList all = pieces.AllPieces();
  TPieces::SortList(all, TSortOrder::Colour);
  EXPECT_EQ(all.front()->Index, 1);
}

TEST_F(ColourKeysTest, ChainFollowsTheNearestColourFromEachPiece) {
  const TColor grey = RGBColor(100, 100, 100);
  // From 0: piece 3 (distance 0). From 3: pieces 1 and 2 both at 400, the
  // earlier wins. From 1: piece 2 at 1600. From 2 (80, 100, 100) white lies at
  // 175^2 + 2 x 155^2 = 78675: the chain ends.
  TRecordingStatusLine status;
  ShowProgress(0, 1, QString());  // a known start for the progress steps
  status.Texts.clear();
  EXPECT_EQ(KeysOfRow({grey, RGBColor(120, 100, 100), RGBColor(80, 100, 100), grey, RGBColor(255, 255, 255)}),
            (std::vector<std::uint32_t>{Rank(0), Rank(2), Rank(3), Rank(1), 0x00FFFFFF}));
  // Progress after each link: 2, 3 and 4 of 5 pieces; then the line is cleared.
  EXPECT_EQ(status.Texts, (QStringList{"Sorting colors: 40%", "Sorting colors: 60%", "Sorting colors: 80%", ""}));
}

TEST_F(ColourKeysTest, OnePieceAndNoPieces) {
  EXPECT_EQ(KeysOfRow({RGBColor(1, 2, 3)}), (std::vector<std::uint32_t>{Rank(0)}));
  pieces.FreePieces();
  ComputeColourKeys(pieces, picture);  // nothing to do
  EXPECT_TRUE(pieces.Pieces.empty());
}

TEST_F(ColourKeysTest, ChainIsTheOneFoundByScanningEveryPiece) {
  std::mt19937 random(20240601);
  // Two clusters out of each other's reach, interleaved: the chain never
  // leaves the first.
  std::vector<TColor> apart = RandomColours(random, 1000, RGBColor(0, 0, 0), RGBColor(16, 16, 16));
  const std::vector<TColor> far = RandomColours(random, 1000, RGBColor(200, 200, 200), RGBColor(56, 56, 56));
  for (std::size_t i = 0; i < far.size(); ++i)
    apart.insert(apart.begin() + std::ptrdiff_t(2 * i + 1), far[i]);
  // Black, and colours near (255, 23, 0) at squared distances from 65,025 +
  // 529 up: just out of reach. A bridge at (255, 22, 3), at 65,518, brings
  // them all in.
  std::vector<TColor> outOfReach = RandomColours(random, 300, RGBColor(0, 0, 0), RGBColor(1, 1, 1));
  const std::vector<TColor> across = RandomColours(random, 300, RGBColor(255, 23, 0), RGBColor(1, 2, 4));
  outOfReach.insert(outOfReach.begin() + 7, across.begin(), across.end());
  std::vector<TColor> bridged = outOfReach;
  bridged.push_back(RGBColor(255, 22, 3));

  const struct {
    std::vector<TColor> Colours;
    std::ptrdiff_t Unreached;
  } cases[] = {
      // Six values a channel: nearly every colour repeats and most distances tie.
      {RandomColours(random, 3000, RGBColor(100, 100, 100), RGBColor(6, 6, 6)), 0},
      // Wider ranges: fewer duplicates, ties of distance still common.
      {RandomColours(random, 3000, RGBColor(0, 40, 200), RGBColor(48, 48, 40)), 0},
      {apart, 1000},
      {outOfReach, 300},
      {bridged, 0},
  };
  for (const auto& c : cases) {
    const std::vector<std::uint32_t> expected = ReferenceKeys(c.Colours);
    EXPECT_EQ(KeysOfRow(c.Colours), expected);
    auto unranked = [](std::uint32_t key) { return key < ColourRankBase; };
    EXPECT_EQ(std::count_if(expected.begin(), expected.end(), unranked), c.Unreached);
  }
}
