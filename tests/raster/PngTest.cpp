#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <memory>

#include "raster/PngEncoder.h"
#include "raster/RasterTestBitmaps.h"
#include "support/TempFolder.h"

namespace {

struct DecodeCase {
  const char* name;
  PngImage image;
  std::vector<Argb> expected;  // top row first
};
void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

void appendBigEndian16(std::vector<uint8_t>& bytes, std::initializer_list<uint16_t> values) {
  for (uint16_t v : values) bytes.insert(bytes.end(), {uint8_t(v >> 8), uint8_t(v)});
}

PngImage image(int width, int height, int colorType, int bitDepth, std::vector<uint8_t> rows) {
  PngImage image;
  image.width = width, image.height = height, image.colorType = colorType;
  image.bitDepth = bitDepth, image.rows = std::move(rows);
  return image;
}

std::vector<DecodeCase> decodeCases() {
  std::vector<DecodeCase> cases;

  // 2-bit indexes 0 1 2 / 3 2 1 into red, green, blue, white; index 0 transparent,
  // index 1 half transparent, the entries beyond the tRNS list opaque.
  PngImage palette = image(3, 2, PNG_COLOR_TYPE_PALETTE, 2, {0x18, 0xE4});
  palette.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  palette.paletteAlpha = {0, 128};
  cases.push_back({"PaletteWithTransparency", palette,
                   {{0, 255, 0, 0}, {128, 0, 255, 0}, {255, 0, 0, 255},
                    {255, 255, 255, 255}, {255, 0, 0, 255}, {128, 0, 255, 0}}});

  // 16-bit channels are scaled to 8 bits with rounding.
  std::vector<uint8_t> rgb16;
  appendBigEndian16(rgb16, {0xFFFF, 0x8000, 0x00FF, 0x0000, 0x1234, 0xFF00});
  cases.push_back({"Rgb16", image(2, 1, PNG_COLOR_TYPE_RGB, 16, rgb16),
                   {{255, 255, 128, 1}, {255, 0, 18, 254}}});
  std::vector<uint8_t> rgba16;
  appendBigEndian16(rgba16, {0x1000, 0x2000, 0x3000, 0x8000});
  cases.push_back({"RgbAlpha16", image(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, rgba16),
                   {{128, 16, 32, 48}}});

  cases.push_back({"Grey8", image(3, 1, PNG_COLOR_TYPE_GRAY, 8, {0, 77, 255}),
                   {{255, 0, 0, 0}, {255, 77, 77, 77}, {255, 255, 255, 255}}});
  cases.push_back({"Grey1", image(4, 1, PNG_COLOR_TYPE_GRAY, 1, {0xB0}),
                   {{255, 255, 255, 255}, {255, 0, 0, 0}, {255, 255, 255, 255},
                    {255, 255, 255, 255}}});
  cases.push_back({"GreyAlpha8", image(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {10, 20, 200, 0}),
                   {{20, 10, 10, 10}, {0, 200, 200, 200}}});

  PngImage greyKey = image(2, 1, PNG_COLOR_TYPE_GRAY, 8, {50, 60});
  greyKey.transparentColour = {60};
  cases.push_back({"GreyTransparentColour", greyKey, {{255, 50, 50, 50}, {0, 60, 60, 60}}});
  PngImage rgbKey = image(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6});
  rgbKey.transparentColour = {4, 5, 6};
  cases.push_back({"RgbTransparentColour", rgbKey, {{255, 1, 2, 3}, {0, 4, 5, 6}}});

  PngImage interlaced = image(5, 5, PNG_COLOR_TYPE_RGB_ALPHA, 8, {});
  interlaced.interlaced = true;
  std::vector<Argb> interlacedPixels;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      interlaced.rows.insert(interlaced.rows.end(),
                             {uint8_t(10 * x), uint8_t(10 * y), 7, uint8_t(200 + x + y)});
      interlacedPixels.push_back({200 + x + y, 10 * x, 10 * y, 7});
    }
  cases.push_back({"InterlacedRgbAlpha", interlaced, interlacedPixels});
  return cases;
}

class PngDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(PngDecode, FromMemoryIntoANewBitmap) {
  const DecodeCase& c = GetParam();
  const std::vector<uint8_t> png = encodePng(c.image);
  std::unique_ptr<LICE_IBitmap> bitmap(LICE_LoadPNGFromMemory(png.data(), png.size()));
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->getWidth(), c.image.width);
  EXPECT_EQ(bitmap->getHeight(), c.image.height);
  EXPECT_EQ(pixelsOf(*bitmap), c.expected);
}

TEST_P(PngDecode, FromFileIntoAFlippedBitmap) {
  const DecodeCase& c = GetParam();
  TempFolder folder;
  writeBytes(folder / "image.png", encodePng(c.image));
  FlippedBitmap bitmap(40, 1);
  EXPECT_EQ(LICE_LoadPNG((folder / "image.png").c_str(), &bitmap), &bitmap);
  EXPECT_EQ(pixelsOf(bitmap), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, PngDecode, ::testing::ValuesIn(decodeCases()),
                         [](const auto& info) { return std::string(info.param.name); });

std::vector<uint8_t> validPng() {
  PngImage picture = image(16, 16, PNG_COLOR_TYPE_RGB, 8, {});
  for (int i = 0; i < 16 * 16 * 3; ++i) picture.rows.push_back(uint8_t(i * 7));
  return encodePng(picture);
}

struct DamageCase {
  const char* name;
  std::vector<uint8_t> (*damage)(std::vector<uint8_t>);
};
void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

size_t idatData(const std::vector<uint8_t>& png) {
  for (size_t i = 0; i + 4 <= png.size(); ++i)
    if (std::memcmp(&png[i], "IDAT", 4) == 0) return i + 4;
  return 0;
}

const DamageCase kDamageCases[] = {
    {"TruncatedInTheImageData", [](std::vector<uint8_t> png) {
       png.resize(idatData(png) + 20);
       return png;
     }},
    {"TruncatedAfterTheHeader", [](std::vector<uint8_t> png) {
       png.resize(33);
       return png;
     }},
    {"TruncatedBeforeTheEnd", [](std::vector<uint8_t> png) {
       png.resize(png.size() - 6);
       return png;
     }},
    {"CorruptedImageData", [](std::vector<uint8_t> png) {
       png[idatData(png) + 10] ^= 0x5A;
       return png;
     }},
    {"CorruptedSignature", [](std::vector<uint8_t> png) {
       png[1] = 'Q';
       return png;
     }},
    {"Empty", [](std::vector<uint8_t>) { return std::vector<uint8_t>(); }},
    {"HugeImageSize", [](std::vector<uint8_t> png) {
       patchPngSize(png, 100000, 100000);
       return png;
     }},
    {"ZeroImageSize", [](std::vector<uint8_t> png) {
       patchPngSize(png, 0, 16);
       return png;
     }},
};

class PngDamaged : public ::testing::TestWithParam<DamageCase> {};

// Fails cleanly: no abort, nothing leaked (the sanitizer build checks), and a
// bitmap the caller passed in survives.
TEST_P(PngDamaged, LoadFailsCleanly) {
  const std::vector<uint8_t> png = GetParam().damage(validPng());
  EXPECT_EQ(LICE_LoadPNGFromMemory(png.data(), png.size()), nullptr);
  TempFolder folder;
  writeBytes(folder / "damaged.png", png);
  LICE_MemBitmap bitmap(2, 2);
  EXPECT_EQ(LICE_LoadPNG((folder / "damaged.png").c_str(), &bitmap), nullptr);
  EXPECT_EQ(LICE_LoadPNG((folder / "damaged.png").c_str()), nullptr);
  bitmap.resize(3, 3);
}

INSTANTIATE_TEST_SUITE_P(Files, PngDamaged, ::testing::ValuesIn(kDamageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Png, MissingFileGivesNull) {
  TempFolder folder;
  EXPECT_EQ(LICE_LoadPNG((folder / "absent.png").c_str()), nullptr);
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
