#pragma once
// Which gift the player plays: the file named on its command line, else its
// own file when it carries a gift, else the installed demo gift; and another
// gift file the person opens while playing.

#include <QString>
#include <QStringList>

#include <cstdio>
#include <memory>
#include <optional>

#include "game/giftlock.h"

class QWidget;

void PrintPlayerUsage(std::FILE* to);
// Answers --help and --version before any window system is reached: the
// exit status, or nothing when neither was asked for.
std::optional<int> AnswerHelpOrVersion(int argc, char** argv);

struct TGiftArgument {
  QString Gift;        // the gift named, as an absolute path; empty when none
  QString UsageError;  // what is wrong with the command line; empty when nothing
};

// The command line as Qt leaves it, its own options taken out: the
// program's name, then at most one gift file.
TGiftArgument ParseGiftArgument(const QStringList& arguments);

// The gift the player plays without an argument: its own file when it
// carries one, else the demo gift installed with it; empty when neither.
QString DefaultGift();

// Why the file at path cannot be played, in a sentence or two for the
// person; empty when it is a gift the player can open.
QString GiftProblem(const QString& path);

// The lock that keeps the gift to this player. Null when another player
// plays the gift, after saying so; then nothing else happens.
std::shared_ptr<TGiftLock> LockGift(const QString& gift);

// Asks for a gift file to open, starting in the user's Downloads folder
// (where gifts received arrive), else Pictures; empty when none is chosen.
QString ChooseGiftFile(QWidget* parent);
