#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <thread>
#include <tuple>

#include "raster/RasterFont.h"
#include "raster/RasterTestBitmaps.h"
#include "raster/Utf8.h"

namespace {

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

TEST(RasterFont, ClipsToTheBitmapAndHonoursFlippedRows) {
  auto arial = font("Arial", 30);
  ASSERT_TRUE(arial);
  LICE_MemBitmap plain(30, 20);
  FlippedBitmap flipped(30, 20);
  for (LICE_IBitmap* bitmap :
       {static_cast<LICE_IBitmap*>(&plain), static_cast<LICE_IBitmap*>(&flipped)}) {
    fillWith(*bitmap, {0, 0, 0, 0});
    arial->Draw(bitmap, "Wg\xC3\xA9", -7, -9, 255, 9, 8, 7);
    arial->Draw(bitmap, "far", INT_MAX - 5, INT_MIN + 5, 255, 9, 8, 7);
    arial->Draw(bitmap, "far", INT_MIN, INT_MAX, 255, 9, 8, 7);
  }
  EXPECT_EQ(pixelsOf(plain), pixelsOf(flipped));
  EXPECT_NE(pixelsOf(plain), pixelsOf(LICE_MemBitmap(30, 20)));
}

// Text drawn through a rectangle of a bitmap lands where it lands on the whole bitmap,
// inside the rectangle, and nowhere outside it; a rectangle reaching past the bitmap is
// cut to it (and starts where the cut one starts). Plain and flipped rows agree.
TEST(RasterFont, DrawsThroughASubBitmapOnlyInsideItsRectangle) {
  auto arial = font("Arial", 24);
  ASSERT_TRUE(arial);
  for (const auto& [left, top, w, h] :
       {std::tuple{10, 4, 25, 12}, {-5, -5, 30, 30}, {50, 10, 40, 40}, {70, 0, 5, 5}}) {
    LICE_MemBitmap whole(60, 30), plain(60, 30);
    FlippedBitmap flipped(60, 30);
    for (LICE_IBitmap* bitmap :
         {static_cast<LICE_IBitmap*>(&whole), static_cast<LICE_IBitmap*>(&plain),
          static_cast<LICE_IBitmap*>(&flipped)})
      fillWith(*bitmap, {255, 10, 20, 30});
    arial->Draw(&whole, "Wig", 3, 2, 160, 255, 255, 192);
    for (LICE_IBitmap* parent :
         {static_cast<LICE_IBitmap*>(&plain), static_cast<LICE_IBitmap*>(&flipped)}) {
      LICE_SubBitmap area(parent, left, top, w, h);
      arial->Draw(&area, "Wig", 3 - std::max(left, 0), 2 - std::max(top, 0), 160, 255, 255, 192);
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
