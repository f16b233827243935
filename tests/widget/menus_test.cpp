// The menus, the toolbar and the drawn pictures of the main window. The
// expected captions, hints and start states are written out below entry by
// entry, as the user sees them.

#include "shell/menus.h"

#include <gtest/gtest.h>

#include <QActionGroup>
#include <QEvent>
#include <QImage>
#include <QMainWindow>
#include <QStatusTipEvent>
#include <QStringList>
#include <cstdlib>
#include <ostream>
#include <set>
#include <vector>

#include "shell/glyphs.h"
#include "shell/speedbar.h"

// Readable failure messages.
void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

// An entry as the user sees it. State words, in this order: separator,
// submenu, radio, checked or unchecked (checkable), default, disabled, hidden.
struct TExpectedEntry {
  const char* Name;
  const char* Caption = "";
  const char* Hint = "";
  const char* State = "";
};

QString StateOf(const QMenu* menu, const QAction* action) {
  QStringList words;
  if (action->isSeparator()) words << "separator";
  if (action->menu()) words << "submenu";
  if (action->actionGroup() && action->actionGroup()->isExclusive()) words << "radio";
  if (action->isCheckable()) words << (action->isChecked() ? "checked" : "unchecked");
  if (menu->defaultAction() == action) words << "default";
  // Qt disables what it hides; whether a hidden item is enabled shows once
  // it is shown.
  if (!action->isEnabled() && action->isVisible()) words << "disabled";
  if (!action->isVisible()) words << "hidden";
  return words.join(u' ');
}

void ExpectEntries(const QMenu* menu, const char* menuName, const std::vector<TExpectedEntry>& expected) {
  ASSERT_NE(menu, nullptr) << menuName;
  EXPECT_EQ(menu->objectName(), menuName);
  const QList<QAction*> actions = menu->actions();
  ASSERT_EQ(actions.size(), qsizetype(expected.size())) << menuName;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(testing::Message() << menuName << " entry " << i << " " << expected[i].Name);
    const QAction* action = actions[qsizetype(i)];
    EXPECT_EQ(action->objectName(), expected[i].Name);
    EXPECT_EQ(action->text(), expected[i].Caption);
    EXPECT_EQ(action->statusTip(), expected[i].Hint);
    EXPECT_EQ(StateOf(menu, action), expected[i].State);
  }
}

// Records the status tips that reach the window.
class TStatusTips : public QObject {
 public:
  explicit TStatusTips(QWidget* window) { window->installEventFilter(this); }
  QStringList Tips;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::StatusTip) Tips << static_cast<QStatusTipEvent*>(event)->tip();
    return false;
  }
};

class MenusTest : public testing::Test {
 protected:
  QMainWindow Window;
  TMenus* Menus = new TMenus(&Window);
};

}  // namespace

TEST_F(MenusTest, MenuBarHoldsTheSevenMenusInOrder) {
  QStringList names, captions;
  for (const QAction* action : Menus->MenuBar->actions()) {
    names << action->menu()->objectName();
    captions << action->text();
  }
  EXPECT_EQ(names, QStringList({"File", "Edit", "View", "Tools", "Options", "Cheat", "Help"}));
  EXPECT_EQ(captions, QStringList({"&File", "&Edit", "&View", "&Tools", "&Options", "&Cheat", "&Help"}));
}

TEST_F(MenusTest, FileViewAndToolsMenus) {
  ExpectEntries(Menus->File, "File",
                {{"FileOpenItem", "&Open Gift...", "Open another gift file and play it"},
                 {"FileMakeItem", "&Make a Gift...", "Make a jigsaw gift of your own from any picture"},
                 {"FileSeparator", "", "", "separator"},
                 {"FileExitItem", "E&xit", "Exit this application, saving current position in jigsaw"}});
  ExpectEntries(Menus->Edit, "Edit",
                {{"Undo1", "&Undo", "Take back the last change to the board", "disabled"},
                 {"Redo1", "&Redo", "Make the change taken back again", "disabled"}});
  ExpectEntries(Menus->View, "View",
                {{"Toolbar", "&Toolbar", "Show the toolbar", "checked"},
                 {"Statusbar", "&Status bar", "Show the status bar", "checked"},
                 {"N6", "", "", "separator"},
                 {"ZoomIn", "Zoom &In", "Look closer at the board", "disabled"},
                 {"ZoomOut", "Zoom &Out", "See more of the board", "disabled"},
                 {"WholeBoard", "&Whole Board", "See the whole board again", "disabled"},
                 {"N15", "", "", "separator"},
                 {"Zoompicture", "&Zoom picture", "Show picture full screen", "disabled"}});
  ExpectEntries(Menus->Tools, "Tools",
                {{"ArrangeAtEdge", "Arrange at &Edge", "Arrange pieces around edge of window", "disabled"},
                 {"ArrangeInGrid", "Arrange in &Grid", "Arrange pieces in a grid pattern", "disabled"},
                 {"Disarrange", "&Disarrange", "Randomly place any loose pieces", "disabled"},
                 {"PieceSize", "&Piece Size...", "Change the jigsaw piece size", "disabled"},
                 {"NewTray", "New &Tray", "Make a new tray to sort pieces into", "disabled"},
                 {"N1", "", "", "separator"},
                 {"Restart1", "&Restart", "Restart the puzzle from scratch"}});
}

TEST_F(MenusTest, OptionsMenuWithItsSubmenus) {
  ExpectEntries(Menus->Options, "Options",
                {{"Picture", "&Picture", "Show the picture window", "unchecked"},
                 {"Ghostpicture", "&Ghost picture", "", "unchecked hidden"},
                 {"Sound", "&Sound", "Turn sound effects on", "checked"},
                 {"Music", "&Music", "Turn background music on", "checked"},
                 {"N2", "", "", "separator"},
                 {"Outlines", "&Outlines", "Choose the piece outlines", "submenu"},
                 {"Shadows", "Sha&dows", "Show 3D shadows when moving pieces", "checked"},
                 {"N9", "", "", "separator"},
                 {"SortByShape", "Sort by S&hape", "Put edge pieces first when arranging", "checked"},
                 {"SortByColor", "Sort by &Color", "Put similar colors together when arranging", "checked"},
                 {"N4", "", "", "separator"},
                 {"ShowTimer", "&Timer display", "Show the timer while playing", "checked"},
                 {"ShowNum", "&Number display", "Show number of pieces solved while playing", "checked"},
                 {"N10", "", "", "separator"},
                 {"Rotation", "&Rotating Pieces", "When enabled, pieces can be turned around", "unchecked"},
                 {"N11", "", "", "separator"},
                 {"Advanced", "&Advanced", "", "submenu"}});
  ExpectEntries(Menus->Outlines, "Outlines",
                {{"OutlinesNone", "&None", "Pieces have no outlines", "radio unchecked"},
                 {"OutlinesPaper", "&Paper", "Pieces are made of paper", "radio unchecked"},
                 {"OutlinesCard", "&Card", "Pieces are made from card", "radio unchecked"},
                 {"OutlinesWood", "&Wood", "Pieces are made from chunky wood", "radio unchecked"}});
  ExpectEntries(
      Menus->Advanced, "Advanced",
      {{"BackgroundColor", "&Background Color...", "Change the window background color"},
       {"RightMouseButton", "Right Mouse Button...", "Change the action of the right mouse button"}});
}

TEST_F(MenusTest, CheatAndHelpMenus) {
  ExpectEntries(Menus->Cheat, "Cheat",
                {{"AllowCheating", "Allow &Cheating", "Allow various cheat functions", "checked"},
                 {"N5", "", "", "separator"},
                 {"Hint1", "&Hint!", "Flash next two pieces to solve", "disabled"},
                 {"RightWayUp1", "&Right Way Up!", "Turn all pieces the right way up", "disabled"},
                 {"Solve2", "&Auto-Solve!", "Start solving the puzzle automatically", "disabled"}});
  ExpectEntries(
      Menus->Help, "Help",
      {{"HelpQuickItem", "&Quick Help!", "Display mouse and keyboard controls"},
       {"N3", "", "", "separator"},
       {"HelpOrderItem", "&Order full-version...",
        "Order the latest full-version by mail or at our secure online mall"},
       {"HelpAboutJigItem", "About this &Jigsaw...", "Show information about this jigsaw", "hidden"},
       {"HelpAboutItem", "&About...", "Show program information"}});
}

TEST_F(MenusTest, BoardAndPiecePopups) {
  ExpectEntries(Menus->PopupPlay, "PopupPlay",
                {{"ArrangeAtEdge2", "Arrange at &Edge", "Arrange pieces around edge of window"},
                 {"ArrangeInGrid2", "Arrange in &Grid", "Arrange pieces in a grid pattern"},
                 {"PieceSize1", "&Piece Size...", "Change the jigsaw piece size"},
                 {"NewTray2", "New &Tray", "Make a new tray to sort pieces into"},
                 {"N7", "", "", "separator"},
                 {"Hint2", "&Hint!"},
                 {"Solve1", "&Auto-Solve!", "Start solving the puzzle automatically"},
                 {"N21", "", "", "separator"},
                 {"Undo2", "&Undo", "Take back the last change to the board"},
                 {"Redo2", "&Redo", "Make the change taken back again"}});
  ExpectEntries(Menus->PopupPiece, "PopupPiece",
                {{"RotateRight", "Rotate &Right", "Turn piece clockwise"},
                 {"RotateLeft", "Rotate &Left", "Turn piece counterclockwise"},
                 {"Unlock", "&Unlock", "Disconnect piece from its neighbors"},
                 {"SendToBack", "Send To &Back", "Put piece behind all others"},
                 {"N8", "", "", "separator"},
                 {"ShowNeighbor", "&Show Neighbor!", "Cheat by flashing connecting piece"},
                 {"FetchNeighbor", "&Fetch Neighbor!", "Cheat by fetching connecting piece"},
                 {"RightWayUp2", "&Right Way Up!", "Cheat by orienting piece correctly"}});
}

TEST_F(MenusTest, TrayPopups) {
  ExpectEntries(Menus->PopupTray, "PopupTray",
                {{"ArrangeAtEdgeT", "Arrange at &Edge", "Arrange pieces around edge of tray"},
                 {"ArrangeInGridT", "Arrange in &Grid", "Arrange pieces in a grid pattern in tray"},
                 {"DisarrangeTray", "D&isarrange Tray", "Randomly arrange any loose pieces in tray"},
                 {"PieceSize2", "&Piece size...", "Change the jigsaw piece size"},
                 {"N14", "", "", "separator"},
                 {"TraySelectAll", "Se&lect all pieces", "Select all pieces in tray, ready for moving"},
                 {"TrayToBack", "&Send Tray to Back", "Place tray behind all other trays"},
                 {"N18", "", "", "separator"},
                 {"TrayDrop", "D&rop all pieces", "Drop all pieces to background and minimize tray"},
                 {"TrayGrab", "G&et loose pieces", "Get all loose pieces from background board"},
                 {"TrayGrabEdges", "Get loose &edge pieces",
                  "Get all loose pieces with a straight edge from background board"},
                 {"N12", "", "", "separator"},
                 {"TrayRename", "&Tray Description...", "Enter or modify tray description"},
                 {"TrayColor", "Tray &Color", "Change background color of tray", "submenu"},
                 {"N13", "", "", "separator"},
                 {"TrayDelete", "&Delete Tray!", "Delete tray and drop any contained pieces"}});
  ExpectEntries(Menus->TrayColor, "TrayColor",
                {{"Custom2", "Custom...", "Choose a new background color", "radio checked default"},
                 {"Matching2", "Matching", "Make the background color match the overall jigsaw color",
                  "radio unchecked"},
                 {"Contrasting2", "Contrasting", "Make the background color contrast with the jigsaw",
                  "radio unchecked"},
                 {"Default2", "Default", "Get the jigsaw's default background color", "radio unchecked"}});
  ExpectEntries(Menus->PopupTrayIcon, "PopupTrayIcon",
                {{"TrayRename1", "&Tray description..."},
                 {"TrayColor1", "Tray &color", "", "submenu"},
                 {"N19", "", "", "separator"},
                 {"TrayDelete1", "&Delete tray!"}});
  ExpectEntries(Menus->TrayColor1, "TrayColor1",
                {{"Custom3", "Custom...", "Choose a new background color", "radio checked default"},
                 {"Matching3", "Matching", "Make the background color match the overall jigsaw color",
                  "radio unchecked"},
                 {"Contrasting3", "Contrasting", "Make the background color contrast with the jigsaw",
                  "radio unchecked"},
                 {"Default3", "Default", "Get the jigsaw's default background color", "radio unchecked"}});
}

TEST_F(MenusTest, MembersAreTheNamedEntriesAndPopupsStayOffTheMenuBar) {
  EXPECT_EQ(Menus->Toolbar, Window.findChild<QAction*>("Toolbar"));
  EXPECT_EQ(Menus->Custom3, Window.findChild<QAction*>("Custom3"));
  EXPECT_EQ(Menus->N19, Window.findChild<QAction*>("N19"));
  EXPECT_EQ(Menus->TrayColor1, Window.findChild<QMenu*>("TrayColor1"));
  for (QMenu* popup : {Menus->PopupPlay, Menus->PopupPiece, Menus->PopupTray, Menus->PopupTrayIcon}) {
    EXPECT_EQ(popup->parentWidget(), &Window) << popup->objectName().toStdString();
    EXPECT_FALSE(Menus->MenuBar->actions().contains(popup->menuAction()))
        << popup->objectName().toStdString();
  }
}

TEST_F(MenusTest, OnlyZoomPictureUndoAndTheZoomsHaveShortcuts) {
  EXPECT_EQ(Menus->Zoompicture->shortcut(), QKeySequence(Qt::Key_F2));
  EXPECT_EQ(Menus->ZoomIn->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Plus));
  EXPECT_EQ(Menus->ZoomOut->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Minus));
  EXPECT_EQ(Menus->WholeBoard->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_0));
  EXPECT_EQ(Menus->Undo1->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
  EXPECT_EQ(Menus->Redo1->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
  EXPECT_EQ(Menus->FileOpenItem->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
  EXPECT_EQ(Menus->FileMakeItem->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
  for (const QAction* action : Window.findChildren<QAction*>()) {
    if (action == Menus->Zoompicture || action == Menus->ZoomIn || action == Menus->ZoomOut ||
        action == Menus->WholeBoard || action == Menus->Undo1 || action == Menus->Redo1 ||
        action == Menus->FileOpenItem || action == Menus->FileMakeItem)
      continue;
    EXPECT_TRUE(action->shortcut().isEmpty()) << action->objectName().toStdString();
  }
}

TEST_F(MenusTest, HiddenItemsAreEnabledOnceShown) {
  Menus->HelpAboutJigItem->setVisible(true);
  EXPECT_TRUE(Menus->HelpAboutJigItem->isEnabled());
  Menus->Ghostpicture->setVisible(true);
  EXPECT_TRUE(Menus->Ghostpicture->isEnabled());
}

TEST_F(MenusTest, OutlineItemsAreOneExclusiveGroup) {
  Menus->OutlinesPaper->trigger();
  EXPECT_TRUE(Menus->OutlinesPaper->isChecked());
  Menus->OutlinesCard->trigger();
  EXPECT_TRUE(Menus->OutlinesCard->isChecked());
  EXPECT_FALSE(Menus->OutlinesPaper->isChecked());
  EXPECT_FALSE(Menus->OutlinesNone->isChecked());
  EXPECT_FALSE(Menus->OutlinesWood->isChecked());
  Menus->OutlinesCard->trigger();
  EXPECT_TRUE(Menus->OutlinesCard->isChecked()) << "choosing the checked style again keeps it";
}

TEST_F(MenusTest, EachTrayColourSubmenuIsAGroupOfItsOwn) {
  Menus->Matching2->trigger();
  EXPECT_TRUE(Menus->Matching2->isChecked());
  EXPECT_FALSE(Menus->Custom2->isChecked());
  EXPECT_TRUE(Menus->Custom3->isChecked());
  EXPECT_FALSE(Menus->Matching3->isChecked());
  EXPECT_NE(Menus->Custom2->actionGroup(), Menus->OutlinesNone->actionGroup());
}

TEST_F(MenusTest, CheckableItemsToggleThemselves) {
  Menus->Sound->trigger();
  EXPECT_FALSE(Menus->Sound->isChecked());
  Menus->Picture->trigger();
  EXPECT_TRUE(Menus->Picture->isChecked());
}

TEST_F(MenusTest, RotateItemsCarryTheirArrows) {
  EXPECT_FALSE(Menus->RotateRight->icon().isNull());
  EXPECT_FALSE(Menus->RotateLeft->icon().isNull());
  EXPECT_TRUE(Menus->Unlock->icon().isNull());
}

TEST_F(MenusTest, HighlightedItemsShowTheirHintAtTheWindow) {
  TStatusTips tips(&Window);
  Menus->View->setActiveAction(Menus->Toolbar);
  Menus->PopupTray->setActiveAction(Menus->TrayRename);
  Menus->PopupTray->setActiveAction(Menus->TrayColor->menuAction());
  Menus->PopupPlay->setActiveAction(Menus->Solve1);
  EXPECT_EQ(tips.Tips,
            QStringList({"Show the toolbar", "Enter or modify tray description",
                         "Change background color of tray", "Start solving the puzzle automatically"}));
}

TEST(SpeedBar, ButtonsStandInTheirPlacesWithTheirHints) {
  struct TExpectedButton {
    const char* Name;
    int Left;
    const char* ToolTip;
    const char* StatusTip;
    bool Enabled;
    bool Toggle;
  };
  const TExpectedButton expected[] = {
      {"SpeedPicture", 8, "Picture", "Toggle the picture overlay", true, false},
      {"SpeedSize", 38, "Piece size", "Change the size of pieces", false, false},
      {"SpeedEdge", 68, "Arrange at edge", "Arrange pieces around edge", false, false},
      {"SpeedGrid", 98, "Arrange in grid", "Arrange pieces in a grid", false, false},
      {"SpeedSound", 138, "Sound", "Turn sound effects on/off", true, true},
      {"SpeedMusic", 168, "Music", "Turn background music on/off", true, true},
      {"SpeedUndo", 208, "Undo (Ctrl+Z)", "Take back the last change to the board", false, false},
      {"SpeedRedo", 238, "Redo (Ctrl+Y)", "Make the change taken back again", false, false},
      {"SpeedHelp", 278, "Quick Help", "Display mouse and keyboard controls", true, false},
  };
  TSpeedBar bar;
  bar.resize(603, bar.height());
  EXPECT_EQ(bar.height(), 41);
  const QList<QToolButton*> buttons = bar.findChildren<QToolButton*>();
  ASSERT_EQ(buttons.size(), qsizetype(std::size(expected)));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const TExpectedButton& want = expected[i];
    SCOPED_TRACE(want.Name);
    const QToolButton* button = bar.findChild<QToolButton*>(want.Name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->geometry(), QRect(want.Left, 5, 31, 31));
    EXPECT_EQ(button->toolTip(), want.ToolTip);
    EXPECT_EQ(button->statusTip(), want.StatusTip);
    EXPECT_EQ(button->isEnabled(), want.Enabled);
    EXPECT_EQ(button->isCheckable(), want.Toggle);
    EXPECT_EQ(button->isChecked(), want.Toggle) << "the toggles start down";
    EXPECT_TRUE(button->autoRaise());
    EXPECT_FALSE(button->icon().isNull());
  }
  EXPECT_EQ(bar.SpeedSound, bar.findChild<QToolButton*>("SpeedSound"));
  EXPECT_EQ(bar.SpeedHelp, bar.findChild<QToolButton*>("SpeedHelp"));
}

TEST(SpeedBar, TogglesMayAllBeUp) {
  TSpeedBar bar;
  bar.SpeedSound->click();
  bar.SpeedMusic->click();
  EXPECT_FALSE(bar.SpeedSound->isChecked());
  EXPECT_FALSE(bar.SpeedMusic->isChecked());
  bar.SpeedSound->click();
  EXPECT_TRUE(bar.SpeedSound->isChecked());
  EXPECT_FALSE(bar.SpeedMusic->isChecked()) << "the toggles are independent";
}

namespace {

std::set<QRgb> OpaqueColours(const QImage& image) {
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) == 255) colours.insert(image.pixel(x, y));
  return colours;
}

}  // namespace

TEST(Glyphs, EveryGlyphIsADrawingOfSeveralColoursAtItsSize) {
  const std::vector<std::pair<TGlyph, int>> glyphs = {
      {TGlyph::Picture, 24},       {TGlyph::PieceSize, 24},   {TGlyph::ArrangeAtEdge, 24},
      {TGlyph::ArrangeInGrid, 24}, {TGlyph::Sound, 24},       {TGlyph::Music, 24},
      {TGlyph::QuickHelp, 24},     {TGlyph::RotateRight, 16}, {TGlyph::RotateLeft, 16},
      {TGlyph::BoxEmpty, 16},      {TGlyph::BoxFull, 16},     {TGlyph::Play, 32},
      {TGlyph::Order, 32},         {TGlyph::Web, 32},         {TGlyph::Close, 32}};
  std::set<QByteArray> distinct;
  for (const auto& [glyph, size] : glyphs) {
    SCOPED_TRACE(int(glyph));
    const QImage image = DrawGlyph(glyph).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(size, size));
    EXPECT_GE(OpaqueColours(image).size(), 3u);
    EXPECT_EQ(qAlpha(image.pixel(0, size - 1)) < 255 || qAlpha(image.pixel(size - 1, 0)) < 255, true)
        << "some of the background stays transparent";
    distinct.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    EXPECT_EQ(DrawGlyph(glyph, 2 * size).size(), QSize(2 * size, 2 * size));
  }
  EXPECT_EQ(distinct.size(), glyphs.size()) << "no two glyphs are the same picture";
}

// How much of the two pictures' coverage differs, summed over the pixels.
int CoverageDifference(const QImage& a, const QImage& b) {
  int sum = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) sum += std::abs(qAlpha(a.pixel(x, y)) - qAlpha(b.pixel(x, y)));
  return sum;
}

TEST(Glyphs, RotateLeftIsTheMirrorOfRotateRight) {
  const QImage right = DrawGlyph(TGlyph::RotateRight).toImage().convertToFormat(QImage::Format_ARGB32);
  const QImage left = DrawGlyph(TGlyph::RotateLeft).toImage().convertToFormat(QImage::Format_ARGB32);
  // Antialiasing may round an edge pixel differently on the mirrored side.
  EXPECT_LT(10 * CoverageDifference(left, right.mirrored(true, false)), CoverageDifference(left, right));
}

TEST(Glyphs, FullBoxShowsMoreColoursThanTheEmptyOne) {
  const QImage empty = DrawGlyph(TGlyph::BoxEmpty).toImage().convertToFormat(QImage::Format_ARGB32);
  const QImage full = DrawGlyph(TGlyph::BoxFull).toImage().convertToFormat(QImage::Format_ARGB32);
  auto hasBlue = [](const QImage& image) {
    for (QRgb colour : OpaqueColours(image))
      if (qBlue(colour) > qRed(colour) + 60) return true;
    return false;
  };
  EXPECT_FALSE(hasBlue(empty));
  EXPECT_TRUE(hasBlue(full));
}

TEST(Glyphs, WindowIconHasEverySizeDrawn) {
  const QIcon icon = WindowIcon();
  const QList<QSize> sizes = icon.availableSizes();
  for (int size : {16, 32, 48, 64, 128}) {
    SCOPED_TRACE(size);
    EXPECT_TRUE(sizes.contains(QSize(size, size)));
    const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(size, size));
    EXPECT_GE(OpaqueColours(image).size(), 2u);
    const QRgb middle = image.pixel(size / 2, size / 2);
    EXPECT_EQ(qAlpha(middle), 255);
    EXPECT_GT(qRed(middle), qBlue(middle) + 60) << "a warm colour";
  }
}

TEST(Glyphs, PieceOutlineHasItsTabsOutsideAndBlanksInside) {
  const QRectF body(0, 0, 100, 100);
  const QPainterPath piece =
      JigsawPiecePath(body, {TPieceSide::Tab, TPieceSide::Flat, TPieceSide::Blank, TPieceSide::Flat});
  EXPECT_TRUE(piece.contains(QPointF(50, 50)));
  EXPECT_TRUE(piece.contains(QPointF(50, -20))) << "the tab on top";
  EXPECT_FALSE(piece.contains(QPointF(50, 80))) << "the blank at the bottom";
  EXPECT_TRUE(piece.contains(QPointF(10, 95))) << "beside the blank the body is whole";
  const QRectF bounds = piece.boundingRect();
  EXPECT_NEAR(bounds.top(), -30, 0.5);
  EXPECT_NEAR(bounds.bottom(), 100, 0.5);
  EXPECT_NEAR(bounds.left(), 0, 0.5);
  EXPECT_NEAR(bounds.right(), 100, 0.5);
}

TEST(Glyphs, NeighbouringPiecesFitTogetherWithoutGapOrOverlap) {
  // A tab on the right side of one piece against a blank on the left side of
  // the next: every point of the two squares lies in exactly one piece.
  const QPainterPath left = JigsawPiecePath(
      {0, 0, 40, 40}, {TPieceSide::Flat, TPieceSide::Tab, TPieceSide::Flat, TPieceSide::Flat});
  const QPainterPath right = JigsawPiecePath(
      {40, 0, 40, 40}, {TPieceSide::Flat, TPieceSide::Flat, TPieceSide::Flat, TPieceSide::Blank});
  int outside = 0;
  int both = 0;
  for (double y = 0.37; y < 40; y += 0.71)
    for (double x = 0.29; x < 80; x += 0.67) {
      const bool inLeft = left.contains(QPointF(x, y));
      const bool inRight = right.contains(QPointF(x, y));
      outside += !inLeft && !inRight;
      both += inLeft && inRight;
    }
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(both, 0);
  EXPECT_TRUE(left.contains(QPointF(50, 20))) << "the tab reaches into the next square";
}
