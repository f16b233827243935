#pragma once
// Screen cursors by number: the desktop's own cursors have negative numbers,
// the program's cursor resources positive ones.

enum : int {
  crDefault = 0,
  crSizeNESW = -6,   // diagonal resize, top-right to bottom-left
  crSizeNS = -7,     // vertical resize
  crSizeNWSE = -8,   // diagonal resize, top-left to bottom-right
  crSizeWE = -9,     // horizontal resize
  crHourGlass = -11,
  crHandPoint = -21,
  crSizeAll = -22,
  crClosedHand = 1  // cursor resource 1: pieces being dragged
};
