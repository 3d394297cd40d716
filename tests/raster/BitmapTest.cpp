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

}  // namespace
