#pragma once
// Colour names as gift files store them: the customary colour identifiers
// ("clWindow", "clNavy", ...) or a number in decimal, or in hexadecimal after
// "$" or "0x". System colours stay symbolic (0x80000000 + index) and are
// resolved when drawn (ColorToRGB).

#include <QString>

#include <cstdint>
#include <optional>

#include "platform/types.h"

// A whole number: optional sign and decimal digits, or "$" / "0x" and up to
// 16 hexadecimal digits. nullopt when the text is not one (or overflows).
std::optional<std::int64_t> ParseNumber(const QString& text);

// The colour an identifier (case-insensitive) or a 32-bit number names;
// nullopt for anything else. Hexadecimal numbers may use all 32 bits
// ("$80000005" is the window colour); decimal ones are signed 32-bit values.
std::optional<TColor> ColorFromName(const QString& name);

// The identifier of a colour that has one (the first in the customary order,
// so 0xC0C0C0 is "clSilver"), otherwise "$" and eight hexadecimal digits.
QString ColorName(TColor color);
