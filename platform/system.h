#pragma once
// The program's view of the desktop and the file system.

#include <QString>

#include <functional>

// The running program's own file.
QString ExePath();
QString TempDir();
// Time separator and short date format of the user's locale.
QString TimeSeparator();
QString ShortDateFormat();

// Bits per pixel of the screen (24 without one). Tests replace the source.
int ScreenDepth();
void SetScreenDepthSource(std::function<int()> source);

// The command of the desktop's default text/html handler (the Exec line of its
// desktop entry), or empty. Tests replace the source.
QString DefaultBrowserCommand();
void SetBrowserCommandSource(std::function<QString()> source);

// Starts a command line detached; false when it could not be started.
bool StartProgram(const QString& commandLine);
// The first of the desktop's display settings programs that is installed, or
// empty.
QString DisplaySettingsCommand();
