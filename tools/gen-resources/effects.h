#pragma once
// The program's five sound effects. Each returns count samples at rate
// samples per second, between -1 and 1, faded in and out at the ends.

#include <vector>

// Two pieces meeting: a short wooden knock.
std::vector<double> MakeJoinKnock(int rate, int count);
// The puzzle is complete: a bright bugle call in C major ending on a held chord.
std::vector<double> MakeFanfare(int rate, int count);
// A two-note "ding-dong" chime.
std::vector<double> MakeChime(int rate, int count);
// A tray opens or shrinks: a soft whoosh of filtered noise that swells and fades.
std::vector<double> MakeWhoosh(int rate, int count);
// A soft bubbly pop followed by a smaller, higher one.
std::vector<double> MakePop(int rate, int count);
