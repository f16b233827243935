#include "shell/menus.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QEvent>
#include <QKeySequence>
#include <optional>
#include <variant>

#include "shell/glyphs.h"

namespace {

// The state an entry starts in; an entry without Unchecked, Checked or Radio
// has no check mark.
enum TEntryFlags : unsigned {
  Disabled = 1,
  Hidden = 2,
  Unchecked = 4,  // checkable, starts unchecked
  Checked = 8,
  Radio = 16,    // checkable, exclusive among the radio entries of its menu
  Default = 32,  // the menu's default item, shown bold
  Separator = 64,
  Popup = 128,  // a menu that stands alone instead of going on the menu bar
};

using TMenuMember = QMenu* TMenus::*;
using TActionMember = QAction* TMenus::*;

struct TMenuRow {
  TMenuMember Menu;  // the menu the entry goes in; none for the menu bar's menus and the popups
  std::variant<TActionMember, TMenuMember> Entry;
  const char* Name;
  unsigned Flags = 0;
  const char* Caption = nullptr;
  const char* Hint = nullptr;  // the status-line text
  std::optional<TGlyph> Icon{};
  const char* Shortcut = nullptr;
};

// Names the member and, in the same words, the entry's objectName.
#define TG_ENTRY(member) &TMenus::member, #member

// In menu order: a menu comes before its entries.
const TMenuRow Rows[] = {
    {nullptr, TG_ENTRY(File), 0, "&File"},
    {&TMenus::File, TG_ENTRY(FileOpenItem), 0, "&Open Gift...", "Open another gift file and play it", {},
     "Ctrl+O"},
    {&TMenus::File, TG_ENTRY(FileMakeItem), 0, "&Make a Gift...",
     "Make a jigsaw gift of your own from any picture", {}, "Ctrl+N"},
    {&TMenus::File, TG_ENTRY(FileSeparator), Separator},
    {&TMenus::File, TG_ENTRY(FileExitItem), 0, "E&xit",
     "Exit this application, saving current position in jigsaw"},

    {nullptr, TG_ENTRY(Edit), 0, "&Edit"},
    {&TMenus::Edit, TG_ENTRY(Undo1), Disabled, "&Undo", "Take back the last change to the board", {}, "Ctrl+Z"},
    {&TMenus::Edit, TG_ENTRY(Redo1), Disabled, "&Redo", "Make the change taken back again", {},
     "Ctrl+Shift+Z"},

    {nullptr, TG_ENTRY(View), 0, "&View"},
    {&TMenus::View, TG_ENTRY(Toolbar), Checked, "&Toolbar", "Show the toolbar"},
    {&TMenus::View, TG_ENTRY(Statusbar), Checked, "&Status bar", "Show the status bar"},
    {&TMenus::View, TG_ENTRY(N6), Separator},
    {&TMenus::View, TG_ENTRY(ZoomIn), Disabled, "Zoom &In", "Look closer at the board", {}, "Ctrl++"},
    {&TMenus::View, TG_ENTRY(ZoomOut), Disabled, "Zoom &Out", "See more of the board", {}, "Ctrl+-"},
    {&TMenus::View, TG_ENTRY(WholeBoard), Disabled, "&Whole Board", "See the whole board again", {}, "Ctrl+0"},
    {&TMenus::View, TG_ENTRY(N15), Separator},
    {&TMenus::View, TG_ENTRY(Zoompicture), Disabled, "&Zoom picture", "Show picture full screen", {}, "F2"},

    {nullptr, TG_ENTRY(Tools), 0, "&Tools"},
    {&TMenus::Tools, TG_ENTRY(ArrangeAtEdge), Disabled, "Arrange at &Edge",
     "Arrange pieces around edge of window"},
    {&TMenus::Tools, TG_ENTRY(ArrangeInGrid), Disabled, "Arrange in &Grid",
     "Arrange pieces in a grid pattern"},
    {&TMenus::Tools, TG_ENTRY(Disarrange), Disabled, "&Disarrange", "Randomly place any loose pieces"},
    {&TMenus::Tools, TG_ENTRY(PieceSize), Disabled, "&Piece Size...", "Change the jigsaw piece size"},
    {&TMenus::Tools, TG_ENTRY(NewTray), Disabled, "New &Tray", "Make a new tray to sort pieces into"},
    {&TMenus::Tools, TG_ENTRY(N1), Separator},
    {&TMenus::Tools, TG_ENTRY(Restart1), 0, "&Restart", "Restart the puzzle from scratch"},

    {nullptr, TG_ENTRY(Options), 0, "&Options"},
    {&TMenus::Options, TG_ENTRY(Picture), Unchecked, "&Picture", "Show the picture window"},
    {&TMenus::Options, TG_ENTRY(Ghostpicture), Unchecked | Hidden, "&Ghost picture"},
    {&TMenus::Options, TG_ENTRY(Sound), Checked, "&Sound", "Turn sound effects on"},
    {&TMenus::Options, TG_ENTRY(Music), Checked, "&Music", "Turn background music on"},
    {&TMenus::Options, TG_ENTRY(N2), Separator},
    {&TMenus::Options, TG_ENTRY(Outlines), 0, "&Outlines", "Choose the piece outlines"},
    {&TMenus::Outlines, TG_ENTRY(OutlinesNone), Radio, "&None", "Pieces have no outlines"},
    {&TMenus::Outlines, TG_ENTRY(OutlinesPaper), Radio, "&Paper", "Pieces are made of paper"},
    {&TMenus::Outlines, TG_ENTRY(OutlinesCard), Radio, "&Card", "Pieces are made from card"},
    {&TMenus::Outlines, TG_ENTRY(OutlinesWood), Radio, "&Wood", "Pieces are made from chunky wood"},
    {&TMenus::Options, TG_ENTRY(Shadows), Checked, "Sha&dows", "Show 3D shadows when moving pieces"},
    {&TMenus::Options, TG_ENTRY(N9), Separator},
    {&TMenus::Options, TG_ENTRY(SortByShape), Checked, "Sort by S&hape",
     "Put edge pieces first when arranging"},
    {&TMenus::Options, TG_ENTRY(SortByColor), Checked, "Sort by &Color",
     "Put similar colors together when arranging"},
    {&TMenus::Options, TG_ENTRY(N4), Separator},
    {&TMenus::Options, TG_ENTRY(ShowTimer), Checked, "&Timer display", "Show the timer while playing"},
    {&TMenus::Options, TG_ENTRY(ShowNum), Checked, "&Number display",
     "Show number of pieces solved while playing"},
    {&TMenus::Options, TG_ENTRY(N10), Separator},
    {&TMenus::Options, TG_ENTRY(Rotation), Unchecked, "&Rotating Pieces",
     "When enabled, pieces can be turned around"},
    {&TMenus::Options, TG_ENTRY(N11), Separator},
    {&TMenus::Options, TG_ENTRY(Advanced), 0, "&Advanced"},
    {&TMenus::Advanced, TG_ENTRY(BackgroundColor), 0, "&Background Color...",
     "Change the window background color"},
    {&TMenus::Advanced, TG_ENTRY(RightMouseButton), 0, "Right Mouse Button...",
     "Change the action of the right mouse button"},

    {nullptr, TG_ENTRY(Cheat), 0, "&Cheat"},
    {&TMenus::Cheat, TG_ENTRY(AllowCheating), Checked, "Allow &Cheating", "Allow various cheat functions"},
    {&TMenus::Cheat, TG_ENTRY(N5), Separator},
    {&TMenus::Cheat, TG_ENTRY(Hint1), Disabled, "&Hint!", "Flash next two pieces to solve"},
    {&TMenus::Cheat, TG_ENTRY(RightWayUp1), Disabled, "&Right Way Up!", "Turn all pieces the right way up"},
    {&TMenus::Cheat, TG_ENTRY(Solve2), Disabled, "&Auto-Solve!", "Start solving the puzzle automatically"},

    {nullptr, TG_ENTRY(Help), 0, "&Help"},
    {&TMenus::Help, TG_ENTRY(HelpQuickItem), 0, "&Quick Help!", "Display mouse and keyboard controls"},
    {&TMenus::Help, TG_ENTRY(N3), Separator},
    {&TMenus::Help, TG_ENTRY(HelpOrderItem), 0, "&Order full-version...",
     "Order the latest full-version by mail or at our secure online mall"},
    {&TMenus::Help, TG_ENTRY(HelpAboutJigItem), Hidden, "About this &Jigsaw...",
     "Show information about this jigsaw"},
    {&TMenus::Help, TG_ENTRY(HelpAboutItem), 0, "&About...", "Show program information"},

    {nullptr, TG_ENTRY(PopupPlay), Popup},
    {&TMenus::PopupPlay, TG_ENTRY(ArrangeAtEdge2), 0, "Arrange at &Edge",
     "Arrange pieces around edge of window"},
    {&TMenus::PopupPlay, TG_ENTRY(ArrangeInGrid2), 0, "Arrange in &Grid", "Arrange pieces in a grid pattern"},
    {&TMenus::PopupPlay, TG_ENTRY(PieceSize1), 0, "&Piece Size...", "Change the jigsaw piece size"},
    {&TMenus::PopupPlay, TG_ENTRY(NewTray2), 0, "New &Tray", "Make a new tray to sort pieces into"},
    {&TMenus::PopupPlay, TG_ENTRY(N7), Separator},
    {&TMenus::PopupPlay, TG_ENTRY(Hint2), 0, "&Hint!"},
    {&TMenus::PopupPlay, TG_ENTRY(Solve1), 0, "&Auto-Solve!", "Start solving the puzzle automatically"},
    {&TMenus::PopupPlay, TG_ENTRY(N21), Separator},
    {&TMenus::PopupPlay, TG_ENTRY(Undo2), 0, "&Undo", "Take back the last change to the board"},
    {&TMenus::PopupPlay, TG_ENTRY(Redo2), 0, "&Redo", "Make the change taken back again"},

    {nullptr, TG_ENTRY(PopupPiece), Popup},
    {&TMenus::PopupPiece, TG_ENTRY(RotateRight), 0, "Rotate &Right", "Turn piece clockwise",
     TGlyph::RotateRight},
    {&TMenus::PopupPiece, TG_ENTRY(RotateLeft), 0, "Rotate &Left", "Turn piece counterclockwise",
     TGlyph::RotateLeft},
    {&TMenus::PopupPiece, TG_ENTRY(Unlock), 0, "&Unlock", "Disconnect piece from its neighbors"},
    {&TMenus::PopupPiece, TG_ENTRY(SendToBack), 0, "Send To &Back", "Put piece behind all others"},
    {&TMenus::PopupPiece, TG_ENTRY(N8), Separator},
    {&TMenus::PopupPiece, TG_ENTRY(ShowNeighbor), 0, "&Show Neighbor!", "Cheat by flashing connecting piece"},
    {&TMenus::PopupPiece, TG_ENTRY(FetchNeighbor), 0, "&Fetch Neighbor!",
     "Cheat by fetching connecting piece"},
    {&TMenus::PopupPiece, TG_ENTRY(RightWayUp2), 0, "&Right Way Up!", "Cheat by orienting piece correctly"},

    {nullptr, TG_ENTRY(PopupTray), Popup},
    {&TMenus::PopupTray, TG_ENTRY(ArrangeAtEdgeT), 0, "Arrange at &Edge",
     "Arrange pieces around edge of tray"},
    {&TMenus::PopupTray, TG_ENTRY(ArrangeInGridT), 0, "Arrange in &Grid",
     "Arrange pieces in a grid pattern in tray"},
    {&TMenus::PopupTray, TG_ENTRY(DisarrangeTray), 0, "D&isarrange Tray",
     "Randomly arrange any loose pieces in tray"},
    {&TMenus::PopupTray, TG_ENTRY(PieceSize2), 0, "&Piece size...", "Change the jigsaw piece size"},
    {&TMenus::PopupTray, TG_ENTRY(N14), Separator},
    {&TMenus::PopupTray, TG_ENTRY(TraySelectAll), 0, "Se&lect all pieces",
     "Select all pieces in tray, ready for moving"},
    {&TMenus::PopupTray, TG_ENTRY(TrayToBack), 0, "&Send Tray to Back", "Place tray behind all other trays"},
    {&TMenus::PopupTray, TG_ENTRY(N18), Separator},
    {&TMenus::PopupTray, TG_ENTRY(TrayDrop), 0, "D&rop all pieces",
     "Drop all pieces to background and minimize tray"},
    {&TMenus::PopupTray, TG_ENTRY(TrayGrab), 0, "G&et loose pieces",
     "Get all loose pieces from background board"},
    {&TMenus::PopupTray, TG_ENTRY(TrayGrabEdges), 0, "Get loose &edge pieces",
     "Get all loose pieces with a straight edge from background board"},
    {&TMenus::PopupTray, TG_ENTRY(N12), Separator},
    {&TMenus::PopupTray, TG_ENTRY(TrayRename), 0, "&Tray Description...", "Enter or modify tray description"},
    {&TMenus::PopupTray, TG_ENTRY(TrayColor), 0, "Tray &Color", "Change background color of tray"},
    {&TMenus::TrayColor, TG_ENTRY(Custom2), Radio | Checked | Default, "Custom...",
     "Choose a new background color"},
    {&TMenus::TrayColor, TG_ENTRY(Matching2), Radio, "Matching",
     "Make the background color match the overall jigsaw color"},
    {&TMenus::TrayColor, TG_ENTRY(Contrasting2), Radio, "Contrasting",
     "Make the background color contrast with the jigsaw"},
    {&TMenus::TrayColor, TG_ENTRY(Default2), Radio, "Default", "Get the jigsaw's default background color"},
    {&TMenus::PopupTray, TG_ENTRY(N13), Separator},
    {&TMenus::PopupTray, TG_ENTRY(TrayDelete), 0, "&Delete Tray!",
     "Delete tray and drop any contained pieces"},

    {nullptr, TG_ENTRY(PopupTrayIcon), Popup},
    {&TMenus::PopupTrayIcon, TG_ENTRY(TrayRename1), 0, "&Tray description..."},
    {&TMenus::PopupTrayIcon, TG_ENTRY(TrayColor1), 0, "Tray &color"},
    {&TMenus::TrayColor1, TG_ENTRY(Custom3), Radio | Checked | Default, "Custom...",
     "Choose a new background color"},
    {&TMenus::TrayColor1, TG_ENTRY(Matching3), Radio, "Matching",
     "Make the background color match the overall jigsaw color"},
    {&TMenus::TrayColor1, TG_ENTRY(Contrasting3), Radio, "Contrasting",
     "Make the background color contrast with the jigsaw"},
    {&TMenus::TrayColor1, TG_ENTRY(Default3), Radio, "Default", "Get the jigsaw's default background color"},
    {&TMenus::PopupTrayIcon, TG_ENTRY(N19), Separator},
    {&TMenus::PopupTrayIcon, TG_ENTRY(TrayDelete1), 0, "&Delete tray!"},
};

#undef TG_ENTRY

// Creates the row's menu or item in its place and stores it in its member.
void AddEntry(TMenus& menus, const TMenuRow& row, QWidget* window) {
  QMenu* into = row.Menu ? menus.*row.Menu : nullptr;
  const QString caption = QString::fromUtf8(row.Caption);
  QAction* action;
  if (const TMenuMember* member = std::get_if<TMenuMember>(&row.Entry)) {
    QMenu* menu = into                  ? into->addMenu(caption)
                  : (row.Flags & Popup) ? new QMenu(window)
                                        : menus.MenuBar->addMenu(caption);
    menu->setObjectName(QString::fromUtf8(row.Name));
    // A popup is a window of its own, where the status tips of its items
    // would stop; the filter passes them on to the window.
    menu->installEventFilter(&menus);
    menus.*(*member) = menu;
    action = menu->menuAction();
  } else {
    action = (row.Flags & Separator) ? into->addSeparator() : into->addAction(caption);
    menus.*std::get<TActionMember>(row.Entry) = action;
  }
  action->setObjectName(QString::fromUtf8(row.Name));
  if (row.Hint) action->setStatusTip(QString::fromUtf8(row.Hint));
  if (row.Icon) action->setIcon(GlyphIcon(*row.Icon));
  if (row.Shortcut) action->setShortcut(QKeySequence(QString::fromUtf8(row.Shortcut)));
  action->setEnabled(!(row.Flags & Disabled));
  action->setVisible(!(row.Flags & Hidden));
  action->setCheckable(row.Flags & (Unchecked | Checked | Radio));
  action->setChecked(row.Flags & Checked);
  if (row.Flags & Radio) {
    auto* group = into->findChild<QActionGroup*>(QString(), Qt::FindDirectChildrenOnly);
    if (!group) group = new QActionGroup(into);
    group->addAction(action);
  }
  if (row.Flags & Default) into->setDefaultAction(action);
}

}  // namespace

TMenus::TMenus(QWidget* window) : QObject(window), MenuBar(new QMenuBar(window)) {
  for (const TMenuRow& row : Rows) AddEntry(*this, row, window);
}

bool TMenus::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::StatusTip || !qobject_cast<QMenu*>(watched)) return false;
  QCoreApplication::sendEvent(parent(), event);
  return true;
}
