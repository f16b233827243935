#pragma once
// Geometry and colour types shared by every subsystem.

#include <algorithm>
#include <cstdint>

// A colour as 0x00BBGGRR. Values with the top bit set name a system colour
// (0x80000000 + index), resolved by ColorToRGB.
using TColor = std::uint32_t;

constexpr TColor RGBColor(int red, int green, int blue) {
  return TColor(red & 0xFF) | (TColor(green & 0xFF) << 8) | (TColor(blue & 0xFF) << 16);
}
constexpr int RedOf(TColor c) { return int(c & 0xFF); }
constexpr int GreenOf(TColor c) { return int((c >> 8) & 0xFF); }
constexpr int BlueOf(TColor c) { return int((c >> 16) & 0xFF); }

struct TPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Right and Bottom are exclusive. Rectangles that only touch do not intersect,
// and an empty rectangle intersects nothing.
struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;

  friend bool operator==(const TRect&, const TRect&) = default;

  std::int32_t Width() const { return Right - Left; }
  std::int32_t Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  TPoint TopLeft() const { return {Left, Top}; }

  TRect Offset(std::int32_t dx, std::int32_t dy) const {
    return {Left + dx, Top + dy, Right + dx, Bottom + dy};
  }
  TRect Inflate(std::int32_t dx, std::int32_t dy) const {
    return {Left - dx, Top - dy, Right + dx, Bottom + dy};
  }
  // Empty result (all zero) when the two do not overlap.
  TRect Intersect(const TRect& o) const {
    TRect r{std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right),
            std::min(Bottom, o.Bottom)};
    return r.IsEmpty() ? TRect{} : r;
  }
  bool Intersects(const TRect& o) const { return !Intersect(o).IsEmpty(); }
  // The union ignores empty rectangles.
  TRect Union(const TRect& o) const {
    if (IsEmpty()) return o.IsEmpty() ? TRect{} : o;
    if (o.IsEmpty()) return *this;
    return {std::min(Left, o.Left), std::min(Top, o.Top), std::max(Right, o.Right),
            std::max(Bottom, o.Bottom)};
  }
};

inline TRect Bounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  return {left, top, left + width, top + height};
}
