// The tray commands of the game object: making trays and sorting pieces
// into them.

#include <algorithm>
#include <cmath>
#include <vector>

#include "game/jigsaw.h"
#include "pieces/arrange.h"
#include "platform/errors.h"
#include "platform/packedrecord.h"

namespace {

int Brightness(TColor c) { return (299 * RedOf(c) + 587 * GreenOf(c) + 114 * BlueOf(c)) / 1000; }

}  // namespace

TColor ContrastingColor(TColor average) {
  const TColor complement = RGBColor(255 - RedOf(average), 255 - GreenOf(average), 255 - BlueOf(average));
  if (std::abs(Brightness(complement) - Brightness(average)) >= 128) return complement;
  const auto towards = [&](int (*channel)(TColor)) {
    const int c = channel(complement);
    return Brightness(average) < 128 ? c + (255 - c) * 3 / 5 : c * 2 / 5;
  };
  return RGBColor(towards(RedOf), towards(GreenOf), towards(BlueOf));
}

std::uint32_t TJigsaw::NewTrayNumber() {
  // Numbers given once are not given again while they fit, so that undo
  // never takes one tray for another.
  // The saved game counts the trays, the board's included, in 16 bits too.
  if (Trays.size() >= std::size_t(TBox::LargestNumber))
    throw EError(QStringLiteral("No more trays can be made: there are %1 already.").arg(Trays.size() - 1));
  for (const auto& tray : Trays) lastTrayNumber_ = std::max(lastTrayNumber_, tray->Number);
  if (lastTrayNumber_ < TBox::LargestNumber) return ++lastTrayNumber_;
  std::vector<bool> taken(std::size_t(TBox::LargestNumber) + 1);
  for (const auto& tray : Trays) taken[tray->Number] = true;
  return std::uint32_t(std::find(taken.begin() + 1, taken.end(), false) - taken.begin());
}

TBox& TJigsaw::NewTray() {
  const std::uint32_t number = NewTrayNumber();
  Trays.push_back(std::make_unique<TBox>(*this, number));
  TBox& tray = *Trays.back();
  // Zoomed, the tray is as large, and lies as far from the corner, as on
  // the whole board, and comes into view.
  TRect bounds = ZoomedRect(tray.BoundsRect());
  KeepTrayVisible(bounds, BoardTray().BoundsRect());
  tray.SetBounds(bounds);
  ScrollIntoView(bounds);
  // It opens from its button as a closed tray does.
  tray.Open = false;
  tray.Button->SetDown(false);
  // The bar that appears may take room from the board: the screen shows the
  // board as it is then before the tray zooms out of its button.
  ShowTrayBar(IsPlaying());
  Screen.RepaintNow();
  tray.ToggleOpen();
  return tray;
}

TBox* TJigsaw::CommandTray() const {
  return CurrentTray && !CurrentTray->IsBoard() ? CurrentTray : nullptr;
}

void TJigsaw::SelectTrayPieces() {
  TBox* tray = CommandTray();
  if (!tray || !tray->Open) return;
  CancelSelection();
  TRect all;
  for (const TFormPiece* p : tray->Pieces) all = all.Union(PieceRect(*p));
  if (PickInRect(tray->Number, all)) Gesture.MouseState = Selected;
}

void TJigsaw::SendTrayToBack() {
  TBox* tray = CommandTray();
  if (!tray) return;
  // The others come forward in the order they lie, leaving it behind them.
  for (const auto& other : Trays)
    if (!other->IsBoard() && other.get() != tray) other->TakeFrontNo();
  SortTrays(TTrayOrder::Stacking);
  RefreshArea(tray->BoundsRect());
}

void TJigsaw::DropTrayPieces() {
  TBox* tray = CommandTray();
  if (!tray) return;
  CancelSelection();
  TBox& board = BoardTray();
  const TPieceList pieces = tray->Pieces;
  MoveToTray(pieces, board);
  board.SortPieces(TSortOrder::Stacking);
  // Groups stay whole, each kept where enough of it shows on the board.
  TPieceList dropped = pieces;
  SortList(dropped, TSortOrder::Stacking);
  RelayoutGroups(dropped, board.InnerRect(), false);
  StoreGroupNormalised(dropped, board.InnerRect());
  TRect changed = tray->BoundsRect();
  for (const TFormPiece* p : dropped) changed = changed.Union(PieceRect(*p));
  if (tray->Open) tray->ToggleOpen();
  RefreshArea(changed);
}

void TJigsaw::GetLoosePieces(bool edgesOnly) {
  TBox* tray = CommandTray();
  if (!tray) return;
  CancelSelection();
  TBox& board = BoardTray();
  if (edgesOnly) ComputeEdgeClasses(*this, board.Pieces);
  TPieceList loose;
  std::copy_if(board.Pieces.begin(), board.Pieces.end(), std::back_inserter(loose), [edgesOnly](TFormPiece* p) {
    return !p->Joined && (!edgesOnly || p->EdgeClass != EdgeInterior);
  });
  const TRect before = tray->BoundsRect();
  MoveToTray(loose, *tray);
  GrowToHoldLoosePieces(*tray);
  const TOptionMenus& menus = Window.Menus;
  ::ArrangeInGrid(*this, tray->Pieces, tray->InnerRect(),
                  ArrangeSortMode(menus.SortByShape.Checked(), menus.SortByColor.Checked()));
  HoldArranged(*tray);
  if (!tray->Open) tray->ToggleOpen();
  // The pieces came from all over the board.
  RefreshArea(board.BoundsRect().Union(before));
}

void TJigsaw::GrowToHoldLoosePieces(TBox& tray) {
  int loose = 0, widest = 0, highest = 0;
  for (const TFormPiece* p : tray.Pieces)
    if (!p->Joined) {
      ++loose;
      widest = std::max<int>(widest, p->Width);
      highest = std::max<int>(highest, p->Height);
    }
  if (loose == 0) return;
  // A grid whose pitch is a whole cell keeps the pieces apart, their tabs
  // reaching into the next cell; it is made about as wide as a tray is, four
  // by three, and its last row and column are whole.
  const int pitch = std::max<int>(Record.CellWidth, Record.CellHeight);
  const int columns = std::max(1, int(std::ceil(std::sqrt(loose * 4.0 / 3.0))));
  const int rows = (loose + columns - 1) / columns;
  GrowTray(tray, (columns - 1) * pitch + std::max(widest, pitch) + 1, (rows - 1) * pitch + std::max(highest, pitch) + 1);
}

void TJigsaw::HoldArranged(TBox& tray) {
  tray.SortPieces(TSortOrder::Stacking);
  if (tray.IsBoard()) return;
  // An arrangement fills the tray from its top-left; its last row and column
  // may reach beyond, and the tray grows to hold them whole.
  TRect laid;
  for (const TFormPiece* p : tray.Pieces) laid = laid.Union(PieceRect(*p));
  const TRect inner = tray.InnerRect();
  GrowTray(tray, laid.Right - inner.Left, laid.Bottom - inner.Top);
  FitTrayPieces(tray);
  StoreTrayPositions(tray);
}

void TJigsaw::SetTrayDescription(const QString& description) {
  TBox* tray = CommandTray();
  if (!tray) return;
  bool western = true;
  ToWindows1252(description, &western);
  if (!western)
    throw EError(QStringLiteral("A tray description can only hold letters, digits and signs of the Western "
                                "European character set."));
  if (description.size() > qsizetype(TBox::DescriptionCapacity))
    throw EError(QStringLiteral("A tray description can hold at most %1 characters.").arg(TBox::DescriptionCapacity));
  tray->Description = description;
  tray->Button->SetHint(description + QStringLiteral("|"));
  RefreshArea(tray->BoundsRect());
}

void TJigsaw::SetTrayColor(TColor color) {
  TBox* tray = CommandTray();
  if (!tray) return;
  tray->Color = color;
  RefreshArea(tray->BoundsRect());
}

void TJigsaw::SetTrayColor(TTrayColorChoice choice) {
  switch (choice) {
    case TTrayColorChoice::Matching:
      SetTrayColor(MatchingColor());
      break;
    case TTrayColorChoice::Contrasting:
      SetTrayColor(ContrastingColor());
      break;
    case TTrayColorChoice::Default:
      SetTrayColor(TBox::DefaultColor);
      break;
    case TTrayColorChoice::Custom:
      break;
  }
}

TTrayColorChoice TJigsaw::TrayColorChoice(const TBox& tray) const {
  if (tray.Color == TBox::DefaultColor) return TTrayColorChoice::Default;
  if (tray.Color == MatchingColor()) return TTrayColorChoice::Matching;
  if (tray.Color == ContrastingColor()) return TTrayColorChoice::Contrasting;
  return TTrayColorChoice::Custom;
}

TColor TJigsaw::MatchingColor() const {
  std::uint64_t blue = 0, green = 0, red = 0;
  for (int y = 0; y < Picture.Height(); ++y) {
    const std::uint8_t* row = Picture.ScanLine(y);
    for (int x = 0; x < Picture.Width(); ++x, row += 3) {
      blue += row[0];
      green += row[1];
      red += row[2];
    }
  }
  const std::uint64_t count = std::max<std::uint64_t>(1, std::uint64_t(Picture.Width()) * Picture.Height());
  return RGBColor(int(red / count), int(green / count), int(blue / count));
}

TColor TJigsaw::ContrastingColor() const { return ::ContrastingColor(MatchingColor()); }

void TJigsaw::DeleteTray() {
  TBox* tray = CommandTray();
  if (!tray) return;
  DropTrayPieces();
  const TRect bounds = tray->BoundsRect();
  CurrentTray = &BoardTray();
  std::erase_if(Trays, [tray](const std::unique_ptr<TBox>& t) { return t.get() == tray; });
  ShowTrayBar(IsPlaying());
  RefreshArea(bounds);
}
