#pragma once
// What every fuzz target and the seed maker share: a GUI application object
// on Qt's offscreen platform, a scratch folder of the process's own that
// also takes the temporary files (the music) and the state folder (saved
// games), message boxes answered without a person, and files written whole.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/messagebox.h"

// Stops the run: libFuzzer keeps the input that got here as a crash.
[[noreturn]] inline void FuzzFailure(const char* what) {
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
  std::abort();
}

inline void FuzzCheck(bool holds, const char* what) {
  if (!holds) FuzzFailure(what);
}

// The message boxes shown since the last Clear(); each is answered with
// its first button, as the user who clicks OK or Yes.
class TShownMessages {
 public:
  void Clear() { texts_.clear(); }
  const std::vector<QString>& Texts() const { return texts_; }
  void Add(const QString& text) { texts_.push_back(text); }

 private:
  std::vector<QString> texts_;
};

inline TShownMessages& ShownMessages() {
  static TShownMessages messages;
  return messages;
}

// The folder every file of the run goes to; gone when the process ends. In
// memory where the system has a place for it: targets write a file or two
// for every input.
inline const QString& ScratchFolder() {
  static const QString base =
      QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
  static const QTemporaryDir folder(base + QStringLiteral("/tessarine-fuzz-XXXXXX"));
  if (!folder.isValid()) FuzzFailure("no scratch folder");
  static const QString path = folder.path();
  return path;
}

inline QString ScratchFile(const QString& name) { return ScratchFolder() + QLatin1Char('/') + name; }

// Call first in LLVMFuzzerInitialize (and in the seed maker's main).
inline void StartFuzzing() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Nothing a target does may reach the user's own folders: temporary files,
  // the state folder and the runtime folder lie in the scratch folder.
  const QByteArray scratch = QFile::encodeName(ScratchFolder());
  qputenv("TMPDIR", scratch);
  qputenv("XDG_STATE_HOME", scratch + "/state");
  QDir().mkpath(ScratchFolder() + QStringLiteral("/runtime"));
  QFile::setPermissions(ScratchFolder() + QStringLiteral("/runtime"),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("XDG_RUNTIME_DIR", scratch + "/runtime");
  static int argc = 1;
  static char name[] = "tessarine-fuzz";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  SetMessageHandler([](TMsgType, TMsgButtons buttons, const QString& text) {
    ShownMessages().Add(text);
    return buttons == TMsgButtons::Ok || buttons == TMsgButtons::OkCancel ? TMsgResult::Ok : TMsgResult::Yes;
  });
}

inline void WriteWholeFile(const QString& path, std::span<const std::uint8_t> bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size()))
    FuzzFailure("cannot write a scratch file");
}

inline std::span<const std::uint8_t> BytesOf(const QByteArray& data) {
  return {reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size())};
}
