// Zoom: the puzzle cut again at a larger scale over a larger board, and the
// whole board's view of it that the saved game keeps.

#include <algorithm>
#include <cmath>

#include "game/jigsaw.h"
#include "platform/hourglass.h"

namespace {

constexpr int PictureScale = 100;
// The most pixels a cut larger than the picture has: a large photo's.
constexpr std::int64_t EnlargedZoomPixels = 12'000'000;
// The closest look, magnified past the largest cut.
constexpr int MagnifiedZoom = 300;

TPieceHome UnturnedHome(const TFormPiece& p) {
  const bool across = p.Rotation & 1;
  return {p.HomeX, p.HomeY, across ? p.Height : p.Width, across ? p.Width : p.Height};
}

TRect Scaled(const TRect& rect, double by) {
  const auto at = [by](int v) { return int(std::lround(v * by)); };
  return Bounds(at(rect.Left), at(rect.Top), at(rect.Width()), at(rect.Height()));
}

}  // namespace

int TJigsaw::LargestZoom() const { return std::max(WholeBoardScale(), MagnifiedZoom); }

int TJigsaw::LargestCut() const {
  const int whole = WholeBoardScale();
  // Past the picture's own size the cut enlarges it, which is only worth its
  // memory for a small picture.
  for (int percent = LargestScalePercent; percent > whole; --percent) {
    const auto [width, height] = CutSizeAt(Record, percent);
    if ((percent <= PictureScale || width * height <= EnlargedZoomPixels) && CanCutAtScale(Record, percent))
      return percent;
  }
  return whole;
}

TSize TJigsaw::ViewSize() const {
  if (!wholeBoard_) return {Config.PlayWidth, Config.PlayHeight};
  // The screen copy's size: the play area's, as much smaller as it is
  // magnified.
  const auto magnified = [this](int side) { return int(std::lround(side / Screen.Magnification())); };
  return {magnified(wholeBoard_->PlayWidth), magnified(wholeBoard_->PlayHeight)};
}

TRect TJigsaw::ViewRect() const {
  const TSize view = ViewSize();
  const TPoint origin = View.BoardBitmap.Origin();
  return Bounds(origin.X, origin.Y, view.Width, view.Height);
}

void TJigsaw::ZoomAbout(int x, int y, int percent) {
  if (!IsSettled()) return;
  const int whole = WholeBoardScale();
  percent = std::clamp(percent, whole, LargestZoom());
  if (percent == ZoomPercent()) return;
  const TRect view = ViewRect();
  const double fx = double(x) / std::max(Config.PlayWidth, 1);
  const double fy = double(y) / std::max(Config.PlayHeight, 1);
  // Where the play area shows the point, in the copy's pixels unmagnified.
  const double shownX = (x - view.Left) * Screen.Magnification();
  const double shownY = (y - view.Top) * Screen.Magnification();
  // Past the largest cut the view magnifies it.
  const int cut = std::min(percent, LargestCut());
  WithMemoryMessage([&] { CutForZoom(cut); });
  if (percent == whole) {
    wholeBoard_.reset();
    Config.Zoom = 1.0;
  } else {
    wholeBoard_->ZoomPercent = percent;
  }
  const double magnification = double(percent) / cut;
  Screen.SetMagnification(magnification);
  SizeViewBitmap();
  PlaceView({int(std::lround(fx * Config.PlayWidth - shownX / magnification)),
             int(std::lround(fy * Config.PlayHeight - shownY / magnification))});
  RedrawView();
  // Looking closer is no step to undo.
  NoteBoardResized();
  Window.NotifyViewChanged();
}

int TJigsaw::NextZoom(int steps) const {
  int percent = ZoomPercent();
  for (; steps > 0; --steps) percent = std::max(percent + 1, int(std::lround(percent * ZoomStepFactor)));
  for (; steps < 0; ++steps) percent = std::min(percent - 1, int(std::lround(percent / ZoomStepFactor)));
  return std::clamp(percent, WholeBoardScale(), LargestZoom());
}

void TJigsaw::ZoomStep(int steps) {
  const TRect view = ViewRect();
  ZoomStep(view.Left + view.Width() / 2, view.Top + view.Height() / 2, steps);
}

void TJigsaw::ZoomStep(int x, int y, int steps) { ZoomAbout(x, y, NextZoom(steps)); }

void TJigsaw::ShowWholeBoard() { ZoomAbout(0, 0, WholeBoardScale()); }

void TJigsaw::CutForZoom(int percent) {
  const int whole = WholeBoardScale();
  if (!wholeBoard_) {
    TWholeBoard board{Record, Config.PlayWidth, Config.PlayHeight, {}, whole};
    board.Homes.reserve(Pieces.size());
    for (const TFormPiece& p : Pieces) board.Homes.push_back(UnturnedHome(p));
    wholeBoard_ = std::move(board);
  }
  if (percent == Record.ScalePercent) return;
  THourglass hourglass;
  const double was = Config.Zoom;
  const double zoom = double(percent) / whole;
  Recut(percent);
  Config.Zoom = zoom;
  Config.PlayWidth = int(std::lround(wholeBoard_->PlayWidth * zoom));
  Config.PlayHeight = int(std::lround(wholeBoard_->PlayHeight * zoom));
  PlaceInProportion(zoom / was);
}

void TJigsaw::PlaceInProportion(double trayScale) {
  // Trays keep their places on the whole board, and their pieces theirs in
  // proportion inside them.
  for (const auto& tray : Trays) {
    if (tray->IsBoard()) continue;
    tray->SetBounds(Scaled(tray->BoundsRect(), trayScale));
    for (TFormPiece* p : tray->Pieces) RestoreNormalised(*p, tray->InnerRect());
  }
  TBox& board = BoardTray();
  board.SetBounds({0, 0, Config.PlayWidth, Config.PlayHeight});
  RelayoutGroups(board.Pieces, board.InnerRect(), true);
}

void TJigsaw::ForgetZoom() {
  if (wholeBoard_) {
    Config.PlayWidth = wholeBoard_->PlayWidth;
    Config.PlayHeight = wholeBoard_->PlayHeight;
  }
  wholeBoard_.reset();
  Config.Zoom = 1.0;
  View.BoardBitmap.SetOrigin({});
  Screen.SetMagnification(1.0);
  Screen.SetOrigin({});
}

void TJigsaw::SizeViewBitmap() {
  // Rims and sides leave out the last column and row of the bitmap they are
  // drawn on, which must be the board's: zoomed, the bitmap reaches one
  // beyond the view, so that the view shows its edges whole.
  const TSize view = ViewSize();
  const int beyond = IsZoomed() ? 1 : 0;
  View.BoardBitmap.SetSize(view.Width + beyond, view.Height + beyond);
}

TPoint TJigsaw::ViewOriginNear(TPoint origin) const {
  const TSize view = ViewSize();
  return {std::clamp(origin.X, 0, std::max(Config.PlayWidth - view.Width, 0)),
          std::clamp(origin.Y, 0, std::max(Config.PlayHeight - view.Height, 0))};
}

void TJigsaw::PlaceView(TPoint origin) { View.BoardBitmap.SetOrigin(ViewOriginNear(origin)); }

void TJigsaw::RedrawView(std::optional<TRect> kept) {
  // A band drawn over the screen goes with the old view and comes back over
  // the new one.
  const bool banding = Gesture.MouseState == Banding;
  if (banding) Band.Lift();
  if (!kept) {
    RebuildBoard();
    DrawTrays(View.BoardBitmap, nullptr);
  } else {
    const TRect now = View.BoardBitmap.BoundsRect();
    View.Mural.Place(now.TopLeft(), Config.PlayHeight);
    if (now.Top != kept->Top) View.Mural.Paint(Window.Color());
    // What came into view beside and above or below what was kept.
    const TRect across = now.Left < kept->Left ? TRect{now.Left, now.Top, kept->Left, now.Bottom}
                                               : TRect{kept->Right, now.Top, now.Right, now.Bottom};
    const TRect along = now.Top < kept->Top ? TRect{now.Left, now.Top, now.Right, kept->Top}
                                            : TRect{now.Left, kept->Bottom, now.Right, now.Bottom};
    for (const TRect& strip : {across.Intersect(now), along.Intersect(now)}) {
      if (strip.IsEmpty()) continue;
      View.Mural.Draw(strip, View.BoardBitmap);
      DrawTrays(View.BoardBitmap, &strip);
    }
  }
  ResetBackground();
  Screen.SetOrigin(View.BoardBitmap.Origin());
  if (banding) {
    Screen.UpdateNow();
    Band.BandTo(Band.X2, Band.Y2);
  }
}

void TJigsaw::ScrollTo(int x, int y) {
  if (!IsPlaying()) return;
  // The view's pixels are whole; the bitmap's last column and row beyond it
  // are not.
  const TRect was = ViewRect();
  const TPoint origin = ViewOriginNear({x, y});
  if (origin == was.TopLeft()) return;
  // What floats leaves the board before its pixels move along with the
  // view; the next frame stamps it again.
  View.Compositor.Erase();
  MoveOnPlane(View.BoardBitmap, origin);
  RedrawView(was);
  Window.NotifyViewChanged();
}

void TJigsaw::ScrollBy(int dx, int dy) {
  const TPoint origin = View.BoardBitmap.Origin();
  ScrollTo(origin.X + dx, origin.Y + dy);
}

void TJigsaw::ScrollIntoView(const TRect& rect) {
  const TRect view = ViewRect();
  // As little as brings the rectangle in, its top-left first when it is
  // larger than the view.
  const auto shift = [](int low, int high, int viewLow, int viewHigh) {
    if (high - low > viewHigh - viewLow || low < viewLow) return low - viewLow;
    return high > viewHigh ? high - viewHigh : 0;
  };
  ScrollBy(shift(rect.Left, rect.Right, view.Left, view.Right), shift(rect.Top, rect.Bottom, view.Top, view.Bottom));
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

TRect TJigsaw::ZoomedRect(const TRect& rect) const { return wholeBoard_ ? Scaled(rect, Config.Zoom) : rect; }
