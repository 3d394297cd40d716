#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <tuple>

#include "raster/Bitmap.h"
#include "raster/Blit.h"
#include "raster/RasterFont.h"
#include "raster/RasterTestBitmaps.h"
#include "raster/Utf8.h"
#include "support/TempFolder.h"

namespace {

constexpr int kCopy = 0, kCopyAlpha = 0x10000, kAdd = 0x10001, kDodge = 0x10002;
constexpr Argb kDest{100, 40, 180, 250};

// The exact integer rules, pixel by pixel, over the destination pixel kDest. Blit rows: the
// source pixel (alpha, 200, 100, 30) at the weight; add and dodge fills of that colour give the
// same bytes. Fill rows: the colour at the weight as alpha. Expected bytes worked out from the
// integer rules by hand and by a separate script.
// Name, fill (else blit), mode, colour, weight (fill: alpha), expected bytes.
using PixelCase = std::tuple<const char*, bool, int, Argb, float, Argb>;

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
  for (const auto& [name, fill, mode, colour, weight, expected] : kPixelCases) {
    SCOPED_TRACE(::testing::Message() << name << " at " << weight);
    LICE_MemBitmap source(3, 2), dest(3, 2), filled(2, 2);
    fillWith(source, colour);
    fillWith(dest, kDest);
    fillWith(filled, kDest);
    if (fill)
      LICE_FillRect(&dest, 0, 0, 3, 2, pack(colour), weight, mode);
    else
      LICE_Blit(&dest, &source, 0, 0, 0, 0, 3, 2, weight, mode);
    for (const Argb& p : pixelsOf(dest)) EXPECT_EQ(p, expected);
    if (fill || (mode != kAdd && mode != kDodge)) continue;
    LICE_FillRect(&filled, 0, 0, 2, 2, pack(colour), weight, mode);
    for (const Argb& p : pixelsOf(filled)) EXPECT_EQ(p, expected) << "fill";
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
// Name, destination x and y, source x and y, width, height, flipped destination, flipped
// source.
using PlaceCase = std::tuple<const char*, int, int, int, int, int, int, bool, bool>;

const PlaceCase kPlaceCases[] = {
    {"NegativeDestinationMovesSource", -10, -5, 0, 0, 16, 8, false, false},
    {"PartlyLeftAndAbove", -1, -2, 4, 1, 4, 4, false, false},
    {"PartlyRightAndBelow", 3, 2, 0, 0, 16, 8, false, false},
    {"SourceRectangleBeyondSource", 0, 0, 14, 6, 10, 10, false, false},
    {"NegativeSourceStartKeepsAlignment", 0, 0, -2, -1, 5, 4, false, false},
    {"ExtremeValues", INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX, false, false},
    {"FlippedDestination", 1, -1, 3, 2, 4, 4, true, false},
    {"FlippedSource", 1, -1, 3, 2, 4, 4, false, true}};

TEST(Blit, PlacementCopiesTheClippedRectangle) {
  for (const auto& [name, dstx, dsty, srcx, srcy, width, height, flipDest, flipSource] :
       kPlaceCases) {
    SCOPED_TRACE(name);
    LICE_MemBitmap plainSource(16, 8), plainDest(5, 4), plainFilled(5, 4);
    FlippedBitmap flippedSource(16, 8), flippedDest(5, 4), flippedFilled(5, 4);
    LICE_IBitmap& source = flipSource ? static_cast<LICE_IBitmap&>(flippedSource) : plainSource;
    LICE_IBitmap& dest = flipDest ? static_cast<LICE_IBitmap&>(flippedDest) : plainDest;
    LICE_IBitmap& filled = flipDest ? static_cast<LICE_IBitmap&>(flippedFilled) : plainFilled;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 16; ++x) setPixel(source, x, y, {255, x, y, 7});

    LICE_Blit(&dest, &source, dstx, dsty, srcx, srcy, width, height, 1.f, kCopy);
    LICE_FillRect(&filled, dstx, dsty, width, height, pack({255, 1, 2, 3}), 1.f, kCopyAlpha);

    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x) {
        const int64_t sx = int64_t(x) - dstx + srcx, sy = int64_t(y) - dsty + srcy;
        const bool inRectangle = int64_t(x) - dstx >= 0 && int64_t(x) - dstx < width &&
                                 int64_t(y) - dsty >= 0 && int64_t(y) - dsty < height;
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

// Pictures in the colour types and bit depths the decoder converts (data/*.png), with
// their pixels, top row first.
std::vector<std::pair<const char*, std::vector<Argb>>> decodeCases() {
  // 5 x 5, interlaced, 8-bit RGBA: pixel (x, y) is (200 + x + y, 10x, 10y, 7).
  std::vector<Argb> interlaced;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) interlaced.push_back({200 + x + y, 10 * x, 10 * y, 7});
  return {// 2-bit indexes 0 1 2 / 3 2 1 into red, green, blue, white; index 0 transparent,
          // index 1 half transparent, the entries beyond the tRNS list opaque.
          {"palette-2bit-transparency.png",
           {{0, 255, 0, 0},
            {128, 0, 255, 0},
            {255, 0, 0, 255},
            {255, 255, 255, 255},
            {255, 0, 0, 255},
            {128, 0, 255, 0}}},
          // 16-bit channels (0x1000, 0x2000, 0x3000, alpha 0x8000) scaled to 8 bits with rounding.
          {"rgba-16bit.png", {{128, 16, 32, 48}}},
          // 1-bit grey: white, black, white, white.
          {"grey-1bit.png",
           {{255, 255, 255, 255}, {255, 0, 0, 0}, {255, 255, 255, 255}, {255, 255, 255, 255}}},
          {"rgba-interlaced.png", interlaced}};
}

// ctest names the folder; a file missing there reads as empty.
std::string dataFile(const char* name) {
  const char* folder = std::getenv("ZORQ_TEST_DATA");
  return std::string(folder ? folder : ".") + "/" + name;
}

// From memory into a new bitmap, and from a file into a flipped bitmap of another size.
TEST(Png, DecodingGivesThePixels) {
  for (const auto& [file, expected] : decodeCases()) {
    SCOPED_TRACE(file);
    const std::string png = readText(dataFile(file));
    std::unique_ptr<LICE_IBitmap> bitmap(LICE_LoadPNGFromMemory(png.data(), png.size()));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(pixelsOf(*bitmap), expected);
    FlippedBitmap flipped(40, 1);
    EXPECT_EQ(LICE_LoadPNG(dataFile(file).c_str(), &flipped), &flipped);
    EXPECT_EQ(pixelsOf(flipped), expected);
  }
}

// Written bitmaps load back, with or without alpha; no folder or no pixels, nothing written.
// No file, no name or no data gives no picture. (Damaged files, refused with the caller's
// bitmap left as it was, are fuzz regression inputs: fuzz/regressions/png.)
TEST(Png, WrittenBitmapsLoadBackAndMissingInputGivesNoPicture) {
  EXPECT_EQ(LICE_LoadPNG("/nonexistent/absent.png"), nullptr);
  EXPECT_EQ(LICE_LoadPNG(nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(nullptr, 10), nullptr);
  TempFolder folder;
  FlippedBitmap bitmap(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) setPixel(bitmap, x, y, {40 * x + y, x, 100 + y, 200});
  ASSERT_TRUE(LICE_WritePNG((folder / "alpha.png").c_str(), &bitmap));
  ASSERT_TRUE(LICE_WritePNG((folder / "opaque.png").c_str(), &bitmap, false));
  EXPECT_FALSE(LICE_WritePNG((folder / "missing/folder.png").c_str(), &bitmap));
  LICE_MemBitmap empty;
  EXPECT_FALSE(LICE_WritePNG((folder / "empty.png").c_str(), &empty));

  std::unique_ptr<LICE_IBitmap> alpha(LICE_LoadPNG((folder / "alpha.png").c_str()));
  std::unique_ptr<LICE_IBitmap> opaque(LICE_LoadPNG((folder / "opaque.png").c_str()));
  ASSERT_TRUE(alpha && opaque);
  std::vector<Argb> expected = pixelsOf(bitmap);
  EXPECT_EQ(pixelsOf(*alpha), expected);
  for (Argb& p : expected) p.a = 255;
  EXPECT_EQ(pixelsOf(*opaque), expected);
}

std::unique_ptr<RasterFont> font(const char* family, int pixels, bool bold = false) {
  return RasterFont::Create({family, pixels, bold, false, 0, 0});
}

// "H" in red over white: covered pixels lie on the line from white to red, the
// stems reach the exact colour, and nothing lands outside the measured line box.
TEST(RasterFont, DrawsGlyphsInTheColourInsideTheLineBox) {
  auto arial = font("Arial", 40);
  ASSERT_TRUE(arial);
  int width = 0, height = 0;
  arial->Measure("H", &width, &height);
  for (const uint8_t alpha : {uint8_t(255), uint8_t(128)}) {
    LICE_MemBitmap bitmap(80, 60);
    fillWith(bitmap, {255, 255, 255, 255});
    arial->Draw(&bitmap, "H", 10, 5, alpha, 255, 0, 0);
    int strongest = 255, changed = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 80; ++x) {
        const Argb p = pixelAt(bitmap, x, y);
        if (p == Argb{255, 255, 255, 255}) continue;
        ++changed;
        EXPECT_TRUE(x >= 10 && x < 10 + width && y >= 5 && y < 5 + height) << x << "," << y;
        EXPECT_EQ(p.r, 255);
        EXPECT_EQ(p.g, p.b);
        strongest = std::min(strongest, p.g);
      }
    EXPECT_GT(changed, 100);
    EXPECT_EQ(strongest, alpha == 255 ? 0 : 127);  // full coverage: 255 - 255 x 128 / 255
  }
}

// Text drawn through a rectangle of a bitmap lands where it lands on the whole bitmap,
// inside the rectangle, and nowhere outside it; a rectangle reaching past the bitmap is
// cut to it (and starts where the cut one starts). Plain and flipped rows agree. The text
// starts above and left of the bitmap; at the ends of the coordinate range it draws nothing.
TEST(RasterFont, DrawsThroughASubBitmapOnlyInsideItsRectangle) {
  auto arial = font("Arial", 24);
  ASSERT_TRUE(arial);
  const char* text = "Wig\xC3\xA9";
  LICE_MemBitmap whole(60, 30), background(60, 30);
  fillWith(background, {255, 10, 20, 30});
  fillWith(whole, {255, 10, 20, 30});
  arial->Draw(&whole, text, -2, -3, 160, 255, 255, 192);
  ASSERT_NE(pixelsOf(whole), pixelsOf(background));
  for (const auto& [left, top, w, h] :
       {std::tuple{10, 4, 25, 12}, {-5, -5, 30, 30}, {50, 10, 40, 40}, {70, 0, 5, 5}}) {
    LICE_MemBitmap plain(60, 30);
    FlippedBitmap flipped(60, 30);
    for (LICE_IBitmap* parent :
         {static_cast<LICE_IBitmap*>(&plain), static_cast<LICE_IBitmap*>(&flipped)}) {
      fillWith(*parent, {255, 10, 20, 30});
      LICE_SubBitmap area(parent, left, top, w, h);
      arial->Draw(&area, text, -2 - std::max(left, 0), -3 - std::max(top, 0), 160, 255, 255, 192);
      arial->Draw(&area, "far", INT_MAX - 5, INT_MIN + 5, 255, 9, 8, 7);
      arial->Draw(&area, "far", INT_MIN, INT_MAX, 255, 9, 8, 7);
    }
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 60; ++x) {
        const bool inside = x >= left && x < left + w && y >= top && y < top + h;
        const Argb expected = inside ? pixelAt(whole, x, y) : Argb{255, 10, 20, 30};
        ASSERT_EQ(pixelAt(plain, x, y), expected) << x << "," << y;
        ASSERT_EQ(pixelAt(flipped, x, y), expected) << x << "," << y;
      }
  }
}

// One font, two threads measuring and drawing at once, each meeting glyphs not
// yet cached (the thread sanitizer build checks the locking); each thread's
// picture equals the single-threaded one.
TEST(RasterFont, DrawsFromTwoThreadsAtOnce) {
  auto arial = font("Arial", 14);
  ASSERT_TRUE(arial);
  LICE_MemBitmap reference(120, 20);
  arial->Draw(&reference, "Threads 0123", 2, 2, 255, 1, 2, 3);
  std::atomic<int> started{0};
  auto work = [&](LICE_MemBitmap* bitmap) {
    for (++started; started < 2;) {
    }
    for (int i = 0; i < 64; ++i) {
      const char letter[] = {char(0xC4), char(0x80 + i), 0};  // U+0100 + i
      int width = 0, height = 0;
      arial->Measure(letter, &width, &height);
      fillWith(*bitmap, {0, 0, 0, 0});
      arial->Draw(bitmap, "Threads 0123", 2, 2, 255, 1, 2, 3);
    }
  };
  LICE_MemBitmap first(120, 20), second(120, 20);
  std::thread other(work, &second);
  work(&first);
  other.join();
  EXPECT_EQ(pixelsOf(first), pixelsOf(reference));
  EXPECT_EQ(pixelsOf(second), pixelsOf(reference));
}

TEST(Utf8, DecodesOrReplacesWithoutPassingTheEnd) {
  // Valid sequences, a stray continuation byte, one cut short by the end, an overlong one
  // and a surrogate.
  const uint32_t bad = kReplacementCharacter;
  for (const auto& [text, codePoints] :
       {std::pair<const char*, std::vector<uint32_t>>{"A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB9",
                                                      {'A', 0xE9, 0x20AC, 0x1F3B9}},
        {"\x80x", {bad, 'x'}},
        {"\xE2\x82", {bad}},
        {"\xC0\xAF", {bad}},
        {"\xED\xA0\x80", {bad}}}) {
    std::vector<uint32_t> decoded;
    for (const char* p = text; *p;) decoded.push_back(nextCodePoint(p));
    EXPECT_EQ(decoded, codePoints) << text;
  }
}

}  // namespace

TEST(MemBitmap, RowSpanIsRoundedUpAndImpossibleSizesLeaveTheBitmap) {
  for (const auto& [width, alignment, span] :
       {std::tuple{5, 4, 8}, {8, 4, 8}, {5, 1, 5}, {5, 0, 5}, {1, 16, 16}}) {
    LICE_MemBitmap bitmap(width, 3, alignment);
    EXPECT_EQ(bitmap.getRowSpan(), span) << width << " aligned to " << alignment;
  }
  EXPECT_EQ(LICE_SysBitmap(801, 2).getRowSpan(), 804);
  LICE_MemBitmap bitmap(3, 2);
  EXPECT_FALSE(bitmap.resize(1 << 20, 1 << 20));
  EXPECT_FALSE(bitmap.resize(INT32_MAX, 1));
  EXPECT_EQ(std::pair(bitmap.getWidth(), bitmap.getHeight()), std::pair(3, 2));
  EXPECT_TRUE(bitmap.resize(-4, 7));
  EXPECT_EQ(std::pair(bitmap.getWidth(), bitmap.getHeight()), std::pair(0, 7));
}
