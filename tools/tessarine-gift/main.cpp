// tessarine-gift: makes gift files from a picture and inspects them.

#include <QGuiApplication>

#include <cstdio>
#include <vector>

#include "tools/tessarine-gift/command.h"

namespace {

struct TCommand {
  const char* Name;
  int (*Run)(const QStringList&);
  const char* Usage;
};

const std::vector<TCommand> commands = {
    {"make", RunMake,
     "make -o OUT --picture FILE [--music FILE.mid] [--title T] [--creator C] [--description D] [--pieces N] "
     "[--oddness 0-10] [--seed S] [--style classic|blip|square|star|round|mix] [--outline none|paper|card|wood] "
     "[--rotation] [--background COLOUR] [--opening-text T] [--closing-text T] [--player PATH]"},
    {"info", RunInfo, "info GIFT"},
    {"render", RunRender,
     "render GIFT --out FILE.png [--layout solved|scattered|grid|edge] [--outline none|paper|card|wood] "
     "[--scale PERCENT] [--board WxH] [--rotate] [--shadows]"},
    {"cut", RunCut, "cut --width W --height H --pieces N --seed S --oddness O --style K [--format-version V] [--labels FILE] [--png FILE]"},
};

void PrintUsage() {
  std::fputs("usage: tessarine-gift COMMAND [options]\n", stderr);
  for (const TCommand& c : commands) std::fprintf(stderr, "  %s\n", c.Usage);
}

// The offscreen platform complains about a missing runtime folder that this
// tool never uses; every other message passes.
QtMessageHandler standardMessages = nullptr;

void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))) return;
  if (standardMessages)
    standardMessages(type, context, message);
  else
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

int main(int argc, char** argv) {
  // Fonts and pictures need a GUI application object but never a screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  standardMessages = qInstallMessageHandler(QuietMessages);
  // Taken before Qt sees them: it would remove options of its own, such as --style.
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  QGuiApplication app(argc, argv);
  if (args.isEmpty()) {
    PrintUsage();
    return 2;
  }
  const QString name = args.takeFirst();
  for (const TCommand& c : commands) {
    if (name == QLatin1String(c.Name)) {
      try {
        return c.Run(args);
      } catch (const TUsageError& e) {
        std::fprintf(stderr, "tessarine-gift %s: %s\n", c.Name, qPrintable(e.Message));
        return 2;
      }
    }
  }
  std::fprintf(stderr, "tessarine-gift: unknown command \"%s\"\n", qPrintable(name));
  PrintUsage();
  return 2;
}
