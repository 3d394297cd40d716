#include "raster/Blit.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "raster/RasterTestBitmaps.h"

namespace {

constexpr int kCopy = 0, kCopyAlpha = 0x10000, kAdd = 0x10001, kDodge = 0x10002;
constexpr Argb kDest{100, 40, 180, 250};

struct PixelCase {
  const char* name;
  int mode;
  float weight;
  int sourceAlpha;  // the source pixel is (sourceAlpha, 200, 100, 30)
  Argb expected;
};
void PrintTo(const PixelCase& c, std::ostream* os) { *os << c.name; }

// Expected bytes worked out from the integer rules by hand (and by a separate script).
const PixelCase kPixelCases[] = {
    {"CopyFull", kCopy, 1.f, 128, {128, 200, 100, 30}},
    {"CopyHalf", kCopy, .5f, 128, {114, 120, 140, 140}},
    {"CopyQuarter", kCopy, .25f, 128, {107, 80, 160, 195}},
    {"CopyOdd", kCopy, .3f, 128, {109, 88, 156, 184}},
    {"CopyAlphaTransparentFull", kCopyAlpha, 1.f, 0, kDest},
    {"CopyAlphaTransparentOdd", kCopyAlpha, .3f, 0, kDest},
    {"CopyAlphaOpaqueFull", kCopyAlpha, 1.f, 255, {255, 200, 100, 30}},
    {"CopyAlphaOpaqueHalf", kCopyAlpha, .5f, 255, {228, 120, 140, 140}},
    {"CopyAlphaOpaqueQuarter", kCopyAlpha, .25f, 255, {164, 80, 160, 195}},
    {"CopyAlphaOpaqueOdd", kCopyAlpha, .3f, 255, {176, 88, 156, 184}},
    {"CopyAlphaMiddleFull", kCopyAlpha, 1.f, 128, {228, 121, 139, 139}},
    {"CopyAlphaMiddleHalf", kCopyAlpha, .5f, 128, {164, 80, 160, 195}},
    {"CopyAlphaMiddleQuarter", kCopyAlpha, .25f, 128, {132, 60, 170, 222}},
    {"CopyAlphaMiddleOdd", kCopyAlpha, .3f, 128, {138, 64, 168, 217}},
    {"AddTransparentFull", kAdd, 1.f, 0, kDest},
    {"AddTransparentOdd", kAdd, .3f, 0, kDest},
    {"AddOpaqueFull", kAdd, 1.f, 255, {255, 240, 255, 255}},
    {"AddOpaqueHalf", kAdd, .5f, 255, {227, 140, 230, 255}},
    {"AddOpaqueQuarter", kAdd, .25f, 255, {163, 90, 205, 255}},
    {"AddOpaqueOdd", kAdd, .3f, 255, {175, 99, 209, 255}},
    {"AddMiddleFull", kAdd, 1.f, 128, {164, 140, 230, 255}},
    {"AddMiddleHalf", kAdd, .5f, 128, {132, 90, 205, 255}},
    {"AddMiddleQuarter", kAdd, .25f, 128, {116, 65, 192, 253}},
    {"AddMiddleOdd", kAdd, .3f, 128, {119, 69, 194, 254}},
    {"DodgeTransparentFull", kDodge, 1.f, 0, kDest},
    {"DodgeTransparentOdd", kDodge, .3f, 0, kDest},
    {"DodgeOpaqueFull", kDodge, 1.f, 255, {255, 182, 255, 255}},
    {"DodgeOpaqueHalf", kDodge, .5f, 255, {198, 65, 223, 255}},
    {"DodgeOpaqueQuarter", kDodge, .25f, 255, {132, 49, 199, 255}},
    {"DodgeOpaqueOdd", kDodge, .3f, 255, {141, 51, 202, 255}},
    {"DodgeMiddleFull", kDodge, 1.f, 128, {133, 65, 223, 255}},
    {"DodgeMiddleHalf", kDodge, .5f, 128, {114, 49, 199, 255}},
    {"DodgeMiddleQuarter", kDodge, .25f, 128, {106, 44, 188, 252}},
    {"DodgeMiddleOdd", kDodge, .3f, 128, {108, 45, 190, 253}},
    // Opacity outside 0..1: above 1 is 1, zero, negative and NaN draw nothing.
    {"CopyAboveOne", kCopy, 7.f, 128, {128, 200, 100, 30}},
    {"CopyZero", kCopy, 0.f, 128, kDest},
    {"CopyNegative", kCopy, -.5f, 128, kDest},
    {"CopyNaN", kCopy, NAN, 128, kDest},
    {"CopyBelowOneStep", kCopyAlpha, 1.f / 512, 255, kDest},
};

class BlitPixel : public ::testing::TestWithParam<PixelCase> {};

TEST_P(BlitPixel, CombinesBytesExactly) {
  const PixelCase& c = GetParam();
  LICE_MemBitmap source(3, 2), dest(3, 2);
  fillWith(source, {c.sourceAlpha, 200, 100, 30});
  fillWith(dest, kDest);
  LICE_Blit(&dest, &source, 0, 0, 0, 0, 3, 2, c.weight, c.mode);
  for (const Argb& p : pixelsOf(dest)) EXPECT_EQ(p, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Modes, BlitPixel, ::testing::ValuesIn(kPixelCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Add and dodge fills follow the blit rules with the colour as every source pixel.
TEST(FillRect, AddsAndDodgesByTheBlitRules) {
  for (const PixelCase& c : kPixelCases) {
    if (c.mode != kAdd && c.mode != kDodge) continue;
    LICE_MemBitmap dest(2, 2);
    fillWith(dest, kDest);
    LICE_FillRect(&dest, 0, 0, 2, 2, pack({c.sourceAlpha, 200, 100, 30}), c.weight, c.mode);
    for (const Argb& p : pixelsOf(dest)) EXPECT_EQ(p, c.expected) << c.name;
  }
}

struct FillCase {
  const char* name;
  Argb colour;
  float alpha;
  int mode;
  Argb expected;
};
void PrintTo(const FillCase& c, std::ostream* os) { *os << c.name; }

const FillCase kFillCases[] = {
    {"TransparentColourChangesNothing", {0, 0, 0, 0}, 1.f, kCopyAlpha, kDest},
    {"OpaqueColourReplaces", {255, 10, 20, 30}, 1.f, kCopyAlpha, {255, 10, 20, 30}},
    {"OpaqueColourAtHalf", {255, 10, 20, 30}, .5f, kCopyAlpha, {177, 25, 100, 140}},
    {"ColourAlphaIsOpacity", {128, 10, 20, 30}, 1.f, kCopyAlpha, {114, 25, 100, 140}},
    {"WithoutFlagColourAlphaIsCopied", {128, 10, 20, 30}, 1.f, kCopy, {128, 10, 20, 30}},
    {"WithoutFlagQuarter", {0, 10, 20, 30}, .25f, kCopy, {75, 32, 140, 195}},
};

class FillPixel : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillPixel, CombinesColourExactly) {
  const FillCase& c = GetParam();
  LICE_MemBitmap dest(3, 2);
  fillWith(dest, kDest);
  LICE_FillRect(&dest, 0, 0, 3, 2, pack(c.colour), c.alpha, c.mode);
  for (const Argb& p : pixelsOf(dest)) EXPECT_EQ(p, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Colours, FillPixel, ::testing::ValuesIn(kFillCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Placement: a 16 x 8 source whose pixels name their own coordinates, blitted
// into a 5 x 4 destination; every destination pixel is compared with a model of
// the clipped, aligned copy.
struct PlaceCase {
  const char* name;
  int dstx, dsty, srcx, srcy, width, height;
  bool flipDest, flipSource;
};
void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }

const PlaceCase kPlaceCases[] = {
    {"Inside", 1, 1, 2, 3, 3, 2, false, false},
    {"NegativeDestinationMovesSource", -10, -5, 0, 0, 16, 8, false, false},
    {"PartlyLeftAndAbove", -1, -2, 4, 1, 4, 4, false, false},
    {"PartlyRightAndBelow", 3, 2, 0, 0, 16, 8, false, false},
    {"FarNegative", -100000, 0, 0, 0, 16, 8, false, false},
    {"FarPositive", 100000, 100000, 0, 0, 16, 8, false, false},
    {"SourceRectangleBeyondSource", 0, 0, 14, 6, 10, 10, false, false},
    {"NegativeSourceStartKeepsAlignment", 0, 0, -2, -1, 5, 4, false, false},
    {"HugeRectangle", 0, 0, 0, 0, INT_MAX, INT_MAX, false, false},
    {"ExtremeOrigin", INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX, false, false},
    {"NegativeSize", 0, 0, 0, 0, -3, 2, false, false},
    {"FlippedDestination", 1, -1, 3, 2, 4, 4, true, false},
    {"FlippedSource", 1, -1, 3, 2, 4, 4, false, true},
    {"BothFlipped", -2, 1, 3, 2, 6, 4, true, true},
};

class BlitPlacement : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(BlitPlacement, CopiesTheClippedRectangle) {
  const PlaceCase& c = GetParam();
  LICE_MemBitmap plainSource(16, 8), plainDest(5, 4);
  FlippedBitmap flippedSource(16, 8), flippedDest(5, 4);
  LICE_IBitmap& source = c.flipSource ? static_cast<LICE_IBitmap&>(flippedSource) : plainSource;
  LICE_IBitmap& dest = c.flipDest ? static_cast<LICE_IBitmap&>(flippedDest) : plainDest;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) setPixel(source, x, y, {255, x, y, 7});
  fillWith(dest, {0, 0, 0, 0});

  LICE_Blit(&dest, &source, c.dstx, c.dsty, c.srcx, c.srcy, c.width, c.height, 1.f, kCopy);

  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) {
      const int64_t sx = int64_t(x) - c.dstx + c.srcx, sy = int64_t(y) - c.dsty + c.srcy;
      const bool inRectangle = int64_t(x) - c.dstx >= 0 && int64_t(x) - c.dstx < c.width &&
                               int64_t(y) - c.dsty >= 0 && int64_t(y) - c.dsty < c.height;
      const bool inSource = sx >= 0 && sx < 16 && sy >= 0 && sy < 8;
      const Argb expected = inRectangle && inSource ? Argb{255, int(sx), int(sy), 7} : Argb{0, 0, 0, 0};
      EXPECT_EQ(pixelAt(dest, x, y), expected) << "at " << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Rectangles, BlitPlacement, ::testing::ValuesIn(kPlaceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Blit, FlippedDestinationGetsSourceRowZeroAtTheTop) {
  LICE_MemBitmap source(2, 2);
  FlippedBitmap dest(2, 2);
  setPixel(source, 0, 0, {255, 1, 2, 3});
  LICE_Blit(&dest, &source, 0, 0, 0, 0, 2, 2, 1.f, kCopy);
  // The top image row of a flipped bitmap is its last stored row.
  EXPECT_EQ(unpack(dest.getBits()[dest.getRowSpan()]), (Argb{255, 1, 2, 3}));
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

TEST(Blit, MissingBitmapsDrawNothing) {
  LICE_MemBitmap bitmap(2, 2);
  fillWith(bitmap, kDest);
  LICE_Blit(&bitmap, nullptr, 0, 0, 0, 0, 2, 2, 1.f, kCopy);
  LICE_Blit(nullptr, &bitmap, 0, 0, 0, 0, 2, 2, 1.f, kCopy);
  LICE_FillRect(nullptr, 0, 0, 2, 2, 0, 1.f, kCopy);
  for (const Argb& p : pixelsOf(bitmap)) EXPECT_EQ(p, kDest);
}

TEST(FillRect, ClipsToTheBitmap) {
  struct Case {
    int x, y, w, h;
  };
  const Case cases[] = {{-2, -3, 4, 5}, {3, 2, 100, 100}, {-100000, 0, 5, 5}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}};
  for (const Case& c : cases) {
    FlippedBitmap dest(5, 4);
    fillWith(dest, kDest);
    LICE_FillRect(&dest, c.x, c.y, c.w, c.h, pack({255, 1, 2, 3}), 1.f, kCopyAlpha);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x) {
        const bool inside = int64_t(x) >= c.x && int64_t(x) < int64_t(c.x) + c.w &&
                            int64_t(y) >= c.y && int64_t(y) < int64_t(c.y) + c.h;
        EXPECT_EQ(pixelAt(dest, x, y), inside ? (Argb{255, 1, 2, 3}) : kDest)
            << "fill at " << c.x << "," << c.y << " pixel " << x << "," << y;
      }
  }
}

}  // namespace
