#include <gtest/gtest.h>

#include "raster/Bitmap.h"
#include "raster/RasterTestBitmaps.h"

namespace {

TEST(MemBitmap, RowSpanIsWidthRoundedUpToTheLineAlignment) {
  struct Case {
    int width, alignment, span;
  };
  for (const Case c :
       {Case{5, 4, 8}, Case{8, 4, 8}, Case{5, 1, 5}, Case{5, 0, 5}, Case{1, 16, 16}}) {
    LICE_MemBitmap bitmap(c.width, 3, c.alignment);
    EXPECT_EQ(bitmap.getRowSpan(), c.span) << c.width << " aligned to " << c.alignment;
  }
  EXPECT_EQ(LICE_SysBitmap(801, 2).getRowSpan(), 804);
}

TEST(MemBitmap, GrowsWithAQuarterInReserveAndShrinksInPlace) {
  LICE_MemBitmap bitmap(4, 4);
  EXPECT_FALSE(bitmap.resize(4, 4));
  LICE_pixel* bits = bitmap.getBits();
  EXPECT_TRUE(bitmap.resize(4, 5));  // 20 pixels fit the reserve
  EXPECT_EQ(bitmap.getBits(), bits);
  EXPECT_TRUE(bitmap.resize(8, 8));
  EXPECT_EQ(bitmap.capacity(), 80u);
  bits = bitmap.getBits();
  EXPECT_TRUE(bitmap.resize(1, 1));
  EXPECT_EQ(bitmap.getBits(), bits);
}

TEST(MemBitmap, ImpossibleSizesLeaveTheBitmapAsItWas) {
  LICE_MemBitmap bitmap(3, 2);
  EXPECT_FALSE(bitmap.resize(1 << 20, 1 << 20));
  EXPECT_FALSE(bitmap.resize(INT32_MAX, 1));
  EXPECT_EQ(bitmap.getWidth(), 3);
  EXPECT_EQ(bitmap.getHeight(), 2);
  EXPECT_TRUE(bitmap.resize(-4, 7));
  EXPECT_EQ(bitmap.getWidth(), 0);
  EXPECT_EQ(bitmap.getHeight(), 7);
}

TEST(Pixel, PacksBytesInAlphaRedGreenBlueOrder) {
  const LICE_pixel p = LICE_PackPixel(1, 2, 3, 4);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&p);
  EXPECT_EQ((Argb{bytes[0], bytes[1], bytes[2], bytes[3]}), (Argb{1, 2, 3, 4}));
  EXPECT_EQ(unpack(p), (Argb{1, 2, 3, 4}));
}

}  // namespace
