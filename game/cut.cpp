#include "game/cut.h"

#include <QString>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "pieces/bezier.h"
#include "pieces/edges.h"
#include "pieces/pieces.h"
#include "platform/errors.h"
#include "platform/random.h"
#include "platform/utility.h"

std::uint16_t FitGrid(TPuzzleRecord& record, int requested, int width, int height) {
  record.PictureWidth = record.CutWidth = std::uint16_t(width);
  record.PictureHeight = record.CutHeight = std::uint16_t(height);
  auto columnsFor = [&](int n) { return (width + n / 2) / n; };
  auto rowsFor = [&](int n) { return (height + n / 2) / n; };

  // Cell sizes from 8 to 512 pixels; the count only falls as cells grow, so
  // the search stops at the first size that is worse than the one before.
  // Grids with no cell or more pieces than a count can hold are passed over.
  int bestSize = 0;
  std::int64_t best = 0;
  for (int n = 8; n <= 512; ++n) {
    const std::int64_t pieces = std::int64_t(columnsFor(n)) * rowsFor(n);
    if (pieces == 0 || pieces > std::numeric_limits<std::uint16_t>::max()) continue;
    const std::int64_t d = std::llabs(requested - pieces);
    if (bestSize != 0 && d > best) break;
    best = d;
    bestSize = n;
  }
  // Only a picture smaller than 4 pixels has no grid at all: one piece then.
  record.Columns = bestSize ? std::uint16_t(columnsFor(bestSize)) : 1;
  record.Rows = bestSize ? std::uint16_t(rowsFor(bestSize)) : 1;
  return std::uint16_t(record.Columns * record.Rows);
}

namespace {

// The high bit of each byte of v is set where that byte is not 0.
std::uint64_t NonZeroBytes(std::uint64_t v) {
  constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
  return (((v & low7) + low7) | v) & ~low7;
}

std::uint64_t Load8(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace

QString CutSheetProblem(const TPuzzleRecord& record, std::int64_t width, std::int64_t height) {
  const int columns = std::max<int>(record.Columns, 1);
  const int rows = std::max<int>(record.Rows, 1);
  const std::int64_t cell = std::max((width + columns - 1) / columns, (height + rows - 1) / rows);
  const TPieces::TSheetSize sheet = TPieces::SheetSizeFor(cell, columns, rows);
  if (TPieces::SheetFits(sheet)) return {};
  return QStringLiteral("A picture of %1 x %2 pixels cannot be cut into %3 x %4 pieces: their images would take "
                        "%5 x %6 pixels, more than the %7 pixels (65,535 on a side) a puzzle may have. A picture "
                        "less long and narrow, or smaller pieces, can be cut.")
      .arg(width)
      .arg(height)
      .arg(columns)
      .arg(rows)
      .arg(sheet.Width)
      .arg(sheet.Height)
      .arg(TPieces::MaxSheetPixels);
}

void FillGaps(std::span<std::uint8_t> map, int width, int height) {
  const std::size_t w = std::size_t(width);
  for (int y = 1; y < height - 1; ++y) {
    std::uint8_t* row = map.data() + std::size_t(y) * w;
    const std::uint8_t* up = row - w;
    const std::uint8_t* down = row + w;
    auto fill = [&](std::size_t x) {
      if (row[x] == 0 && row[x - 1] != 0 && row[x + 1] != 0 && up[x] != 0 && down[x] != 0)
        row[x] = row[x - 1];
    };
    // Most of a map is free space inside the cells or plain edge pixels: eight
    // pixels at a time are passed over unless one of them is free with
    // labels left and right. A fill never makes another pixel of the same
    // row a candidate, since both its side neighbours are labelled already.
    std::size_t x = 1;
    for (; x + 9 <= w; x += 8) {
      const std::uint64_t candidates =
          ~NonZeroBytes(Load8(row + x)) & NonZeroBytes(Load8(row + x - 1)) & NonZeroBytes(Load8(row + x + 1));
      if (candidates != 0)
        for (std::size_t i = x; i < x + 8; ++i) fill(i);
    }
    for (; x + 1 < w; ++x) fill(x);
  }
}

void TCut::Clear() {
  labels_.reset();
  labelCount_ = 0;
  centres_ = {};
  width_ = height_ = columns_ = rows_ = 0;
}

// One cut in progress: the record's grid traced cell by cell into the map.
class TCutter {
 public:
  TCutter(const TPuzzleRecord& record, TCut& cut)
      : record_(record), cut_(cut), columns_(record.Columns), rows_(record.Rows),
        width_(record.CutWidth), height_(record.CutHeight), tracer_(bezier_) {}

  void Run(TCutLayout layout) {
    cut_.width_ = width_;
    cut_.height_ = height_;
    cut_.columns_ = columns_;
    cut_.rows_ = rows_;
    cut_.labelCount_ = std::size_t(width_) * std::size_t(height_);
    // Left uninitialised here: the tracer clears it.
    cut_.labels_ = std::make_unique_for_overwrite<std::uint8_t[]>(cut_.labelCount_);
    cut_.centres_.resize(std::size_t(columns_) * std::size_t(rows_));
    bezier_.Init(cut_.Labels(), width_, columns_, height_);
    tracer_.Q = record_.Oddness * 10;
    tracer_.Style = record_.ShapeStyle;
    topX_.assign(std::size_t(columns_) + 1, 0);
    topY_.assign(std::size_t(columns_) + 1, 0);
    if (layout == TCutLayout::Main)
      CutMain();
    else
      CutAlternative();
    FillGaps(cut_.Labels(), width_, height_);
  }

 private:
  // Nominal boundaries of an even grid; 64-bit so no grid can overflow.
  int RowBoundary(int i) const { return int(std::int64_t(height_) * i / rows_); }
  int ColumnBoundary(int j) const { return int(std::int64_t(width_) * j / columns_); }

  static std::uint8_t Label(int i, int j) { return std::uint8_t(0x10 + 4 * (i % 4) + (j % 4)); }

  // The straight outer border, drawn by the cells along it.
  void DrawBorders(int i, int j, int left, int previousTopX, int top, int right, int bottom) {
    if (i == 1) bezier_.Line(previousTopX + 1, top, topX_[j], top);
    if (i == rows_) bezier_.Line(left, bottom, right, bottom);
    if (j == 1) bezier_.Line(left, top, left, bottom);
    if (j == columns_) bezier_.Line(right, top, right, bottom);
  }

  void FinishCell(int i, int j, int left, int top, int wc, int hc) {
    cut_.centres_[std::size_t(j - 1) * std::size_t(rows_) + std::size_t(i - 1)] =
        TPoint{left + (wc >> 1), top + (hc >> 1)};
    ShowProgress((i - 1) * columns_ + j, columns_ * rows_, generating_);
  }

  // Every interior corner moves on its own in x and y, so row and column
  // boundaries are chains of slanted edges; the first row's column boundaries
  // get upper ends of their own.
  void CutMain() {
    const int q = tracer_.Q;
    const int s = StyleDivisor(tracer_.Style);
    for (int i = 1; i <= rows_; ++i) {
      int left = 0;
      int previousTopX = 0;
      for (int j = 1; j <= columns_; ++j) {
        if (i == 1) topY_[j] = 0;
        const int top = topY_[j];
        int bottom = RowBoundary(i);
        if (i == rows_) {
          bottom = height_ - 1;
        } else if (q > 10) {
          const int m = ((bottom - top + 1) * q) / s;
          bottom += tracer_.CornerJitter(m) - (m >> 1);
        }
        const int hc = bottom - top + 1;

        int right = ColumnBoundary(j);
        if (j == columns_) {
          right = width_ - 1;
          if (i == 1) topX_[j] = std::uint16_t(right);
        } else if (q > 10) {
          const int c = ((right - left + 1) * q) / s;
          if (i == 1) topX_[j] = std::uint16_t(right + tracer_.CornerJitter(c) - (c >> 1));
          right += tracer_.CornerJitter(c) - (c >> 1);
        } else if (i == 1) {
          topX_[j] = std::uint16_t(right);
        }
        const int wc = right - left + 1;

        tracer_.DrawEdgeParams(wc, hc);
        bezier_.SetValue(Label(i, j));
        DrawBorders(i, j, left, previousTopX, top, right, bottom);
        if (i < rows_) {
          const int y0 = j == 1 ? bottom : topY_[j - 1];
          tracer_.DrawEdge(left + 1, y0, right, bottom, HorizontalEdge);
        }
        if (j < columns_) tracer_.DrawEdge(topX_[j], top, right, bottom, VerticalEdge);
        FinishCell(i, j, left, top, wc, hc);

        left = right;
        previousTopX = topX_[j];
        topX_[j] = std::uint16_t(right);
        topY_[j] = std::uint16_t(bottom);
      }
    }
  }

  // The older layout: each row boundary is one straight height, every edge
  // has the aligned Classic outline, and the row's tab depth is flipped on
  // from cell to cell.
  void CutAlternative() {
    const int q = tracer_.Q;
    TEdgeParams& p = tracer_.Params;
    int top = 0;
    for (int i = 1; i <= rows_; ++i) {
      const int nominal = RowBoundary(i);
      const int f = (nominal - top + 1) / 3;
      int bottom = nominal;
      if (i == rows_)
        bottom = height_ - 1;
      else if (q > 10)
        bottom += int(Random(std::uint32_t(f))) - (f >> 1);
      const int hc = bottom - top + 1;
      p.VNeck = hc / 3;
      p.HDepth = hc >> 2;

      int left = 0;
      int previousTopX = 0;
      for (int j = 1; j <= columns_; ++j) {
        int right = ColumnBoundary(j);
        if (j == columns_) {
          right = width_ - 1;
        } else if (q > 10) {
          const int u = ((right - left + 1) * q) / 200;
          right += int(Random(std::uint32_t(u))) - (u >> 1);
        }
        if (i == 1) topX_[j] = std::uint16_t(right);
        const int wc = right - left + 1;

        tracer_.DrawEdgeParams(wc, hc, TCutLayout::Alternative);
        bezier_.SetValue(Label(i, j));
        DrawBorders(i, j, left, previousTopX, top, right, bottom);
        if (i < rows_) tracer_.EdgeClassicAligned(left + 1, bottom, right, bottom, HorizontalEdge);
        if (j < columns_) tracer_.EdgeClassicAligned(topX_[j], top, right, bottom, VerticalEdge);
        FinishCell(i, j, left, top, wc, hc);

        left = right;
        previousTopX = topX_[j];
        topX_[j] = std::uint16_t(right);
      }
      top = bottom;
    }
  }

  const TPuzzleRecord& record_;
  TCut& cut_;
  const int columns_;
  const int rows_;
  const int width_;
  const int height_;
  const QString generating_ = QStringLiteral("Generating: ");
  TBezier bezier_;
  TEdgeTracer tracer_;
  // Per column: the x where its boundary meets the top of the current row,
  // and the top y of its cell in the current row.
  std::vector<std::uint16_t> topX_;
  std::vector<std::uint16_t> topY_;
};

TCut Cut(const TPuzzleRecord& record, bool playing) {
  const int columns = record.Columns;
  const int rows = record.Rows;
  if (columns < 1 || rows < 1 || columns > record.CutWidth || rows > record.CutHeight ||
      std::int64_t(columns) * rows > std::numeric_limits<std::uint16_t>::max() || record.Oddness > 10)
    throw EError(QStringLiteral("A %1 x %2 picture cannot be cut into %3 x %4 pieces with oddness %5.")
                     .arg(record.CutWidth)
                     .arg(record.CutHeight)
                     .arg(columns)
                     .arg(rows)
                     .arg(record.Oddness));

  struct TClearStatusOnExit {
    ~TClearStatusOnExit() { ClearStatus(); }
  } clearStatus;
  const bool olderGame = playing && record.FormatVersion >= 1 && record.FormatVersion <= 4;
  TCut cut;
  TCutter(record, cut).Run(olderGame ? TCutLayout::Alternative : TCutLayout::Main);
  return cut;
}
