#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "raster/Blit.h"
#include "raster/RasterTestBitmaps.h"

namespace {

constexpr int kCopy = 0, kCopyAlpha = 0x10000, kAdd = 0x10001, kDodge = 0x10002;
constexpr Argb kDest{100, 40, 180, 250};

// The exact integer rules, pixel by pixel, over the destination pixel kDest. Blit rows: the
// source pixel (alpha, 200, 100, 30) at the weight; add and dodge fills of that colour give the
// same bytes. Fill rows: the colour at the weight as alpha. Expected bytes worked out from the
// integer rules by hand and by a separate script.
struct PixelCase {
  const char* name;
  bool fill;
  int mode;
  Argb colour;
  float weight;  // fill: alpha
  Argb expected;
};

const Argb kSource{255, 200, 100, 30}, kHalf{128, 200, 100, 30}, kClear{0, 200, 100, 30};
const PixelCase kPixelCases[] = {
    {"Copy", false, kCopy, kHalf, 1.f, kHalf},
    {"Copy", false, kCopy, kHalf, .3f, {109, 88, 156, 184}},
    {"CopyWeightAboveOneIsOne", false, kCopy, kHalf, 7.f, kHalf},
    {"CopyWeightBelowOneIn256IsNothing", false, kCopy, kHalf, 1.f / 512, kDest},
    {"CopyNegativeWeight", false, kCopy, kHalf, -.5f, kDest},
    {"CopyNanWeight", false, kCopy, kHalf, NAN, kDest},
    {"CopyAlphaTransparent", false, kCopyAlpha, kClear, 1.f, kDest},
    {"CopyAlphaOpaque", false, kCopyAlpha, kSource, 1.f, kSource},
    {"CopyAlphaMiddle", false, kCopyAlpha, kHalf, 1.f, {228, 121, 139, 139}},
    {"CopyAlphaMiddle", false, kCopyAlpha, kHalf, .3f, {138, 64, 168, 217}},
    {"AddTransparent", false, kAdd, kClear, .3f, kDest},
    {"AddOpaque", false, kAdd, kSource, 1.f, {255, 240, 255, 255}},
    {"AddMiddle", false, kAdd, kHalf, .3f, {119, 69, 194, 254}},
    {"DodgeTransparent", false, kDodge, kClear, 1.f, kDest},
    {"DodgeOpaque", false, kDodge, kSource, 1.f, {255, 182, 255, 255}},
    {"FillTransparentColourChangesNothing", true, kCopyAlpha, {0, 0, 0, 0}, 1.f, kDest},
    {"FillOpaqueColour", true, kCopyAlpha, {255, 10, 20, 30}, .5f, {177, 25, 100, 140}},
    {"FillColourAlphaIsOpacity", true, kCopyAlpha, {128, 10, 20, 30}, 1.f, {114, 25, 100, 140}},
    {"FillWithoutFlagCopiesTheColourAlpha", true, kCopy, {128, 10, 20, 30}, 1.f, {128, 10, 20, 30}},
};

TEST(Blit, CombinesBytesExactly) {
  for (const PixelCase& c : kPixelCases) {
    SCOPED_TRACE(::testing::Message() << c.name << " at " << c.weight);
    LICE_MemBitmap source(3, 2), dest(3, 2), filled(2, 2);
    fillWith(source, c.colour);
    fillWith(dest, kDest);
    fillWith(filled, kDest);
    if (c.fill)
      LICE_FillRect(&dest, 0, 0, 3, 2, pack(c.colour), c.weight, c.mode);
    else
      LICE_Blit(&dest, &source, 0, 0, 0, 0, 3, 2, c.weight, c.mode);
    for (const Argb& p : pixelsOf(dest)) EXPECT_EQ(p, c.expected);
    if (c.fill || (c.mode != kAdd && c.mode != kDodge)) continue;
    LICE_FillRect(&filled, 0, 0, 2, 2, pack(c.colour), c.weight, c.mode);
    for (const Argb& p : pixelsOf(filled)) EXPECT_EQ(p, c.expected) << "fill";
  }
}

// Opaque pixels are copied in runs: each pixel of a mixed row still gets its own rule.
TEST(Blit, MixedSourceAlphaRowMatchesSinglePixels) {
  const int alphas[] = {255, 255, 128, 0, 255, 1};
  LICE_MemBitmap source(6, 1), dest(6, 1), single(1, 1);
  for (int x = 0; x < 6; ++x) setPixel(source, x, 0, {alphas[x], 200, 100, 30});
  fillWith(dest, kDest);
  LICE_Blit(&dest, &source, 0, 0, 0, 0, 6, 1, 1.f, kCopyAlpha);
  for (int x = 0; x < 6; ++x) {
    fillWith(single, kDest);
    LICE_Blit(&single, &source, 0, 0, x, 0, 1, 1, 1.f, kCopyAlpha);
    EXPECT_EQ(pixelAt(dest, x, 0), pixelAt(single, 0, 0)) << x;
  }
}

// Placement: a 16 x 8 source whose pixels name their own coordinates, blitted
// into a 5 x 4 destination, and the same rectangle filled into another; every
// destination pixel is compared with a model of the clipped, aligned copy.
struct PlaceCase {
  const char* name;
  int dstx, dsty, srcx, srcy, width, height;
  bool flipDest, flipSource;
};

const PlaceCase kPlaceCases[] = {
    {"NegativeDestinationMovesSource", -10, -5, 0, 0, 16, 8, false, false},
    {"PartlyLeftAndAbove", -1, -2, 4, 1, 4, 4, false, false},
    {"PartlyRightAndBelow", 3, 2, 0, 0, 16, 8, false, false},
    {"SourceRectangleBeyondSource", 0, 0, 14, 6, 10, 10, false, false},
    {"NegativeSourceStartKeepsAlignment", 0, 0, -2, -1, 5, 4, false, false},
    {"ExtremeValues", INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX, false, false},
    {"FlippedDestination", 1, -1, 3, 2, 4, 4, true, false},
    {"FlippedSource", 1, -1, 3, 2, 4, 4, false, true},
};

TEST(Blit, PlacementCopiesTheClippedRectangle) {
  for (const PlaceCase& c : kPlaceCases) {
    SCOPED_TRACE(c.name);
    LICE_MemBitmap plainSource(16, 8), plainDest(5, 4), plainFilled(5, 4);
    FlippedBitmap flippedSource(16, 8), flippedDest(5, 4), flippedFilled(5, 4);
    LICE_IBitmap& source = c.flipSource ? static_cast<LICE_IBitmap&>(flippedSource) : plainSource;
    LICE_IBitmap& dest = c.flipDest ? static_cast<LICE_IBitmap&>(flippedDest) : plainDest;
    LICE_IBitmap& filled = c.flipDest ? static_cast<LICE_IBitmap&>(flippedFilled) : plainFilled;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 16; ++x) setPixel(source, x, y, {255, x, y, 7});

    LICE_Blit(&dest, &source, c.dstx, c.dsty, c.srcx, c.srcy, c.width, c.height, 1.f, kCopy);
    LICE_FillRect(&filled, c.dstx, c.dsty, c.width, c.height, pack({255, 1, 2, 3}), 1.f,
                  kCopyAlpha);

    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 5; ++x) {
        const int64_t sx = int64_t(x) - c.dstx + c.srcx, sy = int64_t(y) - c.dsty + c.srcy;
        const bool inRectangle = int64_t(x) - c.dstx >= 0 && int64_t(x) - c.dstx < c.width &&
                                 int64_t(y) - c.dsty >= 0 && int64_t(y) - c.dsty < c.height;
        const bool inSource = sx >= 0 && sx < 16 && sy >= 0 && sy < 8;
        const Argb none{0, 0, 0, 0};
        EXPECT_EQ(pixelAt(dest, x, y),
                  inRectangle && inSource ? (Argb{255, int(sx), int(sy), 7}) : none)
            << "at " << x << "," << y;
        EXPECT_EQ(pixelAt(filled, x, y), inRectangle ? (Argb{255, 1, 2, 3}) : none)
            << "fill at " << x << "," << y;
      }
    }
  }
}

TEST(Blit, OntoItselfReadsTheSourceBeforeWriting) {
  LICE_MemBitmap bitmap(4, 4), expected(4, 4), copy(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) setPixel(bitmap, x, y, {255, x, y, 0});
  LICE_Blit(&copy, &bitmap, 0, 0, 0, 0, 4, 4, 1.f, kCopy);
  LICE_Blit(&expected, &bitmap, 0, 0, 0, 0, 4, 4, 1.f, kCopy);
  LICE_Blit(&expected, &copy, 1, 1, 0, 0, 3, 3, .3f, kCopy);
  LICE_Blit(&bitmap, &bitmap, 1, 1, 0, 0, 3, 3, .3f, kCopy);
  EXPECT_EQ(pixelsOf(bitmap), pixelsOf(expected));
}

}  // namespace
