#pragma once
// The program's view of the desktop and the file system.

#include <QString>
#include <QStringList>

#include <functional>

// The running program's own file.
QString ExePath();
// Time separator and short date format of the user's locale.
QString TimeSeparator();
QString ShortDateFormat();

// Bits per pixel of the screen (24 without one). Tests replace the source.
int ScreenDepth();
void SetScreenDepthSource(std::function<int()> source);

// The command of the desktop's default text/html handler (the Exec line of its
// desktop entry, as the entry writes it), or empty. Tests replace the source.
QString DefaultBrowserCommand();
void SetBrowserCommandSource(std::function<QString()> source);

// The program and arguments that open address with a desktop entry's Exec
// line, by the Desktop Entry rules: quoting and escapes are undone first; the
// address then takes the place of the %u, %U, %f or %F field code (once), or
// follows the line when it has none; the other field codes are dropped and
// "%%" is a percent sign. Empty when the line names no program, leaves a
// quote open or holds a field code that the rules do not define.
QStringList BrowserCommand(const QString& execLine, const QString& address);

// Starts a program (the first item) with its arguments, detached and without
// a shell; false when there is none or it could not be started.
bool StartProgram(const QStringList& command);
// The same for a command line split at blanks, with quotes honoured.
bool StartProgram(const QString& commandLine);
// The first of the desktop's display settings programs that is installed, or
// empty.
QString DisplaySettingsCommand();
