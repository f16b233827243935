#pragma once
// System colours (0x80000000 + index) and their resolution to plain colours.

#include "platform/types.h"

enum TSystemColorIndex : int {
  COLOR_SCROLLBAR = 0,
  COLOR_BACKGROUND = 1,
  COLOR_ACTIVECAPTION = 2,
  COLOR_INACTIVECAPTION = 3,
  COLOR_MENU = 4,
  COLOR_WINDOW = 5,
  COLOR_WINDOWFRAME = 6,
  COLOR_MENUTEXT = 7,
  COLOR_WINDOWTEXT = 8,
  COLOR_CAPTIONTEXT = 9,
  COLOR_ACTIVEBORDER = 10,
  COLOR_INACTIVEBORDER = 11,
  COLOR_APPWORKSPACE = 12,
  COLOR_HIGHLIGHT = 13,
  COLOR_HIGHLIGHTTEXT = 14,
  COLOR_BTNFACE = 15,
  COLOR_BTNSHADOW = 16,
  COLOR_GRAYTEXT = 17,
  COLOR_BTNTEXT = 18,
  COLOR_INACTIVECAPTIONTEXT = 19,
  COLOR_BTNHIGHLIGHT = 20,
  COLOR_3DDKSHADOW = 21,
  COLOR_3DLIGHT = 22,
  COLOR_INFOTEXT = 23,
  COLOR_INFOBK = 24,
  SYSTEM_COLOR_COUNT = 25
};

constexpr TColor SystemColor(int index) { return 0x80000000u + TColor(index); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);

// A plain colour for any colour value: system colours come from the current
// table, other values lose everything above the low 24 bits.
TColor ColorToRGB(TColor color);

// The table starts with the classic desktop colours (button face 0xC0C0C0,
// shadow 0x808080, button highlight white, button text black ...), so that
// headless drawing is the same everywhere. The shell replaces entries with the
// running desktop's palette; tests set the entries they rely on.
void SetSystemColor(int index, TColor color);
void ResetSystemColors();
