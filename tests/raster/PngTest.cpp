#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "raster/RasterTestBitmaps.h"
#include "support/TempFolder.h"

namespace {

// Pictures in the colour types and bit depths the decoder converts (data/*.png), with
// their pixels, top row first.
struct DecodeCase {
  const char* file;
  std::vector<Argb> expected;
};

std::vector<DecodeCase> decodeCases() {
  // 5 x 5, interlaced, 8-bit RGBA: pixel (x, y) is (200 + x + y, 10x, 10y, 7).
  std::vector<Argb> interlaced;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) interlaced.push_back({200 + x + y, 10 * x, 10 * y, 7});
  return {// 2-bit indexes 0 1 2 / 3 2 1 into red, green, blue, white; index 0 transparent,
          // index 1 half transparent, the entries beyond the tRNS list opaque.
          {"palette-2bit-transparency.png",
           {{0, 255, 0, 0},
            {128, 0, 255, 0},
            {255, 0, 0, 255},
            {255, 255, 255, 255},
            {255, 0, 0, 255},
            {128, 0, 255, 0}}},
          // 16-bit channels (0x1000, 0x2000, 0x3000, alpha 0x8000) scaled to 8 bits with rounding.
          {"rgba-16bit.png", {{128, 16, 32, 48}}},
          // 1-bit grey: white, black, white, white.
          {"grey-1bit.png",
           {{255, 255, 255, 255}, {255, 0, 0, 0}, {255, 255, 255, 255}, {255, 255, 255, 255}}},
          {"rgba-interlaced.png", interlaced}};
}

// ctest names the folder; a file missing there reads as empty.
std::string dataFile(const char* name) {
  const char* folder = std::getenv("ZORQ_TEST_DATA");
  return std::string(folder ? folder : ".") + "/" + name;
}

// From memory into a new bitmap, and from a file into a flipped bitmap of another size.
TEST(Png, DecodingGivesThePixels) {
  for (const DecodeCase& c : decodeCases()) {
    SCOPED_TRACE(c.file);
    const std::string png = readText(dataFile(c.file));
    std::unique_ptr<LICE_IBitmap> bitmap(LICE_LoadPNGFromMemory(png.data(), png.size()));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(pixelsOf(*bitmap), c.expected);
    FlippedBitmap flipped(40, 1);
    EXPECT_EQ(LICE_LoadPNG(dataFile(c.file).c_str(), &flipped), &flipped);
    EXPECT_EQ(pixelsOf(flipped), c.expected);
  }
}

// A file cut in its image data is refused and the caller's bitmap keeps its size and
// pixels. (More damaged files are fuzz regression inputs: fuzz/regressions/png.)
TEST(Png, DamagedFileLeavesTheCallersBitmapAsItWas) {
  TempFolder folder;
  const std::string png = readText(dataFile("rgba-interlaced.png"));
  // Without the end chunk and the last bytes of the image data.
  writeText(folder / "cut.png", png.substr(0, png.size() - 20));
  FlippedBitmap bitmap(3, 2);
  for (int x = 0; x < 3; ++x) setPixel(bitmap, x, 1, {1, 2, 3, x});
  const std::vector<Argb> before = pixelsOf(bitmap);
  EXPECT_EQ(LICE_LoadPNG((folder / "cut.png").c_str(), &bitmap), nullptr);
  EXPECT_EQ(bitmap.getWidth(), 3);
  EXPECT_EQ(pixelsOf(bitmap), before);
}

// No file, no name, no data.
TEST(Png, MissingInputGivesNoPicture) {
  EXPECT_EQ(LICE_LoadPNG("/nonexistent/absent.png"), nullptr);
  EXPECT_EQ(LICE_LoadPNG(nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(nullptr, 10), nullptr);
}

TEST(Png, WrittenBitmapsLoadBack) {
  TempFolder folder;
  FlippedBitmap bitmap(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) setPixel(bitmap, x, y, {40 * x + y, x, 100 + y, 200});
  ASSERT_TRUE(LICE_WritePNG((folder / "alpha.png").c_str(), &bitmap));
  ASSERT_TRUE(LICE_WritePNG((folder / "opaque.png").c_str(), &bitmap, false));
  EXPECT_FALSE(LICE_WritePNG((folder / "missing/folder.png").c_str(), &bitmap));
  LICE_MemBitmap empty;
  EXPECT_FALSE(LICE_WritePNG((folder / "empty.png").c_str(), &empty));

  std::unique_ptr<LICE_IBitmap> alpha(LICE_LoadPNG((folder / "alpha.png").c_str()));
  std::unique_ptr<LICE_IBitmap> opaque(LICE_LoadPNG((folder / "opaque.png").c_str()));
  ASSERT_TRUE(alpha && opaque);
  std::vector<Argb> expected = pixelsOf(bitmap);
  EXPECT_EQ(pixelsOf(*alpha), expected);
  for (Argb& p : expected) p.a = 255;
  EXPECT_EQ(pixelsOf(*opaque), expected);
}

}  // namespace
