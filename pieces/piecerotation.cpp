// Quarter turns of pieces: each piece's image and mask are turned in place in
// their sheet cells, pixel for pixel, and its overlays are made again.

#include <QString>

#include <cstring>
#include <optional>
#include <utility>

#include "pieces/overlaybuilder.h"
#include "pieces/pieces.h"
#include "platform/errors.h"
#include "platform/hourglass.h"
#include "platform/random.h"
#include "platform/utility.h"

namespace {

// Copies a width x height block between two bitmaps of one format; in mono
// bitmaps the x positions and the width are whole bytes (multiples of 8).
void CopyBlock(const TBitmap& from, int fromX, int fromY, TBitmap& to, int toX, int toY, int width, int height) {
  const bool mono = from.Format() == TPixelFormat::Mono;
  const auto offset = [mono](int x) { return std::size_t(mono ? x / 8 : 3 * x); };
  const std::size_t bytes = offset(width);
  for (int y = 0; y < height; ++y)
    std::memcpy(to.ScanLine(toY + y) + offset(toX), from.ScanLine(fromY + y) + offset(fromX), bytes);
}

// The rotation scratch: a cell to turn from (the piece set's TurnImage and
// TurnMask) and one to turn into, cleared before every turn so that the cell
// stays black (image) and white (mask) outside the turned piece.
class TCellTurner {
 public:
  TCellTurner(TPieces& pieces)
      : pieces_(pieces),
        width_(pieces.Puzzle().CellWidth),
        height_(pieces.Puzzle().CellHeight),
        turnedImage_(width_, height_),
        turnedMask_(width_, height_, TPixelFormat::Mono),
        overlays_(pieces) {
    if (pieces.TurnImage.Width() < width_ || pieces.TurnImage.Height() < height_)
      pieces.TurnImage = TBitmap(width_, height_);
    if (pieces.TurnMask.Width() < width_ || pieces.TurnMask.Height() < height_)
      pieces.TurnMask = TBitmap(width_, height_, TPixelFormat::Mono);
  }

  void Turn(TFormPiece& p, int turns) {
    const TBitmap& images = pieces_.ImageSheet;
    const TBitmap& masks = pieces_.MaskSheet;
    if (width_ % 8 != 0 || p.SheetX < 0 || p.SheetY < 0 || p.SheetX % 8 != 0 ||
        p.SheetX + width_ > std::min(images.Width(), masks.Width()) ||
        p.SheetY + height_ > std::min(images.Height(), masks.Height()))
      throw EError(QStringLiteral("Piece %1 does not lie in a cell of the image sheets.").arg(p.Index));
    TurnSheet(pieces_.ImageSheet, pieces_.TurnImage, turnedImage_, p, turns);
    TurnSheet(pieces_.MaskSheet, pieces_.TurnMask, turnedMask_, p, turns);
    if (turns & 1) std::swap(p.Width, p.Height);
    p.Rotation = std::uint8_t((p.Rotation + turns) & 3);
    overlays_.Build(p);
  }

 private:
  void TurnSheet(TBitmap& sheet, TBitmap& scratch, TBitmap& turned, const TFormPiece& p, int turns) {
    CopyBlock(sheet, p.SheetX, p.SheetY, scratch, 0, 0, width_, height_);
    turned.Fill(turned.Format() == TPixelFormat::Mono ? 0xFFFFFF : 0);
    pieces_.Rotator.Rotate(scratch, turned, p.Width, p.Height, turns);
    CopyBlock(turned, 0, 0, sheet, p.SheetX, p.SheetY, width_, height_);
  }

  TPieces& pieces_;
  int width_;
  int height_;
  TBitmap turnedImage_;
  TBitmap turnedMask_;
  TOverlayBuilder overlays_;
};

}  // namespace

void TPieces::RotatePieces(TPieceSpan list, int extraTurns, bool showProgress) {
  std::optional<THourglass> hourglass;
  if (list.size() > 1) hourglass.emplace();
  // The scratch is made when the first piece needs turning.
  std::optional<TCellTurner> turner;
  int done = 0;
  try {
    for (TFormPiece* p : list) {
      const int turns = (extraTurns + p->PendingTurns) & 3;
      p->PendingTurns = 0;
      if (turns != 0) {
        if (!turner) turner.emplace(*this);
        turner->Turn(*p, turns);
      }
      if (showProgress) ShowProgress(++done, puzzle_.PieceCount, QStringLiteral("Rotating: "));
    }
  } catch (...) {
    if (showProgress) ClearStatus();
    throw;
  }
  if (showProgress) ClearStatus();
}

void TPieces::ResetRotations(TPieceSpan list, bool randomise) {
  for (TFormPiece* p : list) {
    if (!randomise) {
      p->PendingTurns = p->Rotation;
      p->Rotation = 0;
    } else if (!p->Joined) {
      p->PendingTurns = std::uint8_t(Random(4));
    }
  }
  RotatePieces(list, 0, options_.Rotating);
}
