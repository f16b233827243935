// Widget tests run real widgets on Qt's offscreen platform.

#include <QApplication>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // A test may give the offscreen platform screens of its own.
  if (!qgetenv("QT_QPA_PLATFORM").startsWith("offscreen")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // What the game keeps in the user's state folder goes to a home of the
  // tests' own, never to the home of whoever runs them.
  const QTemporaryDir home;
  qputenv("HOME", QFile::encodeName(home.path()));
  qunsetenv("XDG_STATE_HOME");
  // The main window opens the audio device: tests never sound on the
  // machine they run on.
  qputenv("SDL_AUDIODRIVER", "dummy");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
