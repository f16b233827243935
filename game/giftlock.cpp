#include "game/giftlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

TGiftLock::TGiftLock(const QString& path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  // Never through a link: the file is the player's own.
  fd_ = open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd_ < 0) return;
  int result;
  do result = flock(fd_, LOCK_EX | LOCK_NB);
  while (result != 0 && errno == EINTR);
  if (result == 0)
    state_ = TState::Held;
  else if (errno == EWOULDBLOCK)
    state_ = TState::HeldElsewhere;
}

TGiftLock::~TGiftLock() {
  if (fd_ >= 0) close(fd_);
}
