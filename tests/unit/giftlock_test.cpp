#include "game/giftlock.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using TState = TGiftLock::TState;

TEST(GiftLock, OnePlayerHoldsAGiftAndAKilledOneLeavesItFree) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("state/tessarine-gift/gift-0123.lock"));
  {
    const TGiftLock first(path);
    EXPECT_EQ(first.State(), TState::Held);
    EXPECT_EQ(TGiftLock(path).State(), TState::HeldElsewhere);
    // Another gift's lock is its own.
    EXPECT_EQ(TGiftLock(path + QStringLiteral("2")).State(), TState::Held);
  }
  EXPECT_EQ(TGiftLock(path).State(), TState::Held);

  // A player killed while it holds the lock: the lock goes with it.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const QByteArray name = QFile::encodeName(path);
  const pid_t player = fork();
  ASSERT_GE(player, 0);
  if (player == 0) {
    // Only calls that are safe after a fork: the lock as the player takes it.
    const int fd = open(name.constData(), O_RDWR | O_CLOEXEC);
    const char held = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
    if (write(ready[1], &held, 1) != 1) _exit(1);
    for (;;) pause();
  }
  close(ready[1]);
  char held = 0;
  ASSERT_EQ(read(ready[0], &held, 1), 1);
  close(ready[0]);
  EXPECT_EQ(held, 1);
  EXPECT_EQ(TGiftLock(path).State(), TState::HeldElsewhere);
  kill(player, SIGKILL);
  waitpid(player, nullptr, 0);
  EXPECT_EQ(TGiftLock(path).State(), TState::Held);

  // A link planted at the lock's name is never followed; nothing is known
  // then, and the player plays.
  const QString victim = dir.filePath(QStringLiteral("victim"));
  const QString linked = dir.filePath(QStringLiteral("linked.lock"));
  ASSERT_EQ(symlink(QFile::encodeName(victim).constData(), QFile::encodeName(linked).constData()), 0);
  EXPECT_EQ(TGiftLock(linked).State(), TState::Unavailable);
  EXPECT_FALSE(QFileInfo::exists(victim));
  // So is a lock whose folder cannot be made.
  QFile blocker(dir.filePath(QStringLiteral("file")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  EXPECT_EQ(TGiftLock(blocker.fileName() + QStringLiteral("/tessarine-gift/y.lock")).State(), TState::Unavailable);
}
