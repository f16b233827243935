#pragma once
// Bitmaps with direct row access and block copies with the classic raster
// operations, as the piece images, masks and the board are built from them.

#include <QImage>

#include <cstdint>
#include <span>

#include "platform/types.h"

enum class TPixelFormat {
  Bgr24,    // three bytes per pixel: blue, green, red
  Mono,     // one bit per pixel, most significant bit leftmost, 1 = white
  Indexed8  // one palette index per pixel
};

enum class TRasterOp {
  SrcCopy,   // dst := src
  SrcAnd,    // dst := dst and src
  SrcPaint,  // dst := dst or src
  DstInvert  // dst := not dst (the source is ignored)
};

class TBitmap {
 public:
  TBitmap() = default;
  // New pixels are zero: black, or palette index 0.
  TBitmap(int width, int height, TPixelFormat format = TPixelFormat::Bgr24);
  // Wraps an image of one of the three formats (Format_BGR888, Format_Mono,
  // Format_Indexed8); any other format is converted to 24 bits.
  explicit TBitmap(QImage image);

  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  bool IsEmpty() const { return image_.isNull(); }
  TPixelFormat Format() const { return format_; }
  int Stride() const { return int(image_.bytesPerLine()); }

  // Row y of the pixels, counted from the bitmap's own top whatever its
  // origin: sheets and pictures are read and built row by row.
  std::uint8_t* ScanLine(int y) { return image_.scanLine(y); }
  const std::uint8_t* ScanLine(int y) const { return image_.constScanLine(y); }
  // The bytes of the 24-bit pixel at the plane's point (x, y), which must lie
  // in BoundsRect: what draws onto the board addresses it by board points.
  std::uint8_t* PixelAt(int x, int y) { return ScanLine(y - origin_.Y) + 3 * (x - origin_.X); }

  // Changes the size, keeping the origin and the pixels of the overlapping
  // top-left area; new pixels are zero.
  void SetSize(int width, int height);

  // Colour of the pixel at a point of the plane (a mono pixel is black or
  // white, a palettised one its palette colour); outside the bitmap the
  // result is 0.
  TColor Pixel(int x, int y) const;
  // Sets one pixel; ignored outside the bitmap. A mono pixel becomes white for
  // light colours; a palettised pixel takes the index given as the colour's
  // low byte.
  void SetPixel(int x, int y, TColor color);
  void Fill(TColor color);

  // Palette of an 8-bit bitmap: 256 entries as TColor (unused entries black).
  TColor PaletteEntry(int index) const;
  void SetPaletteEntry(int index, TColor color);

  QImage& Image() { return image_; }
  const QImage& Image() const { return image_; }
  // The part of the plane the bitmap holds.
  TRect BoundsRect() const { return Bounds(origin_.X, origin_.Y, Width(), Height()); }

  // Where the bitmap lies on a larger plane (the board, of which it holds
  // the part in view): the plane's point at its top-left pixel. Every point
  // and rectangle a bitmap is drawn at is the plane's, except ScanLine's
  // rows; a new bitmap lies at (0, 0), where plane and pixels agree.
  TPoint Origin() const { return origin_; }
  void SetOrigin(TPoint origin) { origin_ = origin; }

 private:
  QImage image_;
  TPixelFormat format_ = TPixelFormat::Bgr24;
  TPoint origin_{};
};

// A mono pixel is white when the colour is nearer white than black.
bool IsLightColor(TColor color);

// Copies a w x h block of src at (sx, sy) onto dst at (x, y) with the raster
// operation, clipped to both bitmaps (and to clip, when given). Each point is
// on its own bitmap's plane: (x, y) and clip on dst's, (sx, sy) on src's. A mono source on a colour target gives black for 0 and white
// for 1; a colour source on a mono target gives 1 where the source pixel is
// white and 0 elsewhere; a palettised source is seen through its palette.
// A palettised target accepts only a palettised source (index copy).
void BitBlt(TBitmap& dst, int x, int y, int w, int h, const TBitmap& src, int sx, int sy,
            TRasterOp op, const TRect* clip = nullptr);
// Moves a 24-bit bitmap to lie from origin on its plane, keeping the pixels
// of the part it held before and still holds; the rest is left to draw.
void MoveOnPlane(TBitmap& bitmap, TPoint origin);
// DSTINVERT over a rectangle of dst's plane, clipped to the bitmap.
void InvertRect(TBitmap& dst, TRect rect);
