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
     "[--scale PERCENT] [--board WxH] [--rotate] [--shadows] [--list]"},
    {"cut", RunCut, "cut --width W --height H --pieces N --seed S --oddness O --style K [--format-version V] [--labels FILE] [--png FILE]"},
    {"thumbnail", RunThumbnail, "thumbnail GIFT OUT.png SIZE"},
};

void PrintUsage(std::FILE* to) {
  std::fputs("usage: tessarine-gift COMMAND [options]\n"
             "       tessarine-gift --help | --version\n"
             "Makes jigsaw gifts from a picture and looks at them. Commands:\n",
             to);
  for (const TCommand& c : commands) std::fprintf(to, "  %s\n", c.Usage);
  std::fputs("An output name ending in .tgift makes a data gift, which any installed player opens;\n"
             "any other name makes an executable gift. COMMAND --help prints the command's usage.\n",
             to);
}

bool AsksForHelp(const QString& arg) { return arg == QLatin1String("--help") || arg == QLatin1String("-h"); }

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
  if (args.size() == 1 && AsksForHelp(args.first())) {
    PrintUsage(stdout);
    return 0;
  }
  if (args.size() == 1 && args.first() == QLatin1String("--version")) {
    std::printf("tessarine-gift %s\n", TG_TOOL_VERSION);
    return 0;
  }
  QGuiApplication app(argc, argv);
  if (args.isEmpty()) {
    PrintUsage(stderr);
    return 2;
  }
  const QString name = args.takeFirst();
  for (const TCommand& c : commands) {
    if (name != QLatin1String(c.Name)) continue;
    if (args.size() == 1 && AsksForHelp(args.first())) {
      std::printf("usage: tessarine-gift %s\n", c.Usage);
      return 0;
    }
    try {
      return c.Run(args);
    } catch (const TUsageError& e) {
      std::fprintf(stderr, "tessarine-gift %s: %s\n", c.Name, qPrintable(e.Message));
      if (e.ShowUsage) std::fprintf(stderr, "usage: tessarine-gift %s\n", c.Usage);
      return 2;
    }
  }
  std::fprintf(stderr, "tessarine-gift: unknown command \"%s\"\n", qPrintable(name));
  PrintUsage(stderr);
  return 2;
}
