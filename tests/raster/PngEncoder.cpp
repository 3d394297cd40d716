#include "raster/PngEncoder.h"

#include <png.h>
#include <zlib.h>

#include <stdexcept>

namespace {

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
  if (!image.transparentColour.empty()) {
    png_color_16 colour{};
    const auto& t = image.transparentColour;
    colour.gray = t[0];
    if (t.size() == 3) colour.red = t[0], colour.green = t[1], colour.blue = t[2];
    png_set_tRNS(png, info, nullptr, 0, &colour);
  }
  png_write_info(png, info);
  const size_t rowBytes = image.rows.size() / size_t(image.height);
  const int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass)
    for (int y = 0; y < image.height; ++y) png_write_row(png, &image.rows[size_t(y) * rowBytes]);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::vector<uint8_t> encodePng(const PngImage& image) {
  std::vector<uint8_t> out;
  if (!encodeInto(image, &out)) throw std::runtime_error("test image cannot be encoded");
  return out;
}

void patchPngSize(std::vector<uint8_t>& png, uint32_t width, uint32_t height) {
  // Signature (8), IHDR length (4), "IHDR" (4), width, height, ... CRC over type and data.
  const auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) png[at + i] = uint8_t(v >> (24 - 8 * i));
  };
  put(16, width);
  put(20, height);
  put(29, uint32_t(crc32(0, &png[12], 17)));
}
