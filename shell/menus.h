#pragma once
// The main window's menu bar and the four popup menus that the game opens:
// every item with its caption, its status-line hint (the status tip), its
// shortcut and its state before a game is played. Each item's objectName is
// the member's name. Commands are connected by the main window; checkable
// items toggle their own check mark and radio items check themselves. The
// status tip of the highlighted item, in any of the menus, reaches the window
// as a QStatusTipEvent.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QWidget>

class TMenus : public QObject {
  Q_OBJECT

 public:
  // The menus belong to `window`; a QMainWindow installs MenuBar with
  // setMenuBar().
  explicit TMenus(QWidget* window);

  QMenuBar* MenuBar;

  // The menu bar's menus and their submenus.
  QMenu* File = nullptr;
  QMenu* Edit = nullptr;
  QMenu* View = nullptr;
  QMenu* Tools = nullptr;
  QMenu* Options = nullptr;
  QMenu* Outlines = nullptr;  // radio items; the game keeps the outline style in its own tag
  QMenu* Advanced = nullptr;
  QMenu* Cheat = nullptr;
  QMenu* Help = nullptr;

  QAction* FileOpenItem = nullptr;
  QAction* FileMakeItem = nullptr;
  QAction* FileSeparator = nullptr;
  QAction* FileExitItem = nullptr;
  QAction* Undo1 = nullptr;
  QAction* Redo1 = nullptr;

  QAction* Toolbar = nullptr;
  QAction* Statusbar = nullptr;
  QAction* N6 = nullptr;
  QAction* ZoomIn = nullptr;
  QAction* ZoomOut = nullptr;
  QAction* WholeBoard = nullptr;
  QAction* N15 = nullptr;
  QAction* Zoompicture = nullptr;

  QAction* ArrangeAtEdge = nullptr;
  QAction* ArrangeInGrid = nullptr;
  QAction* Disarrange = nullptr;
  QAction* PieceSize = nullptr;
  QAction* NewTray = nullptr;
  QAction* N1 = nullptr;
  QAction* Restart1 = nullptr;

  QAction* Picture = nullptr;
  QAction* Ghostpicture = nullptr;
  QAction* Sound = nullptr;
  QAction* Music = nullptr;
  QAction* N2 = nullptr;
  QAction* OutlinesNone = nullptr;
  QAction* OutlinesPaper = nullptr;
  QAction* OutlinesCard = nullptr;
  QAction* OutlinesWood = nullptr;
  QAction* Shadows = nullptr;
  QAction* N9 = nullptr;
  QAction* SortByShape = nullptr;
  QAction* SortByColor = nullptr;
  QAction* N4 = nullptr;
  QAction* ShowTimer = nullptr;
  QAction* ShowNum = nullptr;
  QAction* N10 = nullptr;
  QAction* Rotation = nullptr;
  QAction* N11 = nullptr;
  QAction* BackgroundColor = nullptr;
  QAction* RightMouseButton = nullptr;

  QAction* AllowCheating = nullptr;
  QAction* N5 = nullptr;
  QAction* Hint1 = nullptr;
  QAction* RightWayUp1 = nullptr;
  QAction* Solve2 = nullptr;

  QAction* HelpQuickItem = nullptr;
  QAction* N3 = nullptr;
  QAction* HelpOrderItem = nullptr;
  QAction* HelpAboutJigItem = nullptr;
  QAction* HelpAboutItem = nullptr;

  // Right click on the free board.
  QMenu* PopupPlay = nullptr;
  QAction* ArrangeAtEdge2 = nullptr;
  QAction* ArrangeInGrid2 = nullptr;
  QAction* PieceSize1 = nullptr;
  QAction* NewTray2 = nullptr;
  QAction* N21 = nullptr;
  QAction* Undo2 = nullptr;
  QAction* Redo2 = nullptr;
  QAction* N7 = nullptr;
  QAction* Hint2 = nullptr;
  QAction* Solve1 = nullptr;

  // Right click on a piece.
  QMenu* PopupPiece = nullptr;
  QAction* RotateRight = nullptr;
  QAction* RotateLeft = nullptr;
  QAction* Unlock = nullptr;
  QAction* SendToBack = nullptr;
  QAction* N8 = nullptr;
  QAction* ShowNeighbor = nullptr;
  QAction* FetchNeighbor = nullptr;
  QAction* RightWayUp2 = nullptr;

  // Right click on a tray.
  QMenu* PopupTray = nullptr;
  QAction* ArrangeAtEdgeT = nullptr;
  QAction* ArrangeInGridT = nullptr;
  QAction* DisarrangeTray = nullptr;
  QAction* PieceSize2 = nullptr;
  QAction* N14 = nullptr;
  QAction* TraySelectAll = nullptr;
  QAction* TrayToBack = nullptr;
  QAction* N18 = nullptr;
  QAction* TrayDrop = nullptr;
  QAction* TrayGrab = nullptr;
  QAction* TrayGrabEdges = nullptr;
  QAction* N12 = nullptr;
  QAction* TrayRename = nullptr;
  QMenu* TrayColor = nullptr;  // radio items, Custom2 the default
  QAction* Custom2 = nullptr;
  QAction* Matching2 = nullptr;
  QAction* Contrasting2 = nullptr;
  QAction* Default2 = nullptr;
  QAction* N13 = nullptr;
  QAction* TrayDelete = nullptr;

  // Right click on a tray's button in the tray bar.
  QMenu* PopupTrayIcon = nullptr;
  QAction* TrayRename1 = nullptr;
  QMenu* TrayColor1 = nullptr;  // radio items, Custom3 the default
  QAction* Custom3 = nullptr;
  QAction* Matching3 = nullptr;
  QAction* Contrasting3 = nullptr;
  QAction* Default3 = nullptr;
  QAction* N19 = nullptr;
  QAction* TrayDelete1 = nullptr;

 protected:
  // Passes a status tip that reached a menu on to the window.
  bool eventFilter(QObject* watched, QEvent* event) override;
};
