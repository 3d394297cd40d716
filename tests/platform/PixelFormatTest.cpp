// Raster pixels (A,R,G,B bytes) into the pixel layouts of X servers' visuals.
#include <gtest/gtest.h>

#include <vector>

#include "platform/x11/PixelFormat.h"

namespace {

PixelFormat format(uint32_t r, uint32_t g, uint32_t b, int depth, int bpp, bool msb = false) {
  return {r, g, b, depth, bpp, msb};
}

// Pixel 1: half-transparent (0x80) R=0x12 G=0x34 B=0x56; pixel 2: opaque white-ish.
// At scale 2 each pixel comes twice in a row.
TEST(PixelFormat, ConvertsEachPixelOnce) {
  const struct {
    const char* name;
    PixelFormat format;
    std::vector<uint8_t> expected;  // the image bytes of the two pixels, scale 1
  } cases[] = {
      // The usual 24-bit visual: B,G,R,X bytes; the alpha byte is not shown.
      {"TrueColor24",
       format(0xff0000, 0xff00, 0xff, 24, 32),
       {0x56, 0x34, 0x12, 0, 1, 0xfe, 0xff, 0}},
      // A 32-bit visual with alpha: always opaque.
      {"Argb32",
       format(0xff0000, 0xff00, 0xff, 32, 32),
       {0x56, 0x34, 0x12, 0xff, 1, 0xfe, 0xff, 0xff}},
      {"Bgr24", format(0xff, 0xff00, 0xff0000, 24, 32), {0x12, 0x34, 0x56, 0, 0xff, 0xfe, 1, 0}},
      {"MsbFirst24",
       format(0xff0000, 0xff00, 0xff, 24, 32, true),
       {0, 0x12, 0x34, 0x56, 0, 0xff, 0xfe, 1}},
      // 5-6-5: r 0x12 -> 2, g 0x34 -> 13, b 0x56 -> 10: 0x11aa.
      {"Rgb565", format(0xf800, 0x07e0, 0x1f, 16, 16), {0xaa, 0x11, 0xe0, 0xff}}};
  const LICE_pixel source[2] = {LICE_PackPixel(0x80, 0x12, 0x34, 0x56),
                                LICE_PackPixel(255, 0xff, 0xfe, 0x01)};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(c.format.Valid());
    std::vector<uint8_t> row(c.expected.size(), 0xaa), doubled(row.size() * 2, 0xaa);
    c.format.ConvertRow(source, 2, 1, row.data());
    EXPECT_EQ(row, c.expected);
    c.format.ConvertRow(source, 2, 2, doubled.data());
    const size_t size = row.size() / 2;
    for (size_t i = 0; i < 4; ++i)
      EXPECT_TRUE(std::equal(doubled.begin() + i * size, doubled.begin() + (i + 1) * size,
                             row.begin() + (i / 2) * size));
  }
}

TEST(PixelFormat, StrideFollowsTheScanlinePad) {
  PixelFormat f = format(0xf800, 0x07e0, 0x1f, 16, 16);
  EXPECT_EQ(f.Stride(3), 8);  // 6 bytes padded to 32 bits
  EXPECT_FALSE(format(0xff0000, 0xff00, 0, 24, 32).Valid());
  EXPECT_FALSE(format(0xff0000, 0xff00, 0xff, 16, 16).Valid());  // masks beyond the depth
}

}  // namespace
