#include "play/box.h"

#include <algorithm>
#include <cmath>

#include "platform/canvas.h"
#include "platform/colors.h"
#include "platform/cursors.h"
#include "platform/packedrecord.h"
#include "platform/utility.h"
#include "play/boxes.h"
#include "play/gesture.h"

namespace {

// Successive trays cascade by this much across the play area.
constexpr int CascadeStep = 20;
// The cascade wraps this far before the play area's right and bottom edges.
constexpr int CascadeMargin = 32;

// The title is 16 pixels high; canvas fonts are sized in points, which the
// board bitmap renders at 96 dots per inch.
constexpr int TitleFontPoints = 12;

// Record layout.
constexpr std::size_t NumberAt = 0, XAt = 2, YAt = 4, WidthAt = 6, HeightAt = 8, FrontNoAt = 10, ColorAt = 14,
                      OpenAt = 18, DescriptionAt = 19;

// The next cascade coordinate, wrapping with a signed remainder. A play area
// too small to cascade in keeps the position.
int Cascade(int position, int extent) {
  const int span = extent - CascadeMargin;
  return span > 0 ? (position + CascadeStep) % span : position;
}

std::uint16_t ClampedSize(std::int64_t size) {
  return std::uint16_t(std::clamp<std::int64_t>(size, 0, 0xFFFF));
}

// The record's fields, one list for reading and writing.
template <class Box, class Access>
void RecordFields(Box& box, Access& access) {
  access.Field(NumberAt, box.Number16);
  access.Field(XAt, box.X16);
  access.Field(YAt, box.Y16);
  access.Field(WidthAt, box.Width);
  access.Field(HeightAt, box.Height);
  access.Field(FrontNoAt, box.FrontNo);
  access.Field(ColorAt, box.Color);
  access.Field(OpenAt, box.Open);
  access.ShortString(DescriptionAt, TBox::DescriptionCapacity, box.Description);
}

// The record's view of a tray: number and position are 16-bit on file.
struct TRecordFields {
  std::uint16_t Number16 = 0;
  std::int16_t X16 = 0, Y16 = 0;
  std::uint16_t Width = 0, Height = 0;
  std::uint32_t FrontNo = 0;
  TColor Color = 0;
  std::uint8_t Open = 0;
  QString Description;
};

TRecordFields ReadRecord(std::span<const std::uint8_t, TBox::RecordSize> record) {
  TRecordFields fields;
  const TPackedReader reader(record);
  RecordFields(fields, reader);
  return fields;
}

}  // namespace

TBox::TBox(TBoxes& owner, std::uint32_t number)
    : Number(number), Button(std::make_unique<TTrayButton>()), owner_(owner) {
  TakeFrontNo();
  const TPieceOptions& options = owner_.Options();
  TPoint& next = owner_.NextTrayPos;
  if (IsBoard()) {
    next = {0, 0};
    Width = ClampedSize(options.PlayWidth);
    Height = ClampedSize(options.PlayHeight);
    FrontNo = 0;
  }
  X = next.X;
  Y = next.Y;
  next = {Cascade(next.X, options.PlayWidth), Cascade(next.Y, options.PlayHeight)};

  const TTrayButton& model = owner_.Bar.BoxBtn;
  Button->SetBounds(model.Left(), model.Top(), model.Width(), model.Height());
  Button->SetCaption(QString::number(number));
  Button->SetGroupIndex(model.GroupIndex() + int(number));
  Button->SetDown(true);
  Button->SetFull(false);
  Button->SetVisible(!IsBoard());
  // A click on the bar is a press like any other: what moves comes to rest
  // first.
  Button->OnClick = [this] {
    owner_.Animator.Settle(true);
    ToggleOpen();
  };
  Button->OnRightPress = [this](TPoint screenPoint) { ButtonMouseDown(screenPoint); };
  owner_.Bar.AddButton(*Button);
}

TBox::~TBox() = default;

void TBox::TakeFrontNo() {
  // The counter comes from the saved game: it counts on modulo 2^32 rather
  // than overflowing.
  std::int32_t& next = owner_.Counters.NextFrontNo;
  FrontNo = std::uint32_t(next);
  next = std::int32_t(FrontNo + 1);
}

bool TBox::IsFrontmost() const { return FrontNo + 1 == std::uint32_t(owner_.Counters.NextFrontNo); }

void TBox::SetBounds(const TRect& rect) {
  X = rect.Left;
  Y = rect.Top;
  Width = ClampedSize(std::int64_t(rect.Right) - rect.Left);
  Height = ClampedSize(std::int64_t(rect.Bottom) - rect.Top);
}

TRect TBox::InnerRect() const {
  if (IsBoard()) return BoundsRect();
  return {X + 8, Y + 24, X + Width - 8, Y + Height - 8};
}

TRect TBox::CloseBoxRect() const { return {X + Width - 23, Y + 4, X + Width - 7, Y + 20}; }

bool TBox::CloseBoxHit(int x, int y) {
  ClosePressed = !IsBoard() && CloseBoxRect().Contains({x, y});
  return ClosePressed;
}

TRect TBox::ButtonRect() const {
  const TPoint offset = owner_.Bar.PlayAreaOffset;
  const TRect logical = Button->BoundsRect().Offset(offset.X, offset.Y);
  const double scale = owner_.Bar.PlayAreaScale;
  const auto device = [scale](int value) { return int(std::lround(value * scale)); };
  // The play area shows the board from the screen's origin on.
  const TPoint origin = owner_.Screen.Origin();
  return TRect{device(logical.Left), device(logical.Top), device(logical.Right), device(logical.Bottom)}.Offset(
      origin.X, origin.Y);
}

QString TBox::Title() const {
  QString title = QStringLiteral("Tray %1").arg(Number);
  if (!Description.isEmpty()) title += QStringLiteral(": ") + Description;
  return title;
}

int TBox::EdgeCursorAt(int x, int y) const {
  if (!BoundsRect().Contains({x, y})) return crDefault;
  enum : int { Bottom = 1, Top = 2, Right = 4, Left = 8 };
  const int dx = x - X;
  const int dy = y - Y;
  // The zones are at least 6 pixels of the screen deep (7 at the bottom and
  // right, 8 at the left), as deep again on a screen of 200 %.
  const int scale = std::max(1, int(std::lround(owner_.Bar.PlayAreaScale)));
  int edges = 0;
  if (dy >= Height - 7 * scale)
    edges |= Bottom;
  else if (dy < 6 * scale)
    edges |= Top;
  if (dx >= Width - 7 * scale)
    edges |= Right;
  else if (dx < 8 * scale)
    edges |= Left;
  switch (edges) {
    case Bottom:
    case Top:
      return crSizeNS;
    case Right:
    case Left:
      return crSizeWE;
    case Bottom | Right:
    case Top | Left:
      return crSizeNWSE;
    case Top | Right:
    case Bottom | Left:
      return crSizeNESW;
    default:
      return crDefault;
  }
}

void TBox::ResizeStart(TGesture& gesture, int& x, int& y, int cursor) {
  TPoint& grab = gesture.ResizeGrab;
  // The grabbed edge is the one in the mouse's half of the tray; the point
  // becomes the opposite, staying edge.
  if (x > X + Width / 2) {
    grab.X = X + Width - x;
    x = X;
  } else {
    grab.X = X - x;
    x = X + Width;
  }
  if (y > Y + Height / 2) {
    grab.Y = Y + Height - y;
    y = Y;
  } else {
    grab.Y = Y - y;
    y = Y + Height;
  }
  // Dragging one edge only: the band spans the tray across the other way.
  if (cursor == crSizeNS) x = X;
  if (cursor == crSizeWE) y = Y;
  gesture.ResizeAnchor = {x, y};
  // The tray never becomes too small to hold its largest group whole.
  const TSize largest = owner_.LargestGroupSize(*this);
  const TRect inner = InnerRect();
  gesture.ResizeLeast = {std::max<int>(MinWidth, largest.Width + Width - inner.Width()),
                         std::max<int>(MinHeight, largest.Height + Height - inner.Height())};
  owner_.Band.BandStart(owner_.Screen, x, y);
}

void TBox::ResizeTrack(const TGesture& gesture, int& x, int& y, int cursor) {
  const TPoint anchor = gesture.ResizeAnchor;
  x += gesture.ResizeGrab.X;
  y += gesture.ResizeGrab.Y;
  if (cursor == crSizeNS) x = X + Width;
  if (cursor == crSizeWE) y = Y + Height;
  // The moving edge stays on the board, where the title bar can be taken.
  const TRect board = owner_.BoardTray().BoundsRect();
  x = std::clamp(x, std::min<int>(X, board.Left), std::max<int>(X + Width, board.Right));
  y = std::clamp(y, std::min<int>(Y, board.Top), std::max<int>(Y + Height, board.Bottom));
  // The moving edge stops at the least size from the staying one.
  const TSize least = gesture.ResizeLeast;
  x = anchor.X != X ? std::min(x, anchor.X - least.Width) : std::max(x, X + least.Width);
  y = anchor.Y != Y ? std::min(y, anchor.Y - least.Height) : std::max(y, Y + least.Height);
  owner_.Band.BandTo(x, y);
}

void TBox::AddPieces(TPieceSpan list) {
  Pieces.reserve(Pieces.size() + list.size());
  for (TFormPiece* p : list) {
    Pieces.push_back(p);
    p->Tray = std::int32_t(Number);
  }
}

TFormPiece* TBox::PieceUnder(int x, int y, bool byShape) const {
  if (!InnerRect().Contains({x, y})) return nullptr;
  for (auto it = Pieces.rbegin(); it != Pieces.rend(); ++it) {
    const TFormPiece& p = **it;
    if (TPieces::PieceRect(p).Contains({x, y}) && (!byShape || owner_.HitTest(p, x, y))) return *it;
  }
  return nullptr;
}

void TBox::Draw(TBitmap& bitmap, const TRect* clip) const {
  if (IsBoard() || !Open || Lifted) return;
  if (clip && !BoundsRect().Intersects(*clip)) return;
  TCanvas canvas(bitmap);
  const TRect area = clip ? clip->Intersect(bitmap.BoundsRect()) : bitmap.BoundsRect();
  canvas.SetClipRect(area);
  DrawTrayFrame(canvas, X, Y, Width, Height, 2, 4, 16, Color, true);
  const TRect closeBox = CloseBoxRect();
  DrawMinimizeButton(canvas, closeBox.Left, closeBox.Top, 16, 16, ClosePressed);

  canvas.Font.Name = QStringLiteral("Arial");
  canvas.Font.Size = TitleFontPoints;
  canvas.Font.Color = ColorToRGB(SystemColor(COLOR_WINDOWTEXT));
  canvas.Brush = TBrush{clBtnFace, false};
  canvas.SetClipRect(TRect{X + 2, Y + 2, closeBox.Left - 1, Y + 18}.Intersect(area));
  canvas.TextOut(X + 6, Y + 2, Title());
}

void TBox::DrawShadow(TBitmap& bitmap, int s) const {
  TCanvas canvas(bitmap);
  canvas.Brush = TBrush{clBlack, false};
  canvas.FillRect({X + s, Y + Height, X + Width + s, Y + Height + s});
  canvas.FillRect({X + Width, Y + s, X + Width + s, Y + Height});
}

void TBox::ToggleOpen() {
  Open = !Open;
  Button->SetDown(Open);
  if (Open) {
    TakeFrontNo();
    owner_.SortTrays(TBoxes::TTrayOrder::Stacking);
  }
  owner_.RefreshArea(BoundsRect());
  owner_.TrayEffect(4);
  // The zoom runs over a screen that shows the board without the tray: an
  // opening tray appears when the zoom has ended, a closing one has gone
  // before it starts.
  owner_.Animator.Start(Open ? owner_.Band.Zoom(owner_.Screen, ButtonRect(), BoundsRect(), false)
                             : owner_.Band.Zoom(owner_.Screen, BoundsRect(), ButtonRect(), true));
}

void TBox::ButtonMouseDown(TPoint screenPoint) {
  owner_.CurrentTray = this;
  owner_.PopupTrayIcon(screenPoint);
}

TTrayState TBox::State() const { return {Number, BoundsRect(), FrontNo, Color, Open, Description}; }

void TBox::TakeState(const TTrayState& state) {
  Number = state.Number;
  SetBounds(state.Bounds);
  FrontNo = state.FrontNo;
  Color = state.Color;
  Open = state.Open;
  Description = state.Description;
  Button->SetDown(Open);
  Button->SetHint(Description + QStringLiteral("|"));
}

std::array<std::uint8_t, TBox::RecordSize> TBox::ToRecord(const TTrayState& state) {
  const TRect& bounds = state.Bounds;
  TRecordFields fields{std::uint16_t(state.Number),         std::int16_t(bounds.Left),
                       std::int16_t(bounds.Top),            std::uint16_t(bounds.Width()),
                       std::uint16_t(bounds.Height()),      state.FrontNo,
                       state.Color,                         std::uint8_t(state.Open ? 1 : 0),
                       state.Description};
  std::array<std::uint8_t, RecordSize> record{};
  TPackedWriter writer(record);
  RecordFields(fields, writer);
  return record;
}

TTrayState TBox::FromRecord(std::span<const std::uint8_t, RecordSize> record) {
  const TRecordFields fields = ReadRecord(record);
  return {fields.Number16, Bounds(fields.X16, fields.Y16, fields.Width, fields.Height), fields.FrontNo,
          fields.Color,    fields.Open != 0,                                          fields.Description};
}

std::uint32_t TBox::RecordNumber(std::span<const std::uint8_t, RecordSize> record) {
  const TRecordFields fields = ReadRecord(record);
  const bool holdsTray = fields.Open <= 1 && fields.Width >= MinWidth && fields.Height >= MinHeight;
  return holdsTray ? fields.Number16 : 0;
}
