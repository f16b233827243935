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
    {"cut", RunCut, "cut --width W --height H --pieces N --seed S --oddness O --style K [--format-version V] [--labels FILE] [--png FILE]"},
};

void PrintUsage() {
  std::fputs("usage: tessarine-gift COMMAND [options]\n", stderr);
  for (const TCommand& c : commands) std::fprintf(stderr, "  %s\n", c.Usage);
}

}  // namespace

int main(int argc, char** argv) {
  // Fonts and pictures need a GUI application object but never a screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
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
