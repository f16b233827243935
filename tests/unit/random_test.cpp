// The one generator: state := state x 134775813 + 1 (mod 2^32), result the
// high 32 bits of state x n. Expected values were worked out from that rule.

#include <gtest/gtest.h>

#include "platform/random.h"

TEST(Random, FollowsTheLinearCongruentialRule) {
  // Seed 0: states 1, 134775814, 3698175007, 870078620.
  SetRandSeed(0);
  EXPECT_EQ(Random(100), 0u);   // 1 x 100 >> 32
  EXPECT_EQ(Random(100), 3u);   // 13,477,581,400 >> 32
  EXPECT_EQ(Random(100), 86u);  // 369,817,500,700 >> 32
  EXPECT_EQ(Random(100), 20u);
  EXPECT_EQ(RandSeed(), 870078620u);

  // Seed 1: states 134775814, 3698175007, 870078620.
  SetRandSeed(1);
  EXPECT_EQ(Random(10), 0u);
  EXPECT_EQ(Random(1000), 861u);
  EXPECT_EQ(Random(0xFFFFFFFFu), 870078619u);  // state x (2^32 - 1) >> 32 = state - 1

  // The multiplication wraps: from 0xFFFFFFFF the next state is 2^32 - 134775812.
  SetRandSeed(0xFFFFFFFFu);
  EXPECT_EQ(Random(0), 0u);
  EXPECT_EQ(RandSeed(), 4160191484u);
  EXPECT_EQ(Random(7), 1u);
  EXPECT_EQ(Random(65536), 34046u);
  EXPECT_EQ(RandSeed(), 2231304098u);
}

TEST(Random, ZeroRangeStillAdvancesAndSmallRangesStayInside) {
  SetRandSeed(5);
  EXPECT_EQ(Random(0), 0u);
  EXPECT_EQ(RandSeed(), 0x282A941Au);  // 5 x 134775813 + 1

  SetRandSeed(12345);
  for (int i = 0; i < 1000; ++i) {
    EXPECT_EQ(Random(1), 0u);
    EXPECT_LT(Random(3), 3u);
  }
}
