#include "platform/x11/PixelFormat.h"

#include <cstring>

namespace {
// Shifts a full 8-bit channel into its mask: the top bits of the channel land in the
// mask's bits (masks of up to 8 bits take the channel's top bits, wider ones repeat it
// to fill their width).
uint32_t place(uint8_t channel, uint32_t mask) {
  if (!mask) return 0;
  int low = 0;
  while (!(mask >> low & 1)) ++low;
  int width = 0;
  while (low + width < 32 && (mask >> (low + width) & 1)) ++width;
  uint32_t value = 0;
  for (int filled = 0; filled < width; filled += 8) {
    const int shift = width - filled - 8;
    value |= shift >= 0 ? uint32_t(channel) << shift : uint32_t(channel) >> -shift;
  }
  return (value << low) & mask;
}

uint32_t depthMask(int depth) { return depth >= 32 ? 0xffffffffu : (1u << depth) - 1; }
}  // namespace

bool PixelFormat::Valid() const {
  const bool knownSize =
      bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
  const uint32_t colours = redMask | greenMask | blueMask;
  return knownSize && depth > 0 && depth <= bitsPerPixel && redMask && greenMask && blueMask &&
         !(colours & ~depthMask(depth)) &&
         (scanlinePad == 8 || scanlinePad == 16 || scanlinePad == 32);
}

int PixelFormat::Stride(int width) const {
  const int bits = width * bitsPerPixel;
  return (bits + scanlinePad - 1) / scanlinePad * scanlinePad / 8;
}

uint32_t PixelFormat::Encode(uint8_t r, uint8_t g, uint8_t b) const {
  const uint32_t colours = redMask | greenMask | blueMask;
  return place(r, redMask) | place(g, greenMask) | place(b, blueMask) |
         (depthMask(depth) & ~colours);
}

bool PixelFormat::isByteSwapLayout() const {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  return false;
#endif
  return bitsPerPixel == 32 && !msbFirst && redMask == 0xff0000 && greenMask == 0xff00 &&
         blueMask == 0xff;
}

void PixelFormat::ConvertRow(const LICE_pixel* source, int width, int scale, uint8_t* dest) const {
  if (isByteSwapLayout()) {
    // A,R,G,B bytes in memory become B,G,R,X: the reversed byte order of the pixel.
    const uint32_t alpha = depth > 24 ? 0xff000000u : 0;
    for (int x = 0; x < width; ++x) {
      uint32_t pixel;
      std::memcpy(&pixel, &source[x], 4);
      pixel = (__builtin_bswap32(pixel) & 0xffffffu) | alpha;
      for (int k = 0; k < scale; ++k, dest += 4) std::memcpy(dest, &pixel, 4);
    }
    return;
  }
  const int bytes = bitsPerPixel / 8;
  for (int x = 0; x < width; ++x) {
    const LICE_pixel p = source[x];
    const uint32_t value = Encode(LICE_PixelR(p), LICE_PixelG(p), LICE_PixelB(p));
    for (int k = 0; k < scale; ++k, dest += bytes)
      for (int i = 0; i < bytes; ++i) {
        const int shift = 8 * (msbFirst ? bytes - 1 - i : i);
        dest[i] = uint8_t(value >> shift);
      }
  }
}
