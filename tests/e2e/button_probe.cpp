// Waits as an animation waits, handling no event, for a mouse button to go
// down over its full-screen window, and tells whether the live button state
// saw it: prints "waiting" when the wait begins, then "pressed" (status 0) or
// "not pressed" (status 1) after five seconds.

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRasterWindow>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/input.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  QRasterWindow window;
  window.showFullScreen();
  // The window appears and the pointer comes in while events are handled.
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 1500) {
    app.processEvents();
    MouseButtonPending();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::puts("waiting");
  std::fflush(stdout);
  clock.restart();
  bool pressed = false;
  while (!pressed && clock.elapsed() < 5000) {
    pressed = MouseButtonPending();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::puts(pressed ? "pressed" : "not pressed");
  return pressed ? 0 : 1;
}
