// Zoom: the puzzle cut again at a larger scale over a larger board, and the
// whole board's view of it that the saved game keeps.

#include <algorithm>
#include <cmath>

#include "game/jigsaw.h"
#include "platform/hourglass.h"

namespace {

constexpr int PictureScale = 100;

TPieceHome UnturnedHome(const TFormPiece& p) {
  const bool across = p.Rotation & 1;
  return {p.HomeX, p.HomeY, across ? p.Height : p.Width, across ? p.Width : p.Height};
}

TRect Scaled(const TRect& rect, double by) {
  const auto at = [by](int v) { return int(std::lround(v * by)); };
  return Bounds(at(rect.Left), at(rect.Top), at(rect.Width()), at(rect.Height()));
}

}  // namespace

void TJigsaw::ZoomTo(int percent) {
  const int whole = WholeBoardScale();
  percent = std::clamp(percent, whole, std::max(whole, PictureScale));
  if (percent == Record.ScalePercent) return;
  if (!wholeBoard_) {
    TWholeBoard board{Record, Config.PlayWidth, Config.PlayHeight, {}};
    board.Homes.reserve(Pieces.size());
    for (const TFormPiece& p : Pieces) board.Homes.push_back(UnturnedHome(p));
    wholeBoard_ = std::move(board);
  }
  const double was = Config.Zoom;
  const double zoom = double(percent) / whole;
  const int width = int(std::lround(wholeBoard_->PlayWidth * zoom));
  const int height = int(std::lround(wholeBoard_->PlayHeight * zoom));
  {
    THourglass hourglass;
    Recut(percent);
    Config.Zoom = zoom;
    Config.PlayWidth = width;
    Config.PlayHeight = height;
    // Trays keep their places on the whole board, and their pieces theirs
    // in proportion inside them.
    for (const auto& tray : Trays) {
      if (tray->IsBoard()) continue;
      tray->SetBounds(Scaled(Scaled(tray->BoundsRect(), 1 / was), zoom));
      for (TFormPiece* p : tray->Pieces) RestoreNormalised(*p, tray->InnerRect());
    }
    TBox& board = BoardTray();
    board.SetBounds({0, 0, width, height});
    RelayoutGroups(board.Pieces, board.InnerRect(), true);
    if (percent == whole) {
      wholeBoard_.reset();
      Config.Zoom = 1.0;
    }
    View.BoardBitmap.SetSize(width, height);
    RebuildBoard();
    DrawTrays(View.BoardBitmap, nullptr);
    ResetBackground();
    Screen.Invalidate(Screen.ClientRect());
  }
}

TPuzzleRecord TJigsaw::WholeBoardRecord() const {
  TPuzzleRecord record = Record;
  if (!wholeBoard_) return record;
  const TPuzzleRecord& cut = wholeBoard_->Record;
  record.ScalePercent = cut.ScalePercent;
  record.CutWidth = cut.CutWidth;
  record.CutHeight = cut.CutHeight;
  record.CellWidth = cut.CellWidth;
  record.CellHeight = cut.CellHeight;
  record.SheetWidth = cut.SheetWidth;
  record.SheetHeight = cut.SheetHeight;
  record.LabelBufferSize = cut.LabelBufferSize;
  return record;
}

std::vector<TPieceHome> TJigsaw::WholeBoardHomes() const {
  std::vector<TPieceHome> homes;
  homes.reserve(Pieces.size());
  for (std::size_t i = 0; i < Pieces.size(); ++i) {
    const TFormPiece& p = Pieces[i];
    TPieceHome home = wholeBoard_ ? wholeBoard_->Homes[i] : UnturnedHome(p);
    if (p.Rotation & 1) std::swap(home.Width, home.Height);
    homes.push_back(home);
  }
  return homes;
}

TJigConfig::TBlock TJigsaw::WholeBoardOptions() const {
  return wholeBoard_ ? Config.WriteTo(wholeBoard_->PlayWidth, wholeBoard_->PlayHeight) : Config.WriteTo();
}

TRect TJigsaw::WholeBoardRect(const TRect& rect) const { return wholeBoard_ ? Scaled(rect, 1 / Config.Zoom) : rect; }
