// File > Open Gift: the game being played closes as closing the window closes
// it (closing splash, save question), then the chosen gift file starts as the
// player starts; a file that is no gift is said so and the game goes on.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>
#include <vector>

#include "game/giftlock.h"
#include "game/savedgame.h"
#include "platform/messagebox.h"
#include "shell/mainform.h"
#include "shell/menus.h"
#include "shell/modal.h"
#include "shell/splashform.h"
#include "tests/common/testgame.h"

namespace {

class OpenGiftTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid() && state_.isValid());
    qputenv("XDG_STATE_HOME", QFile::encodeName(state_.path()));
    first_ = dir_.filePath(QStringLiteral("first"));
    second_ = dir_.filePath(QStringLiteral("second.tgift"));
    ASSERT_TRUE(WriteTestGift(first_, 400, 300, TestTrailer(12)));
    ASSERT_TRUE(WriteTestGift(second_, TestTrailer(30), EncodeJpeg(GiftTestPicture(320, 240), 90), {}));
    SetMessageHandler([this](TMsgType, TMsgButtons, const QString& text) {
      messages_.push_back(text);
      return TMsgResult::Yes;
    });
    SetModalHandler([this](QDialog& dialog) {
      if (auto* splash = qobject_cast<TSplashForm*>(&dialog)) {
        splashes_.push_back(splash->SaveResumeBox->isVisibleTo(splash) ? splash->SaveResumeBox->text()
                                                                       : QStringLiteral("no box"));
        return int(QDialog::Accepted);
      }
      if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
        dialogFolder_ = files->directory().absolutePath();
        filters_ = files->nameFilters();
        if (chosen_.isEmpty()) return int(QDialog::Rejected);
        files->selectFile(chosen_);
        return int(QDialog::Accepted);
      }
      return int(QDialog::Accepted);
    });
  }
  void TearDown() override {
    SetMessageHandler({});
    SetModalHandler({});
    qunsetenv("XDG_STATE_HOME");
  }

  // The window playing the first gift after its first tick.
  std::unique_ptr<TMainForm> Start() {
    auto form = std::make_unique<TMainForm>([this] { return first_; });
    form->show();
    QApplication::processEvents();
    FirstTick(*form);
    return form;
  }
  static void FirstTick(TMainForm& form) {
    form.Timer1->stop();
    form.Timer1Timer();
  }

  QTemporaryDir dir_;
  QTemporaryDir state_;
  QString first_;
  QString second_;
  QString chosen_;
  QString dialogFolder_;
  QStringList filters_;
  std::vector<QString> messages_;
  std::vector<QString> splashes_;
};

TEST_F(OpenGiftTest, TheGameClosesWithItsSaveQuestionAndTheChosenGiftStarts) {
  auto form = Start();
  ASSERT_TRUE(form->BoardLive());
  EXPECT_EQ(form->Menus->FileOpenItem->text(), QStringLiteral("&Open Gift..."));
  EXPECT_EQ(form->Menus->FileOpenItem->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
  form->Game->ArrangeInGrid(TArrangeSource::Board, true, true);
  splashes_.clear();

  chosen_ = second_;
  form->Menus->FileOpenItem->trigger();
  QApplication::processEvents();
  // The file dialog offered gift files, and the game was saved beside the
  // first gift through its closing splash.
  ASSERT_FALSE(filters_.isEmpty());
  EXPECT_EQ(filters_.first(), QStringLiteral("Jigsaw gifts (*.tgift)"));
  EXPECT_TRUE(QFileInfo(dialogFolder_).isDir());
  ASSERT_EQ(splashes_.size(), 1u);
  EXPECT_EQ(splashes_[0], QStringLiteral("Save game..."));
  EXPECT_TRUE(QFileInfo(first_ + ".sav").isFile());
  EXPECT_FALSE(form->BoardLive());

  // The second gift starts as the player starts: its splash, then its board.
  FirstTick(*form);
  EXPECT_TRUE(form->BoardLive());
  EXPECT_EQ(form->Game->Gift.ExePath, second_);
  EXPECT_EQ(form->Record().PictureWidth, 320);
  EXPECT_EQ(splashes_.size(), 2u);
  EXPECT_TRUE(messages_.empty()) << qPrintable(messages_.front());

  // Back to the first gift: its saved game is offered and resumed.
  form->OpenGift(first_);
  EXPECT_TRUE(QFileInfo(second_ + ".sav").isFile());
  FirstTick(*form);
  EXPECT_TRUE(form->BoardLive());
  EXPECT_EQ(form->Game->Gift.ExePath, first_);
  EXPECT_EQ(splashes_.back(), QStringLiteral("Resume game..."));
}

TEST_F(OpenGiftTest, AFileThatIsNoGiftIsSaidSoAndTheGameGoesOn) {
  auto form = Start();
  const std::vector<TFormPiece> before = form->Game->Pieces;
  splashes_.clear();
  const QString picture = dir_.filePath(QStringLiteral("picture.jpg"));
  QFile file(picture);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(EncodeJpeg(GiftTestPicture(64, 48), 90));
  file.close();

  for (const QString& path : {picture, dir_.filePath(QStringLiteral("missing.tgift")), dir_.path()}) {
    messages_.clear();
    form->OpenGift(path);
    ASSERT_EQ(messages_.size(), 1u) << qPrintable(path);
    EXPECT_TRUE(messages_[0].startsWith(QStringLiteral("\"%1\" cannot be played as a jigsaw gift.").arg(path)))
        << qPrintable(messages_[0]);
    EXPECT_TRUE(splashes_.empty());
    EXPECT_TRUE(form->BoardLive());
    EXPECT_EQ(form->Game->Gift.ExePath, first_);
  }
  EXPECT_EQ(form->Game->Pieces.size(), before.size());

  // A gift that another player plays stays with it.
  {
    const TGiftLock elsewhere(TSavedGamePlace(second_).Lock());
    ASSERT_EQ(elsewhere.State(), TGiftLock::TState::Held);
    messages_.clear();
    form->OpenGift(second_);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].startsWith(QStringLiteral("\"second.tgift\" is already open in another window.")))
        << qPrintable(messages_[0]);
    EXPECT_TRUE(splashes_.empty());
    EXPECT_EQ(form->Game->Gift.ExePath, first_);
  }

  // A dialog cancelled changes nothing either.
  chosen_.clear();
  messages_.clear();
  form->OpenGiftClick();
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(form->BoardLive());
}

}  // namespace
