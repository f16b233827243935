// The Tessarine Gift player: plays the gift in its own file, or the gift
// file named on its command line.

#include <QApplication>

#include "shell/application.h"
#include "shell/giftopening.h"

int main(int argc, char** argv) {
  if (const std::optional<int> status = AnswerHelpOrVersion(argc, argv)) return *status;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tessarine Gift"));
  // The desktop finds the entry, and with it the icon, of the windows.
  QGuiApplication::setDesktopFileName(QStringLiteral(TG_APP_ID));
  return RunPlayer(app);
}
