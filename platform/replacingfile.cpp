#include "platform/replacingfile.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/errors.h"

namespace {

[[noreturn]] void ThrowSystemError(int error) { throw EError(qt_error_string(error)); }

// A file written under a temporary name in the folder of its final one and
// put in its place only once all of it is on disk, so that a failure at any
// point leaves the old file as it was. The temporary file goes unless it was
// committed.
class TReplacement {
 public:
  TReplacement(const QString& path, mode_t mode)
      : path_(QFile::encodeName(path)),
        folder_(QFile::encodeName(QFileInfo(path).absolutePath())),
        temporary_(path_ + QByteArrayLiteral(".XXXXXX")) {
    fd_ = mkstemp(temporary_.data());
    if (fd_ < 0) ThrowSystemError(errno);
    if (fchmod(fd_, mode) != 0) ThrowSystemError(errno);
  }
  ~TReplacement() {
    if (fd_ >= 0) close(fd_);
    if (!committed_) unlink(temporary_.constData());
  }
  TReplacement(const TReplacement&) = delete;
  TReplacement& operator=(const TReplacement&) = delete;

  void Write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
      const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
      if (written < 0 && errno == EINTR) continue;
      if (written < 0) ThrowSystemError(errno);
      bytes = bytes.subspan(std::size_t(written));
    }
  }

  void Commit() {
    if (fsync(fd_) != 0) ThrowSystemError(errno);
    if (close(std::exchange(fd_, -1)) != 0) ThrowSystemError(errno);
    if (rename(temporary_.constData(), path_.constData()) != 0) ThrowSystemError(errno);
    committed_ = true;
    // The new name on disk too; a folder that cannot say so still holds
    // either the old file or the new one.
    if (const int fd = open(folder_.constData(), O_RDONLY | O_DIRECTORY); fd >= 0) {
      fsync(fd);
      close(fd);
    }
  }

 private:
  QByteArray path_;
  QByteArray folder_;
  QByteArray temporary_;
  int fd_ = -1;
  bool committed_ = false;
};

}  // namespace

void WriteReplacing(const QString& path, std::span<const std::uint8_t> bytes, mode_t mode) {
  TReplacement file(path, mode);
  file.Write(bytes);
  file.Commit();
}
