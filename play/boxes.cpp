#include "play/boxes.h"

#include <QString>

#include <algorithm>
#include <functional>

#include "platform/utility.h"

namespace {

// How far a tray must stay on the play area when it is moved or the area
// shrinks.
constexpr int VisibleMargin = 32;
// The gap between neighbouring tray buttons on the bar.
constexpr int ButtonGap = 6;

int Compare(auto a, auto b) { return a < b ? -1 : (b < a ? 1 : 0); }

}  // namespace

TBoxes::TBoxes(TPuzzleGeometry& puzzle, TPieceOptions& options, TTrayCounters& counters, TTrayBar& bar,
               TScreen& screen)
    : TPieces(puzzle, options), Counters(counters), Bar(bar), Screen(screen) {
  // The scroll buttons move the row of tray buttons by one.
  const auto scroll = [this](int by) {
    return [this, by] {
      Counters.FirstShownTray = std::uint16_t(std::max(1, Counters.FirstShownTray + by));
      LayoutBar(true);
    };
  };
  Bar.SpeedBoxLeft.OnClick = Bar.SpeedBoxUp.OnClick = scroll(-1);
  Bar.SpeedBoxRight.OnClick = Bar.SpeedBoxDown.OnClick = scroll(1);
}

TBoxes::~TBoxes() = default;

void TBoxes::PopupTrayIcon(TPoint) {}

void TBoxes::MakeTrays() {
  CreatePieces();
  CurrentTray = nullptr;
  Trays.clear();
  Trays.push_back(std::make_unique<TBox>(*this, 0));
  BoardTray().AddPieces(AllPieces());
  CurrentTray = &BoardTray();
}

void TBoxes::FreeTrays() {
  CurrentTray = nullptr;
  Trays.clear();
  FreePieces();
}

void TBoxes::DrawTray(const TBox& tray, TBitmap& bitmap, const TRect* clip) const {
  if (!tray.Open) return;
  if (tray.IsBoard()) {
    DrawPieceList(tray.Pieces, bitmap, clip);
    return;
  }
  tray.Draw(bitmap, clip);
  const TRect inner = clip ? tray.InnerRect().Intersect(*clip) : tray.InnerRect();
  if (!inner.IsEmpty()) DrawPieceList(tray.Pieces, bitmap, &inner);
}

void TBoxes::DrawTrays(TBitmap& bitmap, const TRect* clip) const {
  for (const auto& tray : Trays) DrawTray(*tray, bitmap, clip);
}

void TBoxes::SortTrays(TTrayOrder order) {
  // The board tray stays first whatever its keys: only the others are sorted.
  if (Trays.size() < 2) return;
  const std::span<std::unique_ptr<TBox>> others(Trays.begin() + 1, Trays.end());
  using TItem = std::unique_ptr<TBox>;
  switch (order) {
    case TTrayOrder::Stacking:
      SortItems(others, [](const TItem& a, const TItem& b) { return Compare(a->FrontNo, b->FrontNo); });
      break;
    case TTrayOrder::Number:
      SortItems(others, [](const TItem& a, const TItem& b) { return Compare(a->Number, b->Number); });
      break;
  }
}

void TBoxes::SortAllTrayPieces(TSortOrder order) {
  SortTrays(TTrayOrder::Stacking);
  for (const auto& tray : Trays) tray->SortPieces(order);
}

TBox& TBoxes::TrayAt(int x, int y) const {
  for (auto it = Trays.rbegin(); it != Trays.rend(); ++it)
    if ((*it)->Open && (*it)->BoundsRect().Contains({x, y})) return **it;
  return BoardTray();
}

TBox& TBoxes::TrayByNumber(std::uint32_t number) const {
  for (const auto& tray : Trays)
    if (tray->Number == number) return *tray;
  return BoardTray();
}

void TBoxes::MoveToTray(TPieceSpan list, TBox& target) {
  if (list.empty()) return;
  TBox& source = TrayByNumber(std::uint32_t(list.front()->Tray));
  if (&source == &target) return;
  const bool targetWasEmpty = target.Count() == 0;

  TPieceList moving(list.begin(), list.end());
  std::sort(moving.begin(), moving.end());
  std::erase_if(source.Pieces,
                [&](TFormPiece* p) { return std::binary_search(moving.begin(), moving.end(), p); });
  target.AddPieces(list);

  if (source.Count() == 0) source.Button->SetFull(false);
  if (target.Count() == 0)
    target.Button->SetFull(false);
  else if (targetWasEmpty)
    target.Button->SetFull(true);
}

void TBoxes::SetTrayLifted(TBox& tray, bool lifted) {
  tray.Lifted = lifted;
  SetHidden(tray.Pieces, lifted);
}

void TBoxes::MoveTray(TBox& tray, int dx, int dy) {
  tray.X += dx;
  tray.Y += dy;
  OffsetPieces(tray.Pieces, dx, dy);
  StoreTrayPositions(tray);
}

void TBoxes::StoreTrayPositions(TBox& tray) { StoreGroupNormalised(tray.Pieces, tray.InnerRect()); }

TRect TBoxes::SettleTrayPieces(TBox& tray) {
  tray.SortPieces(TSortOrder::Stacking);
  TRect brought = RelayoutGroups(tray.Pieces, tray.InnerRect(), false);
  brought = brought.Union(FitTrayPieces(tray));
  StoreTrayPositions(tray);
  return brought;
}

void TBoxes::ForEachGroup(TPieceSpan list, const std::function<void(TPieceSpan, const TRect&)>& action) {
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = start + 1;
    while (end < list.size() && list[end]->Group == list[start]->Group) ++end;
    const TPieceSpan run = list.subspan(start, end - start);
    TRect bounds;
    for (const TFormPiece* p : run) bounds = bounds.Union(PieceRect(*p));
    action(run, bounds);
    start = end;
  }
}

TSize TBoxes::LargestGroupSize(const TBox& tray) const {
  TPieceList list = tray.Pieces;
  SortList(list, TSortOrder::Stacking);
  TSize largest{0, 0};
  ForEachGroup(list, [&](TPieceSpan, const TRect& bounds) {
    largest.Width = std::max(largest.Width, bounds.Width());
    largest.Height = std::max(largest.Height, bounds.Height());
  });
  return largest;
}

void TBoxes::GrowTray(TBox& tray, int width, int height) {
  const TRect inner = tray.InnerRect();
  const TRect board = BoardTray().BoundsRect();
  const int grownWidth = std::min(board.Width(), tray.Width + std::max(0, width - inner.Width()));
  const int grownHeight = std::min(board.Height(), tray.Height + std::max(0, height - inner.Height()));
  if (grownWidth <= tray.Width && grownHeight <= tray.Height) return;
  TRect grown = Bounds(tray.X, tray.Y, std::max<int>(grownWidth, tray.Width), std::max<int>(grownHeight, tray.Height));
  grown = grown.Offset(std::min(0, board.Right - grown.Right), std::min(0, board.Bottom - grown.Bottom));
  grown = grown.Offset(std::max(0, board.Left - grown.Left), std::max(0, board.Top - grown.Top));
  OffsetPieces(tray.Pieces, grown.Left - tray.X, grown.Top - tray.Y);
  tray.SetBounds(grown);
  StoreTrayPositions(tray);
}

TRect TBoxes::FitTrayPieces(TBox& tray) {
  if (tray.IsBoard() || tray.Pieces.empty()) return {};
  // A group's first piece holds its place; the others lie against it.
  tray.SortPieces(TSortOrder::Stacking);
  ForEachGroup(tray.Pieces, [](TPieceSpan run, const TRect&) {
    for (TFormPiece* p : run.subspan(1)) AlignTo(*p, *run.front());
  });
  const TSize largest = LargestGroupSize(tray);
  const TRect before = tray.BoundsRect();
  GrowTray(tray, largest.Width, largest.Height);
  const TRect inner = tray.InnerRect();
  // A tray that grew shows anew with its shadow.
  TRect moved = before == tray.BoundsRect() ? TRect{} : before.Union(tray.BoundsRect()).Inflate(12, 12);
  ForEachGroup(tray.Pieces, [&](TPieceSpan run, const TRect& bounds) {
    // A group larger than the board allows the tray to grow keeps its
    // top-left inside.
    int dx = std::min(0, inner.Right - bounds.Right);
    dx = std::max(dx, inner.Left - bounds.Left);
    int dy = std::min(0, inner.Bottom - bounds.Bottom);
    dy = std::max(dy, inner.Top - bounds.Top);
    if (dx == 0 && dy == 0) return;
    OffsetPieces(run, dx, dy);
    StoreNormalised(*run.front(), inner);
    moved = moved.Union(bounds).Union(bounds.Offset(dx, dy));
  });
  return moved;
}

TRect TBoxes::UncoverBoardPieces() {
  std::vector<TRect> covers;
  for (const auto& tray : Trays)
    if (!tray->IsBoard() && tray->Open) covers.push_back(tray->BoundsRect());
  if (covers.empty()) return {};
  const auto covered = [&](const TRect& r) {
    return std::any_of(covers.begin(), covers.end(), [&](const TRect& c) { return c.Intersects(r); });
  };
  TBox& board = BoardTray();
  const TRect area = board.BoundsRect();
  board.SortPieces(TSortOrder::Stacking);
  TRect moved;
  ForEachGroup(board.Pieces, [&](TPieceSpan run, const TRect& bounds) {
    if (!covered(bounds)) return;
    // The nearest free place lies against an edge of a tray or of the board
    // on each axis, or where the group is.
    const int w = bounds.Width(), h = bounds.Height();
    std::vector<int> xs{bounds.Left, area.Left, area.Right - w};
    std::vector<int> ys{bounds.Top, area.Top, area.Bottom - h};
    for (const TRect& c : covers) {
      xs.insert(xs.end(), {c.Left - w, c.Right});
      ys.insert(ys.end(), {c.Top - h, c.Bottom});
    }
    const auto fits = [](int at, int size, int low, int high) { return at >= low && (at + size <= high || at == low); };
    std::int64_t best = -1;
    TPoint to;
    for (const int x : xs) {
      if (!fits(x, w, area.Left, area.Right)) continue;
      for (const int y : ys) {
        if (!fits(y, h, area.Top, area.Bottom) || covered(Bounds(x, y, w, h))) continue;
        const std::int64_t dx = x - bounds.Left, dy = y - bounds.Top;
        if (best >= 0 && dx * dx + dy * dy >= best) continue;
        best = dx * dx + dy * dy;
        to = {x, y};
      }
    }
    if (best < 0) return;
    OffsetPieces(run, to.X - bounds.Left, to.Y - bounds.Top);
    StoreNormalised(*run.front(), area);
    moved = moved.Union(bounds).Union(bounds.Offset(to.X - bounds.Left, to.Y - bounds.Top));
  });
  return moved;
}

TRect TBoxes::KeepPiecesInSight() {
  TRect moved;
  for (const auto& tray : Trays) moved = moved.Union(FitTrayPieces(*tray));
  return moved.Union(UncoverBoardPieces());
}

void TBoxes::KeepTrayVisible(TRect& rect, const TRect& area) {
  if (rect.Right < area.Left + VisibleMargin) rect = rect.Offset(area.Left + VisibleMargin - rect.Right, 0);
  if (rect.Left > area.Right - VisibleMargin) rect = rect.Offset(area.Right - VisibleMargin - rect.Left, 0);
  if (rect.Top < area.Top) rect = rect.Offset(0, area.Top - rect.Top);
  if (rect.Top > area.Bottom - VisibleMargin) rect = rect.Offset(0, area.Bottom - VisibleMargin - rect.Top);
}

void TBoxes::RefitTrays() {
  const TRect area{0, 0, Options().PlayWidth, Options().PlayHeight};
  for (std::size_t i = 1; i < Trays.size(); ++i) {
    TBox& tray = *Trays[i];
    TRect bounds = tray.BoundsRect();
    KeepTrayVisible(bounds, area);
    MoveTray(tray, bounds.Left - tray.X, bounds.Top - tray.Y);
    tray.SetBounds(bounds);
    FitTrayPieces(tray);
  }
  TBox& board = BoardTray();
  RelayoutGroups(board.Pieces, board.InnerRect(), true);
  UncoverBoardPieces();
}

void TBoxes::CloseEmptyTrays() {
  // Closing never reorders the trays, so the positions stay valid.
  for (std::size_t i = 1; i < Trays.size(); ++i) {
    TBox& tray = *Trays[i];
    if (tray.Open && tray.Count() == 0) tray.ToggleOpen();
  }
}

void TBoxes::ShowTrayBar(bool playing) {
  Bar.SetVisible(playing && Trays.size() > 1);
  LayoutBar(playing);
}

void TBoxes::LayoutBar(bool playing) {
  const bool horizontal = Bar.Align == TTrayBar::TAlign::Top || Bar.Align == TTrayBar::TAlign::Bottom;
  const TTrayButton& model = Bar.BoxBtn;
  Bar.SpeedBoxLeft.SetVisible(horizontal);
  Bar.SpeedBoxRight.SetVisible(horizontal);
  Bar.SpeedBoxUp.SetVisible(!horizontal);
  Bar.SpeedBoxDown.SetVisible(!horizontal);
  // The buttons start as far in from one end as the template and must end as
  // far from the other; a bar without room for one shows none.
  const auto fitting = [](int room, int step) { return step > 0 ? std::max(0, room / step) : 0; };
  int step = 0;
  int start = 0;
  if (horizontal) {
    Bar.SpeedBoxRight.SetLeft(Bar.Width - Bar.SpeedBoxRight.Width() - Bar.SpeedBoxLeft.Left());
    step = model.Width() + ButtonGap;
    start = model.Left();
  } else {
    Bar.SpeedBoxUp.SetTop(Bar.SpeedBoxLeft.Top());
    Bar.SpeedBoxDown.SetTop(Bar.Height - Bar.SpeedBoxUp.Height() - Bar.SpeedBoxUp.Top());
    step = model.Height() + ButtonGap;
    start = model.Top();
  }
  if (playing) VisibleButtons = fitting((horizontal ? Bar.Width : Bar.Height) - 2 * start, step);

  const int count = int(Trays.size()) - 1;
  bool scrollable = false;
  if (playing) {
    SortTrays(TTrayOrder::Number);
    scrollable = count > VisibleButtons;
    if (!scrollable || Counters.FirstShownTray < 1) Counters.FirstShownTray = 1;
    const int first = Counters.FirstShownTray;
    for (int i = 1; i <= count; ++i) {
      TTrayButton& button = *Trays[std::size_t(i)]->Button;
      const bool shown = first <= i && i < first + VisibleButtons;
      button.SetVisible(shown);
      if (!shown) continue;
      const int place = step * (i - first) + start;
      if (horizontal)
        button.SetLeft(place);
      else
        button.SetTop(place);
    }
    SortTrays(TTrayOrder::Stacking);
  }
  const int first = Counters.FirstShownTray;
  Bar.SpeedBoxLeft.SetEnabled(scrollable && first > 1);
  Bar.SpeedBoxRight.SetEnabled(scrollable && first <= count - VisibleButtons);
  Bar.SpeedBoxUp.SetEnabled(Bar.SpeedBoxLeft.Enabled());
  Bar.SpeedBoxDown.SetEnabled(Bar.SpeedBoxRight.Enabled());
}

void TBoxes::RestoreTrays(std::span<const TTrayState> trays) {
  std::erase_if(Trays, [&](const std::unique_ptr<TBox>& tray) {
    return !tray->IsBoard() &&
           std::none_of(trays.begin(), trays.end(), [&](const TTrayState& t) { return t.Number == tray->Number; });
  });
  for (const TTrayState& t : trays) {
    auto found = std::find_if(Trays.begin(), Trays.end(), [&](const auto& tray) { return tray->Number == t.Number; });
    TBox& tray = found != Trays.end() ? **found : *Trays.emplace_back(std::make_unique<TBox>(*this, t.Number));
    tray.TakeState(t);
  }
  for (const auto& tray : Trays) tray->Pieces.clear();
  for (TFormPiece& p : Pieces) TrayByNumber(std::uint32_t(p.Tray)).Pieces.push_back(&p);
  SortAllTrayPieces(TSortOrder::Stacking);
  SortTrays(TTrayOrder::Stacking);
  for (const auto& tray : Trays) tray->Button->SetFull(tray->Count() > 0);
  CurrentTray = &BoardTray();
}
