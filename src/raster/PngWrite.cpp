#include <png.h>

#include "system/Files.h"

#include <cstdio>

#include "raster/Png.h"

// libpng reports errors by longjmp; encode holds no C++ object with a destructor.
namespace {

[[noreturn]] void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void onWarning(png_structp, png_const_charp) {}

bool encode(FILE* file, const LICE_IBitmap* bitmap, bool withAlpha) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  const int width = bitmap->getWidth(), height = bitmap->getHeight();
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
               withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  // Rows are A,R,G,B in memory: move alpha behind the colour, or drop it.
  if (withAlpha)
    png_set_swap_alpha(png);
  else
    png_set_filler(png, 0, PNG_FILLER_BEFORE);
  // libpng copies each row before transforming it, so the bitmap is only read.
  for (int y = 0; y < height; ++y)
    png_write_row(png, reinterpret_cast<png_const_bytep>(LICE_RowPointer(bitmap, y)));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool LICE_WritePNG(const char* path, const LICE_IBitmap* bitmap, bool withAlpha) {
  if (!path || !bitmap || bitmap->getWidth() <= 0 || bitmap->getHeight() <= 0) return false;
  FILE* file = openFile(path, "wb");
  if (!file) return false;
  const bool written = encode(file, bitmap, withAlpha);
  return std::fclose(file) == 0 && written;
}
