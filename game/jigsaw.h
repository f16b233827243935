#pragma once
// The game object: the one object that owns the puzzle being played. It is at
// once the piece set, the tray collection, the move engine and the game: it
// loads the gift, builds and lays out the puzzle, keeps the options record in
// step with the menus, paints and resizes the board and rescales the cut. The
// play area's pixels are its View and what the mouse has under way its
// Gesture, both held by the move engine. It reaches the windows only through
// the window state it fills in and reads back, and through the play area's
// screen, so a whole game runs without a window.

#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "game/extrasrecord.h"
#include "game/gift.h"
#include "game/jigconfig.h"
#include "game/puzzlerecord.h"
#include "game/recovery.h"
#include "game/savedboard.h"
#include "game/undo.h"
#include "game/windowstate.h"
#include "platform/input.h"
#include "play/move.h"

// How a tray's colour was chosen, as its colour menu shows it.
enum class TTrayColorChoice { Custom, Matching, Contrasting, Default };

// Which tray an arranging command works on: the tray under the pointer when
// the tray popup opened, or the board.
enum class TArrangeSource { Board, PopupTray };

class TJigsaw : public TMove {
 public:
  enum : std::uint8_t { NotStarted = 0, Playing = 2 };
  // The mouse machine's states (play/gesture.h), named here too: Idle,
  // Banding and so on.
  using TMouseState = ::TMouseState;
  using enum ::TMouseState;
  enum : int { LeftButton = 0, RightButton = 1, MiddleButton = 2 };

  // The window state, the records and the screen must outlive the game.
  // exePath names the gift; tests and the gift tool give another file.
  TJigsaw(TWindowState& window, TGameRecords& records, TScreen& screen,
          std::function<QString()> exePath = ::ExePath);
  ~TJigsaw() override;

  TWindowState& Window;
  TPuzzleRecord& Record;
  TExtrasRecord& Extras;
  TJigConfig& Config;
  TGift Gift;
  // Keeps the recovery file of the game being played.
  TRecovery Recovery;
  // What can be undone and redone.
  TUndoHistory History;

  TBitmap OriginalPicture;  // as decoded; the source of every rescale
  std::uint8_t State = NotStarted;
  // The two mask sheets of the last cut, kept for rebuilding the images.
  std::vector<std::uint8_t> OutlineBuffer;

  // Reads the gift's trailer into the window state and the records.
  void LoadGift();
  void ShowClosingTexts(TSplashTexts& splash) const;
  // Decodes the picture, cuts it and builds the pieces and their images. The
  // cut suits a new game on the play area as it is now (see CutToFit).
  void BuildPuzzle();
  // What reaches the game through Perform.
  enum class TCommandKind {
    // A menu item, a button, a tray-bar click: it finds the board at rest,
    // a flash or a slide under way brought to its end first.
    Command,
    // A press, release or popup of the mouse over the board, which settles
    // what it presses on itself.
    Gesture,
    // A paint, a tick, a move of the mouse, a new window size: animations
    // go on, and nothing is a step to undo.
    View
  };
  // The one way everything the window forwards reaches the game. An error
  // the call throws is shown in the error box and the game goes on; what a
  // command or a gesture changed on the board becomes a step to undo.
  void Perform(const std::function<void()>& call, TCommandKind kind = TCommandKind::Command);

  // How a game begins: with the gift's saved game when there is one that
  // reads and fits the puzzle, or always with a new layout.
  enum class TOpening { ResumeOrNew, New };
  // Builds the loaded gift's puzzle and begins play: the start of a game,
  // after LoadGift. True when a saved game was resumed.
  bool StartGame(TOpening opening = TOpening::ResumeOrNew);
  // Lays out the built puzzle, draws the first board at the play area's size
  // and makes that board where undo ends. For a caller that changes the
  // puzzle between the build and the layout, as the gift tool does.
  bool BeginPlay(TOpening opening = TOpening::ResumeOrNew);
  // Lays out the game: as the opening asks, the gift's saved game when there
  // is one that reads and fits this puzzle (true), else a new layout
  // (false); the ResizeBoard that follows draws the board. A saved game that
  // cannot be read is set aside under a new name and the user told why.
  bool LayOut(TOpening opening);
  // The person did not want the resumed game: its saved game goes and a new
  // game of the gift starts.
  void DeclineResume();
  // The game ends, saved first when asked; EError when it cannot be saved,
  // and the game then goes on as it was. Its recovery file goes.
  void EndGame(bool save);
  // The game stops without ending normally: its recovery file stays for the
  // next start.
  void LeaveGame();
  void StartNewLayout();
  void RebuildSaved();
  void RestoreLayout();
  // Writes the game being played to its saved game, replacing the old one
  // only once the new one is whole on disk. EError saying why when it cannot
  // be written; the old one is then as it was.
  void SaveGame();
  // Deletes the saved game and the recovery file; a new game's clock counts
  // up again. EError when a saved game remains that cannot be deleted.
  void DiscardSavedGame();
  // The game ends normally: its recovery file goes.
  void RemoveRecovery();

  bool IsPlaying() const { return State == Playing; }
  // Nothing afloat and no gesture under way: a board that can be noted for
  // undo or kept safe in the recovery file.
  bool IsAtRest() const { return IsPlaying() && Gesture.AtRest(); }
  void SetState(std::uint8_t state);

  // The options, each set by its command: the menu, the options record and
  // what the option changes on the board or the status line go together.
  void SetSound(bool on);
  // The cheat commands are enabled as allowed; store makes it the option.
  void SetCheating(bool allowed, bool store);
  void SetShadows(bool on);
  void SetTimerShown(bool on);
  void SetSolvedCountShown(bool on);
  // Outlines > None, Paper, Card or Wood: the menu, the options record and
  // the pieces' images change together.
  void SetOutlineStyle(int style);
  // Returns the option as it ends up: the user may turn pieces back or keep
  // rotation on.
  bool SetRotation(bool on, const QString& question);
  void SetShape(std::int16_t oddness, std::int32_t style);
  // Re-cuts the puzzle at percent of the decoded picture's size with the
  // same seed. EError, before anything changes, for a scale whose cut would
  // not fit the puzzle record or the picture limit.
  void SetScale(int percent);

  // Zoom: the pieces cut again at percent of the picture's size, from the
  // whole board's piece size up to LargestCut, over a board as much larger
  // than the play area as the pieces are; the play area shows a part of it,
  // magnified on to LargestZoom.
  // Groups and trays keep their places in proportion; what is saved and
  // undone stays the whole board's. The board's point at (x, y) stays where
  // the play area shows it, as near as the board's edges allow.
  void ZoomAbout(int x, int y, int percent);
  // The next zoom in (steps > 0) or out (steps < 0), steps times, about the
  // board's point at (x, y); about the view's centre without a point.
  void ZoomStep(int steps);
  void ZoomStep(int x, int y, int steps);
  // Each step looks this much closer or further.
  static constexpr double ZoomStepFactor = 1.25;
  // The zoom percent steps away, within the zoom's range.
  int NextZoom(int steps) const;
  // Back to the whole board, as it was laid out on the play area.
  void ShowWholeBoard();
  bool IsZoomed() const { return wholeBoard_.has_value(); }
  // How large the view shows the picture: the cut's scale, magnified past
  // the largest cut.
  int ZoomPercent() const { return wholeBoard_ ? wholeBoard_->ZoomPercent : Record.ScalePercent; }
  // The whole board's piece size, which the saved game keeps.
  int WholeBoardScale() const { return wholeBoard_ ? wholeBoard_->Record.ScalePercent : Record.ScalePercent; }
  // The closest look, three times the picture's size.
  int LargestZoom() const;
  // The largest cut a zoom makes: the picture's own size, or more for a
  // small picture, as far as its pixels stay those of a large photo.
  int LargestCut() const;
  // Auto-solve works on the pieces a zoom cuts anew: no zoom meanwhile.
  bool CanZoomIn() const { return IsPlaying() && !AutoSolving && ZoomPercent() < LargestZoom(); }
  bool CanZoomOut() const { return IsPlaying() && !AutoSolving && IsZoomed(); }

  // The board's size, and the part of it the play area shows: its top-left
  // corner and the play area's size.
  TSize BoardSize() const { return {Config.PlayWidth, Config.PlayHeight}; }
  TRect ViewRect() const;
  // Moves the view to show the board from (x, y), as near as the board's
  // edges allow; by (dx, dy) from where it is.
  void ScrollTo(int x, int y);
  void ScrollBy(int dx, int dy);
  // Scrolls as little as brings rect into view (as much of it as fits).
  void ScrollIntoView(const TRect& rect);

  // What the saved game writes: the records, the pieces' homes in the cut,
  // the options block and a rectangle of the board as the whole board has
  // them, zoomed or not.
  TPuzzleRecord WholeBoardRecord() const;
  std::vector<TPieceHome> WholeBoardHomes() const;
  TJigConfig::TBlock WholeBoardOptions() const;
  TRect WholeBoardRect(const TRect& rect) const;
  // A rectangle of the whole board on the board as zoomed now.
  TRect ZoomedRect(const TRect& rect) const;

  // The play area's paint: whatever is invalid on the screen comes from the
  // board (before the game plays, from the mural).
  void PaintBoard();
  void ResizeBoard(std::uint16_t width, std::uint16_t height);
  // The picture overlay and the full-screen picture draw into bitmaps of
  // their windows' client size.
  void PaintOverlay(TBitmap& box) const;
  // The overlay's client size fitted to the picture's aspect.
  void FitOverlay();
  void PaintZoom(TBitmap& box) const;

  // The mouse over the play area, in play-area pixels. The live Shift and
  // Ctrl keys decide the gestures.
  void MouseDown(int button, int x, int y);
  void MouseMove(int x, int y);
  void MouseUp(int x, int y);
  // The status line explains what the mouse does while exactly Shift or
  // exactly Ctrl is held; any other set clears it.
  void ShowModifierHint(TShiftState shift) const;
  // Puts a floating band selection back.
  void CancelSelection();
  // The window lost the mouse in the middle of a gesture (another window
  // took the focus, the grab was lost): what floats is dropped where it is,
  // without joining, and the mouse is idle again.
  void CancelGesture();
  // A popup opened by the mouse has closed.
  void PopupClosed();
  void PopupTrayIcon(TPoint screenPoint) override;

  // "Solved N of M" on the status line, when it shows.
  void ShowSolvedStatus();
  // The clock's second: the status panels, the play time while one of the
  // game's windows is active, and the congratulations once the last join
  // has made the puzzle one group.
  void Tick();
  // "You solved all ... pieces in ..." with the cheat verdict.
  QString CompletionText() const;

  void ArrangeInGrid(TArrangeSource source, bool byShape, bool byColour);
  void ArrangeAtEdge(TArrangeSource source, bool byShape, bool byColour);
  void Disarrange(TArrangeSource source, bool rotateOnly);
  void RightWayUpAll();

  // The piece popup: its cheats as the piece under it allows, and its
  // commands on that piece.
  void PreparePiecePopup();
  void RotatePiece(int turns);
  void RightWayUpPiece();
  void Unlock();
  void SendToBack();

  // Cheats, each counted: the popup piece's neighbour flashed in its place
  // or slid over to join it, and two pieces that belong together flashed.
  void ShowNeighbor();
  void FetchNeighbor();
  void Hint();
  // Trays a person makes to sort pieces into. A new tray takes a number no
  // tray of this game has had, lies at the next cascade place on the board,
  // in front, and opens from its bar button.
  TBox& NewTray();
  // The tray commands act on the current tray, the one the tray popup or the
  // tray button's popup was opened on; none acts on the board.
  // Every loose piece of the tray floats as a band selection does.
  void SelectTrayPieces();
  void SendTrayToBack();
  // The tray's pieces go onto the board where they lie, kept on it with
  // their groups and without joining; the tray closes.
  void DropTrayPieces();
  // Every loose piece of the board (with edgesOnly, every loose one with a
  // straight edge) goes into the tray, laid out in a grid with the rest.
  void GetLoosePieces(bool edgesOnly);
  // Up to 128 characters of the Western European character set; EError
  // saying why for any other text, and the description stays.
  void SetTrayDescription(const QString& description);
  void SetTrayColor(TColor color);
  void SetTrayColor(TTrayColorChoice choice);
  TTrayColorChoice TrayColorChoice(const TBox& tray) const;
  // The picture's average colour, and one that stands out against it.
  TColor MatchingColor() const;
  TColor ContrastingColor() const;
  // The tray's pieces go onto the board, then the tray and its button.
  void DeleteTray();

  // Undo and redo. The window notes the board after everything it passes
  // on; a change from the last board noted becomes a step. Nothing is undone
  // while something floats, during auto-solve or before the game plays.
  void NoteChanges();
  // The play area changed size: the board laid out on it is no step.
  void NoteBoardResized();
  bool CanUndo() const;
  bool CanRedo() const;
  void Undo();
  void Redo();
  // The board as one value: what undo keeps, the saved game writes and a
  // resume restores.
  TBoardState CaptureBoard() const;
  // A resumed game's board: every piece and tray as the state has them, the
  // pieces in trays placed from their proportional places and the groups
  // numbered afresh. The pieces' turns await the cut that follows, and the
  // board's pieces the layout on the play area after it.
  void ResumeBoard(const TBoardState& board);

  // Starts solving the puzzle move by move on the window's timer, until it
  // is solved or StopAutoSolve is called; the solve window shows meanwhile.
  // Counted once.
  void AutoSolve();
  // Auto-solve ends after the move it is making, which is finished at once:
  // when this returns, nothing of it floats or runs.
  void StopAutoSolve();
  bool IsAutoSolving() const { return AutoSolving; }

  // The flashes, slides and zooms step on the window's timer, and auto-solve
  // makes its moves between them. Whatever moves comes to rest at once: a
  // flashed piece is put back, a slide or a zoom ends as its last frame
  // would, or, for a mouse press, a slide that a click may stop stays where
  // it is. Every command and every press finds the board at rest.
  void SettleAnimations(bool pressed = false);
  bool IsAnimating() const { return Animator.Running(); }
  // Runs the animations to their end at once, without waiting for their
  // frames' time; atRest runs after every step that leaves nothing afloat,
  // where the window would handle its events. For tests and tools that have
  // no event loop.
  void RunAnimationsToEnd(const std::function<void()>& atRest = {});

 protected:
  void PlayEffect(int n) override;

 private:
  TJigsaw(TWindowState& window, TGameRecords& records, TScreen& screen, std::function<QString()> exePath,
          std::unique_ptr<TJigConfig> config);

  // The tray an arranging command works on, and its repaint afterwards.
  TBox& ArrangeTray(TArrangeSource source) const;
  void Arranged(TBox& tray);
  // Cuts the picture again at percent of its decoded size, which it can be
  // cut at, and turns the pieces as they were; the board is not rebuilt.
  void Recut(int percent);
  // The cut alone, the pieces the right way up.
  void CutAt(int percent);
  // The cut of a new game on a play area of width x height: at the largest
  // step of the piece size dialog's bar, 100 % down to 10 % in steps of 10,
  // that the dialog allows and at which every piece can lie whole on the
  // play area with the pieces' boxes covering at most half of it. When none
  // fits, the smallest allowed step; on a play area of no size, the record's
  // scale.
  void CutToFit(int width, int height);
  // The overlay's height follows the picture's aspect at its width.
  void AdjustOverlayHeight();
  // Rebuilds the mural in the window's colour and paints the whole board.
  void RebuildBoard();
  void FreeCutBuffers();
  // PopupPoint, CurrentTray and PopupPiece for a press at (x, y).
  void TakePopupPlace(int x, int y, bool byShape);
  // The board popup, or the tray popup over a tray.
  void OpenAreaPopup();
  void HoldAt(int x, int y);
  // The group of b is lifted and its slide to where it fits against a is
  // queued; it floats there until the caller's drop.
  void Fetch(TFormPiece& a, TFormPiece& b, bool interruptible, int stepsPerFrame);
  // At a quiet moment, the game into its recovery file when it has changed.
  void WriteRecovery();
  // A piece of the board's largest group, chosen at random among those that
  // still miss a neighbour; null when the board holds no piece.
  TFormPiece* PieceToComplete();
  // q's first neighbour, looking up, right, down and left, that lies in
  // another group; null when there is none.
  TFormPiece* LooseNeighbour(const TFormPiece& q);
  // Auto-solve's first move: the piece slides to where it lies once the
  // finished picture is centred on the board.
  void PlaceFirstPiece(TFormPiece& q);
  // Auto-solve's rounds, stepped between the animations.
  class TAutoSolveSteps;
  // Auto-solve has ended: its window goes.
  void EndAutoSolve();
  // An animation's step failed: the animations have stopped, and the error
  // is shown as a command's would be.
  void AnimationFailed(const std::exception_ptr& error);

  // The tray a tray command acts on: the current one, never the board.
  TBox* CommandTray() const;
  // Nothing floats and the game plays: the board is one to note.
  bool IsSettled() const;
  // KeepPiecesInSight, and the board repainted where pieces moved.
  void SettleInSight();
  // One step back (undo) or forward (redo) through the history.
  void StepHistory(bool back);
  // The listed pieces, the trays and the counters as the state has them;
  // the pieces' turns stay.
  void TakeBoard(const TBoardState& board, std::span<const std::size_t> changed);
  // The board of an undo or redo; changed names the pieces that move.
  void RestoreBoard(const TBoardState& board, const std::vector<std::size_t>& changed);
  // The Undo and Redo commands as the game allows them now.
  void ShowUndoItems();
  // A tray too small to lay its loose pieces out apart grows, as far as the
  // board allows.
  void GrowToHoldLoosePieces(TBox& tray);
  // After a tray's pieces were laid out: in stacking order, and in a tray
  // other than the board all whole inside it, which grows to hold them.
  void HoldArranged(TBox& tray);

  // One more cheat on the record.
  void CountCheat();
  // The number of a new tray: one above every number given in this game,
  // else, once that would not fit the saved game's 16 bits, the lowest
  // number no tray has.
  std::uint32_t NewTrayNumber();

  // The play area's size: the part of the board in view.
  TSize ViewSize() const;
  // Cuts the pieces at percent for a board as much larger, the groups and
  // trays placed in proportion; the view is left to place and draw.
  void CutForZoom(int percent);
  // Trays scaled by trayScale and every piece placed from its place in
  // proportion, on the board as large as it is now.
  void PlaceInProportion(double trayScale);
  // A new build: the whole board again, without cutting.
  void ForgetZoom();
  // The board bitmap as large as the view needs.
  void SizeViewBitmap();
  // The view's corner nearest origin that the board's edges allow.
  TPoint ViewOriginNear(TPoint origin) const;
  // The view's corner there; the view is left to draw.
  void PlaceView(TPoint origin);
  // The board in view drawn, and the screen shows it: all of it, or, after
  // the view moved with the pixels of kept, what came into view.
  void RedrawView(std::optional<TRect> kept = std::nullopt);

  // While zoomed, the records and the homes of the whole board's cut and the
  // play area it was laid out on.
  struct TWholeBoard {
    TPuzzleRecord Record;
    std::int32_t PlayWidth = 0, PlayHeight = 0;
    std::vector<TPieceHome> Homes;  // unturned
    int ZoomPercent = 0;            // the view's
  };
  std::optional<TWholeBoard> wholeBoard_;
  // The last recovery write failed, and the status line said so.
  bool recoveryFailing_ = false;
  std::uint32_t lastTrayNumber_ = 0;

  std::unique_ptr<TJigConfig> config_;
};

// The colour that stands out against a picture of this average colour: its
// complement, made lighter over a dark picture and darker over a light one
// when the complement alone is too close in brightness.
TColor ContrastingColor(TColor average);

// The largest piece size, in percent of the picture's, the piece size dialog
// offers; no game is ever cut larger, so a saved game that claims more is not
// one a game wrote.
constexpr int LargestScalePercent = 300;

// Whether SetScale cuts the record's picture at percent: at most the largest
// piece size, the cut's size fits the puzzle record and the picture limit,
// every cell keeps a few pixels across, and the pieces' sheets fit theirs
// (CutSheetProblem).
bool CanCutAtScale(const TPuzzleRecord& record, int percent);
// The picture's size cut at percent of its decoded size.
struct TCutSize {
  std::int64_t Width, Height;
};
TCutSize CutSizeAt(const TPuzzleRecord& record, int percent);
// Runs build; running out of memory in it is an error the user is told
// about, not the end of the program.
void WithMemoryMessage(const std::function<void()>& build);

// Cuts the record's puzzle again from its seed into the piece set, whose
// records exist, and builds the pieces' images from the picture stretched to
// the cut size. The game object's one way to a cut; the tests and
// benchmarks take it too.
void CutPuzzle(TPieces& pieces, TPuzzleRecord& record, const TBitmap& original,
               std::vector<std::uint8_t>& outlineBuffer, bool playing);
