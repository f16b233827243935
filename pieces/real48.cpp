#include "pieces/real48.h"

#include <cmath>

namespace {

constexpr int ExponentBias = 129;
constexpr int FractionBits = 39;
constexpr std::uint64_t FractionMask = (std::uint64_t(1) << FractionBits) - 1;

TReal48 Pack(int exponent, std::uint64_t fraction, bool negative) {
  TReal48 bytes{};
  bytes[0] = std::uint8_t(exponent);
  for (int i = 1; i <= 5; ++i) bytes[std::size_t(i)] = std::uint8_t(fraction >> (8 * (i - 1)));
  if (negative) bytes[5] |= 0x80;
  return bytes;
}

}  // namespace

TReal48 ToReal48(double value) {
  if (std::isnan(value) || value == 0.0) return {};
  const bool negative = std::signbit(value);
  if (std::isinf(value)) return Pack(255, FractionMask, negative);

  int exponent = 0;
  // |value| = m x 2^exponent with 0.5 <= m < 1, so the leading bit is m x 2.
  const double m = std::frexp(std::fabs(value), &exponent);
  // 40 significant bits, rounded to nearest with ties to even (the default
  // rounding mode).
  auto significand = std::uint64_t(std::nearbyint(std::ldexp(m, FractionBits + 1)));
  int biased = exponent - 1 + ExponentBias;
  if (significand >> (FractionBits + 1)) {  // rounded up to the next power of two
    significand >>= 1;
    ++biased;
  }
  if (biased < 1) return {};
  if (biased > 255) return Pack(255, FractionMask, negative);
  return Pack(biased, significand & FractionMask, negative);
}

double FromReal48(std::span<const std::uint8_t, 6> bytes) {
  const int exponent = bytes[0];
  if (exponent == 0) return 0.0;
  std::uint64_t fraction = 0;
  for (int i = 5; i >= 1; --i) fraction = (fraction << 8) | bytes[std::size_t(i)];
  const bool negative = (fraction >> FractionBits) & 1;
  fraction &= FractionMask;
  const double magnitude =
      std::ldexp(double((std::uint64_t(1) << FractionBits) | fraction), exponent - ExponentBias - FractionBits);
  return negative ? -magnitude : magnitude;
}
