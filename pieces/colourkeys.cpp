#include "pieces/colourkeys.h"

#include <QString>

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "platform/hourglass.h"
#include "platform/utility.h"

namespace {

constexpr int SampleStep = 4;

TColor AverageColour(const TBitmap& picture, const TFormPiece& p) {
  std::int64_t red = 0;
  std::int64_t green = 0;
  std::int64_t blue = 0;
  std::int64_t count = 0;
  // The picture as cut is 24-bit: its rows are read directly, other formats
  // through their palette or bits.
  const bool bgr = picture.Format() == TPixelFormat::Bgr24;
  for (int oy = SampleStep; oy < p.Height; oy += SampleStep) {
    const int y = p.HomeY + oy;
    if (y < 0 || y >= picture.Height()) continue;
    const std::uint8_t* row = picture.ScanLine(y);
    for (int ox = SampleStep; ox < p.Width; ox += SampleStep) {
      const int x = p.HomeX + ox;
      if (x < 0 || x >= picture.Width()) continue;
      const TColor c = bgr ? RGBColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]) : picture.Pixel(x, y);
      red += RedOf(c);
      green += GreenOf(c);
      blue += BlueOf(c);
      ++count;
    }
  }
  if (count == 0) count = 1;
  return RGBColor(int(red / count), int(green / count), int(blue / count));
}

// The colours of the pieces not yet on the chain, for finding the nearest one
// without looking at every piece: a k-d tree of the distinct colours, each
// holding its pieces in index order. The tree keeps, per subtree, how many
// pieces are left, so that emptied parts cost nothing to pass.
class TUnvisitedColours {
 public:
  // Every piece but the first, where the chain starts. colours are plain
  // 0x00BBGGRR values, one per piece.
  explicit TUnvisitedColours(std::span<const std::uint32_t> colours) {
    for (std::size_t i = 1; i < colours.size(); ++i) pieces_.push_back(std::uint32_t(i));
    // Sorted by colour and then index: every colour's pieces lie together,
    // lowest index first, which is the one the chain takes first.
    std::sort(pieces_.begin(), pieces_.end(), [&](std::uint32_t a, std::uint32_t b) {
      return colours[a] != colours[b] ? colours[a] < colours[b] : a < b;
    });
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
      const std::uint32_t colour = colours[pieces_[i]];
      if (i > 0 && colour == colours[pieces_[i - 1]]) {
        ++nodes_.back().End;
        continue;
      }
      const std::uint32_t at = std::uint32_t(i);
      nodes_.push_back({{RedOf(colour), GreenOf(colour), BlueOf(colour)}, at, at + 1, 0});
    }
    Build(0, nodes_.size(), 0);
  }

  // Takes the piece whose colour is nearest to colour, at a squared distance
  // below ColourChainReach, the lowest index among equally near ones; none when
  // no piece is that near.
  std::optional<std::uint32_t> TakeNearest(std::uint32_t colour) {
    TSearch search;
    search.Target = {RedOf(colour), GreenOf(colour), BlueOf(colour)};
    Search(0, nodes_.size(), 0, search);
    if (!search.Node) return std::nullopt;
    const std::size_t found = *search.Node;
    const std::uint32_t piece = pieces_[nodes_[found].First++];
    for (std::size_t low = 0, high = nodes_.size();;) {
      const std::size_t middle = low + (high - low) / 2;
      --nodes_[middle].LeftInSubtree;
      if (found == middle) break;
      if (found < middle)
        high = middle;
      else
        low = middle + 1;
    }
    return piece;
  }

 private:
  using TChannels = std::array<int, 3>;  // red, green, blue

  // One distinct colour: its pieces are pieces_[First, End). The node at the
  // middle of a range roots the subtree of that range.
  struct TNode {
    TChannels Channels;
    std::uint32_t First;
    std::uint32_t End;
    std::uint32_t LeftInSubtree;
  };

  // The best candidate so far. It starts just inside the reach, so that any
  // piece nearer than the reach beats it.
  struct TSearch {
    TChannels Target;
    int Distance = ColourChainReach - 1;
    std::uint32_t Piece = std::numeric_limits<std::uint32_t>::max();
    std::optional<std::size_t> Node;
  };

  // The subtree of nodes_[low, high) splits at its middle node on channel
  // depth mod 3: smaller-or-equal values before it, greater-or-equal after.
  // Returns the pieces it holds.
  std::uint32_t Build(std::size_t low, std::size_t high, int depth) {
    if (low >= high) return 0;
    const std::size_t middle = low + (high - low) / 2;
    const int channel = depth % 3;
    auto onChannel = [channel](const TNode& a, const TNode& b) {
      return a.Channels[channel] < b.Channels[channel];
    };
    std::nth_element(nodes_.begin() + std::ptrdiff_t(low), nodes_.begin() + std::ptrdiff_t(middle),
                     nodes_.begin() + std::ptrdiff_t(high), onChannel);
    const std::uint32_t below = Build(low, middle, depth + 1) + Build(middle + 1, high, depth + 1);
    TNode& node = nodes_[middle];
    node.LeftInSubtree = node.End - node.First + below;
    return node.LeftInSubtree;
  }

  void Search(std::size_t low, std::size_t high, int depth, TSearch& search) const {
    if (low >= high) return;
    const std::size_t middle = low + (high - low) / 2;
    const TNode& node = nodes_[middle];
    if (node.LeftInSubtree == 0) return;
    if (node.First < node.End) {
      int distance = 0;
      for (int c = 0; c < 3; ++c)
        distance += (search.Target[c] - node.Channels[c]) * (search.Target[c] - node.Channels[c]);
      const std::uint32_t piece = pieces_[node.First];
      if (distance < search.Distance || (distance == search.Distance && piece < search.Piece)) {
        search.Distance = distance;
        search.Piece = piece;
        search.Node = middle;
      }
    }
    // Every colour on the far side is at least offset away on this channel
    // alone; one exactly as far as the best may still win by its lower index.
    const int offset = search.Target[depth % 3] - node.Channels[depth % 3];
    const bool before = offset < 0;
    if (before)
      Search(low, middle, depth + 1, search);
    else
      Search(middle + 1, high, depth + 1, search);
    if (offset * offset > search.Distance) return;
    if (before)
      Search(middle + 1, high, depth + 1, search);
    else
      Search(low, middle, depth + 1, search);
  }

  std::vector<std::uint32_t> pieces_;
  std::vector<TNode> nodes_;
};

// Ranks the pieces along the chain; pieces it never reaches keep their colour.
void RankColourChain(TPieces& pieces) {
  std::vector<TFormPiece>& all = pieces.Pieces;
  if (all.empty()) return;
  THourglass hourglass;
  const QString label = QStringLiteral("Sorting colors: ");
  std::vector<std::uint32_t> colours;
  for (const TFormPiece& p : all) colours.push_back(p.ColourKey);
  TUnvisitedColours unvisited(colours);
  std::size_t current = 0;
  std::uint32_t rank = 0;
  for (;;) {
    const std::optional<std::uint32_t> nearest = unvisited.TakeNearest(colours[current]);
    all[current].ColourKey = ColourRankBase + rank;
    if (!nearest) break;
    ++rank;
    ShowProgress(std::int32_t(rank + 1), pieces.Puzzle().PieceCount, label);
    current = *nearest;
  }
  ClearStatus();
}

}  // namespace

void ComputeColourKeys(TPieces& pieces, const TBitmap& picture) {
  for (TFormPiece& p : pieces.Pieces) p.ColourKey = AverageColour(picture, p);
  RankColourChain(pieces);
}
