#include "game/jigsaw.h"

#include <algorithm>
#include <limits>
#include <new>

#include "game/buildpieces.h"
#include "game/cut.h"
#include "game/picture.h"
#include "game/progress.h"
#include "pieces/arrange.h"
#include "pieces/colourkeys.h"
#include "pieces/samplepiece.h"
#include "platform/canvas.h"
#include "platform/errors.h"
#include "platform/cursors.h"
#include "platform/hourglass.h"
#include "platform/input.h"
#include "platform/messagebox.h"
#include "platform/random.h"
#include "platform/system.h"
#include "platform/utility.h"

namespace {

const QString outOfMemoryMessage =
    QStringLiteral("There is not enough memory to build this puzzle. Close other programs, or choose "
                   "a smaller piece size, and try again.");

// Building a puzzle allocates large bitmaps: running out of memory there is
// an error the user is told about, not the end of the program.


// The scales a new game's first cut chooses from: the steps of the piece size
// dialog's bar up to the picture's own size.
constexpr int FullScale = 100;
constexpr int ScaleStep = 10;

// A scale the piece size dialog takes: the record can be cut at it, and its
// pieces are of a size the piece set allows.
bool ScaleAllowed(const TPuzzleRecord& record, int percent) {
  const TPictureGrid grid{record.PictureWidth, record.PictureHeight, record.Columns, record.Rows};
  return CanCutAtScale(record, percent) && DrawSamplePiece(nullptr, percent, record.Oddness, record.ShapeStyle, grid);
}

// The room the largest piece needs on the board, turned as a new game may
// turn it.
TSize LargestPieceExtent(const TPieces& pieces) {
  int width = 0, height = 0;
  for (const TFormPiece& p : pieces.Pieces) {
    width = std::max<int>(width, p.Width);
    height = std::max<int>(height, p.Height);
  }
  if (pieces.Options().Rotating) width = height = std::max(width, height);
  return {width, height};
}

// A first board that a person can play on: every piece can lie whole on it,
// and the pieces' boxes together cover at most half of it.
bool LiesWellOn(const TPieces& pieces, int width, int height) {
  const TSize extent = LargestPieceExtent(pieces);
  if (extent.Width > width || extent.Height > height) return false;
  std::int64_t covered = 0;
  for (const TFormPiece& p : pieces.Pieces) covered += std::int64_t(p.Width) * p.Height;
  return 2 * covered <= std::int64_t(width) * height;
}

TBitmap StretchedTo(const TBitmap& original, int width, int height) {
  if (width == original.Width() && height == original.Height()) return original;
  TBitmap scaled(width, height);
  TCanvas(scaled).StretchDraw({0, 0, width, height}, original);
  return scaled;
}

// The cheats show pieces raised with their shadows, whatever the option says.
class TForcedShadows {
 public:
  explicit TForcedShadows(TJigConfig& config) : config_(config), was_(config.Shadows) { config.Shadows = true; }
  ~TForcedShadows() { config_.Shadows = was_; }
  TForcedShadows(const TForcedShadows&) = delete;
  TForcedShadows& operator=(const TForcedShadows&) = delete;

 private:
  TJigConfig& config_;
  bool was_;
};

}  // namespace

void CutPuzzle(TPieces& pieces, TPuzzleRecord& record, const TBitmap& original,
               std::vector<std::uint8_t>& outlineBuffer, bool playing) {
  SetRandSeed(record.Seed);
  // The old cut's picture and sheets go first: a zoom cuts again at the
  // largest sizes, where two cuts would add up to the peak of memory.
  pieces.Picture = TBitmap();
  pieces.ImageSheet = TBitmap();
  pieces.MaskSheet = TBitmap(0, 0, TPixelFormat::Mono);
  TCut cut = Cut(record, playing);
  BuildPieces(cut, pieces, outlineBuffer, record.LabelBufferSize);
  // The label map has served: its memory goes before the images are made.
  cut.Clear();
  pieces.Picture = StretchedTo(original, record.CutWidth, record.CutHeight);
  pieces.BuildImages(outlineBuffer);
}

TJigsaw::TJigsaw(TWindowState& window, TGameRecords& records, TScreen& screen, std::function<QString()> exePath)
    : TJigsaw(window, records, screen, std::move(exePath), std::make_unique<TJigConfig>(window)) {}

TJigsaw::TJigsaw(TWindowState& window, TGameRecords& records, TScreen& screen, std::function<QString()> exePath,
                 std::unique_ptr<TJigConfig> config)
    : TMove(records.Puzzle, *config, records.Extras, window.TrayBar, screen),
      Window(window),
      Record(records.Puzzle),
      Extras(records.Extras),
      Config(*config),
      Gift(std::move(exePath)),
      config_(std::move(config)) {
  View.Mural.SetSize(window.PlayAreaWidth, window.PlayAreaHeight);
  View.Mural.Paint(window.Color());
  window.Menus.RotateRight.SetEnabled(Config.Rotating);
  window.Menus.RotateLeft.SetEnabled(Config.Rotating);
  window.Menus.SpeedSound.SetChecked(Config.SoundOn);
  SetCheating(false, false);
  // An animation's end is noted as a command's is.
  Animator.OnRest = [this] { NoteChanges(); };
  Animator.OnError = [this](const std::exception_ptr& error) { AnimationFailed(error); };
}

TJigsaw::~TJigsaw() {
  // Auto-solve ends with the game that it solves.
  if (AutoSolving) EndAutoSolve();
  FreeCutBuffers();
}

void TJigsaw::FreeCutBuffers() {
  OutlineBuffer = {};
  Record.LabelBufferSize = 0;
  FreeTrays();
  Centres = {};
}

void TJigsaw::PlayEffect(int n) { Config.PlayEffect(n); }

void TJigsaw::LoadGift() { Gift.LoadGift(Window, Record, Config); }

void TJigsaw::ShowClosingTexts(TSplashTexts& splash) const { Gift.ShowClosingTexts(splash); }

void TJigsaw::BuildPuzzle() {
  ForgetZoom();
  WithMemoryMessage([this] {
    Gift.LoadPicture(OriginalPicture);
    Record.PieceCount = FitGrid(Record, Record.RequestedPieces, OriginalPicture.Width(), OriginalPicture.Height());
    if (const QString problem = CutSheetProblem(Record, Record.CutWidth, Record.CutHeight); !problem.isEmpty()) {
      OriginalPicture = TBitmap();
      throw EError(problem);
    }
    // A second build (a resumed game declined) starts from fresh trays.
    FreeTrays();
    MakeTrays();
    CutToFit(Window.PlayAreaWidth, Window.PlayAreaHeight);
    ComputeColourKeys(*this, Picture);
  });
}

void TJigsaw::CutToFit(int width, int height) {
  if (width <= 0 || height <= 0) {
    CutAt(Record.ScalePercent);
    return;
  }
  std::vector<int> allowed;
  for (int percent = FullScale; percent >= ScaleStep; percent -= ScaleStep)
    if (ScaleAllowed(Record, percent)) allowed.push_back(percent);
  // A picture whose pieces the dialog allows at no step is cut at its own
  // size, as it always was.
  if (allowed.empty()) allowed.push_back(FullScale);
  // The pieces cover the cut picture exactly, so their boxes cover at least
  // as much: a scale whose picture covers more than half the board cannot
  // fit, and is not cut at all.
  auto step = std::find_if(allowed.begin(), allowed.end(), [&](int percent) {
    const auto [cutWidth, cutHeight] = CutSizeAt(Record, percent);
    return 2 * cutWidth * cutHeight <= std::int64_t(width) * height;
  });
  if (step == allowed.end()) --step;
  // When no step fits, the smallest allowed comes closest.
  for (;; ++step) {
    CutAt(*step);
    if (step + 1 == allowed.end() || LiesWellOn(*this, width, height)) break;
  }
}

void TJigsaw::StartNewLayout() {
  CurrentTray = &BoardTray();
  Config.PlayWidth = Window.PlayAreaWidth;
  Config.PlayHeight = Window.PlayAreaHeight;
  const TRect board{0, 0, Config.PlayWidth, Config.PlayHeight};
  BoardTray().SetBounds(board);
  Record.NextGroupId = 0;
  // The pieces are thrown where even the largest lies whole on the board;
  // their places are kept in proportion to the whole board, which a resize
  // and a saved game go by.
  const TSize extent = LargestPieceExtent(*this);
  const int half = Record.CellWidth >> 1;
  const TRect whole{0, 0, half + std::max(board.Right - extent.Width, 0),
                    half + std::max(board.Bottom - extent.Height, 0)};
  Scatter(*this, BoardTray().Pieces, whole);
  for (TFormPiece* p : BoardTray().Pieces) SetPosition(*p, p->X, p->Y, board);
  AllJoined = false;
  ResizeBoard(std::uint16_t(Config.PlayWidth), std::uint16_t(Config.PlayHeight));
  AdjustOverlayHeight();
}

void TJigsaw::RebuildSaved() {
  // The saved scale was checked with the file.
  WithMemoryMessage([this] { Recut(Record.ScalePercent); });
  RestoreLayout();
  AdjustOverlayHeight();
}

void TJigsaw::RestoreLayout() {
  CurrentTray = &BoardTray();
  Config.PlayWidth = Window.PlayAreaWidth;
  Config.PlayHeight = Window.PlayAreaHeight;
  BoardTray().SetBounds({0, 0, Config.PlayWidth, Config.PlayHeight});
  ComputeEdgeClasses(*this, AllPieces());
  SortAllTrayPieces(TSortOrder::Stacking);
  RelayoutGroups(BoardTray().Pieces, BoardTray().InnerRect(), true);
  Window.SetColor(Extras.WindowColour);
  // The board is built by the resize that follows the layout, as after a
  // new one: building it here too would only double the start's longest
  // step.
  if (!Window.Menus.Rotation.Checked())
    Window.Menus.Rotation.SetChecked(
        SetRotation(false, QStringLiteral("The puzzle has rotated pieces but the rotation option is currently "
                                          "disabled. Press 'Yes' to turn all pieces the right way up or 'No' "
                                          "to re-enable rotation.")));
  AdjustOverlayHeight();
}

void TJigsaw::AdjustOverlayHeight() {
  if (Picture.Width() <= 0) return;
  const int width = Window.OverlayClientWidth;
  Window.SetOverlayClientSize(width, int(std::int64_t(Picture.Height()) * width / Picture.Width()));
}

void TJigsaw::SetState(std::uint8_t state) {
  State = state;
  if (state != Playing) return;
  Config.SnapDivisor = 4;
  for (TMenuItemState* item : Window.Commands.PlayItems()) item->SetEnabled(true);
  Window.Commands.HelpAboutJigItem.SetVisible(true);
  Window.TimerStatus.SetVisible(Window.Menus.ShowTimer.Checked());
  Window.SolvedStatus.SetVisible(Window.Menus.ShowNum.Checked());
  SetCheating(Config.CheatingAllowed, false);
}

void TJigsaw::SetSound(bool on) {
  Window.Menus.Sound.SetChecked(on);
  Window.Menus.SpeedSound.SetChecked(on);
  Config.SoundOn = on;
  if (on) PlayEffect(1);
}

void TJigsaw::SetCheating(bool allowed, bool store) {
  if (store) {
    Config.CheatingAllowed = allowed;
    Window.Menus.AllowCheating.SetChecked(allowed);
  }
  if (IsPlaying())
    for (TMenuItemState* item : Window.Commands.CheatItems()) item->SetEnabled(allowed);
}

void TJigsaw::SetShadows(bool on) {
  Window.Menus.Shadows.SetChecked(on);
  Config.Shadows = on;
}

void TJigsaw::SetTimerShown(bool on) {
  Window.Menus.ShowTimer.SetChecked(on);
  if (IsPlaying()) Window.TimerStatus.SetVisible(on);
}

void TJigsaw::SetSolvedCountShown(bool on) {
  Window.Menus.ShowNum.SetChecked(on);
  if (IsPlaying()) Window.SolvedStatus.SetVisible(on);
}

bool TJigsaw::SetRotation(bool on, const QString& question) {
  if (IsPlaying()) {
    Config.Rotating = on;
    if (on) {
      switch (MessageDlg(QStringLiteral("Would you like some pieces randomly rotated now?"),
                         TMsgType::Confirmation, TMsgButtons::YesNoCancel)) {
        case TMsgResult::Yes:
          Disarrange(TArrangeSource::Board, true);
          break;
        case TMsgResult::No:
          break;
        default:
          on = false;
          break;
      }
    } else if (std::any_of(Pieces.begin(), Pieces.end(), [](const TFormPiece& p) { return p.Rotation != 0; })) {
      if (MessageDlg(question, TMsgType::Confirmation, TMsgButtons::YesNo) == TMsgResult::Yes)
        RightWayUpAll();
      else
        on = true;
    }
  }
  Window.Menus.Rotation.SetChecked(on);
  Window.Menus.RotateRight.SetEnabled(on);
  Window.Menus.RotateLeft.SetEnabled(on);
  Config.Rotating = on;
  return on;
}

void TJigsaw::SetShape(std::int16_t oddness, std::int32_t style) {
  Record.Oddness = std::uint16_t(oddness);
  Record.ShapeStyle = style;
}

void WithMemoryMessage(const std::function<void()>& build) {
  try {
    build();
  } catch (const std::bad_alloc&) {
    throw EError(outOfMemoryMessage);
  }
}

TCutSize CutSizeAt(const TPuzzleRecord& record, int percent) {
  return {std::int64_t(percent) * record.PictureWidth / 100, std::int64_t(percent) * record.PictureHeight / 100};
}

bool CanCutAtScale(const TPuzzleRecord& record, int percent) {
  const auto [width, height] = CutSizeAt(record, percent);
  // The puzzle record keeps the cut's size in 16 bits, and a cell needs a
  // few pixels across for its outline.
  constexpr int MinCellPixels = 4;
  return percent > 0 && percent <= LargestScalePercent && width <= 0xFFFF && height <= 0xFFFF && width * height <= MaxPicturePixels &&
         width >= MinCellPixels * record.Columns && height >= MinCellPixels * record.Rows &&
         CutSheetProblem(record, width, height).isEmpty();
}

void TJigsaw::SetScale(int percent) {
  if (percent == 0) return;
  const auto [width, height] = CutSizeAt(Record, percent);
  if (!CanCutAtScale(Record, percent))
    throw EError(QStringLiteral("The pieces cannot be made %1 % of the picture's size: the picture would be "
                                "%2 x %3 pixels. Choose a size between the smallest and the largest the "
                                "picture allows.")
                     .arg(percent)
                     .arg(width)
                     .arg(height));
  // The piece size is the whole board's.
  ShowWholeBoard();
  WithMemoryMessage([&] {
    Recut(percent);
    ResizeBoard(std::uint16_t(Window.PlayAreaWidth), std::uint16_t(Window.PlayAreaHeight));
  });
}

void TJigsaw::CutAt(int percent) {
  THourglass hourglass;
  const auto [width, height] = CutSizeAt(Record, percent);
  Record.ScalePercent = std::int16_t(percent);
  Record.CutWidth = std::uint16_t(width);
  Record.CutHeight = std::uint16_t(height);
  CutPuzzle(*this, Record, OriginalPicture, OutlineBuffer, IsPlaying());
}

void TJigsaw::Recut(int percent) {
  CutAt(percent);
  ResetRotations(AllPieces(), false);
}

void TJigsaw::RebuildBoard() {
  View.Mural.SetSize(View.BoardBitmap.Width(), View.BoardBitmap.Height());
  View.Mural.Place(View.BoardBitmap.Origin(), Config.PlayHeight);
  View.Mural.Paint(Window.Color());
  View.Mural.Draw(View.BoardBitmap.BoundsRect(), View.BoardBitmap);
}

void TJigsaw::ResizeBoard(std::uint16_t width, std::uint16_t height) {
  if (!IsPlaying()) {
    View.Mural.SetSize(width, height);
    View.Mural.Place({}, height);
    View.Mural.Paint(Window.Color());
    Screen.Invalidate(Screen.ClientRect());
  } else {
    THourglass hourglass;
    // The view keeps its centre on the board.
    const TRect view = ViewRect();
    const double cx = (view.Left + view.Width() / 2.0) / std::max(Config.PlayWidth, 1);
    const double cy = (view.Top + view.Height() / 2.0) / std::max(Config.PlayHeight, 1);
    if (wholeBoard_) {
      wholeBoard_->PlayWidth = width;
      wholeBoard_->PlayHeight = height;
    }
    Config.PlayWidth = int(std::lround(width * Config.Zoom));
    Config.PlayHeight = int(std::lround(height * Config.Zoom));
    SizeViewBitmap();
    const TSize resized = ViewSize();
    PlaceView({int(std::lround(cx * Config.PlayWidth - resized.Width / 2.0)),
               int(std::lround(cy * Config.PlayHeight - resized.Height / 2.0))});
    BoardTray().SetBounds({0, 0, Config.PlayWidth, Config.PlayHeight});
    RefitTrays();
    RedrawView();
    Window.NotifyViewChanged();
  }
  ShowTrayBar(IsPlaying());
}

void TJigsaw::PaintBoard() { Screen.PaintFrom(IsPlaying() ? View.BoardBitmap : View.Mural.Image()); }

void TJigsaw::SetOutlineStyle(int style) {
  Window.Menus.SelectOutline(style);
  if (style == Config.OutlineStyle) return;
  const bool wasWood = Config.IsWoodOutline();
  Config.OutlineStyle = style;
  // Before play the build to come makes the pieces with the new outlines.
  if (!IsPlaying()) return;
  // New outlines rebuild the pieces' images, which a floating selection must
  // not outlive.
  CancelSelection();
  BuildOverlays();
  if (Config.Rotating && style != OutlineNone) {
    WithMemoryMessage([&] {
      Recut(Record.ScalePercent);
      ResizeBoard(std::uint16_t(Window.PlayAreaWidth), std::uint16_t(Window.PlayAreaHeight));
    });
  } else if (wasWood) {
    ResizeBoard(std::uint16_t(Config.PlayWidth), std::uint16_t(Config.PlayHeight));
  } else {
    DrawTrays(View.BoardBitmap, nullptr);
    ResetBackground();
  }
  Screen.Invalidate(Screen.ClientRect());
}

void TJigsaw::PaintOverlay(TBitmap& box) const { TCanvas(box).StretchDraw(box.BoundsRect(), Picture); }

void TJigsaw::FitOverlay() {
  const TSize size = FitSize(0, Record.PictureWidth, Record.PictureHeight, Window.OverlayClientWidth,
                             Window.OverlayClientHeight);
  Window.SetOverlayClientSize(size.Width, size.Height);
}

void TJigsaw::PaintZoom(TBitmap& box) const {
  box.Fill(clBlack);
  const TRect fitted = FitCentered(OriginalPicture.Width(), OriginalPicture.Height(), box.Width(), box.Height(), 10);
  TCanvas(box).StretchDraw(fitted, OriginalPicture);
}

TBox& TJigsaw::ArrangeTray(TArrangeSource source) const {
  return source == TArrangeSource::PopupTray && CurrentTray ? *CurrentTray : BoardTray();
}

void TJigsaw::Arranged(TBox& tray) {
  const TRect before = tray.BoundsRect();
  HoldArranged(tray);
  RefreshArea(before.Union(tray.BoundsRect()).Inflate(12, 12));
}

void TJigsaw::ArrangeInGrid(TArrangeSource source, bool byShape, bool byColour) {
  if (!IsPlaying()) return;
  TBox& tray = ArrangeTray(source);
  ::ArrangeInGrid(*this, tray.Pieces, tray.InnerRect(), ArrangeSortMode(byShape, byColour));
  Arranged(tray);
}

void TJigsaw::ArrangeAtEdge(TArrangeSource source, bool byShape, bool byColour) {
  if (!IsPlaying()) return;
  TBox& tray = ArrangeTray(source);
  ::ArrangeAtEdge(*this, tray.Pieces, tray.InnerRect(), ArrangeSortMode(byShape, byColour));
  Arranged(tray);
}

void TJigsaw::Disarrange(TArrangeSource source, bool rotateOnly) {
  if (!IsPlaying()) return;
  TBox& tray = ArrangeTray(source);
  ::Disarrange(*this, tray.Pieces, tray.InnerRect(), rotateOnly);
  Arranged(tray);
}

void TJigsaw::CountCheat() {
  // Counted up to the largest number the record holds: counting on would
  // start again from "no cheating".
  if (Record.CheatCount < std::numeric_limits<std::uint16_t>::max()) ++Record.CheatCount;
}

void TJigsaw::RightWayUpAll() {
  CountCheat();
  for (TFormPiece& p : Pieces) {
    if (p.Rotation == 0) continue;
    const int back = (4 - p.Rotation) % 4;
    if (p.Joined)
      RotateGroup(p, back, false);
    else
      p.PendingTurns = std::uint8_t(back);
  }
  RotatePieces(AllPieces(), 0, true);
  ResizeBoard(std::uint16_t(Window.PlayAreaWidth), std::uint16_t(Window.PlayAreaHeight));
}

void TJigsaw::ShowSolvedStatus() {
  if (IsPlaying() && Window.Menus.ShowNum.Checked())
    Window.SolvedStatus.SetText(QStringLiteral("Solved %1 of %2").arg(Record.SolvedCount).arg(Record.PieceCount));
}

void TJigsaw::Tick() {
  if (!IsPlaying()) return;
  ShowSolvedStatus();
  if (Window.Menus.ShowTimer.Checked()) {
    std::int32_t s = Record.ElapsedSeconds;
    if (Extras.ClockLimited) {
      if (Extras.ShowLimit) s = Extras.LimitSeconds;
      if (Extras.CountDown) s = Extras.LimitSeconds - s;
    }
    const QString separator = TimeSeparator();
    Window.TimerStatus.SetText(QStringLiteral("%1%2%3%4%5")
                                   .arg(std::uint16_t(s / 3600), 2, 10, QLatin1Char('0'))
                                   .arg(separator)
                                   .arg((s % 3600) / 60, 2, 10, QLatin1Char('0'))
                                   .arg(separator)
                                   .arg(s % 60, 2, 10, QLatin1Char('0')));
  }
  WriteRecovery();
  // Auto-solve keeps the clock running while the user works elsewhere.
  // The clock stops at the largest time the saved game holds rather than
  // turning negative, which no saved game may hold.
  if (!Record.Completed && (Window.GameActive || (AutoSolving && !Window.ApplicationActive)) &&
      Record.ElapsedSeconds < std::numeric_limits<std::int32_t>::max())
    ++Record.ElapsedSeconds;

  // The last join sets the flag; the puzzle is finished when every piece
  // then shares the first one's group. Auto-solve's last move is followed by
  // the congratulations only once its window has gone.
  if (!AllJoined || AutoSolving) return;
  AllJoined = false;
  const bool oneGroup = std::all_of(Pieces.begin(), Pieces.end(),
                                    [this](const TFormPiece& p) { return p.Group == Pieces.front().Group; });
  Record.Completed = oneGroup ? 1 : 0;
  if (!oneGroup) return;
  PlayEffect(2);
  Window.ShowCompletion();
}

QString TJigsaw::CompletionText() const { return ::CompletionText(Record); }

void TJigsaw::TakePopupPlace(int x, int y, bool byShape) {
  Gesture.PopupPoint = {x, y};
  CurrentTray = &TrayAt(x, y);
  Gesture.PopupPiece = CurrentTray->PieceUnder(x, y, byShape);
}

void TJigsaw::OpenAreaPopup() {
  Window.ShowPopup(CurrentTray->IsBoard() ? TPopup::Play : TPopup::Tray, Screen.ClientToScreen(Gesture.PopupPoint));
}

void TJigsaw::PopupTrayIcon(TPoint screenPoint) { Window.ShowPopup(TPopup::TrayIcon, screenPoint); }

void TJigsaw::PopupClosed() {
  if (!Gesture.PopupLifted) return;
  Gesture.PopupLifted = false;
  PutBack();
}

void TJigsaw::ShowModifierHint(TShiftState shift) const {
  if (!IsPlaying()) return;
  const bool alternative = Window.MouseMode != 0;
  QString hint;
  if (shift == ssShift)
    hint = Config.CheatingAllowed ? QStringLiteral("Mouse: Left=Fetch neighbor, Right=Show neighbor")
                                  : QStringLiteral("Cheating is currently disabled");
  else if (shift == ssCtrl && Config.Rotating)
    hint = alternative ? QStringLiteral("Mouse: Left=Rotate left, Right=Popup menu")
                       : QStringLiteral("Mouse: Left=Rotate left, Right=Rotate right");
  else if (shift == ssCtrl)
    hint = alternative ? QStringLiteral("Mouse: Right=Popup menu") : QStringLiteral("Rotation is currently disabled");
  ShowStatus(hint);
}

void TJigsaw::CancelSelection() {
  if (Gesture.MouseState != Selected) return;
  PutBack();
  Gesture.MouseState = Idle;
}

void TJigsaw::MouseDown(int button, int x, int y) {
  if (!IsPlaying()) return;
  SettleAnimations(true);
  // In the Alternative mode a plain right click turns, and Ctrl opens the
  // popup instead.
  if (ShiftIsDown() && Config.CheatingAllowed) {
    CancelSelection();
    TakePopupPlace(x, y, false);
    if (!Gesture.PopupPiece) return;
    Gesture.NeighbourPiece = NeighbourToward(*Gesture.PopupPiece, Gesture.PopupPoint);
    if (!Gesture.NeighbourPiece || Gesture.NeighbourPiece->Group == Gesture.PopupPiece->Group) return;
    if (button == LeftButton)
      FetchNeighbor();
    else if (button == RightButton)
      ShowNeighbor();
    return;
  }
  const bool ctrl = CtrlIsDown();
  const bool turn = Config.Rotating && (button == RightButton && Window.MouseMode != 0 ? !ctrl : ctrl);
  if (turn) {
    CancelSelection();
    TakePopupPlace(x, y, true);
    if (!Gesture.PopupPiece)
      OpenAreaPopup();
    else if (button != MiddleButton)
      RotateGroup(*Gesture.PopupPiece, button == LeftButton ? 3 : 1, true);
    return;
  }
  if (button == RightButton) {
    CancelSelection();
    TakePopupPlace(x, y, true);
    if (Gesture.MouseState == Idle && Gesture.PopupPiece) {
      PickPiece(*Gesture.PopupPiece);
      Gesture.PopupLifted = true;
      Window.ShowPopup(TPopup::Piece, Screen.ClientToScreen(Gesture.PopupPoint));
    } else {
      OpenAreaPopup();
    }
    return;
  }
  if (AutoSolving) return;
  switch (Gesture.MouseState) {
    case Idle:
      CurrentTray = &TrayAt(x, y);
      if (CurrentTray->CloseBoxHit(x, y)) {
        RefreshArea(CurrentTray->CloseBoxRect());
        Gesture.MouseState = PressingCloseBox;
      } else if (PickAt(*CurrentTray, x, y)) {
        Gesture.MouseState = DraggingPieces;
        Screen.SetCursor(crClosedHand);
        HoldAt(x, y);
      } else if (CurrentTray->InnerRect().Contains({x, y})) {
        BringTrayToFront(*CurrentTray);
        Band.BandStart(Screen, x, y);
        Gesture.MouseState = Banding;
      } else if (!CurrentTray->IsBoard()) {
        CurrentTray->TakeFrontNo();
        LiftTray(*CurrentTray);
        Gesture.MouseState = DraggingTray;
        Screen.SetCursor(crSizeAll);
        HoldAt(x, y);
      }
      break;
    case Selected:
      if (MovingPieceAt(x, y)) {
        Gesture.MouseState = DraggingSelection;
        Screen.SetCursor(crClosedHand);
        HoldAt(x, y);
      } else {
        PutBack();
        Gesture.MouseState = Idle;
        Screen.SetCursor(crDefault);
      }
      break;
    case OverEdge: {
      Gesture.MouseState = Resizing;
      int anchorX = x, anchorY = y;
      CurrentTray->ResizeStart(Gesture, anchorX, anchorY, Screen.Cursor());
      MouseMove(x, y);
      break;
    }
    default:
      break;
  }
}

void TJigsaw::HoldAt(int x, int y) {
  // The press is where the hand holds what it lifted: taken here, the grip
  // does not depend on how far the first reported move lies from it.
  SetMousePos(x, y);
}

void TJigsaw::MouseMove(int x, int y) {
  if (!IsPlaying()) return;
  switch (Gesture.MouseState) {
    case Idle:
      CurrentTray = &TrayAt(x, y);
      if (!CurrentTray->IsBoard())
        if (const int cursor = CurrentTray->EdgeCursorAt(x, y); cursor != 0) {
          Screen.SetCursor(cursor);
          Gesture.MouseState = OverEdge;
        }
      break;
    case Banding:
      Band.BandTo(x, y);
      break;
    case DraggingPieces:
    case DraggingSelection:
    case DraggingTray:
      DragTo(x, y, TDragMode(Gesture.MouseState));
      break;
    case OverEdge: {
      const int cursor = CurrentTray->EdgeCursorAt(x, y);
      Screen.SetCursor(cursor);
      if (cursor == 0) Gesture.MouseState = Idle;
      break;
    }
    case Resizing:
      CurrentTray->ResizeTrack(Gesture, x, y, Screen.Cursor());
      break;
    case PressingCloseBox:
      if (!CurrentTray->CloseBoxHit(x, y)) {
        RefreshArea(CurrentTray->CloseBoxRect());
        Gesture.MouseState = Idle;
      }
      break;
    default:
      break;
  }
}

void TJigsaw::MouseUp(int x, int y) {
  if (!IsPlaying()) return;
  switch (Gesture.MouseState) {
    case Banding: {
      const TRect band = Band.BandEnd().Inflate(Record.CellWidth / 3, Record.CellHeight / 3);
      Gesture.MouseState = PickInRect(CurrentTray->Number, band) ? Selected : Idle;
      break;
    }
    case DraggingPieces:
    case DraggingSelection:
      // A band selection never snaps on dropping.
      SetMousePos(x, y);
      DropMoving(nullptr, Gesture.MouseState == DraggingPieces);
      Gesture.MouseState = Idle;
      Screen.SetCursor(crDefault);
      break;
    case DraggingTray:
      DropTray(*CurrentTray);
      Gesture.MouseState = Idle;
      Screen.SetCursor(crDefault);
      break;
    case Resizing: {
      const TRect old = CurrentTray->BoundsRect();
      const TRect resized = Band.BandEnd();
      CurrentTray->SetWidth(std::uint16_t(resized.Width()));
      CurrentTray->SetHeight(std::uint16_t(resized.Height()));
      MoveTray(*CurrentTray, resized.Left - old.Left, resized.Top - old.Top);
      FitTrayPieces(*CurrentTray);
      RefreshArea(old.Union(CurrentTray->BoundsRect()));
      Gesture.MouseState = Idle;
      Screen.SetCursor(crDefault);
      break;
    }
    case PressingCloseBox:
      // The state stays until the pointer leaves the box.
      CurrentTray->ToggleOpen();
      break;
    default:
      break;
  }
}

void TJigsaw::CancelGesture() {
  switch (Gesture.MouseState) {
    case Selected:
      PutBack();
      break;
    case DraggingPieces:
    case DraggingSelection:
      DropMoving(nullptr, false);
      break;
    case DraggingTray:
      DropTray(*CurrentTray);
      break;
    case Banding:
    case Resizing:
      Band.BandEnd();
      break;
    case PressingCloseBox:
      CurrentTray->CloseBoxHit(-1, -1);
      RefreshArea(CurrentTray->CloseBoxRect());
      break;
    default:
      break;
  }
  Gesture.MouseState = Idle;
  Screen.SetCursor(crDefault);
}

void TJigsaw::PreparePiecePopup() {
  Gesture.NeighbourPiece = Gesture.PopupPiece ? NeighbourToward(*Gesture.PopupPiece, Gesture.PopupPoint) : nullptr;
  const bool neighbour = Gesture.NeighbourPiece && Gesture.NeighbourPiece->Group != Gesture.PopupPiece->Group;
  const bool cheat = Config.CheatingAllowed;
  Window.Commands.ShowNeighbor.SetEnabled(cheat && neighbour);
  Window.Commands.FetchNeighbor.SetEnabled(cheat && neighbour);
  Window.Commands.RightWayUp2.SetEnabled(cheat && Gesture.PopupPiece && Gesture.PopupPiece->Rotation != 0);
  Window.Commands.Unlock.SetEnabled(Gesture.PopupPiece && Gesture.PopupPiece->Joined);
}

void TJigsaw::RotatePiece(int turns) {
  if (Gesture.PopupPiece) RotateGroup(*Gesture.PopupPiece, turns, true);
}

void TJigsaw::RightWayUpPiece() {
  if (!Gesture.PopupPiece) return;
  CountCheat();
  RotateGroup(*Gesture.PopupPiece, (4 - Gesture.PopupPiece->Rotation) % 4, true);
}

void TJigsaw::Unlock() {
  // A loose piece has no group to leave.
  if (!Gesture.PopupPiece || !Gesture.PopupPiece->Joined) return;
  DetachPiece(*Gesture.PopupPiece);
  CurrentTray->SortPieces(TSortOrder::Stacking);
  // Out of its group, the piece may lie above or below its old neighbours.
  RefreshArea(WithSide(PieceRect(*Gesture.PopupPiece)));
}

void TJigsaw::SendToBack() {
  if (!Gesture.PopupPiece || !PickAt(*CurrentTray, Gesture.PopupPoint.X, Gesture.PopupPoint.Y)) return;
  SendGroupToBack(*Gesture.PopupPiece);
  DropMoving(CurrentTray, false);
}

namespace {

// Pieces raised in turn and put back, each way shown for ms: a flash of
// each piece, rounds times over.
class TFlash final : public TAnimation {
 public:
  TFlash(TMove& game, TJigConfig& config, std::vector<TFormPiece*> pieces, int rounds, int ms)
      : game_(game), config_(config), pieces_(std::move(pieces)),
        frames_(2 * rounds * int(pieces_.size())), ms_(ms) {}

  int Step() override {
    if (frame_ == frames_) return Ended;
    if (frame_ % 2 == 0) {
      // Shadows for the lift only: between the frames the option is as the
      // user set it.
      const TForcedShadows shadows(config_);
      game_.PickPiece(*pieces_[std::size_t(frame_ / 2) % pieces_.size()]);
    } else {
      game_.PutBack();
    }
    ++frame_;
    return ms_;
  }
  void Settle(bool) override {
    if (frame_ % 2 == 1) game_.PutBack();
  }

 private:
  TMove& game_;
  TJigConfig& config_;
  const std::vector<TFormPiece*> pieces_;
  const int frames_;
  const int ms_;
  int frame_ = 0;
};

}  // namespace

void TJigsaw::ShowNeighbor() {
  if (!Gesture.PopupPiece || !Gesture.NeighbourPiece) return;
  CountCheat();
  PutBack();
  if (TBox& tray = TrayByNumber(std::uint32_t(Gesture.NeighbourPiece->Tray)); !tray.Open) tray.ToggleOpen();
  ScrollIntoView(WithSide(PieceRect(*Gesture.NeighbourPiece)));
  Animator.Start(std::make_unique<TFlash>(*this, Config, std::vector{Gesture.NeighbourPiece}, 8, 100));
}

void TJigsaw::Fetch(TFormPiece& a, TFormPiece& b, bool interruptible, int stepsPerFrame) {
  if (a.Rotation != b.Rotation) RotateGroup(b, (a.Rotation - b.Rotation + 4) % 4, false);
  // The slide ends beside a, which comes into view first.
  const TPoint fits = ExpectedPos(b, a);
  ScrollIntoView(WithSide(PieceRect(a).Union(Bounds(fits.X, fits.Y, b.Width, b.Height))));
  PickGroup(&b);
  const TPoint from = GetMovePos();
  Screen.RepaintNow();
  AnimateTo(from.X, from.Y, interruptible, stepsPerFrame, fits.X + from.X - b.X, fits.Y + from.Y - b.Y);
}

void TJigsaw::FetchNeighbor() {
  if (!Gesture.PopupPiece || !Gesture.NeighbourPiece) return;
  // The group is lifted now: nothing else may float.
  Animator.Settle();
  CountCheat();
  PutBack();
  Fetch(*Gesture.PopupPiece, *Gesture.NeighbourPiece, false, 6);
  Animator.Then([this, tray = CurrentTray] { DropMoving(tray, true); });
}

TFormPiece* TJigsaw::PieceToComplete() {
  const TLargestGroup run = FindLargestGroup();
  if (run.Length == 0) return nullptr;
  int k = int(Random(std::uint32_t(run.NotComplete))) + 1;
  TFormPiece* q = nullptr;
  for (int i = run.Start; i < run.Start + run.Length && k >= 1; ++i) {
    q = BoardTray().Pieces[std::size_t(i)];
    if (!q->Complete) --k;
  }
  return q;
}

TFormPiece* TJigsaw::LooseNeighbour(const TFormPiece& q) {
  for (const TNeighbourSlot& slot : NeighbourSlots(q.Index))
    if (slot.Piece && slot.Piece->Group != q.Group) return slot.Piece;
  return nullptr;
}

void TJigsaw::Hint() {
  if (Record.SolvedCount >= Record.PieceCount) return;
  CountCheat();
  TFormPiece* q = PieceToComplete();
  if (!q) return;
  TFormPiece* r = LooseNeighbour(*q);
  if (!r) return;
  ScrollIntoView(WithSide(PieceRect(*q).Union(PieceRect(*r))));
  Animator.Start(std::make_unique<TFlash>(*this, Config, std::vector{q, r}, 8, 50));
}

void TJigsaw::PlaceFirstPiece(TFormPiece& q) {
  RotateGroup(q, (4 - q.Rotation) % 4, false);
  TBox& board = BoardTray();
  TRect target = Bounds(board.Width / 2 + q.HomeX - Record.CutWidth / 2, board.Height / 2 + q.HomeY - Record.CutHeight / 2,
                        Record.CellWidth, Record.CellHeight);
  KeepInArea(target, board.BoundsRect());
  if (q.X == target.Left && q.Y == target.Top) return;
  ScrollIntoView(WithSide(target));
  PickGroup(&q);
  const TPoint from = GetMovePos();
  Screen.RepaintNow();
  AnimateTo(from.X, from.Y, true, Window.Solve.Speed, target.Left + from.X - q.X, target.Top + from.Y - q.Y);
  Animator.Then([this] { DropMoving(&BoardTray(), false); });
}

// Auto-solve's loop, a step at a time. Each round picks a piece of the
// largest group that still misses a neighbour and fetches that neighbour;
// the first round first puts its piece where the finished picture, centred
// on the board, has it. Between the steps the window handles its events,
// and the slides run as motions of their own.
class TJigsaw::TAutoSolveSteps final : public TAnimation {
 public:
  explicit TAutoSolveSteps(TJigsaw& game) : game_(game) {}

  int Step() override {
    TJigsaw& g = game_;
    // A piece raised under the popup, or a gesture's, waits for its end;
    // stopped, auto-solve ends here.
    if (!g.Gesture.Moving.empty()) return g.AutoSolving ? 10 : End();
    switch (phase_) {
      case TPhase::Round:
        // Stopped between two rounds, the next does not begin.
        if (!first_ && !g.AutoSolving) return End();
        if (const int percent = g.Record.SolvedCount * 100 / g.Record.PieceCount; percent != shown_) {
          g.Window.Solve.SetPercent(percent);
          shown_ = percent;
        }
        q_ = g.PieceToComplete();
        if (!q_) q_ = &g.Pieces.front();
        if (first_) {
          first_ = false;
          phase_ = TPhase::PlaceFirst;
          return 0;
        }
        [[fallthrough]];
      case TPhase::Fetch:
        // Holding the left button pauses the fetching.
        if (!LeftButtonIsDown())
          if (TFormPiece* r = g.LooseNeighbour(*q_)) {
            g.Fetch(*q_, *r, true, g.Window.Solve.Speed);
            g.Animator.Then([&g] {
              g.DropMoving(&g.BoardTray(), true);
              g.ShowSolvedStatus();
            });
          }
        phase_ = TPhase::EndRound;
        return 0;
      case TPhase::PlaceFirst:
        g.PlaceFirstPiece(*q_);
        phase_ = TPhase::Fetch;
        return 0;
      case TPhase::EndRound:
        g.CloseEmptyTrays();
        // Nothing floats between moves: a long auto-solve is not lost to a
        // crash.
        g.WriteRecovery();
        if (!g.AutoSolving || g.Record.SolvedCount >= g.Record.PieceCount) return End();
        phase_ = TPhase::Round;
        return 0;
    }
    return End();
  }
  // Auto-solve runs in the background, at rest between its steps.
  void Settle(bool) override {}

 private:
  enum class TPhase { Round, PlaceFirst, Fetch, EndRound };
  int End() {
    game_.EndAutoSolve();
    return Ended;
  }

  TJigsaw& game_;
  TPhase phase_ = TPhase::Round;
  bool first_ = true;
  int shown_ = -1;
  TFormPiece* q_ = nullptr;
};

void TJigsaw::AutoSolve() {
  if (!IsPlaying() || AutoSolving || Pieces.empty()) return;
  Animator.Settle();
  CancelSelection();
  CountCheat();
  Record.AutoSolveUsed = 1;
  AutoSolving = true;
  Window.Solve.SetRunning(true);
  Animator.StartBackground(std::make_unique<TAutoSolveSteps>(*this));
}

void TJigsaw::StopAutoSolve() {
  if (!AutoSolving) return;
  AutoSolving = false;
  Animator.Finish();
}

void TJigsaw::EndAutoSolve() {
  AutoSolving = false;
  Window.Solve.SetRunning(false);
}

void TJigsaw::SettleAnimations(bool pressed) { Animator.Settle(pressed); }

void TJigsaw::RunAnimationsToEnd(const std::function<void()>& atRest) {
  while (Animator.Advance())
    if (atRest && Gesture.Moving.empty()) atRest();
}

void TJigsaw::AnimationFailed(const std::exception_ptr& error) {
  if (AutoSolving) EndAutoSolve();
  MessageDlg(ErrorOf([&] { std::rethrow_exception(error); }, outOfMemoryMessage), TMsgType::Error,
             TMsgButtons::Ok);
}
