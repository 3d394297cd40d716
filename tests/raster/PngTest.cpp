#include <gtest/gtest.h>
#include <png.h>

#include <memory>
#include <stdexcept>

#include "raster/RasterTestBitmaps.h"
#include "support/TempFolder.h"

namespace {

// Encodes test images with libpng in any colour type and bit depth.
struct PngImage {
  int width = 0, height = 0;
  int colorType = 0;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<uint8_t> rows;          // packed rows as the file stores them, top row first
  std::vector<uint8_t> palette;       // r, g, b per entry
  std::vector<uint8_t> paletteAlpha;  // tRNS for palette images
};

void append(png_structp png, png_bytep data, size_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}
void flush(png_structp) {}

// Encodes into out; false on a libpng error. Holds no C++ object with a destructor.
bool encodeInto(const PngImage& image, std::vector<uint8_t>* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, append, flush);
  png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colorType,
               image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!image.palette.empty())
    png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(image.palette.data()),
                 int(image.palette.size() / 3));
  if (!image.paletteAlpha.empty())
    png_set_tRNS(png, info, image.paletteAlpha.data(), int(image.paletteAlpha.size()), nullptr);
  png_write_info(png, info);
  const size_t rowBytes = image.rows.size() / size_t(image.height);
  const int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass)
    for (int y = 0; y < image.height; ++y) png_write_row(png, &image.rows[size_t(y) * rowBytes]);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

std::vector<uint8_t> encodePng(const PngImage& image) {
  std::vector<uint8_t> out;
  if (!encodeInto(image, &out)) throw std::runtime_error("test image cannot be encoded");
  return out;
}

struct DecodeCase {
  const char* name;
  PngImage image;
  std::vector<Argb> expected;  // top row first
};

PngImage image(int width, int height, int colorType, int bitDepth, std::vector<uint8_t> rows) {
  return {width, height, colorType, bitDepth, false, std::move(rows), {}, {}};
}

std::vector<DecodeCase> decodeCases() {
  std::vector<DecodeCase> cases;

  // 2-bit indexes 0 1 2 / 3 2 1 into red, green, blue, white; index 0 transparent,
  // index 1 half transparent, the entries beyond the tRNS list opaque.
  PngImage palette = image(3, 2, PNG_COLOR_TYPE_PALETTE, 2, {0x18, 0xE4});
  palette.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  palette.paletteAlpha = {0, 128};
  cases.push_back({"PaletteWithTransparency",
                   palette,
                   {{0, 255, 0, 0},
                    {128, 0, 255, 0},
                    {255, 0, 0, 255},
                    {255, 255, 255, 255},
                    {255, 0, 0, 255},
                    {128, 0, 255, 0}}});

  // 16-bit channels are scaled to 8 bits with rounding (0x8000 to 128).
  cases.push_back({"RgbAlpha16",
                   image(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0x10, 0, 0x20, 0, 0x30, 0, 0x80, 0}),
                   {{128, 16, 32, 48}}});
  cases.push_back(
      {"Grey1",
       image(4, 1, PNG_COLOR_TYPE_GRAY, 1, {0xB0}),
       {{255, 255, 255, 255}, {255, 0, 0, 0}, {255, 255, 255, 255}, {255, 255, 255, 255}}});

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

// From memory into a new bitmap, and from a file into a flipped bitmap of another size.
TEST(Png, DecodingGivesThePixels) {
  TempFolder folder;
  for (const DecodeCase& c : decodeCases()) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> png = encodePng(c.image);
    std::unique_ptr<LICE_IBitmap> bitmap(LICE_LoadPNGFromMemory(png.data(), png.size()));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(pixelsOf(*bitmap), c.expected);
    writeBytes(folder / c.name, png);
    FlippedBitmap flipped(40, 1);
    EXPECT_EQ(LICE_LoadPNG((folder / c.name).c_str(), &flipped), &flipped);
    EXPECT_EQ(pixelsOf(flipped), c.expected);
  }
}

// Damaged files (cut in the image data, a huge size in the header, ...) are fuzz
// regression inputs (fuzz/regressions/png): refused, and a bitmap the caller passed in
// survives. Here: no file, no name, no data.
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
