// Piece images: extraction of every piece from the cut's label map, the mask
// and image sheets, the overlays, and drawing pieces onto the board.

#include <QString>

#include <algorithm>
#include <utility>
#include <array>
#include <cstring>
#include <vector>

#include "pieces/overlaybuilder.h"
#include "pieces/pieces.h"
#include "platform/canvas.h"
#include "platform/errors.h"
#include "platform/hourglass.h"
#include "platform/utility.h"

namespace {

std::uint8_t CellLabel(int row, int column) { return std::uint8_t(0x10 + 4 * (row % 4) + column % 4); }

// Clears the status line however the operation ends.
struct TStatusGuard {
  TStatusGuard() = default;
  TStatusGuard(const TStatusGuard&) = delete;
  TStatusGuard& operator=(const TStatusGuard&) = delete;
  ~TStatusGuard() { ClearStatus(); }
};

// Filled pixels keep their cell's label with the high bit set, so that the
// edge lines, drawn in plain labels, stay told apart from the areas filled
// between them in the one map.
constexpr std::uint8_t FilledMark = 0x80;
constexpr std::uint8_t LabelBits = 0x7F;

struct TBox {
  int Left, Top, Right, Bottom;
};

// Four-connected fill of the pixels of one value around a point, span by
// span, keeping the spans still to look at on a stack of its own so that no
// piece is too large for it. The box grows to take in every span.
class TSpanFill {
 public:
  TSpanFill(std::span<std::uint8_t> map, int width, int height) : map_(map), width_(width), height_(height) {}

  // Fills the free pixels of a cell from its centre with its marked label.
  // The first span runs left from the point and right from the pixel after
  // it, so a point on a line still fills the free pixels to its right.
  void FillCell(TPoint from, std::uint8_t label, TBox& box) {
    if (from.X < 0 || from.Y < 0 || from.X >= width_ || from.Y >= height_) return;
    if (Row(from.Y)[from.X] != 0) ++from.X;
    if (from.X < width_) Flood(from, 0, label | FilledMark, box);
  }

  // Replaces the pixels of value target connected to from (if it is one).
  void Flood(TPoint from, std::uint8_t target, std::uint8_t replacement, TBox& box) {
    if (Row(from.Y)[from.X] != target) return;
    target_ = target;
    seeds_.assign(1, from);
    while (!seeds_.empty()) {
      const TPoint seed = seeds_.back();
      seeds_.pop_back();
      std::uint8_t* row = Row(seed.Y);
      if (row[seed.X] != target) continue;  // filled since it was pushed
      int left = seed.X;
      while (left > 0 && row[left - 1] == target) --left;
      int right = seed.X;
      while (right + 1 < width_ && row[right + 1] == target) ++right;
      std::memset(row + left, replacement, std::size_t(right - left + 1));
      box.Left = std::min(box.Left, left);
      box.Right = std::max(box.Right, right);
      box.Top = std::min(box.Top, seed.Y);
      box.Bottom = std::max(box.Bottom, seed.Y);
      // Spans in the top row spread no further; the cut's border lines keep
      // every cell away from it anyway.
      if (seed.Y > 0) {
        PushRuns(seed.Y - 1, left, right);
        if (seed.Y + 1 < height_) PushRuns(seed.Y + 1, left, right);
      }
    }
  }

 private:
  std::uint8_t* Row(int y) { return map_.data() + std::size_t(y) * std::size_t(width_); }

  // One seed for every run of target pixels of row y between left and right.
  void PushRuns(int y, int left, int right) {
    const std::uint8_t* row = Row(y);
    int x = left;
    while (x <= right) {
      while (x <= right && row[x] != target_) ++x;
      if (x > right) break;
      seeds_.push_back({x, y});
      while (x <= right && row[x] == target_) ++x;
    }
  }

  std::span<std::uint8_t> map_;
  int width_;
  int height_;
  std::uint8_t target_ = 0;
  std::vector<TPoint> seeds_;
};

// With strong jitter a cell's edge line can run on further from the cell
// than a fifth of its size. The box grows, one row or column at a time, while
// a pixel of the label just outside it touches one just inside it.
void FollowLines(std::span<const std::uint8_t> map, int width, int height, std::uint8_t label, TBox& box) {
  const auto is = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < width && y < height &&
           (map[std::size_t(y) * std::size_t(width) + std::size_t(x)] & LabelBits) == label;
  };
  // Whether a pixel of the label on line outside touches one on line inside,
  // along rows (across true) or columns, between first and last.
  const auto touches = [&](int outside, int inside, int first, int last, bool across) {
    for (int a = first - 1; a <= last + 1; ++a) {
      if (!(across ? is(a, outside) : is(outside, a))) continue;
      for (int b = std::max(a - 1, first); b <= std::min(a + 1, last); ++b)
        if (across ? is(b, inside) : is(inside, b)) return true;
    }
    return false;
  };
  for (bool grown = true; grown;) {
    const TBox before = box;
    if (touches(box.Top - 1, box.Top, box.Left, box.Right, true)) --box.Top;
    if (touches(box.Bottom + 1, box.Bottom, box.Left, box.Right, true)) ++box.Bottom;
    if (touches(box.Left - 1, box.Left, box.Top, box.Bottom, false)) --box.Left;
    if (touches(box.Right + 1, box.Right, box.Top, box.Bottom, false)) ++box.Right;
    grown = box.Left != before.Left || box.Top != before.Top || box.Right != before.Right ||
            box.Bottom != before.Bottom;
  }
}

// Takes into the box the edge pixels of the label found up to a fifth of the
// box's size around it: the lines the cell drew in its own label, which the
// fill stops at (its filled pixels all lie in the box already). Sets the
// piece's home box.
void Widen(std::span<const std::uint8_t> map, int width, int height, std::uint8_t label, TBox box,
           TFormPiece& p) {
  if (box.Left >= box.Right) box.Right = box.Left + 8;
  if (box.Top >= box.Bottom) box.Bottom = box.Top + 8;
  const int mx = (box.Right - box.Left + 1) * 20 / 100;
  const int my = (box.Bottom - box.Top + 1) * 20 / 100;
  const int x0 = std::max(0, box.Left - mx);
  const int x1 = std::min(width - 1, box.Right + mx);
  const int y0 = std::max(0, box.Top - my);
  const int y1 = std::min(height - 1, box.Bottom + my);
  for (int y = y0; y <= y1 && x0 <= x1; ++y) {
    const std::uint8_t* row = map.data() + std::size_t(y) * std::size_t(width);
    const auto* first = static_cast<const std::uint8_t*>(std::memchr(row + x0, label, std::size_t(x1 - x0 + 1)));
    if (!first) continue;
    int last = x1;
    while (row[last] != label) --last;
    box.Left = std::min(box.Left, int(first - row));
    box.Right = std::max(box.Right, last);
    box.Top = std::min(box.Top, y);
    box.Bottom = std::max(box.Bottom, y);
  }
  FollowLines(map, width, height, label, box);
  p.HomeX = box.Left;
  p.HomeY = box.Top;
  p.Width = std::uint16_t(box.Right - box.Left + 1);
  p.Height = std::uint16_t(box.Bottom - box.Top + 1);
}

// Extraction of every cell of a label map into the home boxes of its pieces.
class TExtractor {
 public:
  TExtractor(std::span<std::uint8_t> map, int width, int height, int columns, int rows,
             std::vector<TFormPiece>& pieces, const std::vector<TPoint>& centres)
      : map_(map), width_(width), height_(height), columns_(columns), rows_(rows), pieces_(pieces),
        centres_(centres), fill_(map, width, height) {}

  // Fills cell (r, c), counted from 1, from its centre and sets its piece's
  // home box; false when the fill found no free pixel.
  bool ExtractCell(int r, int c) {
    TBox box{width_, height_, 0, 0};
    fill_.FillCell(Centre(r, c), CellLabel(r, c), box);
    Widen(map_, width_, height_, CellLabel(r, c), box, Piece(r, c));
    return box.Left <= box.Right;
  }

  // Where a tab reaches past the centre of the cell it pokes into, the first
  // of the two cells to be filled takes the other's area, and one of them
  // ends up with nothing. The area at the empty cell's centre goes to the one
  // of the two that has more of its own lines along the area's right and
  // lower sides (a cell's own lines are its right and bottom edges); the
  // other is filled again from the free pixels beside its own lines.
  void RepairEmptyCell(int r, int c) {
    const TPoint centre = Centre(r, c);
    const std::uint8_t value = At(centre.X, centre.Y);
    const std::uint8_t label = CellLabel(r, c);
    TFormPiece* other = value & FilledMark ? OwnerOf(centre.X, centre.Y, value & LabelBits) : nullptr;
    if (!other || (value & LabelBits) == label) {
      Refill(r, c);
      return;
    }
    const std::uint8_t otherLabel = value & LabelBits;
    TBox area{width_, height_, 0, 0};
    fill_.Flood(centre, value, Taken, area);
    int ownLines = 0;
    int otherLines = 0;
    for (int y = area.Top; y <= area.Bottom; ++y)
      for (int x = area.Left; x <= area.Right; ++x) {
        if (At(x, y) != Taken) continue;
        for (const std::uint8_t line : {At(x + 1, y), At(x, y + 1)}) {
          ownLines += line == label;
          otherLines += line == otherLabel;
        }
      }
    const bool ours = ownLines > otherLines;
    Recolour(area, Taken, ours ? std::uint8_t(label | FilledMark) : value);
    if (ours) {
      Widen(map_, width_, height_, label, area, Piece(r, c));
      Refill(other->Index / columns_ + 1, other->Index % columns_ + 1);
    } else {
      Refill(r, c);
    }
  }

  // A curve that loops, or two curves that cross, can close off free pixels
  // that no cell's fill reaches; they would be holes in the picture. Each
  // such pocket, row by row, joins the piece of the pixel on its left, whose
  // home box grows to take it in.
  void FillPockets() {
    for (int y = 0; y < height_; ++y) {
      std::uint8_t* row = map_.data() + std::size_t(y) * std::size_t(width_);
      // The first column is the border line: a free pixel always has one on its left.
      for (int x = 1; x < width_;) {
        const auto* free = static_cast<std::uint8_t*>(std::memchr(row + x, 0, std::size_t(width_ - x)));
        if (!free) break;
        x = int(free - row);
        const std::uint8_t label = row[x - 1] & LabelBits;
        TFormPiece* owner = OwnerOf(x - 1, y, label);
        const int first = x;
        while (x < width_ && row[x] == 0) row[x++] = label | FilledMark;
        if (!owner) continue;
        const int right = std::max(owner->HomeX + owner->Width - 1, x - 1);
        const int bottom = std::max(owner->HomeY + owner->Height - 1, y);
        owner->HomeX = std::min(owner->HomeX, first);
        owner->HomeY = std::min(owner->HomeY, y);
        owner->Width = std::uint16_t(right - owner->HomeX + 1);
        owner->Height = std::uint16_t(bottom - owner->HomeY + 1);
      }
    }
  }

 private:
  // A value no label map holds: an area taken out while it is weighed.
  static constexpr std::uint8_t Taken = 0xFF;

  TFormPiece& Piece(int r, int c) {
    return pieces_[std::size_t(r - 1) * std::size_t(columns_) + std::size_t(c - 1)];
  }
  TPoint Centre(int r, int c) const {
    return centres_[std::size_t(c - 1) * std::size_t(rows_) + std::size_t(r - 1)];
  }
  // The map's byte at (x, y); 0 outside it.
  std::uint8_t At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return map_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
  }
  void Recolour(const TBox& area, std::uint8_t from, std::uint8_t to) {
    for (int y = area.Top; y <= area.Bottom; ++y)
      for (int x = area.Left; x <= area.Right; ++x) {
        std::uint8_t& pixel = map_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
        if (pixel == from) pixel = to;
      }
  }

  // Fills cell (r, c) again from every free pixel between its neighbours'
  // centres that has one of the cell's own lines to its right or below it.
  void Refill(int r, int c) {
    const std::uint8_t label = CellLabel(r, c);
    const int left = c > 1 ? Centre(r, c - 1).X : 0;
    const int right = c < columns_ ? Centre(r, c + 1).X : width_ - 1;
    const int top = r > 1 ? Centre(r - 1, c).Y : 0;
    const int bottom = r < rows_ ? Centre(r + 1, c).Y : height_ - 1;
    TBox box{width_, height_, 0, 0};
    for (int y = std::max(0, top); y <= std::min(height_ - 1, bottom); ++y)
      for (int x = std::max(0, left); x <= std::min(width_ - 1, right); ++x)
        if (At(x, y) == 0 && (At(x + 1, y) == label || At(x, y + 1) == label))
          fill_.Flood({x, y}, 0, label | FilledMark, box);
    Widen(map_, width_, height_, label, box, Piece(r, c));
  }

  // The piece of a label whose home box holds (x, y): one of the cells
  // around the one the point lies in by the grid, or failing that any cell of
  // the label; null when no box holds the point.
  TFormPiece* OwnerOf(int x, int y, std::uint8_t label) {
    const auto holds = [&](int r, int c) -> TFormPiece* {
      TFormPiece& p = Piece(r, c);
      const bool inBox = x >= p.HomeX && y >= p.HomeY && x < p.HomeX + p.Width && y < p.HomeY + p.Height;
      return CellLabel(r, c) == label && inBox ? &p : nullptr;
    };
    const int column = int(std::int64_t(x) * columns_ / width_) + 1;
    const int row = int(std::int64_t(y) * rows_ / height_) + 1;
    for (int r = std::max(1, row - 2); r <= std::min(rows_, row + 2); ++r)
      for (int c = std::max(1, column - 2); c <= std::min(columns_, column + 2); ++c)
        if (TFormPiece* p = holds(r, c)) return p;
    for (int r = 1; r <= rows_; ++r)
      for (int c = 1; c <= columns_; ++c)
        if (TFormPiece* p = holds(r, c)) return p;
    return nullptr;
  }

  std::span<std::uint8_t> map_;
  int width_;
  int height_;
  int columns_;
  int rows_;
  std::vector<TFormPiece>& pieces_;
  const std::vector<TPoint>& centres_;
  TSpanFill fill_;
};

// The high bit of each byte of v is set where that byte is not 0.
std::uint64_t NonZeroBytes(std::uint64_t v) {
  constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
  return (((v & low7) + low7) | v) & ~low7;
}

// Bit 7 - k set where byte k of the eight at bytes, with only the bits of
// keep looked at, equals label.
std::uint8_t EqualBits(const std::uint8_t* bytes, std::uint8_t keep, std::uint8_t label) {
  std::uint64_t v;
  std::memcpy(&v, bytes, sizeof v);
  constexpr std::uint64_t ones = 0x0101010101010101ull;
  const std::uint64_t equal = ~NonZeroBytes((v & (ones * keep)) ^ (ones * label)) & 0x8080808080808080ull;
  // Byte k's flag moves to bit 56 + 7 - k; the eight products never overlap.
  return std::uint8_t(((equal >> 7) * 0x8040201008040201ull) >> 56);
}

// Clears the mask bit of every pixel of p's home box whose byte in map, with
// only the bits of keep looked at, is the label; the mask cell starts at byte
// cellByte of row cellRow.
void MaskPass(std::span<const std::uint8_t> map, int mapWidth, int mapHeight, const TFormPiece& p,
              std::uint8_t keep, std::uint8_t label, std::uint8_t* sheet, std::size_t rowBytes,
              std::size_t cellByte, std::size_t cellRow) {
  const int width = std::min<int>(p.Width, mapWidth - p.HomeX);
  const int height = std::min<int>(p.Height, mapHeight - p.HomeY);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* labels = map.data() + std::size_t(p.HomeY + y) * std::size_t(mapWidth) + p.HomeX;
    std::uint8_t* bits = sheet + (cellRow + std::size_t(y)) * rowBytes + cellByte;
    int x = 0;
    for (; x + 8 <= width; x += 8) *bits++ &= std::uint8_t(~EqualBits(labels + x, keep, label));
    if (x < width) {
      std::uint8_t equal = 0;
      for (int k = 0; x + k < width; ++k)
        if ((labels[x + k] & keep) == label) equal |= std::uint8_t(0x80 >> k);
      *bits &= std::uint8_t(~equal);
    }
  }
}

// For every mask byte, 24 bytes of 0xFF where its pixel is inside (bit
// clear) and 0 elsewhere, as three words, so that a byte of mask blends eight
// 3-byte pixels at once.
const std::array<std::array<std::uint64_t, 3>, 256> InsideBytes = [] {
  std::array<std::array<std::uint64_t, 3>, 256> table{};
  for (int m = 0; m < 256; ++m) {
    std::array<std::uint8_t, 24> bytes{};
    for (int k = 0; k < 8; ++k)
      if (!((m >> (7 - k)) & 1)) bytes[std::size_t(3 * k)] = bytes[std::size_t(3 * k + 1)] = bytes[std::size_t(3 * k + 2)] = 0xFF;
    std::memcpy(table[std::size_t(m)].data(), bytes.data(), 24);
  }
  return table;
}();

// Copies the 3-byte pixels of src whose mask bit is clear (inside the piece)
// onto dst; count pixels, the first at bit firstBit of mask.
void CopyInside(const std::uint8_t* mask, int firstBit, const std::uint8_t* src, std::uint8_t* dst, int count) {
  mask += firstBit >> 3;
  int bit = firstBit & 7;
  int x = 0;
  for (; x < count && bit != 0; ++x, src += 3, dst += 3) {
    if (!(*mask & (0x80 >> bit))) std::memcpy(dst, src, 3);
    if (++bit == 8) {
      bit = 0;
      ++mask;
    }
  }
  for (; x + 8 <= count; x += 8, src += 24, dst += 24, ++mask) {
    const std::uint8_t m = *mask;
    if (m == 0xFF) continue;
    if (m == 0) {
      std::memcpy(dst, src, 24);
      continue;
    }
    const auto& inside = InsideBytes[m];
    for (int w = 0; w < 3; ++w) {
      std::uint64_t from, to;
      std::memcpy(&from, src + 8 * w, 8);
      std::memcpy(&to, dst + 8 * w, 8);
      to = (from & inside[std::size_t(w)]) | (to & ~inside[std::size_t(w)]);
      std::memcpy(dst + 8 * w, &to, 8);
    }
  }
  for (int k = 0; x < count; ++x, ++k)
    if (!(*mask & (0x80 >> k))) std::memcpy(dst + 3 * k, src + 3 * k, 3);
}

}  // namespace

std::int32_t TPieces::RimWidthFor(std::int32_t outlineStyle, int cellWidth) {
  if (outlineStyle == OutlinePaper) return 1;
  return std::max(2, std::min(6, cellWidth / 40));
}

std::int32_t TPieces::ThicknessFor(int cellHeight) { return std::max(1, std::min(20, cellHeight / 15)); }

// Extraction ------------------------------------------------------------------------

std::size_t TPieces::ExtractPieces(std::span<std::uint8_t> labelMap) {
  const int width = puzzle_.CutWidth;
  const int height = puzzle_.CutHeight;
  const int columns = puzzle_.Columns;
  const int rows = puzzle_.Rows;
  const std::size_t cells = std::size_t(columns) * std::size_t(rows);
  if (cells == 0 || cells != puzzle_.PieceCount || Pieces.size() != cells || Centres.size() != cells ||
      labelMap.size() != std::size_t(width) * std::size_t(height))
    throw EError(QStringLiteral("The cut does not match the puzzle's grid of %1 x %2 pieces.")
                     .arg(columns)
                     .arg(rows));

  TExtractor extractor(labelMap, width, height, columns, rows, Pieces, Centres);
  std::vector<TPoint> emptyCells;
  const int total = 3 * puzzle_.PieceCount;
  int done = 0;
  for (int r = 1; r <= rows; ++r) {
    for (int c = 1; c <= columns; ++c) {
      if (!extractor.ExtractCell(r, c)) emptyCells.push_back({c, r});
      ShowProgress(++done, total, QStringLiteral("Extracting: "));
    }
  }
  for (const TPoint cell : emptyCells) extractor.RepairEmptyCell(cell.Y, cell.X);
  extractor.FillPockets();

  int largestWidth = 0;
  int largestHeight = 0;
  for (const TFormPiece& p : Pieces) {
    largestWidth = std::max<int>(largestWidth, p.Width);
    largestHeight = std::max<int>(largestHeight, p.Height);
  }
  const TSheetSize sheet = SheetSizeFor(std::max(largestWidth, largestHeight), columns, rows);
  // Checked before the sheets are made, so that nothing is taken for them.
  if (!SheetFits(sheet))
    throw EError(QStringLiteral("The pieces are too large to keep: their image sheet would be %1 x %2 "
                                "pixels, more than 65,535 on a side or %3 pixels in all. Choose a smaller "
                                "piece size.")
                     .arg(sheet.Width)
                     .arg(sheet.Height)
                     .arg(MaxSheetPixels));
  puzzle_.CellHeight = std::uint16_t(sheet.Cell);
  puzzle_.CellWidth = std::uint16_t(sheet.CellWidth);
  puzzle_.SheetWidth = std::uint16_t(sheet.Width);
  puzzle_.SheetHeight = std::uint16_t(sheet.Height);
  return std::size_t(sheet.Width / 8) * std::size_t(sheet.Height);
}

TPieces::TSheetSize TPieces::SheetSizeFor(std::int64_t largestPiece, int columns, int rows) {
  // Cells start on a byte of the mask sheets, and their rows on 16 pixels.
  const std::int64_t cellWidth = (largestPiece + 7) & ~std::int64_t(7);
  return {cellWidth, largestPiece, (cellWidth * columns + 15) & ~std::int64_t(15), largestPiece * rows};
}

void TPieces::BuildMasks(std::span<const std::uint8_t> labelMap, std::span<std::uint8_t> buffer) {
  TStatusGuard clearStatus;
  const int width = puzzle_.CutWidth;
  const int height = puzzle_.CutHeight;
  const std::size_t rowBytes = puzzle_.SheetWidth / 8u;
  const std::size_t sheetBytes = rowBytes * puzzle_.SheetHeight;
  const int columns = puzzle_.Columns;
  if (labelMap.size() != std::size_t(width) * std::size_t(height) || buffer.size() < 2 * sheetBytes ||
      Pieces.size() != puzzle_.PieceCount || columns == 0)
    throw EError(QStringLiteral("The mask sheets do not match the pieces."));

  // The first sheet takes the edge lines (plain labels), the second every
  // pixel of the piece (the label with or without the filled mark).
  const int count = puzzle_.PieceCount;
  for (int pass = 1; pass <= 2; ++pass) {
    const std::uint8_t keep = pass == 1 ? 0xFF : LabelBits;
    const std::size_t firstRow = pass == 1 ? 0 : puzzle_.SheetHeight;
    for (int i = 0; i < count; ++i) {
      const int cc = i % columns;
      const int cr = i / columns;
      MaskPass(labelMap, width, height, Pieces[std::size_t(i)], keep, CellLabel(cr + 1, cc + 1), buffer.data(),
               rowBytes, std::size_t(cc) * puzzle_.CellWidth / 8, firstRow + std::size_t(cr) * puzzle_.CellHeight);
      ShowProgress(pass * count + i + 1, 3 * count, QStringLiteral("Extracting: "));
    }
  }
}

// Images and overlays ------------------------------------------------------------------

void TPieces::BuildImages(std::span<const std::uint8_t> buffer) {
  THourglass hourglass;
  TStatusGuard clearStatus;
  const int sheetWidth = puzzle_.SheetWidth;
  const int sheetHeight = puzzle_.SheetHeight;
  const std::size_t rowBytes = std::size_t(sheetWidth) / 8;
  const std::size_t sheetBytes = rowBytes * std::size_t(sheetHeight);
  const int columns = puzzle_.Columns;
  if (sheetBytes == 0 || buffer.size() < 2 * sheetBytes || Pieces.size() != puzzle_.PieceCount || columns == 0)
    throw EError(QStringLiteral("The mask sheets do not match the pieces."));
  if (!Picture.IsEmpty() && Picture.Format() != TPixelFormat::Bgr24)
    throw EError(QStringLiteral("The picture to cut into pieces must have 24 bits per pixel."));

  for (TFormPiece& p : Pieces) {
    p.SheetX = (p.Index % columns) * puzzle_.CellWidth;
    p.SheetY = (p.Index / columns) * puzzle_.CellHeight;
  }
  // Old sheets go before new ones are made, so that the two never add up.
  MaskSheet = TBitmap(0, 0, TPixelFormat::Mono);
  ImageSheet = TBitmap();
  MaskSheet = TBitmap(sheetWidth, sheetHeight, TPixelFormat::Mono);
  const std::uint8_t* masks = buffer.data() + sheetBytes;
  for (int y = 0; y < sheetHeight; ++y) std::memcpy(MaskSheet.ScanLine(y), masks + std::size_t(y) * rowBytes, rowBytes);
  ImageSheet = TBitmap(sheetWidth, sheetHeight);
  TurnImage = TBitmap(puzzle_.CellWidth, puzzle_.CellHeight);
  TurnMask = TBitmap(puzzle_.CellWidth, puzzle_.CellHeight, TPixelFormat::Mono);

  BuildOverlays();

  // The sheet starts black; only the pixels inside each piece are copied.
  const int count = puzzle_.PieceCount;
  for (int i = 0; i < count; ++i) {
    const TFormPiece& p = Pieces[std::size_t(i)];
    const int width = std::min<int>(p.Width, Picture.Width() - p.HomeX);
    const int height = std::min<int>(p.Height, Picture.Height() - p.HomeY);
    for (int y = 0; y < height; ++y)
      // Read through a const view: the picture shares its pixels with the
      // decoded original, and a write access would copy them all.
      CopyInside(MaskSheet.ScanLine(p.SheetY + y), p.SheetX,
                 std::as_const(Picture).ScanLine(p.HomeY + y) + 3 * p.HomeX,
                 ImageSheet.ScanLine(p.SheetY + y) + 3 * p.SheetX, width);
    ShowProgress(i + 1, count, QStringLiteral("Drawing: "));
  }
}

void TPieces::BuildOverlays() {
  RimWidth = RimWidthFor(options_.OutlineStyle, puzzle_.CellWidth);
  Thickness = ThicknessFor(puzzle_.CellHeight);
  TOverlayBuilder builder(*this);
  for (TFormPiece& p : Pieces) builder.Build(p);
}

// Drawing ------------------------------------------------------------------------------

void TPieces::DrawPiece(const TFormPiece& p, TBitmap& bitmap, const TRect* clip) const {
  if (p.Hidden) return;
  if (bitmap.Format() != TPixelFormat::Bgr24) throw EError(QStringLiteral("Pieces can only be drawn on 24-bit bitmaps."));
  // The cell as it lies on the board, limited to the sheets.
  const int dx = p.X - p.SheetX;
  const int dy = p.Y - p.SheetY;
  TRect area = PieceRect(p)
                   .Intersect(bitmap.BoundsRect())
                   .Intersect(ImageSheet.BoundsRect().Offset(dx, dy))
                   .Intersect(MaskSheet.BoundsRect().Offset(dx, dy));
  if (clip) area = area.Intersect(*clip);
  if (!area.IsEmpty()) {
    std::uint8_t* row = bitmap.PixelAt(area.Left, area.Top);
    for (int y = area.Top; y < area.Bottom; ++y, row += bitmap.Stride())
      CopyInside(MaskSheet.ScanLine(y - dy), area.Left - dx, ImageSheet.ScanLine(y - dy) + 3 * (area.Left - dx), row,
                 area.Width());
  }
  if (options_.OutlineStyle != OutlineNone && !p.RimSprite.empty())
    RimPainter.DrawRuns(p.RimSprite, bitmap, clip, p.X, p.Y, p.Width, p.Height);
}

void TPieces::DrawSide(const TFormPiece& p, TBitmap& bitmap, const TRect* clip) const {
  if (p.Hidden || p.SideSprite.empty()) return;
  SidePainter.DrawRuns(p.SideSprite, bitmap, clip, p.X, p.Y, p.Width, p.Height + Thickness);
}

void TPieces::DrawPieceList(TPieceSpan list, TBitmap& bitmap, const TRect* clip) const {
  const bool wood = options_.IsWoodOutline();
  // Sides reach Thickness pixels below their pieces: pieces up to that far
  // above the clip may show in it.
  TRect reach;
  if (clip) reach = wood ? TRect{clip->Left, clip->Top - Thickness, clip->Right, clip->Bottom} : *clip;
  const auto counts = [&](const TFormPiece* p) { return !clip || PieceRect(*p).Intersects(reach); };

  if (!wood) {
    for (const TFormPiece* p : list)
      if (counts(p)) DrawPiece(*p, bitmap, clip);
    return;
  }
  for (std::size_t first = 0; first < list.size();) {
    std::size_t end = first + 1;
    while (end < list.size() && list[end]->Group == list[first]->Group) ++end;
    const auto run = list.subspan(first, end - first);
    for (const TFormPiece* p : run)
      if (counts(p)) DrawSide(*p, bitmap, clip);
    for (const TFormPiece* p : run)
      if (counts(p)) DrawPiece(*p, bitmap, clip);
    first = end;
  }
}

void TPieces::DrawMasks(TPieceSpan list, TBitmap& bitmap) const {
  for (const TFormPiece* p : list)
    BitBlt(bitmap, p->X, p->Y, p->Width, p->Height, MaskSheet, p->SheetX, p->SheetY, TRasterOp::SrcAnd);
}

void TPieces::FillArea(TBitmap& bitmap, const TRect& rect, TColor colour) {
  TCanvas canvas(bitmap);
  canvas.Brush.Color = colour;
  canvas.FillRect(rect);
}
