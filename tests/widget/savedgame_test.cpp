#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

#include "platform/messagebox.h"
#include "shell/mainform.h"
#include "shell/menus.h"
#include "shell/modal.h"
#include "shell/playarea.h"
#include "shell/splashform.h"
#include "tests/common/testgame.h"

namespace {

struct TSplashSeen {
  bool BoxVisible = false;
  QString BoxCaption;
};

// Answers every splash and message box and remembers them; OnSplash may
// change a splash before it is answered.
class TAnswers {
 public:
  TAnswers() {
    SetMessageHandler([this](TMsgType, TMsgButtons, const QString& text) {
      Messages.push_back(text);
      return Reply;
    });
    SetModalHandler([this](QDialog& dialog) {
      if (auto* splash = qobject_cast<TSplashForm*>(&dialog)) {
        Splashes.push_back({splash->SaveResumeBox->isVisibleTo(splash), splash->SaveResumeBox->text()});
        if (OnSplash) OnSplash(*splash);
      }
      return int(QDialog::Accepted);
    });
  }
  ~TAnswers() {
    SetMessageHandler({});
    SetModalHandler({});
  }

  std::vector<QString> Messages;
  TMsgResult Reply = TMsgResult::Yes;
  std::vector<TSplashSeen> Splashes;
  std::function<void(TSplashForm&)> OnSplash;
};

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool SamePlaces(const std::vector<TFormPiece>& a, const std::vector<TFormPiece>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TFormPiece& p, const TFormPiece& q) {
    return p.X == q.X && p.Y == q.Y && p.Group == q.Group && p.Rotation == q.Rotation && p.Tray == q.Tray;
  });
}

class SavedGameWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid() && state_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    saved_ = gift_ + QStringLiteral(".sav");
    ASSERT_TRUE(WriteTestGift(gift_, 400, 300));
    qputenv("XDG_STATE_HOME", QFile::encodeName(state_.path()));
  }
  void TearDown() override { qunsetenv("XDG_STATE_HOME"); }

  // The main window of the gift after its first tick, the clock stopped so
  // that the test decides what happens next.
  std::unique_ptr<TMainForm> Start() {
    auto form = std::make_unique<TMainForm>([this] { return gift_; });
    form->show();
    QApplication::processEvents();
    form->Timer1->stop();
    form->Timer1Timer();
    return form;
  }

  // A game played a little (arranged in a grid) and closed with "Save game..."
  // left checked; the pieces as they were saved.
  std::vector<TFormPiece> SavedGame() {
    auto form = Start();
    form->Game->ArrangeInGrid(TArrangeSource::Board, true, true);
    std::vector<TFormPiece> pieces = form->Game->Pieces;
    form->close();
    return pieces;
  }

  QTemporaryDir dir_;
  QTemporaryDir state_;
  QString gift_;
  QString saved_;
};

}  // namespace

TEST_F(SavedGameWindowTest, ClosingSavesTheGameAndTheNextStartResumesIt) {
  TAnswers answers;
  auto first = Start();
  ASSERT_FALSE(answers.Splashes[0].BoxVisible);
  first->Game->ArrangeInGrid(TArrangeSource::Board, true, true);
  const std::vector<TFormPiece> played = first->Game->Pieces;
  const TBitmap board = first->Game->View.BoardBitmap;
  first->close();
  ASSERT_EQ(answers.Splashes.size(), 2u);
  EXPECT_TRUE(answers.Splashes[1].BoxVisible);
  EXPECT_EQ(answers.Splashes[1].BoxCaption, QStringLiteral("Save game..."));
  EXPECT_TRUE(QFileInfo(saved_).isFile());
  EXPECT_TRUE(answers.Messages.empty());
  const QByteArray file = ReadFile(saved_);

  // The next start offers the saved game and shows it.
  auto second = Start();
  ASSERT_EQ(answers.Splashes.size(), 3u);
  EXPECT_TRUE(answers.Splashes[2].BoxVisible);
  EXPECT_EQ(answers.Splashes[2].BoxCaption, QStringLiteral("Resume game..."));
  EXPECT_TRUE(SamePlaces(second->Game->Pieces, played));
  EXPECT_TRUE(SameBitmap(second->Game->View.BoardBitmap, board));
  QApplication::processEvents();
  second->PaintBox1->PaintInvalid();
  EXPECT_TRUE(SameBitmap(second->PaintBox1->Image(), board));

  // Closed with the box cleared, the older file stays as it was.
  second->Game->Disarrange(TArrangeSource::Board, false);
  answers.OnSplash = [](TSplashForm& splash) { splash.SaveResumeBox->setChecked(false); };
  second->close();
  EXPECT_EQ(ReadFile(saved_), file);
  EXPECT_TRUE(answers.Messages.empty());
}

TEST_F(SavedGameWindowTest, DecliningTheSavedGameDeletesItAndStartsAfresh) {
  TAnswers answers;
  // A window that is not closed saves nothing.
  const std::vector<TFormPiece> fresh = Start()->Game->Pieces;
  ASSERT_FALSE(QFileInfo::exists(saved_));
  SavedGame();
  ASSERT_TRUE(QFileInfo::exists(saved_));

  answers.OnSplash = [](TSplashForm& splash) { splash.SaveResumeBox->setChecked(false); };
  auto declined = Start();
  EXPECT_EQ(answers.Splashes.back().BoxCaption, QStringLiteral("Resume game..."));
  EXPECT_FALSE(QFileInfo::exists(saved_));
  EXPECT_TRUE(declined->BoardLive());
  EXPECT_TRUE(SamePlaces(declined->Game->Pieces, fresh));
  answers.OnSplash = {};

  // A restart deletes the saved game too, and the game is a new one.
  declined.reset();
  SavedGame();
  auto resumed = Start();
  ASSERT_TRUE(QFileInfo::exists(saved_));
  resumed->Menus->Restart1->trigger();
  QApplication::processEvents();
  EXPECT_FALSE(QFileInfo::exists(saved_));
  EXPECT_TRUE(resumed->BoardLive());
  EXPECT_TRUE(SamePlaces(resumed->Game->Pieces, fresh));
  EXPECT_EQ(answers.Messages.back(),
            QStringLiteral("This will restart the jigsaw from scratch. Are you sure?"));
}

TEST_F(SavedGameWindowTest, AGameThatCannotBeSavedIsSaidSoAndThePersonGoesBackOrEndsWithoutSaving) {
  // Where the saved game would go there is a folder, and the state folder
  // cannot be made below a file: neither place takes the file.
  ASSERT_TRUE(QDir().mkdir(saved_));
  QFile blocker(state_.filePath(QStringLiteral("file")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  qputenv("XDG_STATE_HOME", QFile::encodeName(blocker.fileName()));

  TAnswers answers;
  auto form = Start();
  form->Game->ArrangeInGrid(TArrangeSource::Board, true, true);
  const std::vector<TFormPiece> played = form->Game->Pieces;

  // Yes: back to the game, which goes on as it was.
  EXPECT_FALSE(form->close());
  ASSERT_EQ(answers.Messages.size(), 1u);
  EXPECT_TRUE(answers.Messages[0].startsWith(QStringLiteral("The game could not be saved: neither \"") +
                                             saved_ + QStringLiteral("\" (Is a directory)")))
      << answers.Messages[0].toStdString();
  EXPECT_TRUE(answers.Messages[0].endsWith(
      QStringLiteral("(Not a directory) could be written. A game saved before is kept as it was.\n\nGo back to "
                     "the game? No ends it without saving.")))
      << answers.Messages[0].toStdString();
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->BoardLive());
  EXPECT_TRUE(form->Game->IsPlaying());
  EXPECT_TRUE(SamePlaces(form->Game->Pieces, played));

  // The person makes room; closing again saves the game.
  ASSERT_TRUE(QDir().rmdir(saved_));
  EXPECT_TRUE(form->close());
  EXPECT_EQ(answers.Messages.size(), 1u);
  EXPECT_FALSE(form->BoardLive());
  EXPECT_TRUE(QFileInfo(saved_).isFile());
  form.reset();
  EXPECT_TRUE(SamePlaces(Start()->Game->Pieces, played));

  // No: the window closes and nothing is written.
  ASSERT_TRUE(QFile::remove(saved_));
  ASSERT_TRUE(QDir().mkdir(saved_));
  answers.Reply = TMsgResult::No;
  auto unsaved = Start();
  EXPECT_TRUE(unsaved->close());
  EXPECT_EQ(answers.Messages.size(), 2u);
  EXPECT_FALSE(unsaved->BoardLive());
  EXPECT_FALSE(unsaved->isVisible());
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{QStringLiteral("gift")});
}
