#include "pieces/real48.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

double Read(const TReal48& bytes) { return FromReal48(bytes); }

}  // namespace

TEST(Real48, ValuesWorkedOutByHand) {
  // Exponent byte = binary exponent + 129; fraction bits after the leading 1,
  // least significant byte first; sign in the top bit of the last byte.
  const TReal48 one{0x81, 0, 0, 0, 0, 0};
  const TReal48 half{0x80, 0, 0, 0, 0, 0};
  const TReal48 minusTwo{0x82, 0, 0, 0, 0, 0x80};
  const TReal48 zero{0, 0, 0, 0, 0, 0};
  // 300.25 = 100101100.01b = 1.0010110001b x 2^8: exponent 137 = 0x89, the ten
  // fraction bits 0010110001b = 0xB1 at the top of the 39: 0xB1 << 29 = 0x1620000000.
  const TReal48 value300{0x89, 0x00, 0x00, 0x00, 0x20, 0x16};

  EXPECT_EQ(ToReal48(1.0), one);
  EXPECT_EQ(ToReal48(0.5), half);
  EXPECT_EQ(ToReal48(-2.0), minusTwo);
  EXPECT_EQ(ToReal48(0.0), zero);
  EXPECT_EQ(ToReal48(-0.0), zero);
  EXPECT_EQ(ToReal48(300.25), value300);

  EXPECT_EQ(Read(one), 1.0);
  EXPECT_EQ(Read(half), 0.5);
  EXPECT_EQ(Read(minusTwo), -2.0);
  EXPECT_EQ(Read(zero), 0.0);
  EXPECT_EQ(Read(value300), 300.25);
  // A zero exponent is zero whatever the other bytes hold.
  EXPECT_EQ(Read({0, 0xFF, 0x12, 0x34, 0x56, 0xFF}), 0.0);
  // The largest fraction: 1 + (2^39 - 1) / 2^39 = 2 - 2^-39.
  EXPECT_EQ(Read({0x81, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}), 2.0 - std::ldexp(1.0, -39));
  // -3 = -1.1b x 2^1: the top fraction bit is bit 38, bit 6 of the last byte.
  EXPECT_EQ(ToReal48(-3.0), (TReal48{0x82, 0, 0, 0, 0, 0xC0}));
}

TEST(Real48, RoundsToNearestWithTiesToEven) {
  const double step = std::ldexp(1.0, -39);  // one unit of the fraction at exponent 0
  // Halfway between 1 and 1 + step: to the even fraction 0.
  EXPECT_EQ(ToReal48(1.0 + step / 2), (TReal48{0x81, 0, 0, 0, 0, 0}));
  // Halfway between fractions 1 and 2: to 2.
  EXPECT_EQ(ToReal48(1.0 + 3 * step / 2), (TReal48{0x81, 2, 0, 0, 0, 0}));
  // Just above half a unit: up.
  EXPECT_EQ(ToReal48(1.0 + step / 2 + step / 8), (TReal48{0x81, 1, 0, 0, 0, 0}));
  // Rounding up the largest fraction carries into the exponent.
  EXPECT_EQ(ToReal48(2.0 - step / 4), (TReal48{0x82, 0, 0, 0, 0, 0}));
}

TEST(Real48, RangeLimits) {
  // The smallest value is 2^(1 - 129); below it everything is zero.
  EXPECT_EQ(ToReal48(std::ldexp(1.0, -128)), (TReal48{0x01, 0, 0, 0, 0, 0}));
  EXPECT_EQ(ToReal48(std::ldexp(1.0, -129)), TReal48{});
  EXPECT_EQ(ToReal48(1e-300), TReal48{});
  // Too large and infinite values saturate with their sign; NaN is zero.
  const TReal48 largest{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
  const TReal48 mostNegative{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(ToReal48(1e300), largest);
  EXPECT_EQ(ToReal48(std::numeric_limits<double>::infinity()), largest);
  EXPECT_EQ(ToReal48(-std::numeric_limits<double>::infinity()), mostNegative);
  EXPECT_EQ(ToReal48(std::numeric_limits<double>::quiet_NaN()), TReal48{});
  EXPECT_EQ(Read(largest), (2.0 - std::ldexp(1.0, -39)) * std::ldexp(1.0, 126));
}

TEST(Real48, ValuesWithFortyBitsSurviveTheRoundTrip) {
  for (double v : {123.456, -0.001, 1024.0 * 1024.0 * 1024.0, 3.0 / 7.0, -65535.5, 1.0 / 3.0}) {
    // Cut to 40 significant bits first; those are held exactly.
    int e = 0;
    const double m = std::frexp(v, &e);
    const double exact = std::ldexp(std::nearbyint(std::ldexp(m, 40)), e - 40);
    EXPECT_EQ(Read(ToReal48(exact)), exact) << v;
    EXPECT_NEAR(Read(ToReal48(v)), v, std::fabs(v) * std::ldexp(1.0, -40)) << v;
  }
}
