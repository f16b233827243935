#pragma once
// What the benchmarks that open windows share.

#include <QApplication>
#include <QByteArray>

// A widget application on Qt's offscreen platform, for the cases that open
// the main window or draw text, such as a tray's title; the others run
// without one, as the tools do.
class TOffscreenApplication {
 public:
  TOffscreenApplication() = default;
  TOffscreenApplication(const TOffscreenApplication&) = delete;
  TOffscreenApplication& operator=(const TOffscreenApplication&) = delete;

 private:
  // Set before the application starts, which reads it.
  const bool offscreen_ = qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc_ = 1;
  char name_[11] = "benchmarks";
  char* argv_[2] = {name_, nullptr};
  QApplication application_{argc_, argv_};
};
