#pragma once
// One subcommand of tessarine-gift. Each returns the exit status: 0 on
// success, 2 for invalid options or input (after one clear line on stderr).

#include <QStringList>

int RunMake(const QStringList& args);
int RunInfo(const QStringList& args);
int RunCut(const QStringList& args);
int RunRender(const QStringList& args);
int RunThumbnail(const QStringList& args);

// Thrown by option parsing and input checks; main prints it and exits with 2.
struct TUsageError {
  QString Message;
  // The command line itself is wrong, not its input: the usage follows.
  bool ShowUsage = false;
};
