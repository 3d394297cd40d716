#pragma once

#include <cstdint>

// A pixel is four bytes in memory in the order alpha, red, green, blue, with the
// colour bytes not premultiplied by alpha. As a 32-bit value its layout depends on
// the machine's byte order, so code packs and unpacks pixels only through these
// helpers; byte-wise loops use the byte offsets.
using LICE_pixel = uint32_t;

constexpr int LICE_PIXEL_A = 0;  // byte offsets inside a pixel in memory
constexpr int LICE_PIXEL_R = 1;
constexpr int LICE_PIXEL_G = 2;
constexpr int LICE_PIXEL_B = 3;

namespace lice_detail {
constexpr int shiftOfByte(int byteOffset) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  return 8 * (3 - byteOffset);
#else
  return 8 * byteOffset;
#endif
}
constexpr uint8_t byteOf(LICE_pixel p, int byteOffset) {
  return uint8_t(p >> shiftOfByte(byteOffset));
}
}  // namespace lice_detail

constexpr LICE_pixel LICE_PackPixel(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
  using lice_detail::shiftOfByte;
  return LICE_pixel(a) << shiftOfByte(LICE_PIXEL_A) | LICE_pixel(r) << shiftOfByte(LICE_PIXEL_R) |
         LICE_pixel(g) << shiftOfByte(LICE_PIXEL_G) | LICE_pixel(b) << shiftOfByte(LICE_PIXEL_B);
}

constexpr uint8_t LICE_PixelA(LICE_pixel p) { return lice_detail::byteOf(p, LICE_PIXEL_A); }
constexpr uint8_t LICE_PixelR(LICE_pixel p) { return lice_detail::byteOf(p, LICE_PIXEL_R); }
constexpr uint8_t LICE_PixelG(LICE_pixel p) { return lice_detail::byteOf(p, LICE_PIXEL_G); }
constexpr uint8_t LICE_PixelB(LICE_pixel p) { return lice_detail::byteOf(p, LICE_PIXEL_B); }
