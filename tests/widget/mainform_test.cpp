#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QTemporaryDir>
#include <QToolButton>

#include <vector>

#include "game/gift.h"
#include "game/soundeffects.h"
#include "platform/messagebox.h"
#include "shell/congratsdlg.h"
#include "shell/giftmakerdlg.h"
#include "game/savedgame.h"
#include "shell/menus.h"
#include "shell/modal.h"
#include "shell/mousedlg.h"
#include "shell/overlayform.h"
#include "shell/piecesizedlg.h"
#include "shell/playarea.h"
#include "shell/solvedlg.h"
#include "shell/speedbar.h"
#include "shell/splashform.h"
#include "shell/startup.h"
#include "shell/traybarview.h"
#include "shell/mainform.h"
#include "tests/common/testgift.h"

namespace {

// What a modal splash showed when it was answered.
struct TSplashSeen {
  QString GiftLab;
  QString Memo;
  QString Button;
  bool BoxVisible = false;
  QString BoxCaption;
};

// Answers every modal window and message box, and remembers them.
class TAnswers {
 public:
  explicit TAnswers(TMsgResult message = TMsgResult::Ok) {
    SetMessageHandler([this, message](TMsgType, TMsgButtons, const QString& text) {
      Messages.push_back(text);
      return message;
    });
    SetModalHandler([this](QDialog& dialog) {
      if (auto* splash = qobject_cast<TSplashForm*>(&dialog)) {
        Splashes.push_back({splash->GiftLab->text(), splash->Memo1->toPlainText(), splash->OkBtn->text(),
                            splash->SaveResumeBox->isVisibleTo(splash), splash->SaveResumeBox->text()});
        if (DuringSplash) DuringSplash();
      } else if (auto* congratulations = qobject_cast<TCongratsDlg*>(&dialog)) {
        Others.push_back(congratulations->JigStatus->text());
      } else {
        Others.push_back(dialog.objectName());
        if (DuringDialog) DuringDialog(dialog);
      }
      return int(QDialog::Accepted);
    });
  }
  ~TAnswers() {
    SetMessageHandler({});
    SetModalHandler({});
  }

  std::vector<QString> Messages;
  std::vector<TSplashSeen> Splashes;
  std::vector<QString> Others;  // the other modal windows, in order
  std::function<void()> DuringSplash;
  std::function<void(QDialog&)> DuringDialog;
};

// Chooses a menu item as a person does: the command runs once the menu's
// event is over.
void Choose(QAction* item) {
  item->trigger();
  QApplication::processEvents();
}

// Chooses an auto-solve item and does what a person does once auto-solve
// has begun; then the window's events run until it has ended.
void AutoSolveWith(TMainForm& form, QAction* item, std::function<void()> action) {
  auto connection = std::make_shared<QMetaObject::Connection>();
  *connection = QObject::connect(
      &form.Window.Solve, &TSolveProgress::Changed, &form,
      [connection, action] {
        QObject::disconnect(*connection);
        action();
      },
      Qt::QueuedConnection);
  Choose(item);
  QDeadlineTimer deadline(30000);
  while (form.Game && form.Game->IsAnimating() && !deadline.hasExpired())
    QApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool ScreenShowsBoard(TMainForm& form) {
  // Once the animations that a command started have run.
  form.Game->RunAnimationsToEnd();
  QApplication::processEvents();
  form.PaintBox1->PaintInvalid();
  const TBitmap& screen = form.PaintBox1->Image();
  const TBitmap& board = form.Game->View.BoardBitmap;
  if (screen.Width() != board.Width() || screen.Height() != board.Height()) return false;
  for (int y = 0; y < board.Height(); ++y)
    if (!std::equal(board.ScanLine(y), board.ScanLine(y) + 3 * board.Width(), screen.ScanLine(y))) return false;
  return true;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    ASSERT_TRUE(WriteTestGift(gift_, 400, 300));
  }

  // A main window of the gift, shown; the clock is stopped so that the test
  // decides when the first tick comes.
  std::unique_ptr<TMainForm> Open(const QString& gift) {
    auto form = std::make_unique<TMainForm>([gift] { return gift; });
    form->show();
    QApplication::processEvents();
    form->Timer1->stop();
    return form;
  }

  std::unique_ptr<TMainForm> Start(const QString& gift) {
    auto form = Open(gift);
    form->Timer1Timer();
    return form;
  }

  QTemporaryDir dir_;
  QString gift_;
};

}  // namespace

TEST_F(MainWindowTest, TheFirstTickBuildsTheBoardAndWaitsOnTheSplash) {
  TAnswers answers;
  auto form = std::make_unique<TMainForm>([this] { return gift_; });
  EXPECT_FALSE(form->Timer1->isActive());
  form->show();
  QApplication::processEvents();
  // The gift is read and the splash shows its message while the clock waits
  // for the first tick.
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_EQ(form->Timer1->interval(), 100);
  EXPECT_TRUE(form->SplashForm->isVisible());
  EXPECT_EQ(form->SplashForm->Memo1->toPlainText(), QStringLiteral("Hello from the tests"));
  EXPECT_FALSE(form->BoardLive());
  form->Timer1->stop();

  // A tick that arrives while the splash waits only runs the clock.
  int ticksDuringSplash = 0;
  answers.DuringSplash = [&] {
    ++ticksDuringSplash;
    EXPECT_TRUE(form->SplashForm->OkBtn->isEnabled());
    form->Timer1Timer();
  };
  form->Timer1Timer();
  EXPECT_FALSE(form->FirstTick);
  EXPECT_EQ(form->Timer1->interval(), 1000);
  EXPECT_TRUE(form->BoardLive());
  EXPECT_TRUE(form->Game->IsPlaying());
  ASSERT_EQ(answers.Splashes.size(), 1u);
  EXPECT_EQ(ticksDuringSplash, 1);
  EXPECT_EQ(answers.Splashes[0].Button, QStringLiteral("&Play..."));
  // The gift's maker version, as this build tells it.
  EXPECT_EQ(answers.Splashes[0].GiftLab, MakerWebAddress().isEmpty() ? MadeWithText(QStringLiteral("v4.1"))
                                                                     : GiftLabText(QStringLiteral("v4.1")));
  EXPECT_FALSE(answers.Splashes[0].BoxVisible);
  EXPECT_FALSE(form->SplashForm->isVisible());
  EXPECT_TRUE(answers.Messages.empty());

  // The commands of a game being played are there.
  TMenus& menus = *form->Menus;
  for (QAction* on : {menus.ArrangeAtEdge, menus.ArrangeInGrid, menus.Disarrange, menus.Zoompicture,
                      menus.ArrangeAtEdge2, menus.ArrangeInGrid2, menus.RightWayUp1, menus.Restart1,
                      menus.HelpAboutJigItem, menus.Hint1, menus.Hint2, menus.Solve1, menus.Solve2, menus.Picture,
                      menus.Sound, menus.HelpQuickItem, menus.HelpAboutItem, menus.HelpOrderItem,
                      menus.RightMouseButton, menus.Music, menus.PieceSize, menus.PieceSize1, menus.NewTray})
    EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
  // The test gift has no music: switching it on says so and leaves it off.
  EXPECT_FALSE(menus.Music->isChecked());
  Choose(menus.Music);
  ASSERT_EQ(answers.Messages.size(), 1u);
  EXPECT_EQ(answers.Messages[0], QStringLiteral("No music was included in this jigsaw gift file."));
  EXPECT_FALSE(menus.Music->isChecked());
  EXPECT_FALSE(form->SpeedBar->SpeedMusic->isChecked());
  answers.Messages.clear();
  EXPECT_TRUE(form->SpeedBar->SpeedGrid->isEnabled());
  EXPECT_TRUE(form->SpeedBar->SpeedSize->isEnabled());
  EXPECT_TRUE(form->SolvedStatus->isVisible());
  EXPECT_EQ(form->SolvedStatus->text(), QStringLiteral("Solved 0 of 12"));
  EXPECT_TRUE(ScreenShowsBoard(*form));
  Choose(menus.HelpAboutJigItem);
  ASSERT_EQ(answers.Others.size(), 1u);
  EXPECT_EQ(answers.Others[0], QStringLiteral("AboutJigDlg"));

  // Arranging from the menu moves the pieces and shows the new board.
  const std::vector<TFormPiece> before = form->Game->Pieces;
  Choose(menus.ArrangeInGrid);
  EXPECT_NE(form->Game->Pieces[0].X + 1000 * form->Game->Pieces[0].Y, before[0].X + 1000 * before[0].Y);
  EXPECT_TRUE(ScreenShowsBoard(*form));
}

TEST_F(MainWindowTest, RestartAsksFirst) {
  TAnswers no(TMsgResult::No);
  auto form = Start(gift_);
  TJigsaw* game = form->Game.get();
  form->Game->ArrangeInGrid(TArrangeSource::Board, true, true);
  const std::vector<TFormPiece> arranged = form->Game->Pieces;
  Choose(form->Menus->Restart1);
  ASSERT_EQ(no.Messages.size(), 1u);
  EXPECT_EQ(no.Messages[0], QStringLiteral("This will restart the jigsaw from scratch. Are you sure?"));
  EXPECT_EQ(form->Game.get(), game);
  EXPECT_EQ(form->Game->Pieces[3].X, arranged[3].X);

  TAnswers yes(TMsgResult::Yes);
  Choose(form->Menus->Restart1);
  EXPECT_TRUE(form->BoardLive());
  EXPECT_TRUE(form->Game->IsPlaying());
  // A fresh game of the same gift: the pieces lie scattered again.
  bool moved = false;
  for (std::size_t i = 0; i < arranged.size(); ++i)
    moved = moved || form->Game->Pieces[i].X != arranged[i].X || form->Game->Pieces[i].Y != arranged[i].Y;
  EXPECT_TRUE(moved);
  EXPECT_TRUE(ScreenShowsBoard(*form));
}

TEST_F(MainWindowTest, HidingTheToolbarAndStatusLineGivesTheBoardTheSpace) {
  TAnswers answers;
  auto form = Start(gift_);
  const int height = form->PaintBox1->height();
  Choose(form->Menus->Toolbar);
  EXPECT_FALSE(form->SpeedBar->isVisible());
  EXPECT_EQ(form->PaintBox1->height(), height + 41);
  EXPECT_EQ(form->Game->View.BoardBitmap.Height(), height + 41);
  Choose(form->Menus->Statusbar);
  EXPECT_EQ(form->PaintBox1->height(), height + 41 + 28);
  EXPECT_EQ(form->Game->BoardTray().Height, height + 41 + 28);
  EXPECT_TRUE(ScreenShowsBoard(*form));
  Choose(form->Menus->Toolbar);
  EXPECT_TRUE(form->Menus->Toolbar->isChecked());
  EXPECT_EQ(form->PaintBox1->height(), height + 28);
}

TEST_F(MainWindowTest, ClosingShowsTheClosingSplash) {
  TAnswers answers;
  auto form = Start(gift_);
  form->close();
  ASSERT_EQ(answers.Splashes.size(), 2u);
  const TSplashSeen& closing = answers.Splashes[1];
  EXPECT_EQ(closing.Button, QStringLiteral("&Close"));
  EXPECT_EQ(closing.Memo, QStringLiteral("Goodbye from the tests"));
  EXPECT_TRUE(closing.BoxVisible);
  EXPECT_EQ(closing.BoxCaption, QStringLiteral("Save game..."));
  EXPECT_FALSE(form->BoardLive());
  EXPECT_FALSE(form->Timer1->isActive());
}

TEST_F(MainWindowTest, ABadGiftLeavesAnEmptyWindowThatStillCloses) {
  const QString truncated = dir_.filePath(QStringLiteral("truncated"));
  {
    QFile whole(gift_), part(truncated);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly) && part.open(QIODevice::WriteOnly));
    part.write(whole.read(whole.size() - 10));
  }
  {
    TAnswers answers;
    auto form = Open(truncated);
    EXPECT_EQ(answers.Messages, std::vector<QString>{QStringLiteral("This jigsaw gift file is damaged and cannot be opened")});
    EXPECT_FALSE(form->SplashForm->isVisible());
    EXPECT_FALSE(form->BoardLive());
    // Events of the play area never reach a game that is not built.
    form->PaintBox1->Invalidate(form->PaintBox1->ClientRect());
    form->PaintBox1->PaintInvalid();
    form->resize(700, 600);
    QApplication::processEvents();
    form->close();
    ASSERT_EQ(answers.Splashes.size(), 1u);
    EXPECT_EQ(answers.Splashes[0].Button, QStringLiteral("&Close"));
    EXPECT_EQ(answers.Splashes[0].GiftLab,
              MakerWebAddress().isEmpty() ? MadeWithText(QString()) : GiftLabText(QString()));
  }

  const QString notJpeg = dir_.filePath(QStringLiteral("notjpeg"));
  ASSERT_TRUE(WriteTestGift(notJpeg, TestTrailer(), QByteArray(4000, 'j')));
  TAnswers answers;
  auto form = Start(notJpeg);
  EXPECT_FALSE(form->BoardLive());
  ASSERT_EQ(answers.Messages.size(), 1u);
  EXPECT_FALSE(answers.Messages[0].isEmpty());
  EXPECT_TRUE(answers.Splashes.empty());
  EXPECT_FALSE(form->SplashForm->isVisible());
  EXPECT_TRUE(form->SplashForm->OkBtn->isEnabled());
}

TEST_F(MainWindowTest, TheLastJoinBringsTheCongratulationsAndThePicture) {
  const QString pair = dir_.filePath(QStringLiteral("pair"));
  ASSERT_TRUE(WriteTestGift(pair, 240, 120, TestTrailer(2)));
  TAnswers answers;
  auto form = Start(pair);
  TJigsaw& game = *form->Game;
  ASSERT_EQ(game.Pieces.size(), 2u);
  // The right piece dropped where it fits the left one, by the mouse.
  TFormPiece& right = game.Pieces[1];
  const TPoint fits = TPieces::ExpectedPos(right, game.Pieces[0]);
  TPoint grip{right.X + right.Width / 2, right.Y + right.Height / 2};
  while (game.BoardTray().PieceUnder(grip.X, grip.Y, true) != &right) ++grip.X;
  game.MouseDown(TJigsaw::LeftButton, grip.X, grip.Y);
  game.MouseMove(grip.X + fits.X - right.X, grip.Y + fits.Y - right.Y);
  game.MouseUp(grip.X + fits.X - right.X, grip.Y + fits.Y - right.Y);
  ASSERT_EQ(form->Records.Puzzle.SolvedCount, 2);
  EXPECT_TRUE(answers.Others.empty());

  // A tick while the window is not active: the clock stays at 0.
  form->Window.GameActive = false;
  form->Timer1Timer();
  ASSERT_EQ(answers.Others.size(), 2u);
  EXPECT_EQ(answers.Others[0], QStringLiteral("You solved all 2 pieces in 0 seconds without cheating!"));
  EXPECT_EQ(answers.Others[1], QStringLiteral("ZoomForm"));
  EXPECT_EQ(form->Records.Puzzle.Completed, 1);
  // Once is enough; and the clock stands still from now on.
  form->Window.GameActive = true;
  form->Timer1Timer();
  EXPECT_EQ(answers.Others.size(), 2u);
  EXPECT_EQ(form->Records.Puzzle.ElapsedSeconds, 0);
}

TEST_F(MainWindowTest, TheHintFlashesWhileTheWindowPaintsAndACommandPutsItsPieceBack) {
  TAnswers answers;
  auto form = Start(gift_);
  TJigsaw& game = *form->Game;
  // Every paint of the play area, and whether a flashed piece was raised
  // while it ran.
  struct TPaints : QObject {
    TJigsaw* Game = nullptr;
    std::vector<bool> Raised;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) Raised.push_back(!Game->Gesture.Moving.empty());
      return false;
    }
  } paints;
  paints.Game = &game;
  form->PaintBox1->installEventFilter(&paints);

  // Cheat > Hint! returns with the flash under way: the window handles its
  // events, a part of the board uncovered (as by a closing menu) is painted
  // while a piece is raised, and the flash comes to its end by itself.
  Choose(form->Menus->Hint1);
  EXPECT_EQ(form->Records.Puzzle.CheatCount, 1);
  ASSERT_TRUE(game.IsAnimating());
  bool paintedRaised = false;
  const QDeadlineTimer deadline(30000);
  while (game.IsAnimating() && !deadline.hasExpired()) {
    if (!game.Gesture.Moving.empty()) {
      const std::size_t before = paints.Raised.size();
      form->PaintBox1->update(QRect(0, 0, 40, 40));
      QApplication::processEvents();
      paintedRaised = paintedRaised || (paints.Raised.size() > before && game.Gesture.Moving.size() == 1);
    }
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  EXPECT_TRUE(paintedRaised);
  EXPECT_TRUE(std::find(paints.Raised.begin(), paints.Raised.end(), true) != paints.Raised.end());
  EXPECT_FALSE(game.IsAnimating());
  EXPECT_TRUE(game.Gesture.Moving.empty());
  EXPECT_TRUE(ScreenShowsBoard(*form));

  // A command chosen while a piece is raised finds it put back.
  Choose(form->Menus->Hint2);
  while (game.Gesture.Moving.empty() && game.IsAnimating() && !deadline.hasExpired())
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  ASSERT_FALSE(game.Gesture.Moving.empty());
  Choose(form->Menus->ArrangeInGrid);
  EXPECT_FALSE(game.IsAnimating());
  EXPECT_TRUE(game.Gesture.Moving.empty());
  EXPECT_FALSE(std::any_of(game.Pieces.begin(), game.Pieces.end(), [](const TFormPiece& p) { return p.Hidden; }));
  EXPECT_EQ(form->Records.Puzzle.CheatCount, 2);
  EXPECT_TRUE(ScreenShowsBoard(*form));
  form->PaintBox1->removeEventFilter(&paints);
}

TEST_F(MainWindowTest, AutoSolveRunsWithItsWindowAndGivesWayToRestartAndClosing) {
  TAnswers yes(TMsgResult::Yes);
  auto form = Start(gift_);
  form->SolveDlg->SpeedBar->setValue(10);
  EXPECT_EQ(form->Window.Solve.Speed, 10);
  ASSERT_TRUE(form->Menus->Solve1->isEnabled());

  // The Stop button, pressed while auto-solve runs: the window goes and the
  // game stays unsolved.
  bool shown = false;
  AutoSolveWith(*form, form->Menus->Solve1, [&] {
    shown = form->SolveDlg->isVisible();
    form->SolveDlg->OKBtn->click();
  });
  EXPECT_TRUE(shown);
  EXPECT_FALSE(form->SolveDlg->isVisible());
  EXPECT_FALSE(form->Game->IsAutoSolving());
  EXPECT_LT(form->Records.Puzzle.SolvedCount, form->Records.Puzzle.PieceCount);
  EXPECT_EQ(form->Records.Puzzle.AutoSolveUsed, 1);

  // Restart chosen while auto-solve runs waits for it to end, then starts a
  // clean game.
  AutoSolveWith(*form, form->Menus->Solve2, [&] { form->Restart1Click(); });
  EXPECT_FALSE(form->SolveDlg->isVisible());
  EXPECT_TRUE(form->Game->IsPlaying());
  EXPECT_EQ(form->Records.Puzzle.AutoSolveUsed, 0);
  EXPECT_EQ(form->Records.Puzzle.SolvedCount, 0);
  EXPECT_TRUE(ScreenShowsBoard(*form));

  // Closing while auto-solve runs ends it and offers the save as usual.
  AutoSolveWith(*form, form->Menus->Solve1, [&] { form->close(); });
  ASSERT_EQ(yes.Splashes.size(), 2u);
  EXPECT_EQ(yes.Splashes.back().BoxCaption, QStringLiteral("Save game..."));
  EXPECT_FALSE(form->BoardLive());
  EXPECT_TRUE(QFileInfo::exists(gift_ + QStringLiteral(".sav")));
}

TEST_F(MainWindowTest, OptionsAndHelpWindowsDoWhatTheirMenusSay) {
  TAnswers answers;
  auto form = Start(gift_);
  TMenus& menus = *form->Menus;

  // The picture window comes and goes with its option; its close box turns
  // the option off.
  Choose(menus.Picture);
  EXPECT_TRUE(form->OverlayForm->isVisible());
  form->OverlayForm->close();
  EXPECT_FALSE(menus.Picture->isChecked());
  Choose(menus.Picture);
  Choose(menus.Picture);
  EXPECT_FALSE(form->OverlayForm->isVisible());

  // Sound switched on plays the join sound at once; off is silent.
  struct TRecorder : TSoundEffects {
    void PlaySoundEntry(int n) override { Played.push_back(n); }
    std::vector<int> Played;
  } effects;
  SetSoundEffects(&effects);
  Choose(menus.Sound);
  EXPECT_FALSE(form->Game->Config.SoundOn);
  EXPECT_FALSE(form->SpeedBar->SpeedSound->isChecked());
  form->SpeedBar->SpeedSound->click();
  QApplication::processEvents();
  EXPECT_TRUE(menus.Sound->isChecked());
  EXPECT_EQ(effects.Played, std::vector<int>{1});
  SetSoundEffects(&form->Sound);

  // The right-button mode: Alternative chosen with rotation off brings the
  // reminder.
  answers.DuringDialog = [](QDialog& dialog) {
    if (auto* mouse = qobject_cast<TMouseDlg*>(&dialog)) mouse->MouseAction->SetItemIndex(1);
  };
  Choose(menus.RightMouseButton);
  EXPECT_EQ(form->Window.MouseMode, 1);
  ASSERT_EQ(answers.Messages.size(), 1u);
  EXPECT_TRUE(answers.Messages[0].startsWith(QStringLiteral("Alternative mouse action is enabled.")));

  // The piece size dialog, chosen while auto-solve runs, opens once it has
  // stopped; its OK cuts the puzzle anew at the size chosen.
  answers.DuringDialog = [&](QDialog& dialog) {
    if (auto* size = qobject_cast<TPieceSizeDlg*>(&dialog)) {
      EXPECT_FALSE(form->Game->IsAutoSolving());
      size->ScrollBarScale->setValue(150);
      size->OKBtn->click();
    }
  };
  AutoSolveWith(*form, menus.Solve1, [&] { Choose(menus.PieceSize); });
  EXPECT_EQ(answers.Others.back(), QStringLiteral("PieceSizeDlg"));
  EXPECT_EQ(form->Records.Puzzle.ScalePercent, 150);
  EXPECT_EQ(form->Records.Puzzle.CutWidth, 600);
  EXPECT_TRUE(ScreenShowsBoard(*form));

  Choose(menus.HelpQuickItem);
  Choose(menus.HelpAboutItem);
  form->SpeedBar->SpeedHelp->click();
  QApplication::processEvents();
  const std::vector<QString> opened(answers.Others.end() - 4, answers.Others.end());
  EXPECT_EQ(opened, (std::vector<QString>{QStringLiteral("PieceSizeDlg"), QStringLiteral("QuickHelpDlg"),
                                          QStringLiteral("AboutBox"), QStringLiteral("QuickHelpDlg")}));
  // The gift maker stays open beside the game: File › Make a Gift and Help ›
  // Order show the one window.
  Choose(menus.HelpOrderItem);
  auto* maker = form->findChild<TGiftMakerDlg*>();
  ASSERT_NE(maker, nullptr);
  EXPECT_TRUE(maker->isVisible());
  EXPECT_FALSE(maker->isModal());
  maker->close();
  Choose(menus.FileMakeItem);
  EXPECT_EQ(form->findChildren<TGiftMakerDlg*>().size(), 1);
  EXPECT_TRUE(maker->isVisible());
  maker->close();
}

TEST_F(MainWindowTest, TraysAreMadeDescribedAndDeletedFromTheMenus) {
  TAnswers answers;
  auto form = Start(gift_);
  TMenus& menus = *form->Menus;
  ASSERT_TRUE(menus.NewTray->isEnabled());
  EXPECT_FALSE(form->BoxBar->isVisibleTo(form.get()));
  Choose(menus.NewTray);
  ASSERT_EQ(form->Game->Trays.size(), 2u);
  TBox& tray = *form->Game->Trays[1];
  EXPECT_TRUE(form->BoxBar->isVisibleTo(form.get()));

  // The tray popup's commands act on the tray it opened on.
  form->Game->CurrentTray = &tray;
  answers.DuringDialog = [](QDialog& dialog) {
    if (auto* input = qobject_cast<QInputDialog*>(&dialog)) input->setTextValue(QStringLiteral("Sky"));
  };
  Choose(menus.TrayRename);
  EXPECT_EQ(tray.Title(), QStringLiteral("Tray 1: Sky"));
  answers.DuringDialog = [](QDialog& dialog) {
    if (auto* input = qobject_cast<QInputDialog*>(&dialog)) input->setTextValue(QStringLiteral("\u4e91"));
  };
  Choose(menus.TrayRename1);
  ASSERT_EQ(answers.Messages.size(), 1u);
  EXPECT_TRUE(answers.Messages[0].contains(QStringLiteral("Western European")));
  EXPECT_EQ(tray.Description, QStringLiteral("Sky"));
  Choose(menus.TrayGrab);
  EXPECT_EQ(form->Game->BoardTray().Count(), 0);
  Choose(menus.Contrasting2);
  EXPECT_EQ(tray.Color, form->Game->ContrastingColor());

  Choose(menus.TrayDelete);
  EXPECT_EQ(form->Game->Trays.size(), 1u);
  EXPECT_EQ(form->Game->BoardTray().Count(), 12);
  EXPECT_FALSE(form->BoxBar->isVisibleTo(form.get()));
  EXPECT_TRUE(ScreenShowsBoard(*form));
}

TEST_F(MainWindowTest, AGameThatEndsNormallyLeavesNoRecoveryFile) {
  TAnswers answers;
  auto form = Start(gift_);
  auto now = std::chrono::steady_clock::time_point() + std::chrono::hours(1);
  form->Game->Recovery = TRecovery([&now] { return now; });
  const QString recovery = TSavedGamePlace(gift_).Recovery();
  form->Timer1Timer();
  Choose(form->Menus->ArrangeInGrid);
  now += TRecovery::Interval;
  form->Timer1Timer();
  ASSERT_TRUE(QFileInfo::exists(recovery));
  // Closed without saving: the user chose, and the recovery file goes too.
  answers.DuringSplash = [&] { form->SplashForm->SaveResumeBox->setChecked(false); };
  form->close();
  EXPECT_FALSE(QFileInfo::exists(recovery));
  EXPECT_FALSE(QFileInfo::exists(gift_ + QStringLiteral(".sav")));
}

TEST_F(MainWindowTest, EditUndoTakesBackAnArrangementAndRedoMakesItAgain) {
  TAnswers answers;
  auto form = Start(gift_);
  TMenus& menus = *form->Menus;
  EXPECT_FALSE(menus.Undo1->isEnabled());
  const TBoardState start = form->Game->CaptureBoard();
  Choose(menus.ArrangeInGrid);
  const TBoardState arranged = form->Game->CaptureBoard();
  ASSERT_NE(arranged, start);
  ASSERT_TRUE(menus.Undo1->isEnabled());
  Choose(menus.Undo1);
  EXPECT_EQ(form->Game->CaptureBoard(), start);
  EXPECT_TRUE(ScreenShowsBoard(*form));
  EXPECT_TRUE(menus.Redo2->isEnabled());
  Choose(menus.Redo2);
  EXPECT_EQ(form->Game->CaptureBoard(), arranged);
  // The toolbar's Undo and Redo do the same, enabled as the items are.
  TSpeedBar& bar = *form->SpeedBar;
  EXPECT_EQ(bar.SpeedUndo->toolTip(), QStringLiteral("Undo (Ctrl+Z)"));
  EXPECT_EQ(bar.SpeedRedo->toolTip(), QStringLiteral("Redo (Ctrl+Y)"));
  EXPECT_TRUE(bar.SpeedUndo->isEnabled());
  EXPECT_FALSE(bar.SpeedRedo->isEnabled());
  bar.SpeedUndo->click();
  QApplication::processEvents();
  EXPECT_EQ(form->Game->CaptureBoard(), start);
  EXPECT_FALSE(bar.SpeedUndo->isEnabled());
  ASSERT_TRUE(bar.SpeedRedo->isEnabled());
  bar.SpeedRedo->click();
  QApplication::processEvents();
  EXPECT_EQ(form->Game->CaptureBoard(), arranged);
  // A new window size is no step to undo.
  form->resize(700, 560);
  QApplication::processEvents();
  Choose(menus.Undo1);
  EXPECT_FALSE(menus.Undo1->isEnabled());
  EXPECT_TRUE(menus.Redo1->isEnabled());
  EXPECT_TRUE(ScreenShowsBoard(*form));
}

TEST_F(MainWindowTest, ATrayBarClickIsAStepToUndoAndItsErrorIsShown) {
  TAnswers answers;
  auto form = Start(gift_);
  Choose(form->Menus->NewTray);
  ASSERT_EQ(form->Game->Trays.size(), 2u);
  TBox& tray = *form->Game->Trays[1];
  QToolButton* button = form->BoxBar->ButtonFor(*tray.Button);
  ASSERT_NE(button, nullptr);
  const bool wasOpen = tray.Open;
  const TBoardState before = form->Game->CaptureBoard();

  // Closed (or opened) from the bar, the tray is opened (or closed) again by
  // Undo, as after any other command.
  button->click();
  QApplication::processEvents();
  ASSERT_NE(tray.Open, wasOpen);
  ASSERT_TRUE(form->Menus->Undo1->isEnabled());
  Choose(form->Menus->Undo1);
  EXPECT_EQ(tray.Open, wasOpen);
  EXPECT_EQ(form->Game->CaptureBoard(), before);
  EXPECT_TRUE(ScreenShowsBoard(*form));

  // A click whose command fails says why in the error box, and the game goes
  // on.
  tray.Button->OnClick = [] { throw EError(QStringLiteral("The tray is stuck.")); };
  button->click();
  QApplication::processEvents();
  ASSERT_EQ(answers.Messages.size(), 1u);
  EXPECT_EQ(answers.Messages[0], QStringLiteral("The tray is stuck."));
  EXPECT_TRUE(form->BoardLive());
  Choose(form->Menus->ArrangeInGrid);
  EXPECT_TRUE(form->Menus->Undo1->isEnabled());
}
