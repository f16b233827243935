// One start-up of the player in a process of its own, so that the build runs
// on memory the process has never touched, as it does for a user: the main
// window of 1920 x 1080 on Qt's offscreen platform opens the gift named on the
// command line, or the window around a play area of the size given after it
// (WIDTHxHEIGHT). Prints, one "name value" pair a line, the time to a
// playable board (and the CPU time of it), the play area's size, the scale
// the puzzle was cut at, and the memory held with the board up and the peak
// of the whole run, both in megabytes.

#include <QApplication>

#include <cstdio>

#include "bench/playerstartup.h"
#include "bench/residentmemory.h"
#include "shell/playarea.h"

int main(int argc, char** argv) {
  QSize playArea;
  if (argc == 3) {
    const QStringList sides = QString::fromLocal8Bit(argv[2]).split(QLatin1Char('x'));
    if (sides.size() == 2) playArea = QSize(sides[0].toInt(), sides[1].toInt());
  }
  if (argc < 2 || argc > 3 || (argc == 3 && playArea.isEmpty())) {
    std::fprintf(stderr, "usage: %s GIFT [WIDTHxHEIGHT]\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const TPlayerStartup startup(QString::fromLocal8Bit(argv[1]), playArea);
  if (!startup.BoardTime()) {
    std::fprintf(stderr, "%s: no board came up\n", argv[1]);
    return 1;
  }
  const auto milliseconds = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
  std::printf("board_ms %.3f\nboard_cpu_ms %.3f\n", milliseconds(startup.BoardTime()->Wall),
              milliseconds(startup.BoardTime()->Cpu));
  // The board's size in device pixels, as the game has it.
  std::printf("board_width %d\nboard_height %d\n", startup.Form().PaintBox1->Width(),
              startup.Form().PaintBox1->Height());
  std::printf("scale_percent %d\n", int(startup.Form().Records.Puzzle.ScalePercent));
  std::printf("held_mb %.1f\npeak_mb %.1f\n", ResidentMegabytes("VmRSS:"), ResidentMegabytes("VmHWM:"));
  return 0;
}
