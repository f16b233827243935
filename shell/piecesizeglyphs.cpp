#include "shell/piecesizeglyphs.h"

#include <QImage>
#include <QPainter>

#include <vector>

#include "pieces/samplepiece.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/colors.h"
#include "shell/glyphs.h"

namespace {

const QColor PieceColor(0xF0, 0x8A, 0x24);  // the program's warm orange

// The piece is traced large, so that its curves survive the smooth scaling
// down. Its body lies a quarter of a side in from the origin and its tabs
// reach at most a quarter of a side out, so a frame of one and a half sides
// holds every style with the body in the middle, all at one scale.
constexpr int TraceSide = 96;
constexpr int TraceFrame = TraceSide * 3 / 2;
constexpr int TraceCanvas = TraceSide * 2;
// The outline's width in traced pixels: about a pixel and a half once scaled.
constexpr int OutlineWidth = 5;
constexpr TColor PureRed = 0x0000FF;

// One pixel per traced pixel: true where the piece lies.
std::vector<bool> TracedPiece(std::int32_t style) {
  TBitmap traced(TraceCanvas, TraceCanvas);
  traced.Fill(clWhite);
  TCanvas canvas(traced);
  // A one-cell puzzle at 100 % has a piece exactly of the picture's size.
  DrawSamplePiece(&canvas, 100, 0, style, {TraceSide, TraceSide, 1, 1});
  std::vector<bool> piece(std::size_t(TraceCanvas) * TraceCanvas);
  for (int y = 0; y < TraceCanvas; ++y)
    for (int x = 0; x < TraceCanvas; ++x) piece[std::size_t(y) * TraceCanvas + x] = traced.Pixel(x, y) == PureRed;
  return piece;
}

// Piece pixels with the outside at most `width` steps away (4-connected).
std::vector<bool> Rim(const std::vector<bool>& piece, int width) {
  std::vector<bool> inner = piece;
  for (int step = 0; step < width; ++step) {
    std::vector<bool> eroded = inner;
    for (int y = 0; y < TraceCanvas; ++y)
      for (int x = 0; x < TraceCanvas; ++x) {
        const auto at = [&](int px, int py) {
          return px >= 0 && py >= 0 && px < TraceCanvas && py < TraceCanvas &&
                 inner[std::size_t(py) * TraceCanvas + px];
        };
        if (!at(x - 1, y) || !at(x + 1, y) || !at(x, y - 1) || !at(x, y + 1))
          eroded[std::size_t(y) * TraceCanvas + x] = false;
      }
    inner = std::move(eroded);
  }
  std::vector<bool> rim(piece.size());
  for (std::size_t i = 0; i < piece.size(); ++i) rim[i] = piece[i] && !inner[i];
  return rim;
}

}  // namespace

QPixmap DrawStyleGlyph(std::int32_t style, int size) {
  if (size <= 0) size = StyleGlyphSize;
  const std::vector<bool> piece = TracedPiece(style);
  const std::vector<bool> rim = Rim(piece, OutlineWidth);

  QImage large(TraceCanvas, TraceCanvas, QImage::Format_ARGB32);
  large.fill(Qt::transparent);
  for (int y = 0; y < TraceCanvas; ++y)
    for (int x = 0; x < TraceCanvas; ++x) {
      const std::size_t i = std::size_t(y) * TraceCanvas + x;
      // A little lighter at the top, as the toolbar's pieces are.
      if (piece[i])
        large.setPixelColor(x, y, rim[i] ? PieceColor.darker(200) : PieceColor.lighter(130 - 30 * y / TraceFrame));
    }

  QPixmap picture(size, size);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.drawImage(
      QRect(0, 0, size, size),
      large.copy(0, 0, TraceFrame, TraceFrame).scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  return picture;
}

QIcon StyleGlyphIcon(std::int32_t style) {
  return DrawnIcon([style](int size) { return DrawStyleGlyph(style, size); }, StyleGlyphSize);
}
