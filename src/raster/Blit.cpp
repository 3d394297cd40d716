#include "raster/Blit.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

// Every rule below works on the bytes of a pixel (A,R,G,B in memory), so it does
// not depend on the machine's byte order. Quotients truncate toward zero, as C++
// integer division does.
namespace {

struct Weight {
  bool full;  // opacity exactly 1.0
  bool half;  // opacity exactly 0.5
  int w;      // opacity x 256, truncated: 1..256
};

// Opacity as a Weight; false when nothing is to be drawn (0, negative or NaN).
bool weightOf(float alpha, Weight* weight) {
  if (!(alpha > 0.f)) return false;
  if (alpha > 1.f) alpha = 1.f;
  weight->full = alpha == 1.f;
  weight->half = alpha == 0.5f;
  weight->w = int(alpha * 256.f);
  return weight->w > 0;
}

inline uint8_t clampByte(int v) { return uint8_t(v > 255 ? 255 : v); }

// Each row function combines n source pixels into n destination pixels. With
// kSourceStep 0 the source is one pixel repeated (a fill), with 4 a row of pixels.

template <int kSourceStep>
void copyRow(uint8_t* d, const uint8_t* s, int n, const Weight& weight) {
  if (weight.full) {
    if (kSourceStep) {
      std::memcpy(d, s, size_t(n) * 4);
    } else {
      for (int i = 0; i < n; ++i) std::memcpy(d + 4 * i, s, 4);
    }
  } else if (weight.half) {
    for (int i = 0; i < n; ++i, d += 4, s += kSourceStep)
      for (int c = 0; c < 4; ++c) d[c] = uint8_t((s[c] >> 1) + (d[c] >> 1));
  } else {
    const int keep = 256 - weight.w;
    for (int i = 0; i < n; ++i, d += 4, s += kSourceStep)
      for (int c = 0; c < 4; ++c) d[c] = uint8_t(s[c] + (d[c] - s[c]) * keep / 256);
  }
}

// Copy weighted by source alpha; a source alpha of 0 leaves the pixel alone. At
// full weight an opaque source pixel (alpha byte 255) is copied whole.
template <int kSourceStep, bool kFullWeight>
void copyAlphaRow(uint8_t* d, const uint8_t* s, int n, const Weight& weight) {
  for (int i = 0; i < n; ++i, d += 4, s += kSourceStep) {
    const int a = s[LICE_PIXEL_A];
    if (a == 0) continue;
    if (kFullWeight) {
      if (a == 255) {
        // Copy the whole run of opaque pixels at once.
        int run = 1;
        if (kSourceStep)
          while (i + run < n && s[4 * run + LICE_PIXEL_A] == 255) ++run;
        std::memcpy(d, s, size_t(run) * 4);
        i += run - 1, d += 4 * (run - 1), s += kSourceStep * (run - 1);
      } else {
        for (int c = 1; c < 4; ++c) d[c] = uint8_t(s[c] + (d[c] - s[c]) * (255 - a) / 256);
        d[LICE_PIXEL_A] = clampByte(d[LICE_PIXEL_A] + a);
      }
    } else {
      const int k = (a + 1) * weight.w / 256;
      for (int c = 1; c < 4; ++c) d[c] = uint8_t(s[c] + (d[c] - s[c]) * (256 - k) / 256);
      d[LICE_PIXEL_A] = clampByte(d[LICE_PIXEL_A] + k);
    }
  }
}

template <int kSourceStep>
void copyAlphaRow(uint8_t* d, const uint8_t* s, int n, const Weight& weight) {
  if (weight.w == 256)
    copyAlphaRow<kSourceStep, true>(d, s, n, weight);
  else
    copyAlphaRow<kSourceStep, false>(d, s, n, weight);
}

// Add and dodge weigh the source by k = (a + 1) x w / 256 and combine each byte d
// with x = s x k / 256 (colour bytes) or k x a / 256 (alpha byte).
struct AddBytes {
  static uint8_t combine(int d, int x) { return clampByte(d + x); }
};
// Colour dodge: the destination divided by (1 - weighted source), q = 256 - x.
struct DodgeBytes {
  static uint8_t combine(int d, int x) {
    const int q = 256 - x;
    int v = d * 256;
    if (q >= 2) v /= q;
    return clampByte(v);
  }
};

// A source alpha of 0 leaves the pixel as it is (for dodge, x = 0 does the same).
// kUseAlpha false treats every source pixel as opaque (alpha 255).
template <class Bytes, int kSourceStep, bool kUseAlpha>
void weightedRow(uint8_t* d, const uint8_t* s, int n, const Weight& weight) {
  for (int i = 0; i < n; ++i, d += 4, s += kSourceStep) {
    const int a = kUseAlpha ? s[LICE_PIXEL_A] : 255;
    if (a == 0) continue;
    const int k = (a + 1) * weight.w / 256;
    for (int c = 1; c < 4; ++c) d[c] = Bytes::combine(d[c], s[c] * k / 256);
    d[LICE_PIXEL_A] = Bytes::combine(d[LICE_PIXEL_A], k * a / 256);
  }
}

using RowFunction = void (*)(uint8_t*, const uint8_t*, int, const Weight&);

// The row function for a mode; chosen once per call, so the pixel loops hold no
// indirect calls.
template <int kSourceStep>
RowFunction rowFunctionFor(int mode) {
  const bool useAlpha = (mode & LICE_BLIT_USE_ALPHA) != 0;
  switch (mode & LICE_BLIT_MODE_MASK) {
    case LICE_BLIT_MODE_ADD:
      return useAlpha ? weightedRow<AddBytes, kSourceStep, true>
                      : weightedRow<AddBytes, kSourceStep, false>;
    case LICE_BLIT_MODE_DODGE:
      return useAlpha ? weightedRow<DodgeBytes, kSourceStep, true>
                      : weightedRow<DodgeBytes, kSourceStep, false>;
    default: return useAlpha ? copyAlphaRow<kSourceStep> : copyRow<kSourceStep>;
  }
}

inline uint8_t* bytesOf(LICE_pixel* p) { return reinterpret_cast<uint8_t*>(p); }

// Cuts the span [start, start + length) of a destination axis of size `size` to
// it, moving the matching source start along. False when nothing is left.
bool clipAxis(int64_t& destStart, int64_t& sourceStart, int64_t& length, int64_t size) {
  if (destStart < 0) {
    sourceStart -= destStart;
    length += destStart;
    destStart = 0;
  }
  length = std::min(length, size - destStart);
  return length > 0;
}

}  // namespace

void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int width, int height, float alpha, int mode) {
  Weight weight;
  if (!dest || !src || !weightOf(alpha, &weight)) return;

  int64_t dx = dstx, dy = dsty, sx = srcx, sy = srcy, w = width, h = height;
  // Cut to the source bitmap first, then to the destination, each time moving the
  // other rectangle along so that source and destination pixels stay paired.
  if (!clipAxis(sx, dx, w, src->getWidth()) || !clipAxis(sy, dy, h, src->getHeight())) return;
  if (!clipAxis(dx, sx, w, dest->getWidth()) || !clipAxis(dy, sy, h, dest->getHeight())) return;

  const RowFunction combine = rowFunctionFor<4>(mode);
  const int n = int(w);

  // A bitmap blitted onto itself: read from a copy of the source rectangle so that
  // overlapping rows and pixels are not read after they were written.
  std::vector<LICE_pixel> copy;
  const LICE_pixel* sourceRow;
  ptrdiff_t sourceStep;
  if (src == dest) {
    copy.resize(size_t(w) * size_t(h));
    for (int64_t row = 0; row < h; ++row)
      std::memcpy(&copy[size_t(row * w)], LICE_RowPointer(src, int(sy + row)) + sx, size_t(w) * 4);
    sourceRow = copy.data();
    sourceStep = n;
  } else {
    sourceRow = LICE_RowPointer(src, int(sy)) + sx;
    sourceStep = LICE_RowStep(src);
  }

  LICE_pixel* destRow = LICE_RowPointer(dest, int(dy)) + dx;
  const ptrdiff_t destStep = LICE_RowStep(dest);
  for (int64_t row = 0; row < h; ++row, destRow += destStep, sourceRow += sourceStep)
    combine(bytesOf(destRow), reinterpret_cast<const uint8_t*>(sourceRow), n, weight);
}

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int width, int height, LICE_pixel colour,
                   float alpha, int mode) {
  if (!dest) return;
  const bool copies = (mode & LICE_BLIT_MODE_MASK) != LICE_BLIT_MODE_ADD &&
                      (mode & LICE_BLIT_MODE_MASK) != LICE_BLIT_MODE_DODGE;
  // A copy folds the colour's alpha into the opacity and then ignores it per pixel.
  if (copies && (mode & LICE_BLIT_USE_ALPHA)) {
    alpha *= LICE_PixelA(colour) / 255.f;
    mode &= ~LICE_BLIT_USE_ALPHA;
  }
  Weight weight;
  if (!weightOf(alpha, &weight)) return;

  int64_t dx = x, dy = y, unusedX = 0, unusedY = 0, w = width, h = height;
  if (!clipAxis(dx, unusedX, w, dest->getWidth()) || !clipAxis(dy, unusedY, h, dest->getHeight()))
    return;

  const RowFunction combine = rowFunctionFor<0>(mode);
  uint8_t source[4];
  std::memcpy(source, &colour, 4);
  LICE_pixel* destRow = LICE_RowPointer(dest, int(dy)) + dx;
  const ptrdiff_t destStep = LICE_RowStep(dest);
  for (int64_t row = 0; row < h; ++row, destRow += destStep)
    combine(bytesOf(destRow), source, int(w), weight);
}
