#pragma once

#include <ostream>
#include <vector>

#include "raster/LICE.h"

// Small helpers shared by the raster tests.

struct Argb {
  int a, r, g, b;
  bool operator==(const Argb& o) const { return a == o.a && r == o.r && g == o.g && b == o.b; }
};
inline std::ostream& operator<<(std::ostream& os, const Argb& p) {
  return os << "(" << p.a << "," << p.r << "," << p.g << "," << p.b << ")";
}
inline LICE_pixel pack(const Argb& p) {
  return LICE_PackPixel(uint8_t(p.a), uint8_t(p.r), uint8_t(p.g), uint8_t(p.b));
}
inline Argb unpack(LICE_pixel p) {
  return {LICE_PixelA(p), LICE_PixelR(p), LICE_PixelG(p), LICE_PixelB(p)};
}

// A memory bitmap whose rows are stored bottom-up.
class FlippedBitmap : public LICE_MemBitmap {
 public:
  using LICE_MemBitmap::LICE_MemBitmap;
  bool isFlipped() const override { return true; }
};

// Image pixel (x, y), read from storage without the raster layer's row helpers.
inline Argb pixelAt(const LICE_IBitmap& bitmap, int x, int y) {
  const int stored = bitmap.isFlipped() ? bitmap.getHeight() - 1 - y : y;
  return unpack(bitmap.getBits()[stored * bitmap.getRowSpan() + x]);
}

inline void setPixel(LICE_IBitmap& bitmap, int x, int y, const Argb& p) {
  const int stored = bitmap.isFlipped() ? bitmap.getHeight() - 1 - y : y;
  bitmap.getBits()[stored * bitmap.getRowSpan() + x] = pack(p);
}

inline void fillWith(LICE_IBitmap& bitmap, const Argb& p) {
  for (int y = 0; y < bitmap.getHeight(); ++y)
    for (int x = 0; x < bitmap.getWidth(); ++x) setPixel(bitmap, x, y, p);
}

inline std::vector<Argb> pixelsOf(const LICE_IBitmap& bitmap) {
  std::vector<Argb> pixels;
  for (int y = 0; y < bitmap.getHeight(); ++y)
    for (int x = 0; x < bitmap.getWidth(); ++x) pixels.push_back(pixelAt(bitmap, x, y));
  return pixels;
}
