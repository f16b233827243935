#pragma once
// What the game object fills in and reads back of the windows: the option
// menu items and toolbar toggles, the splash texts, the order form's creator
// label, the main window's colour and the play area's size. The widgets show
// these objects and write the user's changes back into them, so the game
// logic runs and is tested without a window.

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>

#include "game/gifttrailer.h"
#include "platform/colors.h"
#include "platform/types.h"
#include "play/traybar.h"

// A menu item or a tool button: checked (a toggle button is down), enabled,
// visible, and the free number that a menu item carries. Changed follows
// every change.
class TMenuItemState : public QObject {
  Q_OBJECT

 public:
  explicit TMenuItemState(bool checked = false, bool enabled = true, bool visible = true)
      : checked_(checked), enabled_(enabled), visible_(visible) {}

  bool Checked() const { return checked_; }
  bool Enabled() const { return enabled_; }
  bool Visible() const { return visible_; }
  int Tag() const { return tag_; }
  void SetChecked(bool checked) { Set(checked_, checked); }
  void SetEnabled(bool enabled) { Set(enabled_, enabled); }
  void SetVisible(bool visible) { Set(visible_, visible); }
  void SetTag(int tag) { Set(tag_, tag); }

 signals:
  void Changed();

 private:
  template <class T>
  void Set(T& field, T value) {
    if (field == value) return;
    field = value;
    emit Changed();
  }

  bool checked_;
  bool enabled_;
  bool visible_;
  int tag_ = 0;
};

// The Options menu, the Outlines submenu, the piece popup's rotate commands
// and the two toolbar toggles, with the states of the window resource.
class TOptionMenus {
 public:
  TOptionMenus();

  TMenuItemState Picture{false};
  TMenuItemState Ghostpicture{false, true, false};  // never shown
  TMenuItemState Sound{true};
  TMenuItemState Music{true};
  TMenuItemState Outlines;  // its tag is the outline style
  TMenuItemState OutlinesNone, OutlinesPaper, OutlinesCard, OutlinesWood;
  TMenuItemState Shadows{true};
  TMenuItemState SortByShape{true};
  TMenuItemState SortByColor{true};
  TMenuItemState ShowTimer{true};
  TMenuItemState ShowNum{true};
  TMenuItemState Rotation{false};
  TMenuItemState AllowCheating{true};
  TMenuItemState RotateRight, RotateLeft;  // piece popup
  TMenuItemState SpeedSound{true};         // toolbar toggles, checked = down
  TMenuItemState SpeedMusic{true};

  // The outline sub-items in style order: None, Paper, Card, Wood.
  std::array<TMenuItemState*, 4> OutlineItems() {
    return {&OutlinesNone, &OutlinesPaper, &OutlinesCard, &OutlinesWood};
  }
  // Outlines tag := style; each sub-item checked exactly when its index is
  // the style.
  void SelectOutline(int style);
};

// The commands whose availability follows the game: enabled once the puzzle
// is being played (and, for the cheats, while cheating is allowed).
class TCommandItems {
 public:
  TMenuItemState PieceSize{false, false}, ArrangeAtEdge{false, false}, ArrangeInGrid{false, false},
      Disarrange{false, false}, Zoompicture{false, false};
  TMenuItemState SpeedSize{false, false}, SpeedEdge{false, false}, SpeedGrid{false, false},
      SpeedPicture{false, true};
  TMenuItemState NewTray{false, false};
  TMenuItemState Undo{false, false}, Redo{false, false};
  TMenuItemState HelpAboutJigItem{false, true, false};
  TMenuItemState Hint1{false, false}, Hint2{false, false}, RightWayUp1{false, false},
      RightWayUp2{false, false}, Solve1{false, false}, Solve2{false, false};
  // The piece popup's cheats, set as it opens.
  TMenuItemState ShowNeighbor{false, false}, FetchNeighbor{false, false};
  // Unlock, for a piece that has a group to leave.
  TMenuItemState Unlock{false, false};

  // The items that the playing state enables.
  std::array<TMenuItemState*, 10> PlayItems() {
    return {&PieceSize, &ArrangeAtEdge, &ArrangeInGrid, &Disarrange, &Zoompicture,
            &SpeedSize, &SpeedEdge,     &SpeedGrid,     &SpeedPicture, &NewTray};
  }
  std::array<TMenuItemState*, 6> CheatItems() {
    return {&Hint1, &Hint2, &RightWayUp1, &RightWayUp2, &Solve1, &Solve2};
  }
};

// A panel of the status line: its text and whether it shows.
class TStatusPanel : public QObject {
  Q_OBJECT

 public:
  const QString& Text() const { return text_; }
  bool Visible() const { return visible_; }
  void SetText(const QString& text) {
    if (text_ == text) return;
    text_ = text;
    emit Changed();
  }
  void SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    emit Changed();
  }

 signals:
  void Changed();

 private:
  QString text_;
  bool visible_ = false;
};

enum class TAlignment : std::uint8_t { LeftJustify = 0, RightJustify = 1, Center = 2 };

// The splash window's texts (it is shown at start and, as a new window, at
// exit), with the heights that an empty message shortens.
struct TSplashTexts {
  QString GiftLab;   // the gift message above the buttons
  QString CreatorVersion;  // of the gift's maker; empty when not known
  QString MemoText;  // the creator's message, lines separated by "\n"
  TColor MemoColor = SystemColor(COLOR_WINDOW);
  TAlignment MemoAlignment = TAlignment::LeftJustify;
  TFontSpec MemoFont{SystemColor(COLOR_WINDOWTEXT), -13, 0, 0, 0, QStringLiteral("Arial")};
  bool MemoVisible = true;
  int MemoHeight = 193;
  int ProductTop = 6;  // top of the Product label
  int PanelHeight = 408;
  int ClientHeight = 414;
};

// The auto-solve window: shown while auto-solve runs, the percentage its
// gauge shows and the speed of the slides that the user picks on it (1 to
// 10).
class TSolveProgress : public QObject {
  Q_OBJECT

 public:
  int Percent() const { return percent_; }
  void SetPercent(int percent) {
    percent_ = percent;
    emit Changed();
  }
  int Speed = 5;
  bool Running() const { return running_; }
  void SetRunning(bool running) {
    if (running_ == running) return;
    running_ = running;
    emit RunningChanged();
  }

 signals:
  void Changed();
  void RunningChanged();

 private:
  int percent_ = 0;
  bool running_ = false;
};

// The popup menus the game opens over the play area and the tray bar.
enum class TPopup { Play, Piece, Tray, TrayIcon };

class TWindowState : public QObject {
  Q_OBJECT

 public:
  TOptionMenus Menus;
  TCommandItems Commands;
  TStatusPanel SolvedStatus, TimerStatus;
  TTrayBar TrayBar;
  TSolveProgress Solve;
  TSplashTexts OpeningSplash;
  QString OrderDistrib;  // the order form's Distrib label: the gift's creator
  QByteArray MusicFile;  // the gift's MIDI file, held in memory; empty without music
  // The play area's client size in board pixels; the main window keeps it
  // current.
  int PlayAreaWidth = 0;
  int PlayAreaHeight = 0;
  // A resumed game's play area size, in board pixels: the window takes it
  // as far as its screen allows, and ignores a size no play area can have,
  // before this returns; PlayAreaWidth and PlayAreaHeight then say what the play
  // area got. Without a window the play area stays as it is.
  void RequestPlayAreaSize(int width, int height) { emit PlayAreaSizeRequested(width, height); }
  // The picture overlay window's client size; the game sets its height to
  // the picture's aspect.
  // What the right mouse button does: 0 Default, 1 Alternative.
  std::uint8_t MouseMode = 0;
  // The main window, the solve window or the picture overlay is the active
  // window; and whether this program is the active application at all.
  bool GameActive = false;
  bool ApplicationActive = false;
  int OverlayClientWidth = 160;
  int OverlayClientHeight = 95;
  void SetOverlayClientSize(int width, int height);

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  // Tells the widgets that OpeningSplash or OrderDistrib were filled in.
  void NotifyTextsChanged() { emit TextsChanged(); }
  // Opens a popup at a point of the screen once the current event is over;
  // the window tells the game when it has closed.
  void ShowPopup(TPopup popup, TPoint screenPoint) { emit PopupRequested(popup, screenPoint.X, screenPoint.Y); }
  // The puzzle is finished: the congratulations, then the whole picture,
  // each shown modally before this returns.
  void ShowCompletion() { emit CompletionShown(); }
  // The board's size or the part of it in view changed: scroll bars follow.
  void NotifyViewChanged() { emit ViewChanged(); }

 signals:
  void ColorChanged();
  void TextsChanged();
  void OverlaySizeChanged();
  void PlayAreaSizeRequested(int width, int height);
  void PopupRequested(TPopup popup, int x, int y);
  void CompletionShown();
  void ViewChanged();

 private:
  TColor color_ = clBtnFace;
};
