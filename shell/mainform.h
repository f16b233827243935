#pragma once
// The main window: menus, toolbar, play area, tray bar and status line. It
// owns the game object, turns every command, mouse event, paint, resize and
// clock tick into a call on it, and runs the start-up and closing sequences
// with the splash window.

#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

#include "game/extrasrecord.h"
#include "game/giftlock.h"
#include "game/jigsaw.h"
#include "game/windowstate.h"
#include "platform/input.h"
#include "platform/system.h"
#include "platform/utility.h"
#include "shell/musicplayer.h"
#include "shell/overlayform.h"
#include "shell/piecesizedlg.h"
#include "shell/sound.h"

class QAbstractButton;
class QAction;
class TMenus;
class TMouseDlg;
class TPieceSizeDlg;
class TPlayArea;
class TSpeedBar;
class TSolveDlg;
class TSplashForm;
class TTrayBarView;
class TZoomPan;

class TMainForm : public QMainWindow, public TStatusLine, public TOverlaySource, public TPieceSizeSource {
  Q_OBJECT

 public:
  // The window never opens smaller than this, and never larger than its
  // screen.
  static constexpr int InitialWidth = 603;
  static constexpr int InitialHeight = 501;
  // The least board the window keeps beside its menus, bars and status line.
  static constexpr int LeastBoardWidth = 320;
  static constexpr int LeastBoardHeight = 240;

  // exePath names the gift the player shows; tests give another.
  explicit TMainForm(std::function<QString()> exePath = ::ExePath, QWidget* parent = nullptr);
  ~TMainForm() override;

  void SetStatusText(const QString& text) override;
  QString StatusText() const;

  // The puzzle is built and laid out: until then nothing reaches the game.
  bool BoardLive() const override { return Game && Game->IsPlaying(); }
  void PaintOverlay(TBitmap& box) override { Game->PaintOverlay(box); }
  void FitOverlay() override { Game->FitOverlay(); }

  const TPuzzleRecord& Record() const override { return Records.Puzzle; }
  void SetShape(std::int16_t oddness, std::int32_t style) override { Game->SetShape(oddness, style); }
  void SetScale(int percent) override;

  // The audio device outlives the effects and the music that play on it.
  TAudioDevice Audio;
  TSound Sound{Audio};
  TMusicPlayer MediaPlayer1{Audio};

  // The state the game object fills in and reads back, and the game itself
  // (null only while a restart replaces it).
  TWindowState Window;
  TGameRecords Records;
  std::unique_ptr<TJigsaw> Game;
  bool FirstTick = true;
  // The keys and buttons of the last mouse move over the play area.
  TShiftState LastShift = 0;

  TMenus* Menus;
  TSpeedBar* SpeedBar;
  TPlayArea* PaintBox1;
  // Zoom and pan over the play area, with its scroll bars.
  TZoomPan* ZoomPan;
  TTrayBarView* BoxBar;
  QWidget* StatusLine;
  QLabel* SolvedStatus;
  QLabel* TimerStatus;
  QTimer* Timer1;
  TMouseDlg* MouseDlg;
  TOverlayForm* OverlayForm;
  TSolveDlg* SolveDlg;
  TPieceSizeDlg* PieceSizeDlg;
  std::unique_ptr<TSplashForm> SplashForm;

  // Starts the game by start (by default as the player starts: the puzzle
  // built, the saved game resumed or a new one laid out), then fits the
  // window to it, paints the board and shows the picture window. True when a
  // saved game was resumed.
  bool StartGame(const std::function<bool(TJigsaw&)>& start = [](TJigsaw& game) { return game.StartGame(); });
  void Timer1Timer();
  // Asks, then starts the puzzle afresh.
  void Restart1Click();
  // Keeps the gift to this window while it plays; a gift opened later
  // takes its own.
  void HoldGiftLock(std::shared_ptr<TGiftLock> lock) { giftLock_ = std::move(lock); }
  // File > Open Gift: a gift file chosen, then opened as below.
  void OpenGiftClick();
  // Closes the game being played as closing the window does (closing
  // splash, save question), then starts the gift in the file at path as the
  // player starts. A file that is no gift, or a gift another player plays,
  // is said so, and the game goes on.
  void OpenGift(const QString& path);
  // Auto-solve, with the solve window up while it runs.
  void SolveClick();
  // The gift's music from its start, while the Music option is on.
  void StartMusic();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void BuildLayout();
  // The least window: the menus, the toolbar, the tray bar and the status
  // line whole, and a board to play on.
  void SetLeastSize();
  // About four fifths of the screen's available area, in its proportions,
  // centred there.
  void OpenToFitTheScreen();
  void CentreOnScreen();
  // A resumed game's play area size, in board pixels: the window grows or
  // shrinks to give the play area that size as far as the screen allows.
  void TakePlayAreaSize(int boardWidth, int boardHeight);
  void FitPlayArea();
  void BindCommands();
  void BindStates();
  void BindSolveWindow();
  void BindTrayCommands();
  // The tray colour menus check how the current tray's colour was chosen.
  void ShowTrayColorChoice();
  void TrayDescriptionClick();
  void TrayColorClick();
  // Shows a model item on an action or button; available is false for
  // commands this program does not carry out, which then never show enabled.
  void Bind(TMenuItemState& state, QAction* action, bool available = true);
  void Bind(TMenuItemState& state, QAbstractButton* button, bool available = true);
  void OnCommand(QAction* action, std::function<void()> command);
  void ForwardMouse();
  void ShowHeldKeysHint();

  void FormShow();
  // The closing splash and the save; false when the person goes back to a
  // game that could not be saved.
  bool RunClosingSequence();
  void PlayAreaResized();
  void PaintPlayArea();
  void ZoompictureClick();
  void OutlinesClick(int style);
  void ToggleOption(TMenuItemState& item, const std::function<void(bool)>& apply = {});
  void PictureClick();
  void SoundClick();
  void MusicClick();
  void RightMouseButtonClick();
  void PieceSizeClick();
  void BackgroundColorClick();
  void ApplyWindowColor();

  // Runs a call on the game object through its one entry (Perform), or,
  // while there is no game, shows what the call throws in the error box.
  // Restart, opening a gift and closing, which replace the game, wait until
  // no such call is running.
  void Guarded(const std::function<void()>& call, TJigsaw::TCommandKind kind = TJigsaw::TCommandKind::Command);
  void WhenIdle(std::function<void()> action);

  std::function<QString()> exePath_;
  std::shared_ptr<TGiftLock> giftLock_;
  // The play area size of the game resumed, in widget pixels; empty for a
  // new game.
  QSize savedPlayArea_;
  QLabel* statusText_;
  bool shownOnce_ = false;
  bool closing_ = false;
  int gameCalls_ = 0;
  std::vector<std::function<void()>> whenIdle_;
};
