#include "platform/colors.h"

#include <array>

namespace {

constexpr std::array<TColor, SYSTEM_COLOR_COUNT> classicColors = {
    0xC8C8C8,  // scroll bar
    0x808000,  // background
    0x800000,  // active caption
    0x808080,  // inactive caption
    0xC0C0C0,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC0C0C0,  // active border
    0xC0C0C0,  // inactive border
    0x808080,  // application workspace
    0x800000,  // highlight
    0xFFFFFF,  // highlight text
    0xC0C0C0,  // button face
    0x808080,  // button shadow
    0x808080,  // grey text
    0x000000,  // button text
    0xC0C0C0,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x000000,  // 3D dark shadow
    0xDFDFDF,  // 3D light
    0x000000,  // tooltip text
    0xE1FFFF,  // tooltip background
};

std::array<TColor, SYSTEM_COLOR_COUNT> systemColors = classicColors;

}  // namespace

TColor ColorToRGB(TColor color) {
  if (color & 0x80000000u) {
    const TColor index = color & 0xFF;
    return index < systemColors.size() ? systemColors[index] : 0;
  }
  return color & 0xFFFFFF;
}

void SetSystemColor(int index, TColor color) {
  if (index >= 0 && index < SYSTEM_COLOR_COUNT) systemColors[std::size_t(index)] = color & 0xFFFFFF;
}

void ResetSystemColors() { systemColors = classicColors; }
