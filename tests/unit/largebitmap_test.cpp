// Large bitmaps (the piece sheets) get their pixels from an aligned block of
// their own; they must behave exactly like small ones.

#include <gtest/gtest.h>

#include "platform/bitmap.h"

TEST(LargeBitmap, StartsBlackAndCopiesOnWrite) {
  TBitmap big(3000, 2000);  // 18 MB
  ASSERT_EQ(big.Stride(), 9000);
  for (int y = 0; y < big.Height(); y += 97)
    for (int x = 0; x < big.Width(); x += 89) ASSERT_EQ(big.Pixel(x, y), 0u) << x << "," << y;
  EXPECT_EQ(big.Pixel(2999, 1999), 0u);

  big.SetPixel(10, 20, 0x123456);
  TBitmap copy = big;
  copy.SetPixel(10, 20, 0x654321);
  copy.SetPixel(2999, 1999, 0xFFFFFF);
  EXPECT_EQ(big.Pixel(10, 20), 0x123456u);
  EXPECT_EQ(big.Pixel(2999, 1999), 0u);
  EXPECT_EQ(copy.Pixel(10, 20), 0x654321u);

  big.SetSize(3001, 2000);
  EXPECT_EQ(big.Pixel(10, 20), 0x123456u);
  EXPECT_EQ(big.Pixel(3000, 1999), 0u);

  TBitmap mask(12000, 12000, TPixelFormat::Mono);  // 18 MB of bits
  EXPECT_EQ(mask.Pixel(11999, 11999), 0u);
  mask.Fill(0xFFFFFF);
  EXPECT_EQ(mask.Pixel(5, 5), 0xFFFFFFu);
}
