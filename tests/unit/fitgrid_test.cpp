// The grid fit: the cell size from 8 to 512 pixels whose piece count comes
// closest to the request, ties to fewer pieces.

#include <gtest/gtest.h>

#include "game/cut.h"

namespace {

struct TFit {
  int Columns;
  int Rows;
  int Pieces;
};

TFit Fit(int requested, int width, int height) {
  TPuzzleRecord record;
  const int pieces = FitGrid(record, requested, width, height);
  return {record.Columns, record.Rows, pieces};
}

}  // namespace

TEST(FitGrid, FitsTheUsualPictures) {
  // 640 x 480 at cell size 75: (640 + 37) div 75 = 9, (480 + 37) div 75 = 6.
  const TFit vga = Fit(54, 640, 480);
  EXPECT_EQ(vga.Columns, 9);
  EXPECT_EQ(vga.Rows, 6);
  EXPECT_EQ(vga.Pieces, 54);

  const TFit svga = Fit(100, 800, 600);
  EXPECT_EQ(svga.Columns, 11);
  EXPECT_EQ(svga.Rows, 9);
  EXPECT_EQ(svga.Pieces, 99);

  const TFit xga = Fit(500, 1024, 768);
  EXPECT_EQ(xga.Columns, 26);
  EXPECT_EQ(xga.Rows, 19);
  EXPECT_EQ(xga.Pieces, 494);
}

TEST(FitGrid, StoresThePictureSizeAsDecodedAndAsCut) {
  TPuzzleRecord record;
  record.PictureWidth = record.CutWidth = 1;
  FitGrid(record, 54, 640, 480);
  EXPECT_EQ(record.PictureWidth, 640);
  EXPECT_EQ(record.CutWidth, 640);
  EXPECT_EQ(record.PictureHeight, 480);
  EXPECT_EQ(record.CutHeight, 480);
}

TEST(FitGrid, OnePieceEndsAtTheLargestCell) {
  // Never worse up to cell size 512: (256 + 256) div 512 = 1.
  const TFit one = Fit(1, 256, 256);
  EXPECT_EQ(one.Columns, 1);
  EXPECT_EQ(one.Rows, 1);
  EXPECT_EQ(one.Pieces, 1);
  // At 511 pixels a 255-pixel picture has no cell left; 510 still has one.
  const TFit smaller = Fit(1, 255, 255);
  EXPECT_EQ(smaller.Pieces, 1);
  // Too small for any grid: one piece rather than none.
  const TFit tiny = Fit(54, 3, 3);
  EXPECT_EQ(tiny.Columns, 1);
  EXPECT_EQ(tiny.Rows, 1);
}

TEST(FitGrid, LargePicturesKeepASaneCount) {
  // Up to cell size 112: (4000 + 56) div 112 = 36, (3000 + 56) div 112 = 27.
  const TFit big = Fit(1000, 4000, 3000);
  EXPECT_EQ(big.Columns, 36);
  EXPECT_EQ(big.Rows, 27);
  EXPECT_EQ(big.Pieces, 972);

  // Up to cell size 352: (4000 + 176) div 352 = 11, (3000 + 176) div 352 = 9.
  const TFit few = Fit(100, 4000, 3000);
  EXPECT_EQ(few.Columns, 11);
  EXPECT_EQ(few.Rows, 9);

  // Cell sizes 8 to 13 give more than 65,535 pieces and are passed over;
  // size 14 gives 286 x 214 = 61,204 and size 15 (267 x 200) is worse.
  const TFit most = Fit(65535, 4000, 3000);
  EXPECT_EQ(most.Columns, 286);
  EXPECT_EQ(most.Rows, 214);
  EXPECT_EQ(most.Pieces, 61204);
}
