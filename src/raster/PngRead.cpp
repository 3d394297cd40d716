#include <png.h>

#include "system/Files.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "raster/Blit.h"
#include "raster/Png.h"

// libpng reports errors by longjmp. Neither decode before its last libpng call, nor
// the functions libpng may jump out of hold C++ objects with destructors; what the
// error path must release is in decode's volatile locals, and the file is opened
// and closed by decode's callers.
namespace {

[[noreturn]] void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void onWarning(png_structp, png_const_charp) {}

struct MemorySource {
  const png_byte* data;
  size_t size;
  size_t position;
};

void readFromMemory(png_structp png, png_bytep out, size_t count) {
  auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (count > source->size - source->position) png_error(png, "unexpected end of data");
  std::memcpy(out, source->data + source->position, count);
  source->position += count;
}

// Asks libpng for A,R,G,B bytes, 8 bits per channel, whatever the file holds.
void requestArgb(png_structp png, png_infop info) {
  const int colorType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  const bool transparencyChunk = png_get_valid(png, info, PNG_INFO_tRNS) != 0;

  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (transparencyChunk) png_set_tRNS_to_alpha(png);
  if (bitDepth == 16) png_set_scale_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (!(colorType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
  if ((colorType & PNG_COLOR_MASK_ALPHA) || transparencyChunk)
    png_set_swap_alpha(png);
  else
    png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
  png_read_update_info(png, info);
}

// Reads the image into a new bitmap stored in *created. Errors leave by longjmp to
// decode's setjmp.
LICE_IBitmap* readImage(png_structp png, png_infop info, LICE_IBitmap* volatile* created) {
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (uint64_t(width) * height > kMaxPngPixels) png_error(png, "image too large");
  const int passes = png_set_interlace_handling(png);
  requestArgb(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * 4) png_error(png, "unexpected row format");

  LICE_IBitmap* target = *created = new (std::nothrow) LICE_MemBitmap(0, 0, 4);
  if (!target) png_error(png, "out of memory");
  target->resize(int(width), int(height));
  if (target->getWidth() != int(width) || target->getHeight() != int(height))
    png_error(png, "cannot size the bitmap");

  // Rows go straight into the bitmap; later passes of an interlaced image combine
  // with what earlier passes left there.
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < height; ++y)
      png_read_row(png, reinterpret_cast<png_bytep>(LICE_RowPointer(target, int(y))), nullptr);
  png_read_end(png, nullptr);
  return target;
}

// Copies a whole decoded image into the caller's bitmap; false, with the bitmap as
// the resize left it, when it cannot take that size.
bool copyInto(LICE_IBitmap* target, const LICE_IBitmap& image) {
  const int width = image.getWidth(), height = image.getHeight();
  target->resize(width, height);
  if (target->getWidth() != width || target->getHeight() != height) return false;
  LICE_Blit(target, &image, 0, 0, 0, 0, width, height, 1.f, LICE_BLIT_MODE_COPY);
  return true;
}

// Decodes the PNG that setupInput connects to libpng's input. A caller's bitmap is
// touched only once the whole image has decoded, so a damaged file leaves it as it was.
LICE_IBitmap* decode(void (*setupInput)(png_structp, void*), void* input, LICE_IBitmap* target) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }
  LICE_IBitmap* volatile created = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    delete created;
    return nullptr;
  }
  setupInput(png, input);
  std::unique_ptr<LICE_IBitmap> image(readImage(png, info, &created));
  png_destroy_read_struct(&png, &info, nullptr);
  if (!target) return image.release();
  return copyInto(target, *image) ? target : nullptr;
}

void setupFileInput(png_structp png, void* file) { png_init_io(png, static_cast<FILE*>(file)); }

void setupMemoryInput(png_structp png, void* source) {
  png_set_read_fn(png, source, readFromMemory);
}

}  // namespace

LICE_IBitmap* LICE_LoadPNG(const char* path, LICE_IBitmap* bitmap) {
  if (!path) return nullptr;
  FILE* file = openFile(path, "rb");
  if (!file) return nullptr;
  LICE_IBitmap* result = decode(setupFileInput, file, bitmap);
  std::fclose(file);
  return result;
}

LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, size_t size, LICE_IBitmap* bitmap) {
  if (!data) return nullptr;
  MemorySource source{static_cast<const png_byte*>(data), size, 0};
  return decode(setupMemoryInput, &source, bitmap);
}
