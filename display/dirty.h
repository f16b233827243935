#pragma once
// The compositor of the floating drag image. The board bitmap always holds
// what the window shows; while something is dragged its image is stamped onto
// the board, and every frame the stamp is undone from a clean copy of the
// board, made again at the new place, and the union of old and new rectangles
// goes to the screen in as few copies as the merge finds. All lists are fixed
// arrays: nothing is allocated during a drag.

#include <array>
#include <cstdint>

#include "display/screen.h"
#include "platform/bitmap.h"
#include "platform/types.h"

class TDirty {
 public:
  static constexpr int MaxRects = 16;
  static constexpr int MaxMerged = 2 * MaxRects;
  // Left of a merged entry that was swallowed by another.
  static constexpr std::int32_t DeadMark = 32767;

  std::int32_t Count = 0;      // rectangles drawn since the last Erase, Reset or Init
  std::int32_t PrevCount = 0;  // valid entries of PrevRects
  std::array<TRect, MaxRects> PrevRects{};
  std::array<TRect, MaxRects> Rects{};
  std::array<TRect, MaxMerged> Merged{};

  // The board to draw into (it must outlive the compositor or the next Init)
  // and a full copy of it as the clean background, lying where the board
  // does. Every rectangle below is the board's; the images' source
  // rectangles are their own.
  void Init(TBitmap& target);
  void Reset();
  // The board changed in rect while nothing was stamped there.
  void SaveBackground(const TRect& rect);
  // Restores the rectangles drawn this frame from the background; they
  // become the previous frame.
  void Erase();
  // A 1:1 copy of source's rectangle of image onto dest of the board; the
  // 17th draw of a frame is refused.
  void DrawOpaque(const TRect& dest, const TBitmap& image, const TRect& source);
  // The same through a mask (white where the board shows through, black
  // under the image; the image is black outside its shape).
  void DrawMasked(const TRect& dest, const TBitmap& image, const TRect& source, const TBitmap& mask);
  // Copies the merged rectangles of the previous and this frame from the
  // board to the screen and shows them.
  void Flush(TScreen& screen);

  // Adds count rectangles to the merged list holding n entries; returns the
  // new n. A rectangle that meets entries swallows them into the first one it
  // meets; grown entries are not merged again.
  static int MergeRects(const TRect* rects, int count, std::array<TRect, MaxMerged>& merged, int n);

  const TBitmap& Background() const { return background_; }
  TBitmap* Target() const { return target_; }

 private:
  TBitmap* target_ = nullptr;
  TBitmap background_;
};
