#include "pieces/pieces.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "pieces/texture.h"
#include "platform/utility.h"

namespace {

// Positions restored from saved numbers stay far enough from the limits of
// 32-bit arithmetic that rectangles around them cannot overflow.
constexpr double PositionLimit = double(1 << 28);

int Compare(auto a, auto b) { return a < b ? -1 : (b < a ? 1 : 0); }

}  // namespace

TPieces::TPieces(TPuzzleGeometry& puzzle, TPieceOptions& options)
    : Texture(LoadSideTexture()), puzzle_(puzzle), options_(options) {
  SidePainter.LoadPalette(Texture);
}

TPieces::~TPieces() = default;

void TPieces::PlayEffect(int) {}

void TPieces::RecountSolved() {
  puzzle_.SolvedCount = std::uint16_t(
      std::count_if(Pieces.begin(), Pieces.end(), [](const TFormPiece& p) { return p.Joined; }));
}

// Records ---------------------------------------------------------------------

void TPieces::CreatePieces() {
  Pieces = {};
  Pieces.resize(puzzle_.PieceCount);
  for (std::size_t i = 0; i < Pieces.size(); ++i) Pieces[i].Index = std::int32_t(i);
}

void TPieces::FreePieces() { Pieces = {}; }

TPieceList TPieces::AllPieces() {
  TPieceList list;
  list.reserve(Pieces.size());
  for (TFormPiece& p : Pieces) list.push_back(&p);
  return list;
}

int TPieces::HomeNeighbour(int index, int direction) const {
  // Bounded by the records themselves: a grid that does not fill them
  // exactly never leads outside the list.
  const int n = puzzle_.Columns;
  const int count = int(Pieces.size());
  if (n <= 0 || index < 0 || index >= count) return -1;
  int neighbour = -1;
  switch (direction) {
    case DirectionUp:
      neighbour = index - n;
      break;
    case DirectionRight:
      if (index % n != n - 1) neighbour = index + 1;
      break;
    case DirectionDown:
      neighbour = index + n;
      break;
    case DirectionLeft:
      if (index % n != 0) neighbour = index - 1;
      break;
  }
  return neighbour >= 0 && neighbour < count ? neighbour : -1;
}

// Geometry of one piece ----------------------------------------------------------

TPoint TPieces::ExpectedPos(const TFormPiece& a, const TFormPiece& b) {
  const int dx = a.HomeX - b.HomeX;
  const int dy = a.HomeY - b.HomeY;
  switch (b.Rotation & 3) {
    case 1:
      return {b.X + b.Width - dy - a.Width, b.Y + dx};
    case 2:
      return {b.X + b.Width - dx - a.Width, b.Y + b.Height - dy - a.Height};
    case 3:
      return {b.X + dy, b.Y + b.Height - dx - a.Height};
    default:
      return {b.X + dx, b.Y + dy};
  }
}

void TPieces::AlignTo(TFormPiece& a, const TFormPiece& b) {
  const TPoint at = ExpectedPos(a, b);
  a.X = at.X;
  a.Y = at.Y;
}

void TPieces::OffsetPieces(TPieceSpan list, int dx, int dy) {
  for (TFormPiece* p : list) {
    p->X += dx;
    p->Y += dy;
  }
}

void TPieces::SetPosition(TFormPiece& p, int x, int y, const TRect& area) const {
  p.X = x;
  p.Y = y;
  StoreNormalised(p, area);
}

void TPieces::StoreNormalised(TFormPiece& p, const TRect& area) const {
  // An area with no extent (a minimised window) says nothing about the
  // proportions: the last stored position stays.
  // The area's corner counts as the whole board has it, so that a zoom
  // leaves the proportions as they are.
  if (area.Right != area.Left)
    p.NormX = double(puzzle_.PictureWidth) * double(p.X - area.Left) / double(area.Right - area.Left) +
              double(area.Left) / options_.Zoom;
  if (area.Bottom != area.Top)
    p.NormY = double(puzzle_.PictureHeight) * double(p.Y - area.Top) / double(area.Bottom - area.Top) +
              double(area.Top) / options_.Zoom;
}

void TPieces::RestoreNormalised(TFormPiece& p, const TRect& area) const {
  // Rounds to nearest with ties to even (the default rounding mode); saved
  // numbers of any size are held to a sane range first.
  auto scaled = [this](double norm, int low, int high, int picture) {
    if (picture == 0) return 0;
    const double offset = std::nearbyint((norm - low / options_.Zoom) * double(high - low) / double(picture));
    return int(std::clamp(offset, -PositionLimit, PositionLimit));
  };
  p.X = area.Left + scaled(p.NormX, area.Left, area.Right, puzzle_.PictureWidth);
  p.Y = area.Top + scaled(p.NormY, area.Top, area.Bottom, puzzle_.PictureHeight);
}

void TPieces::StoreGroupNormalised(TPieceSpan list, const TRect& area) const {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (i == 0 || list[i]->Group != list[i - 1]->Group) StoreNormalised(*list[i], area);
}

bool TPieces::HitTest(const TFormPiece& p, int x, int y) const {
  if (!PieceRect(p).Contains({x, y})) return false;
  const int sx = x - p.X + p.SheetX;
  const int sy = y - p.Y + p.SheetY;
  if (sx < 0 || sy < 0 || sx >= MaskSheet.Width() || sy >= MaskSheet.Height()) return false;
  const bool white = (MaskSheet.ScanLine(sy)[sx >> 3] >> (7 - (sx & 7))) & 1;
  return !white;
}

// Groups and stacking ---------------------------------------------------------------

void TPieces::CompactGroups() {
  std::vector<std::int32_t> groups;
  groups.reserve(Pieces.size());
  for (const TFormPiece& p : Pieces) groups.push_back(p.Group);
  std::sort(groups.begin(), groups.end());
  groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
  for (TFormPiece& p : Pieces)
    p.Group = std::int32_t(std::lower_bound(groups.begin(), groups.end(), p.Group) - groups.begin());
  puzzle_.NextGroupId = std::int32_t(groups.size());
}

void TPieces::MakeRoomForGroups() {
  if (puzzle_.NextGroupId > GroupLimit / 2) CompactGroups();
}

void TPieces::BringToFront(TPieceSpan list) {
  if (list.empty()) return;
  MakeRoomForGroups();
  std::int32_t previous = list.front()->Group;
  for (TFormPiece* p : list) {
    if (p->Group != previous) {
      ++puzzle_.NextGroupId;
      previous = p->Group;
    }
    p->Group = puzzle_.NextGroupId;
  }
  ++puzzle_.NextGroupId;
}

void TPieces::SendGroupToBack(const TFormPiece& p) {
  MakeRoomForGroups();
  const std::int32_t group = p.Group;
  for (TFormPiece& q : Pieces) q.Group = q.Group == group ? 0 : q.Group + 1;
  ++puzzle_.NextGroupId;
}

int TPieces::GroupSize(const TFormPiece& p) const {
  return int(std::count_if(Pieces.begin(), Pieces.end(), [&](const TFormPiece& q) { return q.Group == p.Group; }));
}

void TPieces::SortList(std::span<TFormPiece*> list, TSortOrder order) {
  auto sort = [&](auto compare) { SortItems<TFormPiece*>(list, compare); };
  switch (order) {
    case TSortOrder::Stacking:
      sort([](const TFormPiece* a, const TFormPiece* b) {
        const int byGroup = Compare(a->Group, b->Group);
        return byGroup != 0 ? byGroup : Compare(a->Index, b->Index);
      });
      break;
    case TSortOrder::Shape:
      sort([](const TFormPiece* a, const TFormPiece* b) { return Compare(a->EdgeClass, b->EdgeClass); });
      break;
    case TSortOrder::Colour:
      sort([](const TFormPiece* a, const TFormPiece* b) { return Compare(a->ColourKey, b->ColourKey); });
      break;
    case TSortOrder::ShapeColour:
      sort([](const TFormPiece* a, const TFormPiece* b) {
        const int byShape = Compare(a->EdgeClass, b->EdgeClass);
        return byShape != 0 ? byShape : Compare(a->ColourKey, b->ColourKey);
      });
      break;
    case TSortOrder::Shuffle:
      sort([](const TFormPiece* a, const TFormPiece* b) { return Compare(a->ShuffleKey, b->ShuffleKey); });
      break;
  }
}

void TPieces::SetHidden(TPieceSpan list, bool value) {
  for (TFormPiece* p : list) p->Hidden = value;
}

void TPieces::SetPlaced(TPieceSpan list, bool value) {
  for (TFormPiece* p : list) p->Placed = value;
}

// Neighbours and joining ----------------------------------------------------------------

TNeighbourSlots TPieces::NeighbourSlots(int index) {
  TFormPiece& piece = PieceAt(index);
  const int tolerance = options_.SnapDivisor > 0 ? puzzle_.CellHeight / options_.SnapDivisor : 0;
  TNeighbourSlots result{};
  piece.Complete = true;
  for (int direction = 0; direction < 4; ++direction) {
    const int q = HomeNeighbour(index, direction);
    if (q < 0) continue;
    TFormPiece& neighbour = PieceAt(q);
    if (neighbour.Group != piece.Group) piece.Complete = false;
    const TPoint at = ExpectedPos(piece, neighbour);
    result[std::size_t(direction)] = {&neighbour, {at.X - tolerance, at.Y - tolerance, at.X + tolerance, at.Y + tolerance}};
  }
  return result;
}

void TPieces::JoinPieces(TFormPiece& a, TFormPiece& b, TRect& dirty) {
  const TPoint expected = ExpectedPos(a, b);
  const int dx = expected.X - a.X;
  const int dy = expected.Y - a.Y;
  const std::int32_t group = a.Group;
  if (b.Joined) {
    // The moving group snaps onto b's group.
    const std::int32_t target = b.Group;
    for (TFormPiece& p : Pieces) {
      if (p.Group != group) continue;
      p.Joined = true;
      p.Group = target;
      dirty = dirty.Union(PieceRect(p));
      p.X += dx;
      p.Y += dy;
      dirty = dirty.Union(PieceRect(p));
    }
    RecountSolved();
  } else {
    // The loose piece b snaps onto the moving group.
    puzzle_.SolvedCount = std::uint16_t(puzzle_.SolvedCount + (a.Joined ? 1 : 2));
    b.Group = group;
    a.Joined = true;
    b.Joined = true;
    dirty = dirty.Union(PieceRect(b));
    b.X -= dx;
    b.Y -= dy;
    dirty = dirty.Union(PieceRect(b));
  }
  if (options_.IsWoodOutline() && !dirty.IsEmpty()) dirty.Bottom += Thickness;
  PlayEffect(1);
  if (puzzle_.SolvedCount >= puzzle_.PieceCount) AllJoined = true;
}

void TPieces::DetachPiece(TFormPiece& p) {
  MakeRoomForGroups();
  const std::int32_t oldGroup = p.Group;
  p.Joined = false;
  p.Complete = false;
  p.Placed = false;
  p.Group = puzzle_.NextGroupId++;

  // A piece left alone in the old group is loose again.
  TFormPiece* alone = nullptr;
  int remaining = 0;
  for (TFormPiece& q : Pieces)
    if (q.Group == oldGroup) {
      alone = &q;
      ++remaining;
    }
  if (remaining == 1) {
    alone->Joined = false;
    alone->Placed = false;
  }

  for (const TNeighbourSlot& slot : NeighbourSlots(p.Index))
    if (slot.Piece) slot.Piece->Complete = false;
  if (alone && remaining == 1) NeighbourSlots(alone->Index);  // now incomplete unless it has no neighbours

  RecountSolved();
}

TFormPiece* TPieces::NeighbourToward(const TFormPiece& p, TPoint point) {
  const int dx = point.X - p.X - (p.Width >> 1);
  const int dy = point.Y - p.Y - (p.Height >> 1);
  int direction = 0;
  if (std::abs(dx) >= std::abs(dy))
    direction = dx >= 0 ? DirectionRight : DirectionLeft;
  else
    direction = dy < 0 ? DirectionUp : DirectionDown;
  const int home = (direction - (p.Rotation & 3) + 4) % 4;

  auto otherGroup = [&](int d) -> TFormPiece* {
    const int q = HomeNeighbour(p.Index, d);
    return q >= 0 && PieceAt(q).Group != p.Group ? &PieceAt(q) : nullptr;
  };
  if (TFormPiece* q = otherGroup(home)) return q;
  for (int d = 0; d < 4; ++d)
    if (TFormPiece* q = otherGroup(d)) return q;
  return nullptr;
}

// Keeping pieces in view -------------------------------------------------------------------

bool TPieces::KeepInArea(TRect& rect, const TRect& area) const {
  const int hw = puzzle_.CellWidth >> 1;
  const int hh = puzzle_.CellHeight >> 1;
  // Enough of the rectangle inside the area.
  int dx = 0;
  int dy = 0;
  if (rect.Bottom < area.Top + hh) dy = area.Top + hh - rect.Bottom;
  if (rect.Left > area.Right - hw)
    dx = area.Right - hw - rect.Left;
  else if (rect.Right < area.Left + hw)
    dx = area.Left + hw - rect.Right;
  if (rect.Top > area.Bottom - hh) dy = area.Bottom - hh - rect.Top;
  // How far it lies beyond the area plus half a cell.
  int ox = 0;
  int oy = 0;
  if (rect.Left < area.Left - hw) ox = area.Left - hw - rect.Left;
  if (rect.Right > area.Right + hw) ox = area.Right + hw - rect.Right;
  if (rect.Top < area.Top - hh) oy = area.Top - hh - rect.Top;
  if (rect.Bottom > area.Bottom + hh) oy = area.Bottom + hh - rect.Bottom;
  // Out on both axes: bring it back fully along the nearer one.
  if (ox != 0 && oy != 0) {
    if (std::abs(oy) < std::abs(ox))
      dy = oy;
    else
      dx = ox;
  }
  if (dx == 0 && dy == 0) return false;
  rect = rect.Offset(dx, dy);
  return true;
}

bool TPieces::KeepOnBoard(TRect& rect) const {
  const int hw = puzzle_.CellWidth >> 1;
  const int hh = puzzle_.CellHeight >> 1;
  int dx = 0;
  int dy = 0;
  if (rect.Left < -hw) dx = -hw - rect.Left;
  if (rect.Top < -hh) dy = -hh - rect.Top;
  if (rect.Right > hw + options_.PlayWidth) dx = hw + options_.PlayWidth - rect.Right;
  if (rect.Bottom > hh + options_.PlayHeight) dy = hh + options_.PlayHeight - rect.Bottom;
  if (dx == 0 && dy == 0) return false;
  rect = rect.Offset(dx, dy);
  return true;
}

TFormPiece* TPieces::AnyInsideArea(TPieceSpan list, const TRect& area) const {
  const TRect inner = area.Inflate(-(puzzle_.CellWidth / 2), -(puzzle_.CellHeight / 2));
  const std::size_t n = list.size();
  for (std::size_t k = 0; k < (n + 1) / 2; ++k) {
    if (PieceRect(*list[k]).Intersects(inner)) return list[k];
    if (PieceRect(*list[n - 1 - k]).Intersects(inner)) return list[n - 1 - k];
  }
  return nullptr;
}

TRect TPieces::RelayoutGroups(TPieceSpan list, const TRect& area, bool restore) {
  TRect brought;
  std::size_t start = 0;
  while (start < list.size()) {
    TFormPiece& leader = *list[start];
    if (restore) RestoreNormalised(leader, area);
    std::size_t end = start + 1;
    for (; end < list.size() && list[end]->Group == leader.Group; ++end) AlignTo(*list[end], leader);

    const TPieceSpan run = list.subspan(start, end - start);
    if (!AnyInsideArea(run, area)) {
      TRect bounds;
      for (const TFormPiece* p : run) bounds = bounds.Union(PieceRect(*p));
      // One shift can leave a run short of the overlap the next shift asks
      // for: a rectangle out on both axes comes back fully along one only.
      // Shifting until it stays put makes a relayout leave what it laid out
      // where it is, so a resize or a resume moves nothing twice. A run
      // larger than the area has no such place: its shifts go round a cycle,
      // and it takes the cycle's top-left place, whichever place it entered
      // the cycle by, so the next relayout finds it there again.
      std::vector<TRect> places{bounds};
      TRect kept = bounds;
      while (KeepInArea(kept, area)) {
        const auto again = std::find(places.begin(), places.end(), kept);
        if (again != places.end()) {
          kept = *std::min_element(again, places.end(), [](const TRect& a, const TRect& b) {
            return std::pair(a.Top, a.Left) < std::pair(b.Top, b.Left);
          });
          break;
        }
        places.push_back(kept);
      }
      if (kept != bounds) {
        OffsetPieces(run, kept.Left - bounds.Left, kept.Top - bounds.Top);
        brought = brought.Union(bounds).Union(kept);
      }
    }
    start = end;
  }
  return brought;
}

