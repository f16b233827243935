#include "shell/mainform.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusTipEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <new>

#include "game/progress.h"
#include "game/savedgame.h"
#include "platform/colors.h"
#include "platform/errors.h"
#include "platform/hourglass.h"
#include "platform/messagebox.h"
#include "shell/aboutbox.h"
#include "shell/aboutjigdlg.h"
#include "shell/congratsdlg.h"
#include "shell/flattenbuttons.h"
#include "shell/fonts.h"
#include "shell/giftopening.h"
#include "shell/glyphs.h"
#include "shell/giftmakerdlg.h"
#include "shell/menus.h"
#include "shell/modal.h"
#include "shell/mousedlg.h"
#include "shell/piecesizedlg.h"
#include "shell/playarea.h"
#include "shell/quickhelpdlg.h"
#include "shell/solvedlg.h"
#include "shell/speedbar.h"
#include "shell/splashform.h"
#include "shell/startup.h"
#include "shell/traybarview.h"
#include "shell/zoomform.h"
#include "shell/zoompan.h"

namespace {

constexpr int StartInterval = 100;  // ms until the first tick builds the puzzle
constexpr int ClockInterval = 1000;

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  const auto flag = [](bool held, TShiftFlag flag) { return held ? TShiftState(flag) : TShiftState(0); };
  return flag(modifiers & Qt::ShiftModifier, ssShift) | flag(modifiers & Qt::AltModifier, ssAlt) |
         flag(modifiers & Qt::ControlModifier, ssCtrl) | flag(buttons & Qt::LeftButton, ssLeft) |
         flag(buttons & Qt::RightButton, ssRight) | flag(buttons & Qt::MiddleButton, ssMiddle);
}

QLabel* StatusPanel(QWidget* parent, const QString& name, int width, const QString& hint) {
  auto* panel = new QLabel(parent);
  panel->setObjectName(name);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setMinimumWidth(width);
  panel->setAlignment(Qt::AlignCenter);
  panel->setStatusTip(hint.section(QLatin1Char('|'), 1));
  panel->hide();
  return panel;
}

}  // namespace

TMainForm::TMainForm(std::function<QString()> exePath, QWidget* parent)
    : QMainWindow(parent),
      Menus(new TMenus(this)),
      SpeedBar(new TSpeedBar(this)),
      PaintBox1(new TPlayArea(this)),
      BoxBar(new TTrayBarView(
          Window.TrayBar, [this](const std::function<void()>& click) { Guarded(click); }, this)),
      StatusLine(new QWidget(this)),
      SolvedStatus(StatusPanel(StatusLine, QStringLiteral("SolvedStatus"), 128,
                               QStringLiteral("|Number of pieces solved out of total"))),
      TimerStatus(StatusPanel(StatusLine, QStringLiteral("TimerStatus"), 46,
                              QStringLiteral("|Time in hours and minutes since jigsaw started"))),
      Timer1(new QTimer(this)),
      MouseDlg(new TMouseDlg(this)),
      OverlayForm(new TOverlayForm(Window, *this, this)),
      SolveDlg(new TSolveDlg(this)),
      PieceSizeDlg(new TPieceSizeDlg(*this, this)),
      exePath_(std::move(exePath)),
      statusText_(new QLabel(StatusLine)) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("Tessarine Gift"));
  setWindowIcon(WindowIcon());
  setFont(DesignFont(QStringLiteral("Arial"), -15, true));
  BuildLayout();
  SetLeastSize();
  OpenToFitTheScreen();
  SetStatusLine(this);

  Timer1->setInterval(StartInterval);
  connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
  PaintBox1->SetPainter([this] { PaintPlayArea(); });
  connect(PaintBox1, &TPlayArea::Resized, this, &TMainForm::PlayAreaResized);
  ForwardMouse();
  ZoomPan = new TZoomPan(
      *PaintBox1, [this] { return BoardLive() ? Game.get() : nullptr; },
      [this](const std::function<void()>& call, TJigsaw::TCommandKind kind) { Guarded(call, kind); });
  connect(&Window, &TWindowState::ViewChanged, ZoomPan, &TZoomPan::FollowView);
  connect(&Window.Solve, &TSolveProgress::RunningChanged, ZoomPan, &TZoomPan::FollowView);

  Game = std::make_unique<TJigsaw>(Window, Records, *PaintBox1, exePath_);
  SplashForm = std::make_unique<TSplashForm>(this);
  connect(&Window, &TWindowState::TextsChanged, this, [this] {
    if (SplashForm) SplashForm->ShowTexts(Window.OpeningSplash);
  });
  connect(&Window, &TWindowState::ColorChanged, this, &TMainForm::ApplyWindowColor);
  connect(&Window, &TWindowState::PlayAreaSizeRequested, this, &TMainForm::TakePlayAreaSize);
  connect(&Window, &TWindowState::CompletionShown, this, [this] {
    TCongratsDlg congratulations(Game->CompletionText(), this);
    ShowModal(congratulations);
    ZoompictureClick();
  });
  Sound.LoadSounds();
  SetSoundEffects(&Sound);
  // The tune played to its end starts again.
  connect(&MediaPlayer1, &TMusicPlayer::Completed, this,
          [this] { Guarded([this] { StartMusic(); }, TJigsaw::TCommandKind::View); });
  connect(OverlayForm, &TOverlayForm::Closed, this, [this] { Window.Menus.Picture.SetChecked(false); });
  BindSolveWindow();
  BindStates();
  BindCommands();
  BindTrayCommands();
}

void TMainForm::BindSolveWindow() {
  // The window shows while auto-solve runs; hiding it when auto-solve ends
  // does not count as the user's Stop.
  connect(&Window.Solve, &TSolveProgress::RunningChanged, SolveDlg, [this] {
    if (!Window.Solve.Running()) {
      SolveDlg->hide();
      return;
    }
    SolveDlg->show();
    SolveDlg->raise();
  });
  connect(&Window.Solve, &TSolveProgress::Changed, SolveDlg,
          [this] { SolveDlg->SolveGauge->SetProgress(Window.Solve.Percent()); });
  Window.Solve.Speed = SolveDlg->SpeedBar->value();
  connect(SolveDlg->SpeedBar, &QSlider::valueChanged, this, [this](int speed) { Window.Solve.Speed = speed; });
  SolveDlg->OnStop = [this] {
    if (Game) Game->StopAutoSolve();
  };
  // The clock runs while one of the game's windows is active.
  const auto noteActive = [this] {
    const QWindow* focus = QGuiApplication::focusWindow();
    Window.GameActive = focus && (focus == windowHandle() || focus == SolveDlg->windowHandle() ||
                                  focus == OverlayForm->windowHandle());
    Window.ApplicationActive = QGuiApplication::applicationState() == Qt::ApplicationActive;
  };
  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, noteActive);
  connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, noteActive);
}

void TMainForm::SolveClick() {
  if (BoardLive()) Game->AutoSolve();
}

TMainForm::~TMainForm() {
  SetStatusLine(nullptr);
  Game.reset();
  Sound.FreeSounds();
}

void TMainForm::BuildLayout() {
  setMenuBar(Menus->MenuBar);
  auto* client = new QWidget(this);
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(SpeedBar);
  column->addWidget(PaintBox1, 1);
  column->addWidget(BoxBar);
  column->addWidget(StatusLine);
  setCentralWidget(client);

  StatusLine->setObjectName(QStringLiteral("StatusLine"));
  StatusLine->setFixedHeight(28);
  StatusLine->setFont(DesignFont(QStringLiteral("MS Sans Serif"), -15));
  auto* row = new QHBoxLayout(StatusLine);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(2);
  statusText_->setObjectName(QStringLiteral("StatusText"));
  row->addWidget(statusText_, 1);
  row->addWidget(SolvedStatus);
  row->addWidget(TimerStatus);
}

void TMainForm::Bind(TMenuItemState& state, QAction* action, bool available) {
  auto show = [&state, action, available] {
    if (action->isCheckable()) action->setChecked(state.Checked());
    action->setEnabled(state.Enabled() && available);
    action->setVisible(state.Visible());
  };
  show();
  connect(&state, &TMenuItemState::Changed, action, show);
  // A checkable item toggles itself when chosen; the model decides, once the
  // command has run.
  connect(action, &QAction::triggered, action, show, Qt::QueuedConnection);
}

void TMainForm::Bind(TMenuItemState& state, QAbstractButton* button, bool available) {
  auto show = [&state, button, available] {
    if (button->isCheckable()) button->setChecked(state.Checked());
    button->setEnabled(state.Enabled() && available);
    button->setVisible(state.Visible());
  };
  show();
  connect(&state, &TMenuItemState::Changed, button, show);
  connect(button, &QAbstractButton::clicked, button, show, Qt::QueuedConnection);
}

void TMainForm::BindStates() {
  TOptionMenus& m = Window.Menus;
  TCommandItems& c = Window.Commands;
  TMenus& menu = *Menus;
  TSpeedBar& bar = *SpeedBar;

  Bind(m.Picture, menu.Picture);
  Bind(m.Ghostpicture, menu.Ghostpicture);
  Bind(m.Sound, menu.Sound);
  Bind(m.Music, menu.Music);
  Bind(m.SpeedSound, bar.SpeedSound);
  Bind(m.SpeedMusic, bar.SpeedMusic);
  Bind(m.OutlinesNone, menu.OutlinesNone);
  Bind(m.OutlinesPaper, menu.OutlinesPaper);
  Bind(m.OutlinesCard, menu.OutlinesCard);
  Bind(m.OutlinesWood, menu.OutlinesWood);
  Bind(m.Shadows, menu.Shadows);
  Bind(m.SortByShape, menu.SortByShape);
  Bind(m.SortByColor, menu.SortByColor);
  Bind(m.ShowTimer, menu.ShowTimer);
  Bind(m.ShowNum, menu.ShowNum);
  Bind(m.Rotation, menu.Rotation);
  Bind(m.AllowCheating, menu.AllowCheating);
  Bind(m.RotateRight, menu.RotateRight);
  Bind(m.RotateLeft, menu.RotateLeft);

  Bind(c.PieceSize, menu.PieceSize);
  Bind(c.PieceSize, menu.PieceSize1);
  Bind(c.PieceSize, menu.PieceSize2);
  Bind(c.SpeedSize, bar.SpeedSize);
  Bind(c.ArrangeAtEdge, menu.ArrangeAtEdge);
  Bind(c.ArrangeAtEdge, menu.ArrangeAtEdge2);
  Bind(c.ArrangeInGrid, menu.ArrangeInGrid);
  Bind(c.ArrangeInGrid, menu.ArrangeInGrid2);
  Bind(c.Disarrange, menu.Disarrange);
  Bind(c.SpeedEdge, bar.SpeedEdge);
  Bind(c.SpeedGrid, bar.SpeedGrid);
  Bind(c.SpeedPicture, bar.SpeedPicture);
  Bind(c.Zoompicture, menu.Zoompicture);
  Bind(ZoomPan->ZoomIn, menu.ZoomIn);
  Bind(ZoomPan->ZoomOut, menu.ZoomOut);
  Bind(ZoomPan->WholeBoard, menu.WholeBoard);
  Bind(c.HelpAboutJigItem, menu.HelpAboutJigItem);
  Bind(c.Hint1, menu.Hint1);
  Bind(c.Hint2, menu.Hint2);
  Bind(c.RightWayUp1, menu.RightWayUp1);
  Bind(c.RightWayUp2, menu.RightWayUp2);
  Bind(c.Solve1, menu.Solve1);
  Bind(c.Solve2, menu.Solve2);
  Bind(c.ShowNeighbor, menu.ShowNeighbor);
  Bind(c.FetchNeighbor, menu.FetchNeighbor);
  Bind(c.Unlock, menu.Unlock);

  Bind(c.NewTray, menu.NewTray);
  Bind(c.Undo, menu.Undo1);
  Bind(c.Undo, menu.Undo2);
  Bind(c.Redo, menu.Redo1);
  Bind(c.Redo, menu.Redo2);
  Bind(c.Undo, bar.SpeedUndo);
  Bind(c.Redo, bar.SpeedRedo);
  Bind(c.NewTray, menu.NewTray2);

  auto showPanel = [](TStatusPanel& model, QLabel* panel) {
    auto show = [&model, panel] {
      panel->setText(model.Text());
      panel->setMinimumWidth(std::max(panel->minimumWidth(), panel->fontMetrics().horizontalAdvance(model.Text()) + 8));
      panel->setVisible(model.Visible());
    };
    show();
    connect(&model, &TStatusPanel::Changed, panel, show);
  };
  showPanel(Window.SolvedStatus, SolvedStatus);
  showPanel(Window.TimerStatus, TimerStatus);
}

void TMainForm::OnCommand(QAction* action, std::function<void()> command) {
  // Queued: a command chosen in a popup runs once the popup and the mouse
  // press that opened it are over.
  connect(action, &QAction::triggered, this, [this, command] { Guarded(command); }, Qt::QueuedConnection);
}

void TMainForm::ForwardMouse() {
  connect(PaintBox1, &TPlayArea::MousePressed, this,
          [this](Qt::MouseButton button, Qt::KeyboardModifiers, Qt::MouseButtons held, QPoint at) {
            // A press made while the other button is held is dropped.
            if (!BoardLive() || ((held & Qt::LeftButton) && (held & Qt::RightButton))) return;
            const int number = button == Qt::LeftButton    ? TJigsaw::LeftButton
                               : button == Qt::RightButton ? TJigsaw::RightButton
                               : button == Qt::MiddleButton ? TJigsaw::MiddleButton
                                                            : -1;
            if (number >= 0) Guarded([&] { Game->MouseDown(number, at.x(), at.y()); }, TJigsaw::TCommandKind::Gesture);
          });
  connect(PaintBox1, &TPlayArea::MouseReleased, this, [this](Qt::MouseButton button, QPoint at) {
    // The right button acts on its press. The middle button picks pieces up
    // as the left one does, so its release puts them down.
    if (BoardLive() && (button == Qt::LeftButton || button == Qt::MiddleButton))
      Guarded([&] { Game->MouseUp(at.x(), at.y()); }, TJigsaw::TCommandKind::Gesture);
  });
  connect(PaintBox1, &TPlayArea::MouseMoved, this,
          [this](Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, QPoint at) {
            if (BoardLive()) Guarded([&] { Game->MouseMove(at.x(), at.y()); }, TJigsaw::TCommandKind::View);
            const TShiftState shift = ShiftOf(modifiers, buttons);
            if (BoardLive() && shift != LastShift) Game->ShowModifierHint(shift);
            LastShift = shift;
          });
  connect(&Window, &TWindowState::PopupRequested, this, [this](TPopup popup, int x, int y) {
    QMenu* menu = popup == TPopup::Play    ? Menus->PopupPlay
                  : popup == TPopup::Piece ? Menus->PopupPiece
                  : popup == TPopup::Tray  ? Menus->PopupTray
                                           : Menus->PopupTrayIcon;
    // The popup opens once the press that asked for it has been handled.
    QTimer::singleShot(0, this, [this, menu, popup, x, y] {
      if (popup == TPopup::Piece && Game)
        Guarded([this] { Game->PreparePiecePopup(); }, TJigsaw::TCommandKind::Gesture);
      if ((popup == TPopup::Tray || popup == TPopup::TrayIcon) && Game) ShowTrayColorChoice();
      ShowPopupMenu(*menu, QPoint(x, y));
      if (Game) Guarded([this] { Game->PopupClosed(); }, TJigsaw::TCommandKind::Gesture);
    });
  });
}

void TMainForm::BindTrayCommands() {
  TMenus& menu = *Menus;
  auto onTray = [this](const std::function<void(TJigsaw&)>& command) {
    return [this, command] {
      if (BoardLive()) command(*Game);
    };
  };
  OnCommand(menu.NewTray, onTray([](TJigsaw& g) { g.NewTray(); }));
  for (QAction* item : {menu.Undo1, menu.Undo2}) OnCommand(item, onTray([](TJigsaw& g) { g.Undo(); }));
  for (QAction* item : {menu.Redo1, menu.Redo2}) OnCommand(item, onTray([](TJigsaw& g) { g.Redo(); }));
  menu.Redo1->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
  OnCommand(menu.NewTray2, onTray([](TJigsaw& g) { g.NewTray(); }));
  // A new tray from the bar itself, right-clicked beside its buttons.
  BoxBar->setContextMenuPolicy(Qt::ActionsContextMenu);
  BoxBar->addAction(menu.NewTray);
  OnCommand(menu.TraySelectAll, onTray([](TJigsaw& g) { g.SelectTrayPieces(); }));
  OnCommand(menu.TrayToBack, onTray([](TJigsaw& g) { g.SendTrayToBack(); }));
  OnCommand(menu.TrayDrop, onTray([](TJigsaw& g) { g.DropTrayPieces(); }));
  OnCommand(menu.TrayGrab, onTray([](TJigsaw& g) { g.GetLoosePieces(false); }));
  OnCommand(menu.TrayGrabEdges, onTray([](TJigsaw& g) { g.GetLoosePieces(true); }));
  for (QAction* item : {menu.TrayRename, menu.TrayRename1}) OnCommand(item, [this] { TrayDescriptionClick(); });
  for (QAction* item : {menu.TrayDelete, menu.TrayDelete1})
    OnCommand(item, onTray([](TJigsaw& g) { g.DeleteTray(); }));
  for (QAction* item : {menu.Custom2, menu.Custom3}) OnCommand(item, [this] { TrayColorClick(); });
  const std::pair<QAction*, TTrayColorChoice> choices[] = {
      {menu.Matching2, TTrayColorChoice::Matching},       {menu.Matching3, TTrayColorChoice::Matching},
      {menu.Contrasting2, TTrayColorChoice::Contrasting}, {menu.Contrasting3, TTrayColorChoice::Contrasting},
      {menu.Default2, TTrayColorChoice::Default},         {menu.Default3, TTrayColorChoice::Default}};
  for (const auto& [item, choice] : choices)
    OnCommand(item, onTray([choice](TJigsaw& g) { g.SetTrayColor(choice); }));
}

void TMainForm::ShowTrayColorChoice() {
  if (!Game->CurrentTray) return;
  const TTrayColorChoice choice = Game->TrayColorChoice(*Game->CurrentTray);
  TMenus& menu = *Menus;
  const std::pair<QAction*, QAction*> items[] = {{menu.Custom2, menu.Custom3},
                                                 {menu.Matching2, menu.Matching3},
                                                 {menu.Contrasting2, menu.Contrasting3},
                                                 {menu.Default2, menu.Default3}};
  const auto& [inTray, inIcon] = items[std::size_t(choice)];
  inTray->setChecked(true);
  inIcon->setChecked(true);
}

void TMainForm::TrayDescriptionClick() {
  if (!BoardLive() || !Game->CurrentTray || Game->CurrentTray->IsBoard()) return;
  TBox& tray = *Game->CurrentTray;
  QInputDialog dialog(this);
  dialog.setObjectName(QStringLiteral("TrayDescriptionDlg"));
  dialog.setWindowTitle(QStringLiteral("Tray Description"));
  dialog.setLabelText(QStringLiteral("Description of tray %1 (up to %2 characters):")
                          .arg(tray.Number)
                          .arg(TBox::DescriptionCapacity));
  dialog.setTextValue(tray.Description);
  if (ShowModal(dialog) != QDialog::Accepted) return;
  Game->SetTrayDescription(dialog.textValue());
}

void TMainForm::TrayColorClick() {
  if (!BoardLive() || !Game->CurrentTray || Game->CurrentTray->IsBoard()) return;
  QColorDialog dialog(ToQColor(Game->CurrentTray->Color), this);
  dialog.setWindowTitle(QStringLiteral("Color"));
  if (ShowModal(dialog) != QDialog::Accepted) return;
  const QColor chosen = dialog.selectedColor();
  Game->SetTrayColor(RGBColor(chosen.red(), chosen.green(), chosen.blue()));
}

void TMainForm::BindCommands() {
  TMenus& menu = *Menus;
  TSpeedBar& bar = *SpeedBar;
  const auto sortByShape = [this] { return Window.Menus.SortByShape.Checked(); };
  const auto sortByColor = [this] { return Window.Menus.SortByColor.Checked(); };
  auto arrange = [this, sortByShape, sortByColor](TArrangeSource source, bool edge) {
    return [this, sortByShape, sortByColor, source, edge] {
      if (!BoardLive()) return;
      if (edge)
        Game->ArrangeAtEdge(source, sortByShape(), sortByColor());
      else
        Game->ArrangeInGrid(source, sortByShape(), sortByColor());
    };
  };
  auto disarrange = [this](TArrangeSource source) {
    return [this, source] {
      if (BoardLive()) Game->Disarrange(source, false);
    };
  };

  OnCommand(menu.FileOpenItem, [this] { OpenGiftClick(); });
  OnCommand(menu.FileExitItem, [this] { close(); });
  // The play area takes the freed space at once, not at the next layout.
  OnCommand(menu.Toolbar, [this] {
    SpeedBar->setVisible(Menus->Toolbar->isChecked());
    centralWidget()->layout()->activate();
  });
  OnCommand(menu.Statusbar, [this] {
    StatusLine->setVisible(Menus->Statusbar->isChecked());
    centralWidget()->layout()->activate();
  });
  OnCommand(menu.Zoompicture, [this] { ZoompictureClick(); });
  // Ctrl++ wherever + takes Shift.
  menu.ZoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  OnCommand(menu.ZoomIn, [this] { ZoomPan->ZoomAtCentre(1); });
  OnCommand(menu.ZoomOut, [this] { ZoomPan->ZoomAtCentre(-1); });
  OnCommand(menu.WholeBoard, [this] { ZoomPan->ShowWholeBoard(); });
  OnCommand(menu.ArrangeAtEdge, arrange(TArrangeSource::Board, true));
  OnCommand(menu.ArrangeAtEdge2, arrange(TArrangeSource::Board, true));
  OnCommand(menu.ArrangeAtEdgeT, arrange(TArrangeSource::PopupTray, true));
  OnCommand(menu.ArrangeInGrid, arrange(TArrangeSource::Board, false));
  OnCommand(menu.ArrangeInGrid2, arrange(TArrangeSource::Board, false));
  OnCommand(menu.ArrangeInGridT, arrange(TArrangeSource::PopupTray, false));
  OnCommand(menu.Disarrange, disarrange(TArrangeSource::Board));
  OnCommand(menu.DisarrangeTray, disarrange(TArrangeSource::PopupTray));
  connect(bar.SpeedEdge, &QAbstractButton::clicked, Menus->ArrangeAtEdge, &QAction::trigger);
  connect(bar.SpeedGrid, &QAbstractButton::clicked, Menus->ArrangeInGrid, &QAction::trigger);
  OnCommand(menu.Restart1, [this] { Restart1Click(); });

  const std::array<QAction*, 4> outlines{menu.OutlinesNone, menu.OutlinesPaper, menu.OutlinesCard,
                                         menu.OutlinesWood};
  for (std::size_t i = 0; i < outlines.size(); ++i)
    OnCommand(outlines[i], [this, i] { OutlinesClick(int(i)); });
  OnCommand(menu.Shadows, [this] { Game->SetShadows(!Window.Menus.Shadows.Checked()); });
  OnCommand(menu.SortByShape, [this] { ToggleOption(Window.Menus.SortByShape); });
  OnCommand(menu.SortByColor, [this] { ToggleOption(Window.Menus.SortByColor); });
  OnCommand(menu.ShowTimer, [this] { Game->SetTimerShown(!Window.Menus.ShowTimer.Checked()); });
  OnCommand(menu.ShowNum, [this] { Game->SetSolvedCountShown(!Window.Menus.ShowNum.Checked()); });
  OnCommand(menu.Rotation, [this] {
    Game->SetRotation(!Window.Menus.Rotation.Checked(),
                      QStringLiteral("Press 'Yes' to turn all pieces the right way up."));
  });
  OnCommand(menu.AllowCheating, [this] { Game->SetCheating(!Window.Menus.AllowCheating.Checked(), true); });
  OnCommand(menu.BackgroundColor, [this] { BackgroundColorClick(); });
  OnCommand(menu.RightWayUp1, [this] {
    if (BoardLive()) Game->RightWayUpAll();
  });
  const auto makeGift = [this] {
    ShowGiftMaker(this, {{}, [this](const QString& gift) { OpenGift(gift); }, &MediaPlayer1,
                         [this] { Guarded([this] { StartMusic(); }); }});
  };
  OnCommand(menu.FileMakeItem, makeGift);
  OnCommand(menu.HelpOrderItem, makeGift);
  OnCommand(menu.HelpQuickItem, [this] {
    TQuickHelpDlg help(this);
    ShowModal(help);
  });
  connect(bar.SpeedHelp, &QAbstractButton::clicked, Menus->HelpQuickItem, &QAction::trigger);
  connect(bar.SpeedUndo, &QAbstractButton::clicked, Menus->Undo1, &QAction::trigger);
  connect(bar.SpeedRedo, &QAbstractButton::clicked, Menus->Redo1, &QAction::trigger);
  OnCommand(menu.HelpAboutItem, [this] {
    TAboutBox about(MakerWebAddress(), this);
    ShowModal(about);
  });
  OnCommand(menu.RightMouseButton, [this] { RightMouseButtonClick(); });
  for (QAction* item : {menu.PieceSize, menu.PieceSize1, menu.PieceSize2})
    OnCommand(item, [this] { PieceSizeClick(); });
  connect(bar.SpeedSize, &QAbstractButton::clicked, Menus->PieceSize, &QAction::trigger);
  PieceSizeDlg->OnRecut = [this](const std::function<void()>& recut) { Guarded(recut); };
  OnCommand(menu.Picture, [this] { PictureClick(); });
  connect(bar.SpeedPicture, &QAbstractButton::clicked, Menus->Picture, &QAction::trigger);
  OnCommand(menu.Sound, [this] { SoundClick(); });
  connect(bar.SpeedSound, &QAbstractButton::clicked, Menus->Sound, &QAction::trigger);
  OnCommand(menu.Music, [this] { MusicClick(); });
  connect(bar.SpeedMusic, &QAbstractButton::clicked, Menus->Music, &QAction::trigger);
  OnCommand(menu.HelpAboutJigItem, [this] {
    if (!BoardLive()) return;
    TAboutJigDlg about(this);
    about.Fill(AboutInfo(Game->Record));
    ShowModal(about);
  });
  auto onPiece = [this](const std::function<void(TJigsaw&)>& command) {
    return [this, command] {
      if (BoardLive()) command(*Game);
    };
  };
  OnCommand(menu.RotateRight, onPiece([](TJigsaw& g) { g.RotatePiece(1); }));
  OnCommand(menu.RotateLeft, onPiece([](TJigsaw& g) { g.RotatePiece(3); }));
  OnCommand(menu.Unlock, onPiece([](TJigsaw& g) { g.Unlock(); }));
  OnCommand(menu.SendToBack, onPiece([](TJigsaw& g) { g.SendToBack(); }));
  OnCommand(menu.RightWayUp2, onPiece([](TJigsaw& g) { g.RightWayUpPiece(); }));
  OnCommand(menu.ShowNeighbor, onPiece([](TJigsaw& g) { g.ShowNeighbor(); }));
  OnCommand(menu.FetchNeighbor, onPiece([](TJigsaw& g) { g.FetchNeighbor(); }));
  OnCommand(menu.Hint1, onPiece([](TJigsaw& g) { g.Hint(); }));
  OnCommand(menu.Solve1, [this] { SolveClick(); });
  OnCommand(menu.Solve2, [this] { SolveClick(); });
  OnCommand(menu.Hint2, onPiece([](TJigsaw& g) { g.Hint(); }));
}

void TMainForm::ToggleOption(TMenuItemState& item, const std::function<void(bool)>& apply) {
  item.SetChecked(!item.Checked());
  if (apply) apply(item.Checked());
}

void TMainForm::PictureClick() {
  ToggleOption(Window.Menus.Picture, [this](bool on) {
    // Hidden, not closed: closing is the user's way of switching it off.
    if (Game && Game->IsPlaying()) OverlayForm->setVisible(on);
  });
}

void TMainForm::SoundClick() { Game->SetSound(!Window.Menus.Sound.Checked()); }

void TMainForm::MusicClick() {
  ToggleOption(Window.Menus.Music, [this](bool on) {
    Window.Menus.SpeedMusic.SetChecked(on);
    if (on)
      StartMusic();
    else
      MediaPlayer1.Stop();
  });
}

void TMainForm::StartMusic() { ::StartMusic(MediaPlayer1, Window.Menus.Music, Window.Menus.SpeedMusic, Window.MusicFile); }

void TMainForm::PieceSizeClick() {
  if (!BoardLive()) return;
  // A new cut replaces the pieces that auto-solve works on: it ends first.
  Game->StopAutoSolve();
  // The piece size is chosen for the whole board, which shows meanwhile.
  Guarded([this] { Game->ShowWholeBoard(); });
  ChoosePieceSize(*PieceSizeDlg);
}

void TMainForm::SetScale(int percent) {
  Game->SetScale(percent);
  // The picture window shows the picture at the new cut's size.
  OverlayForm->Invalidate();
}

void TMainForm::RightMouseButtonClick() {
  Window.MouseMode = ChooseMouseMode(*MouseDlg, Window.MouseMode, Window.Menus.Rotation.Checked());
}

void TMainForm::OutlinesClick(int style) {
  // A new style may cut the puzzle again: auto-solve, which works on the
  // pieces, ends first.
  Game->StopAutoSolve();
  Game->SetOutlineStyle(style);
}

void TMainForm::BackgroundColorClick() {
  QColorDialog dialog(ToQColor(Window.Color()), this);
  dialog.setWindowTitle(QStringLiteral("Color"));
  if (ShowModal(dialog) != QDialog::Accepted) return;
  const QColor chosen = dialog.selectedColor();
  Window.SetColor(RGBColor(chosen.red(), chosen.green(), chosen.blue()));
  if (BoardLive()) Game->ResizeBoard(std::uint16_t(PaintBox1->PlayAreaWidth()), std::uint16_t(PaintBox1->PlayAreaHeight()));
}

void TMainForm::ApplyWindowColor() {
  QPalette p = centralWidget()->palette();
  p.setColor(QPalette::Window, ToQColor(Window.Color()));
  centralWidget()->setPalette(p);
}

void TMainForm::ZoompictureClick() {
  if (!BoardLive()) return;
  TZoomForm zoom([this](TBitmap& box) { Game->PaintZoom(box); }, this);
  ShowModal(zoom);
}

void TMainForm::SetStatusText(const QString& text) {
  statusText_->setText(text);
  statusText_->repaint();
}

QString TMainForm::StatusText() const { return statusText_->text(); }

bool TMainForm::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::StatusTip:
      // The hint of whatever is under the pointer.
      statusText_->setText(static_cast<QStatusTipEvent*>(event)->tip());
      return true;
    case QEvent::WindowDeactivate:
      // Another window took the mouse: nothing may stay afloat.
      ZoomPan->Cancel();
      if (BoardLive()) Guarded([this] { Game->CancelGesture(); }, TJigsaw::TCommandKind::Gesture);
      break;
    default:
      break;
  }
  return QMainWindow::event(event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
  ShowHeldKeysHint();
  // Keys no widget of the window took: those that zoom or move the view.
  if (ZoomPan->KeyPressed(*event)) return;
  QMainWindow::keyPressEvent(event);
}

void TMainForm::keyReleaseEvent(QKeyEvent* event) {
  ShowHeldKeysHint();
  if (ZoomPan->KeyReleased(*event)) return;
  QMainWindow::keyReleaseEvent(event);
}

void TMainForm::ShowHeldKeysHint() {
  // A modifier's own press or release reports the keys as they were before
  // it: the keyboard is asked how they are now.
  if (BoardLive())
    Game->ShowModifierHint(ShiftOf(QGuiApplication::queryKeyboardModifiers(), QGuiApplication::mouseButtons()));
}

void TMainForm::Guarded(const std::function<void()>& call, TJigsaw::TCommandKind kind) {
  ++gameCalls_;
  if (Game)
    Game->Perform(call, kind);
  else if (const QString error = ErrorOf(call); !error.isEmpty())
    MessageDlg(error, TMsgType::Error, TMsgButtons::Ok);
  --gameCalls_;
  // A command may have changed what the zoom can do: a new cut, a new game.
  if (kind == TJigsaw::TCommandKind::Command) ZoomPan->FollowView();
  if (gameCalls_ == 0)
    while (!whenIdle_.empty()) {
      auto action = std::move(whenIdle_.front());
      whenIdle_.erase(whenIdle_.begin());
      action();
    }
}

void TMainForm::WhenIdle(std::function<void()> action) {
  if (gameCalls_ == 0)
    action();
  else
    whenIdle_.push_back(std::move(action));
}

void TMainForm::PlayAreaResized() {
  // The board has the play area's device pixels.
  Window.PlayAreaWidth = PaintBox1->PlayAreaWidth();
  Window.PlayAreaHeight = PaintBox1->PlayAreaHeight();
  Window.TrayBar.Width = centralWidget()->width();
  Window.TrayBar.Height = TTrayBarView::BarHeight;
  Window.TrayBar.PlayAreaOffset = {BoxBar->x() - PaintBox1->x(), BoxBar->y() - PaintBox1->y()};
  Window.TrayBar.PlayAreaScale = PaintBox1->Ratio();
  if (BoardLive())
    Guarded(
        [this] {
          Game->ResizeBoard(std::uint16_t(PaintBox1->PlayAreaWidth()), std::uint16_t(PaintBox1->PlayAreaHeight()));
          // A new window size is no step of the game's.
          Game->NoteBoardResized();
        },
        TJigsaw::TCommandKind::View);
}

void TMainForm::PaintPlayArea() {
  if (BoardLive())
    Guarded([this] { Game->PaintBoard(); }, TJigsaw::TCommandKind::View);
  else
    PaintBox1->FillInvalid(Window.Color());
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  FormShow();
}

void TMainForm::FormShow() {
  PlayAreaResized();
  try {
    Sound.SoundTable = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                        QStringLiteral("5")};
    Game->LoadGift();
  } catch (const EError& e) {
    // A damaged gift: no puzzle is built, and the clock never starts.
    MessageDlg(e.Message(), TMsgType::Error, TMsgButtons::Ok);
    return;
  }
  // The splash shows while the puzzle is built, from the moment this window
  // is on the screen: a window system that ties a dialog to its parent's
  // surface (Wayland) can tie it only then, and opens it over the parent.
  QTimer::singleShot(0, SplashForm.get(), [this] {
    if (!BoardLive()) SplashForm->show();
  });
  Timer1->start();
  FlattenButtons(true);
}

void TMainForm::Timer1Timer() {
  if (BoardLive()) Guarded([this] { Game->Tick(); }, TJigsaw::TCommandKind::View);
  if (!FirstTick) return;
  // Cleared first: ticks that arrive while the windows below are open only
  // run the clock.
  FirstTick = false;
  Timer1->setInterval(ClockInterval);

  bool resumed = false;
  QString error;
  {
    THourglass hourglass;
    SplashForm->SetButtonsEnabled(false);
    ++gameCalls_;
    error = ErrorOf([&] { resumed = StartGame(); }, QStringLiteral("There is not enough memory to build this puzzle."));
    --gameCalls_;
  }
  SplashForm->close();
  SplashForm->SetButtonsEnabled(true);
  if (resumed) SplashForm->ShowSaveResumeBox(QStringLiteral("Resume game..."));
  if (BoardLive()) {
    SplashForm->SetStayOnTop(false);
    ShowModal(*SplashForm);
    if (!SplashForm->SaveResumeBox->isChecked())
      Guarded([this] {
        StartGame([](TJigsaw& game) {
          game.DeclineResume();
          return false;
        });
      });
  }
  if (!error.isEmpty()) {
    MessageDlg(error, TMsgType::Error, TMsgButtons::Ok);
    return;
  }
  Guarded([this] { StartMusic(); }, TJigsaw::TCommandKind::View);
}

bool TMainForm::StartGame(const std::function<bool(TJigsaw&)>& start) {
  // A resumed game asks for its play area's size while it starts.
  savedPlayArea_ = {};
  const bool resumed = start(*Game);
  // A tray bar that the resumed game shows takes room from the play area,
  // which the window gives back.
  if (resumed) FitPlayArea();
  PaintBox1->RepaintNow();
  ZoomPan->FollowView();
  OverlayForm->Invalidate();
  if (Window.Menus.Picture.Checked()) OverlayForm->show();
  return resumed;
}

void TMainForm::Restart1Click() {
  if (MessageDlg(QStringLiteral("This will restart the jigsaw from scratch. Are you sure?"),
                 TMsgType::Confirmation, TMsgButtons::YesNoCancel) != TMsgResult::Yes)
    return;
  // The new game replaces the pieces: auto-solve ends first.
  if (Game) Game->StopAutoSolve();
  WhenIdle([this] {
    // A saved game that stays would come back as the new game.
    bool discarded = false;
    Guarded([&] {
      Game->DiscardSavedGame();
      discarded = true;
    });
    if (!discarded) return;
    Game.reset();
    Game = std::make_unique<TJigsaw>(Window, Records, *PaintBox1, exePath_);
    Guarded([this] {
      Game->LoadGift();
      StartGame();
    });
  });
}

void TMainForm::OpenGiftClick() {
  if (const QString path = ChooseGiftFile(this); !path.isEmpty()) OpenGift(path);
}

void TMainForm::OpenGift(const QString& path) {
  const QString gift = QFileInfo(path).absoluteFilePath();
  if (const QString problem = GiftProblem(gift); !problem.isEmpty()) {
    MessageDlg(problem, TMsgType::Error, TMsgButtons::Ok);
    return;
  }
  // The gift this window plays keeps the lock it holds.
  std::shared_ptr<TGiftLock> lock = giftLock_;
  if (!lock || TSavedGamePlace(gift).Lock() != TSavedGamePlace(exePath_()).Lock()) {
    lock = LockGift(gift);
    if (!lock) return;
  }
  if (Game) Game->StopAutoSolve();
  WhenIdle([this, gift, lock] {
    if (!RunClosingSequence()) return;
    closing_ = false;
    giftLock_ = lock;
    exePath_ = [gift] { return gift; };
    Game.reset();
    Game = std::make_unique<TJigsaw>(Window, Records, *PaintBox1, exePath_);
    SplashForm = std::make_unique<TSplashForm>(this);
    // The new gift's tune plays unless it has none.
    Window.Menus.Music.SetChecked(true);
    Window.Menus.SpeedMusic.SetChecked(true);
    FirstTick = true;
    Timer1->setInterval(StartInterval);
    FormShow();
  });
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (gameCalls_ > 0) {
    // Closing frees the game: it waits for the call in progress (a command
    // waiting on a message box, say).
    event->ignore();
    WhenIdle([this] { close(); });
    return;
  }
  if (!closing_ && !RunClosingSequence()) {
    event->ignore();
    return;
  }
  event->accept();
}

bool TMainForm::RunClosingSequence() {
  closing_ = true;
  // Auto-solve would play on behind the closing splash, and could finish the
  // puzzle over it.
  if (Game) Game->StopAutoSolve();
  const bool musicWasPlaying = Window.Menus.Music.Checked() && MediaPlayer1.IsPlaying();
  if (musicWasPlaying) MediaPlayer1.Stop();
  SplashForm = std::make_unique<TSplashForm>(this);
  SplashForm->MakeCloseButton();
  // Only a game being played has something to save.
  const bool playing = BoardLive();
  if (playing)
    SplashForm->ShowSaveResumeBox(QStringLiteral("Save game..."));
  else
    SplashForm->CompactOkButton();
  TSplashTexts closing;
  if (Game) Game->ShowClosingTexts(closing);
  if (!playing) {
    closing.GiftLab = GiftLabText(QString());
    closing.CreatorVersion.clear();
  }
  SplashForm->ShowTexts(closing);
  SplashForm->hide();
  SplashForm->SetStayOnTop(false);
  ShowModal(*SplashForm);
  // A game that cannot be saved is said so, and the person goes back to it
  // or ends without saving; its recovery file then stays for the next
  // start.
  if (playing) {
    const QString error = ErrorOf([this] { Game->EndGame(SplashForm->SaveResumeBox->isChecked()); },
                                  QStringLiteral("There is not enough memory to save the game."));
    if (!error.isEmpty()) {
      if (MessageDlg(error + QStringLiteral("\n\nGo back to the game? No ends it without saving."), TMsgType::Error,
                     TMsgButtons::YesNo) == TMsgResult::Yes) {
        SplashForm.reset();
        closing_ = false;
        if (musicWasPlaying) Guarded([this] { StartMusic(); }, TJigsaw::TCommandKind::View);
        return false;
      }
      Game->LeaveGame();
    }
  }
  SplashForm.reset();
  Timer1->stop();
  return true;
}
