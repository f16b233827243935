// The Tessarine Gift player. It takes no command line: the puzzle is inside
// its own file.

#include <QApplication>

#include "shell/application.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tessarine Gift"));
  return RunPlayer(app);
}
