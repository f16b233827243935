#pragma once
// Small routines shared by several subsystems: progress on the status line,
// rounding, the program's quicksort, error-diffusion dithering, tray frames
// and buttons, text and resource helpers.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <span>
#include <utility>

#include "platform/canvas.h"
#include "platform/types.h"

// Where progress texts go: the main window's status line, or nothing when no
// window is there (headless tools and tests may install their own).
class TStatusLine {
 public:
  virtual ~TStatusLine() = default;
  virtual void SetStatusText(const QString& text) = 0;  // shows it at once
};
void SetStatusLine(TStatusLine* statusLine);
void ShowStatus(const QString& text);
// While one lives, status texts go nowhere: for work that is not the game's,
// such as the gift maker's preview of a cut, which leaves the game's status
// line as it was.
class TStatusSilence {
 public:
  TStatusSilence();
  ~TStatusSilence();
  TStatusSilence(const TStatusSilence&) = delete;
  TStatusSilence& operator=(const TStatusSilence&) = delete;

 private:
  TStatusLine* silenced_;
};

// Shows label + percent + "%" whenever done * 100 div total reaches a new
// multiple of 5.
void ShowProgress(std::int32_t done, std::int32_t total, const QString& label);
void ClearStatus();

constexpr std::uint32_t RoundUp4(std::uint16_t x) { return (std::uint32_t(x) + 3) & ~3u; }
constexpr std::uint32_t RoundUp8(std::uint16_t x) { return (std::uint32_t(x) + 7) & ~7u; }
constexpr std::uint32_t RoundUp16(std::uint16_t x) { return (std::uint32_t(x) + 15) & ~15u; }

// The program's quicksort. It is not stable: equal elements end in exactly the
// order this procedure produces, which the sorted layouts depend on.
// compare(a, b) < 0 when a sorts before b. An empty span is left alone.
template <class T, class Compare>
void SortItems(std::span<T> items, Compare compare);

// The part of text before the first separator, or all of it.
QString TextBefore(const QString& separator, const QString& text);

// The bytes of a program resource; EResNotFound "Can't load resource: " + name
// when there is none. Names match without regard to case.
QByteArray LoadResourceStream(const QString& name, const QString& type);

// One-dimensional error diffusion to multiples of 8 per channel; reset clears
// the carried errors (and returns 0).
TColor Dither(TColor color, bool reset);

void DrawTrayFrame(TCanvas& canvas, int left, int top, int width, int height, int bevel, int border,
                   int captionHeight, TColor color, bool gradient);
void DrawButtonFrame(TCanvas& canvas, int x, int y, int w, int h, bool pressed);
void DrawMinimizeButton(TCanvas& canvas, int x, int y, int w, int h, bool pressed);

// ---------------------------------------------------------------------------

template <class T, class Compare>
void SortItems(std::span<T> items, Compare compare) {
  if (items.empty()) return;
  // Indices stand in for the byte offsets of a raw array; the pivot follows its
  // element when that element is swapped.
  auto sort = [&](auto&& self, std::ptrdiff_t lo, std::ptrdiff_t hi) -> void {
    if (lo >= hi) return;
    std::ptrdiff_t i = lo;
    std::ptrdiff_t j = 0;
    do {
      j = hi;
      std::ptrdiff_t p = (lo + hi) >> 1;
      if (i < j) {
        do {
          while (compare(items[i], items[p]) < 0) ++i;
          while (compare(items[p], items[j]) < 0) --j;
          if (i < j) {
            std::swap(items[i], items[j]);
            if (p == i)
              p = j;
            else if (p == j)
              p = i;
          }
          if (i <= j) {
            ++i;
            --j;
          }
        } while (i < j);
      }
      if (lo < j) self(self, lo, j);
      lo = i;
    } while (lo < hi);
  };
  sort(sort, 0, std::ptrdiff_t(items.size()) - 1);
}

// The size of a sw x sh picture fitted into a bw x bh box keeping its aspect
// (mode 0), or the box itself (mode 2); both truncated to 16 bits.
TSize FitSize(int mode, int sw, int sh, int bw, int bh);
// The picture fitted and centred in the box; a direction whose margin would
// be narrower than percent of the box is stretched to the whole box.
TRect FitCentered(int sw, int sh, int bw, int bh, int percent);
