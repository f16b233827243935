#pragma once
// The pictures of the six shape style buttons: each shows the very piece the
// size dialog previews for that style, traced by the piece set's own edge
// tracers, filled in the program's piece colour with a darker outline.

#include <QIcon>
#include <QPixmap>

#include <cstdint>

// Styles 1 Classic to 6 Mix.
constexpr int StyleGlyphSize = 26;

// The style's piece centred in a square of `size` pixels (StyleGlyphSize when
// 0), transparent around it.
QPixmap DrawStyleGlyph(std::int32_t style, int size = 0);

// The picture as an icon, drawn at the device's resolution on any display
// scale.
QIcon StyleGlyphIcon(std::int32_t style);
