// Raster pixels (A,R,G,B bytes) into the pixel layouts of X servers' visuals.
#include <gtest/gtest.h>

#include <vector>

#include "platform/PixelFormat.h"

namespace {

struct Layout {
  const char* name;
  PixelFormat format;
  std::vector<uint8_t> expected;  // the image bytes of the two test pixels, scale 1
};

void PrintTo(const Layout& layout, std::ostream* os) { *os << layout.name; }

PixelFormat format(uint32_t r, uint32_t g, uint32_t b, int depth, int bpp, bool msb) {
  PixelFormat f;
  f.redMask = r;
  f.greenMask = g;
  f.blueMask = b;
  f.depth = depth;
  f.bitsPerPixel = bpp;
  f.msbFirst = msb;
  return f;
}

class PixelLayouts : public testing::TestWithParam<Layout> {};

// Pixel 1: half-transparent (0x80) R=0x12 G=0x34 B=0x56; pixel 2: opaque white-ish.
TEST_P(PixelLayouts, ConvertsEachPixelOnce) {
  const Layout& layout = GetParam();
  ASSERT_TRUE(layout.format.Valid());
  const LICE_pixel source[2] = {LICE_PackPixel(0x80, 0x12, 0x34, 0x56), LICE_PackPixel(255, 0xff, 0xfe, 0x01)};
  std::vector<uint8_t> row(layout.expected.size(), 0xaa);
  layout.format.ConvertRow(source, 2, 1, row.data());
  EXPECT_EQ(row, layout.expected);

  // Doubled: each pixel twice in a row.
  std::vector<uint8_t> doubled(row.size() * 2, 0xaa);
  layout.format.ConvertRow(source, 2, 2, doubled.data());
  const size_t size = row.size() / 2;
  for (size_t i = 0; i < 4; ++i)
    EXPECT_EQ(std::vector<uint8_t>(doubled.begin() + i * size, doubled.begin() + (i + 1) * size),
              std::vector<uint8_t>(row.begin() + (i / 2) * size, row.begin() + (i / 2 + 1) * size));
}

INSTANTIATE_TEST_SUITE_P(
    Visuals, PixelLayouts,
    testing::Values(
        // The usual 24-bit visual: B,G,R,X bytes; the alpha byte is not shown.
        Layout{"TrueColor24", format(0xff0000, 0xff00, 0xff, 24, 32, false),
               {0x56, 0x34, 0x12, 0x00, 0x01, 0xfe, 0xff, 0x00}},
        // A 32-bit visual with alpha: always opaque.
        Layout{"Argb32", format(0xff0000, 0xff00, 0xff, 32, 32, false), {0x56, 0x34, 0x12, 0xff, 0x01, 0xfe, 0xff, 0xff}},
        // Blue and red swapped.
        Layout{"Bgr24", format(0xff, 0xff00, 0xff0000, 24, 32, false), {0x12, 0x34, 0x56, 0x00, 0xff, 0xfe, 0x01, 0x00}},
        // A server of the other byte order.
        Layout{"MsbFirst24", format(0xff0000, 0xff00, 0xff, 24, 32, true), {0x00, 0x12, 0x34, 0x56, 0x00, 0xff, 0xfe, 0x01}},
        // 16-bit 5-6-5: r 0x12 -> 2, g 0x34 -> 13, b 0x56 -> 10: 0x11aa.
        Layout{"Rgb565", format(0xf800, 0x07e0, 0x1f, 16, 16, false), {0xaa, 0x11, 0xe0, 0xff}}),
    [](const testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

TEST(PixelFormat, StrideFollowsTheScanlinePad) {
  PixelFormat f = format(0xf800, 0x07e0, 0x1f, 16, 16, false);
  EXPECT_EQ(f.Stride(3), 8);  // 6 bytes padded to 32 bits
  f.scanlinePad = 16;
  EXPECT_EQ(f.Stride(3), 6);
  EXPECT_FALSE(format(0xff0000, 0xff00, 0, 24, 32, false).Valid());
  EXPECT_FALSE(format(0xff0000, 0xff00, 0xff, 16, 16, false).Valid());  // masks beyond the depth
}

}  // namespace
