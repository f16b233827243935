#include "game/recovery.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "game/savedgame.h"
#include "platform/messagebox.h"
#include "platform/utility.h"
#include "tests/common/testgame.h"

namespace {

using namespace std::chrono_literals;

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A 4 x 3 game whose recovery file is written on a clock the test moves.
class RecoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    ASSERT_TRUE(WriteTestGift(gift_, 400, 300));
    t_ = Started();
    recovery_ = TSavedGamePlace(gift_).Recovery();
  }

  std::unique_ptr<TTestGame> Started() {
    auto t = std::make_unique<TTestGame>(gift_, 960, 720);
    t->game->Recovery = TRecovery([this] { return now_; });
    t->window.GameActive = true;
    t->Start();
    // The first tick comes while the opening splash waits for the player.
    t->game->Tick();
    return t;
  }

  TJigsaw& game() { return *t_->game; }
  // Drags piece 0 by (dx, dy) with the mouse.
  void Move(int dx, int dy) {
    TFormPiece& p = game().Pieces[0];
    TPoint at{p.X + p.Width / 2, p.Y + p.Height / 2};
    while (game().BoardTray().PieceUnder(at.X, at.Y, true) != &p) ++at.X;
    game().MouseDown(TJigsaw::LeftButton, at.X, at.Y);
    game().MouseMove(at.X + dx, at.Y + dy);
    game().MouseUp(at.X + dx, at.Y + dy);
  }

  QTemporaryDir dir_;
  QString gift_;
  QString recovery_;
  std::chrono::steady_clock::time_point now_ = std::chrono::steady_clock::time_point() + 1h;
  std::unique_ptr<TTestGame> t_;
};

}  // namespace

TEST_F(RecoveryTest, AChangedGameIsWrittenAtMostEveryFiveSecondsAndNeverMidDrag) {
  // Nothing has changed since the start: no file.
  now_ += 10s;
  game().Tick();
  EXPECT_FALSE(QFileInfo::exists(recovery_));

  Move(30, 20);
  now_ += 1s;
  game().Tick();
  ASSERT_TRUE(QFileInfo::exists(recovery_));
  const QByteArray first = Contents(recovery_);
  EXPECT_EQ(first.size(), 4942);

  // Another move within five seconds waits for them to pass.
  Move(30, 20);
  now_ += 4s;
  game().Tick();
  EXPECT_EQ(Contents(recovery_), first);
  now_ += 1s;
  game().Tick();
  const QByteArray second = Contents(recovery_);
  EXPECT_NE(second, first);

  // The clock alone is no change; a piece held in the hand is not written.
  now_ += 10s;
  game().Tick();
  EXPECT_EQ(Contents(recovery_), second);
  TFormPiece& p = game().Pieces[3];
  TPoint at{p.X + p.Width / 2, p.Y + p.Height / 2};
  while (game().BoardTray().PieceUnder(at.X, at.Y, true) != &p) ++at.X;
  game().MouseDown(TJigsaw::LeftButton, at.X, at.Y);
  game().MouseMove(at.X + 40, at.Y);
  game().Tick();
  EXPECT_EQ(Contents(recovery_), second);
  game().MouseUp(at.X + 40, at.Y);
}

TEST_F(RecoveryTest, TheNextStartResumesFromTheRecoveryFileUntilTheGameEndsNormally) {
  Move(50, 10);
  now_ += 1s;
  game().Tick();
  const std::vector<TFormPiece> played = t_->Records();
  // No normal end: the next start takes the recovery file as a saved game.
  auto next = Started();
  EXPECT_TRUE(QFileInfo::exists(recovery_));
  for (std::size_t i = 0; i < played.size(); ++i) {
    EXPECT_EQ(next->game->Pieces[i].X, played[i].X) << i;
    EXPECT_EQ(next->game->Pieces[i].Y, played[i].Y) << i;
  }
  next->game->RemoveRecovery();
  EXPECT_FALSE(QFileInfo::exists(recovery_));

  // Declining the resumed game (or a restart) takes it too.
  Move(10, 40);
  now_ += 5s;
  game().Tick();
  ASSERT_TRUE(QFileInfo::exists(recovery_));
  game().DiscardSavedGame();
  EXPECT_FALSE(QFileInfo::exists(recovery_));

  // One that cannot be read is set aside as a damaged saved game is.
  QFile damaged(recovery_);
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
  damaged.write("not a game");
  damaged.close();
  std::vector<QString> messages;
  SetMessageHandler([&](TMsgType, TMsgButtons, const QString& text) {
    messages.push_back(text);
    return TMsgResult::Ok;
  });
  auto fresh = Started();
  SetMessageHandler({});
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].startsWith(QStringLiteral("The saved game could not be read and a new game was started")));
  EXPECT_TRUE(QFileInfo::exists(recovery_ + QStringLiteral(".damaged")));
}

TEST_F(RecoveryTest, AutoSolveIsWrittenBetweenItsMoves) {
  game().Window.Solve.Speed = 10;
  // Six seconds pass at every pause auto-solve makes for the window.
  int pauses = 0;
  std::vector<int> solvedOnFile;
  game().AutoSolve();
  game().RunAnimationsToEnd([&] {
    now_ += 6s;
    const QByteArray file = Contents(recovery_);
    if (file.size() > 4314) solvedOnFile.push_back(std::uint8_t(file[4313]) | std::uint8_t(file[4314]) << 8);
    if (++pauses == 5) game().StopAutoSolve();
  });
  ASSERT_FALSE(solvedOnFile.empty());
  EXPECT_GT(solvedOnFile.back(), 0);
  // The last move made is on file, auto-solve counted.
  const QByteArray file = Contents(recovery_);
  ASSERT_EQ(file.size(), 4942);
  EXPECT_EQ(std::uint8_t(file[4313]) | std::uint8_t(file[4314]) << 8, game().Record.SolvedCount);
  EXPECT_GT(game().Record.SolvedCount, solvedOnFile.front());
  EXPECT_EQ(file[4321], 1);
}

TEST_F(RecoveryTest, ARecoveryFileThatCannotBeWrittenIsSaidOnceOnTheStatusLine) {
  struct TLine : TStatusLine {
    void SetStatusText(const QString& text) override { Texts.push_back(text); }
    std::vector<QString> Texts;
  } line;
  SetStatusLine(&line);
  // Its name is taken by a folder.
  ASSERT_TRUE(QDir().mkpath(recovery_));
  for (int i = 0; i < 3; ++i) {
    Move(30, 20);
    now_ += 6s;
    game().Tick();
  }
  SetStatusLine(nullptr);
  ASSERT_EQ(line.Texts.size(), 1u);
  EXPECT_EQ(line.Texts[0], QStringLiteral("The game cannot be kept safe against a crash: \"%1\" cannot be written "
                                          "(Is a directory).")
                               .arg(recovery_));
  // Once it can be written, it is.
  ASSERT_TRUE(QDir().rmdir(recovery_));
  now_ += 6s;
  game().Tick();
  EXPECT_EQ(Contents(recovery_).size(), 4942);

  // A link planted at its name is replaced, never followed, and a normal
  // end removes the link alone.
  QTemporaryDir elsewhere;
  const QString victim = elsewhere.filePath(QStringLiteral("victim"));
  QFile file(victim);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("precious");
  file.close();
  QFile::remove(recovery_);
  ASSERT_TRUE(QFile::link(victim, recovery_));
  Move(10, 10);
  now_ += 6s;
  game().Tick();
  EXPECT_FALSE(QFileInfo(recovery_).isSymLink());
  EXPECT_EQ(Contents(recovery_).size(), 4942);
  QFile::remove(recovery_);
  ASSERT_TRUE(QFile::link(victim, recovery_));
  game().RemoveRecovery();
  EXPECT_FALSE(QFileInfo::exists(recovery_) || QFileInfo(recovery_).isSymLink());
  EXPECT_EQ(Contents(victim), QByteArray("precious"));
}
