#include "shell/giftopening.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>

#include "game/gift.h"
#include "game/savedgame.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/system.h"
#include "shell/modal.h"

namespace {

const char* const usage =
    "usage: tessarine [GIFT]\n"
    "       tessarine --help | --version\n"
    "Plays the jigsaw gift in the file GIFT: a data gift (*.tgift) or an executable\n"
    "gift. Without GIFT it plays the gift this program carries, or the demo gift\n"
    "installed with it. A game is saved beside its gift, or in\n"
    "$XDG_STATE_HOME/tessarine-gift when that folder cannot be written.\n"
    "Qt's own options (such as -platform wayland) are understood too.\n";

}  // namespace

void PrintPlayerUsage(std::FILE* to) { std::fputs(usage, to); }

std::optional<int> AnswerHelpOrVersion(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) break;
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      PrintPlayerUsage(stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      // This program's version, without its "v".
      std::printf("tessarine %s\n", TG_VERSION + 1);
      return 0;
    }
  }
  return std::nullopt;
}

TGiftArgument ParseGiftArgument(const QStringList& arguments) {
  QStringList named;
  bool onlyFiles = false;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (!onlyFiles && arg == QLatin1String("--")) {
      onlyFiles = true;
    } else if (!onlyFiles && arg.startsWith(u'-') && arg != QLatin1String("-")) {
      return {{}, QStringLiteral("unknown option %1").arg(arg)};
    } else {
      named << arg;
    }
  }
  if (named.size() > 1) return {{}, QStringLiteral("one gift file at a time, not %1").arg(named.size())};
  if (named.isEmpty()) return {};
  return {QFileInfo(named.first()).absoluteFilePath(), {}};
}

QString DefaultGift() {
  const QString own = ExePath();
  if (CarriesGift(own)) return own;
  const QString demo = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral(TG_INSTALLED_DEMO));
  return QFileInfo(demo).isFile() ? QDir::cleanPath(demo) : QString();
}

QString GiftProblem(const QString& path) {
  try {
    CheckGiftFile(path);
    return {};
  } catch (const EError& e) {
    return QStringLiteral("\"%1\" cannot be played as a jigsaw gift.\n\n%2")
        .arg(QDir::toNativeSeparators(path), e.Message());
  }
}

std::shared_ptr<TGiftLock> LockGift(const QString& gift) {
  const TSavedGamePlace place(gift);
  auto lock = std::make_shared<TGiftLock>(place.Lock());
  if (lock->State() == TGiftLock::TState::HeldElsewhere) {
    MessageDlg(QStringLiteral("\"%1\" is already open in another window. A gift plays in one window at a time, "
                              "so that neither game is lost: go on playing it there.")
                   .arg(QFileInfo(gift).fileName()),
               TMsgType::Information, TMsgButtons::Ok);
    return nullptr;
  }
  // With no other player of this gift running, a temporary file of its
  // saves is what a killed save left behind.
  if (lock->State() == TGiftLock::TState::Held) place.RemoveUnfinishedWrites();
  return lock;
}

QString ChooseGiftFile(QWidget* parent) {
  QString folder;
  for (const auto location : {QStandardPaths::DownloadLocation, QStandardPaths::PicturesLocation,
                              QStandardPaths::HomeLocation}) {
    folder = QStandardPaths::writableLocation(location);
    if (QFileInfo(folder).isDir()) break;
  }
  QFileDialog dialog(parent, QStringLiteral("Open Gift"), folder);
  dialog.setObjectName(QStringLiteral("OpenGiftDlg"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({QStringLiteral("Jigsaw gifts (*.tgift)"), QStringLiteral("All files (*)")});
  // Qt's own dialog, the same on every desktop and answerable in tests.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (ShowModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}
