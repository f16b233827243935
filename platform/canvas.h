#pragma once
// Drawing on a bitmap with pen, brush and font, following the classic
// graphics rules: LineTo leaves the end pixel out, rectangles take exclusive
// right and bottom edges, a NOT-XOR pen drawn twice leaves the bitmap as it was.

#include <QString>

#include <span>
#include <vector>

#include "platform/bitmap.h"
#include "platform/types.h"

enum class TPenMode { Copy, NotXor };

struct TPen {
  TColor Color = 0;
  int Width = 1;
  TPenMode Mode = TPenMode::Copy;
  // A thick pen of Rectangle stays inside the shape instead of straddling it.
  bool InsideFrame = false;
};

struct TBrush {
  TColor Color = 0xFFFFFF;
  bool Clear = false;  // nothing is filled (shapes and text backgrounds)
};

struct TFont {
  QString Name = QStringLiteral("Sans Serif");
  int Size = 10;  // points
  TColor Color = 0;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
};

struct TSize {
  int Width = 0;
  int Height = 0;
};

class TCanvas {
 public:
  // Draws on a 24-bit or mono bitmap; the bitmap must outlive the canvas.
  // Every point and rectangle, the clip's too, is on the bitmap's plane.
  explicit TCanvas(TBitmap& target);

  TPen Pen;
  TBrush Brush;
  TFont Font;
  TRasterOp CopyMode = TRasterOp::SrcCopy;

  TBitmap& Target() { return target_; }

  // Every drawing operation is limited to the clip rectangle and the bitmap.
  void SetClipRect(TRect clip);
  void ClearClipRect();
  TRect ClipRect() const { return clip_; }

  TPoint PenPos() const { return penPos_; }
  void MoveTo(int x, int y);
  // Draws from the pen position up to, not including, (x, y); a thick pen is
  // a Width x Width square whose top-left is Width div 2 above and left of
  // each point of the one-pixel line.
  void LineTo(int x, int y);
  // Connected lines; the last point is left out, as with LineTo.
  void Polyline(std::span<const TPoint> points);
  // Brush inside, pen border; right and bottom exclusive.
  void Rectangle(int left, int top, int right, int bottom);
  void FillRect(TRect rect);  // with the brush colour
  TColor Pixel(int x, int y) const { return target_.Pixel(x, y); }
  void SetPixel(int x, int y, TColor color);

  // Text with its top-left at (x, y); the background is filled with the brush
  // unless the brush is clear.
  void TextOut(int x, int y, const QString& text);
  TSize TextExtent(const QString& text) const;

  // Fills, with the brush colour, the 4-connected area around (x, y) bounded
  // by pixels of the border colour.
  void FloodFill(int x, int y, TColor border);

  // Copies the whole of src with CopyMode, its top-left at (x, y), or
  // scaled smoothly into dest.
  void Draw(int x, int y, const TBitmap& src);
  void StretchDraw(TRect dest, const TBitmap& src);

 private:
  TRect EffectiveClip() const;
  // Paints the pen square of every point once.
  void StampPoints(const std::vector<TPoint>& centres);

  TBitmap& target_;
  TRect clip_;
  bool clipSet_ = false;
  TPoint penPos_;
};
