#pragma once
// The program's one seeded generator. Every call advances the state, so the
// order of calls decides every cut, scatter and hint: keep it.

#include <cstdint>

void SetRandSeed(std::uint32_t seed);
std::uint32_t RandSeed();
// 0 <= result < n; Random(0) returns 0 (and still advances the state).
std::uint32_t Random(std::uint32_t n);
