#include "platform/random.h"

namespace {
std::uint32_t state = 0;
}

void SetRandSeed(std::uint32_t seed) { state = seed; }

std::uint32_t RandSeed() { return state; }

std::uint32_t Random(std::uint32_t n) {
  state = state * 134775813u + 1u;
  return std::uint32_t((std::uint64_t(state) * n) >> 32);
}
