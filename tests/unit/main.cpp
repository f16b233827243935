// Unit tests need no screen, but fonts and pictures need a GUI application
// object: Qt's offscreen platform provides one.

#include <QGuiApplication>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // What the game keeps in the user's state folder goes to a home of the
  // tests' own, never to the home of whoever runs them.
  const QTemporaryDir home;
  qputenv("HOME", QFile::encodeName(home.path()));
  qunsetenv("XDG_STATE_HOME");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
