#pragma once

// How a window system's image stores one pixel, and the conversion of raster rows
// (A,R,G,B bytes) into it. The usual layout (32 bits per pixel, red, green and blue
// in bytes 2, 1, 0 of a little-endian word) takes one byte swap per pixel; any other
// TrueColor layout goes through the colour masks. No window-system header here: the
// X11 layer fills the fields from its visual and pixmap format.
#include <cstdint>

#include "raster/Pixel.h"

struct PixelFormat {
  uint32_t redMask = 0xff0000, greenMask = 0xff00, blueMask = 0xff;
  int depth = 24;         // significant bits; bits above the colour masks hold alpha
  int bitsPerPixel = 32;  // 8, 16, 24 or 32
  bool msbFirst = false;  // image byte order of the server
  int scanlinePad = 32;   // bits each image row is padded to

  // A format this code can write: TrueColor masks within the depth, a known size.
  bool Valid() const;
  // Bytes from one image row to the next for a row of `width` pixels.
  int Stride(int width) const;
  // The pixel value for an opaque colour (bits outside the masks but inside the depth
  // are set, so a 32-bit visual with alpha shows the pixel opaque).
  uint32_t Encode(uint8_t r, uint8_t g, uint8_t b) const;
  // Converts `width` raster pixels into one image row, each repeated `scale` times
  // (1 or 2) across. Writes width x scale x bitsPerPixel / 8 bytes.
  void ConvertRow(const LICE_pixel* source, int width, int scale, uint8_t* dest) const;

 private:
  bool isByteSwapLayout() const;
};
