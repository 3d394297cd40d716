#include "PngFile.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>

bool RgbaImage::opaque() const {
  for (size_t i = 3; i < pixels.size(); i += 4)
    if (pixels[i] != 255) return false;
  return true;
}

RgbaImage imageFromSurface(cairo_surface_t* surface) {
  cairo_surface_flush(surface);
  RgbaImage image;
  image.width = cairo_image_surface_get_width(surface);
  image.height = cairo_image_surface_get_height(surface);
  image.pixels.resize(static_cast<size_t>(image.width) * image.height * 4);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  uint8_t* out = image.pixels.data();
  for (int y = 0; y < image.height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < image.width; ++x, out += 4) {
      const uint32_t argb = row[x];
      const uint32_t a = argb >> 24;
      if (a == 0) {
        out[0] = out[1] = out[2] = out[3] = 0;
        continue;
      }
      const uint32_t channels[3] = {(argb >> 16) & 0xff, (argb >> 8) & 0xff, argb & 0xff};
      for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>((channels[c] * 255 + a / 2) / a);
      out[3] = static_cast<uint8_t>(a);
    }
  }
  return image;
}

namespace {

struct FileCloser {
  void operator()(FILE* f) const { fclose(f); }
};

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* buffer = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  buffer->insert(buffer->end(), data, data + length);
}

void noFlush(png_structp) {}

// Encodes into memory with one row filter choice; empty on failure.
std::vector<uint8_t> encode(const RgbaImage& image, int filters) {
  std::vector<uint8_t> bytes;
  const bool rgb = image.opaque();
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return bytes;
  png_infop info = png_create_info_struct(png);
  std::vector<uint8_t> row(static_cast<size_t>(image.width) * 4);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return {};
  }
  png_set_write_fn(png, &bytes, appendBytes, noFlush);
  png_set_compression_level(png, 9);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, filters);
  png_set_IHDR(png, info, image.width, image.height, 8,
               rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_write_info(png, info);
  const size_t stride = static_cast<size_t>(image.width) * 4;
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* src = image.pixels.data() + y * stride;
    if (rgb) {
      for (int x = 0; x < image.width; ++x) std::memcpy(&row[x * 3], src + x * 4, 3);
    } else {
      std::memcpy(row.data(), src, stride);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return bytes;
}

}  // namespace

bool writePng(const RgbaImage& image, const std::string& path) {
  std::vector<uint8_t> best;
  for (int filters :
       {PNG_ALL_FILTERS, PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_PAETH}) {
    std::vector<uint8_t> bytes = encode(image, filters);
    if (!bytes.empty() && (best.empty() || bytes.size() < best.size())) best.swap(bytes);
  }
  if (best.empty()) return false;
  std::unique_ptr<FILE, FileCloser> file(fopen(path.c_str(), "wb"));
  if (!file) return false;
  return fwrite(best.data(), 1, best.size(), file.get()) == best.size();
}

bool readPng(const std::string& path, RgbaImage* image) {
  png_image reader;
  std::memset(&reader, 0, sizeof reader);
  reader.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&reader, path.c_str())) return false;
  reader.format = PNG_FORMAT_RGBA;
  image->width = static_cast<int>(reader.width);
  image->height = static_cast<int>(reader.height);
  image->pixels.assign(PNG_IMAGE_SIZE(reader), 0);
  if (!png_image_finish_read(&reader, nullptr, image->pixels.data(), 0, nullptr)) {
    png_image_free(&reader);
    return false;
  }
  return true;
}
