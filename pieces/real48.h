#pragma once
// The 6-byte real of saved piece positions: byte 0 the exponent biased by 129
// (0 means the value 0), bytes 1 to 5 a 39-bit fraction, least significant
// byte first, with the sign in the top bit of byte 5:
// value = +-(1 + fraction / 2^39) x 2^(exponent - 129).

#include <array>
#include <cstdint>
#include <span>

using TReal48 = std::array<std::uint8_t, 6>;

// Rounds to the nearest value the format holds (ties to even). Values too small
// for it become 0; values too large for it, and infinities, become the largest
// value of their sign; a NaN becomes 0.
TReal48 ToReal48(double value);

// Every 6-byte pattern is a finite number, held exactly by a double.
double FromReal48(std::span<const std::uint8_t, 6> bytes);
