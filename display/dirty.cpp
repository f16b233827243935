#include "display/dirty.h"

#include <algorithm>

namespace {

// A 1:1 block copy of rect from src onto the same place of dst, clipped to
// both bitmaps: the same points of the board, wherever each bitmap lies.
void CopyRect(TBitmap& dst, const TBitmap& src, const TRect& rect, TRasterOp op) {
  BitBlt(dst, rect.Left, rect.Top, rect.Width(), rect.Height(), src, rect.Left, rect.Top, op);
}

bool IsDead(const TRect& r) { return r.Left == TDirty::DeadMark; }

}  // namespace

void TDirty::Init(TBitmap& target) {
  Count = 0;
  PrevCount = 0;
  target_ = &target;
  // A deep copy: a shared image would be detached (copied whole) by the first
  // draw into the board, in the middle of a drag.
  if (!background_.IsEmpty() && background_.Width() == target.Width() &&
      background_.Height() == target.Height() && background_.Format() == target.Format() &&
      target.Format() == TPixelFormat::Bgr24) {
    background_.SetOrigin(target.Origin());
    CopyRect(background_, target, target.BoundsRect(), TRasterOp::SrcCopy);
  } else {
    background_ = target.IsEmpty() ? TBitmap() : TBitmap(target.Image().copy());
    background_.SetOrigin(target.Origin());
  }
}

void TDirty::Reset() {
  Count = 0;
  PrevCount = 0;
}

void TDirty::SaveBackground(const TRect& rect) {
  if (target_) CopyRect(background_, *target_, rect, TRasterOp::SrcCopy);
}

void TDirty::Erase() {
  for (int i = 0; i < Count; ++i) {
    PrevRects[i] = Rects[i];
    if (target_) CopyRect(*target_, background_, Rects[i], TRasterOp::SrcCopy);
  }
  PrevCount = Count;
  Count = 0;
}

void TDirty::DrawOpaque(const TRect& dest, const TBitmap& image, const TRect& source) {
  if (Count >= MaxRects || !target_) return;
  BitBlt(*target_, dest.Left, dest.Top, dest.Width(), dest.Height(), image, source.Left, source.Top,
         TRasterOp::SrcCopy);
  Rects[Count++] = dest;
}

void TDirty::DrawMasked(const TRect& dest, const TBitmap& image, const TRect& source,
                        const TBitmap& mask) {
  if (Count >= MaxRects || !target_) return;
  BitBlt(*target_, dest.Left, dest.Top, dest.Width(), dest.Height(), mask, source.Left, source.Top,
         TRasterOp::SrcAnd);
  BitBlt(*target_, dest.Left, dest.Top, dest.Width(), dest.Height(), image, source.Left, source.Top,
         TRasterOp::SrcPaint);
  Rects[Count++] = dest;
}

void TDirty::Flush(TScreen& screen) {
  int n = MergeRects(PrevRects.data(), PrevCount, Merged, 0);
  n = MergeRects(Rects.data(), Count, Merged, n);
  if (!target_) return;
  for (int i = 0; i < n; ++i) {
    const TRect& r = Merged[i];
    if (IsDead(r)) continue;
    CopyRect(screen.Image(), *target_, r, TRasterOp::SrcCopy);
    screen.Present(r);
  }
}

int TDirty::MergeRects(const TRect* rects, int count, std::array<TRect, MaxMerged>& merged, int n) {
  n = std::clamp(n, 0, MaxMerged);
  std::array<int, MaxMerged> hits;
  for (int k = 0; k < count; ++k) {
    const TRect& r = rects[k];
    int found = 0;
    for (int j = 0; j < n && found < MaxMerged; ++j)
      if (!IsDead(merged[j]) && merged[j].Intersects(r)) hits[found++] = j;
    if (found == 0) {
      if (n < MaxMerged) {
        merged[n++] = r;
        continue;
      }
      // The list is full (only a caller outside the compositor can get
      // here: two frames give at most 32 entries). R joins the first live
      // entry so that its area is still copied.
      for (int j = 0; j < n; ++j)
        if (!IsDead(merged[j])) {
          hits[found++] = j;
          break;
        }
      if (found == 0) continue;
    }
    TRect& first = merged[hits[0]];
    first = first.Union(r);
    for (int h = found - 1; h >= 1; --h) {
      first = first.Union(merged[hits[h]]);
      merged[hits[h]].Left = DeadMark;
    }
  }
  return n;
}
