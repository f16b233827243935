#include "pieces/colourkeys.h"

#include <QString>

#include "platform/hourglass.h"
#include "platform/utility.h"

namespace {

constexpr int SampleStep = 4;
constexpr std::uint32_t ColourMask = 0x00FFFFFF;

TColor AverageColour(const TBitmap& picture, const TFormPiece& p) {
  std::int64_t red = 0;
  std::int64_t green = 0;
  std::int64_t blue = 0;
  std::int64_t count = 0;
  const TRect inside = picture.BoundsRect();
  for (int oy = SampleStep; oy < p.Height; oy += SampleStep) {
    for (int ox = SampleStep; ox < p.Width; ox += SampleStep) {
      const TPoint at{p.HomeX + ox, p.HomeY + oy};
      if (!inside.Contains(at)) continue;
      const TColor c = picture.Pixel(at.X, at.Y);
      red += RedOf(c);
      green += GreenOf(c);
      blue += BlueOf(c);
      ++count;
    }
  }
  if (count == 0) count = 1;
  return RGBColor(int(red / count), int(green / count), int(blue / count));
}

std::int32_t ColourDistance(std::uint32_t a, std::uint32_t b) {
  const int dr = RedOf(a) - RedOf(b);
  const int dg = GreenOf(a) - GreenOf(b);
  const int db = BlueOf(a) - BlueOf(b);
  return dr * dr + dg * dg + db * db;
}

bool Marked(const TFormPiece& p) { return (p.ColourKey & ColourRankBase) != 0; }

// Ranks the pieces along the chain. Marking a piece sets the rank bit and keeps
// its colour in the low bytes until the piece itself is ranked.
void RankColourChain(TPieces& pieces) {
  std::vector<TFormPiece>& all = pieces.Pieces;
  if (all.empty()) return;
  THourglass hourglass;
  const QString label = QStringLiteral("Sorting colors: ");
  TFormPiece* current = &all.front();
  current->ColourKey |= ColourRankBase;
  std::uint32_t rank = 0;
  for (;;) {
    const std::uint32_t colour = current->ColourKey & ColourMask;
    TFormPiece* nearest = nullptr;
    std::int32_t nearestDistance = ColourChainReach;
    for (TFormPiece& p : all) {
      if (Marked(p)) continue;
      const std::int32_t distance = ColourDistance(colour, p.ColourKey);
      if (distance < nearestDistance) {
        nearest = &p;
        nearestDistance = distance;
      }
    }
    current->ColourKey = ColourRankBase + rank;
    if (nearest == nullptr) break;
    nearest->ColourKey |= ColourRankBase;
    ++rank;
    ShowProgress(std::int32_t(rank + 1), pieces.Puzzle().PieceCount, label);
    current = nearest;
  }
  ClearStatus();
}

}  // namespace

void ComputeColourKeys(TPieces& pieces, const TBitmap& picture) {
  for (TFormPiece& p : pieces.Pieces) p.ColourKey = AverageColour(picture, p);
  RankColourChain(pieces);
}
