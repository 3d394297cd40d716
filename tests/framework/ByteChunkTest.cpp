#include "framework/ByteChunk.h"

#include <gtest/gtest.h>

#include <climits>

// Byte order and widths are fixed by the golden program files; chunk round trips read them.
TEST(ByteChunk, ReadsPastTheEndOrAtNegativeOrHugePositionsFail) {
  ByteChunk chunk;
  for (int i = 0; i < 3; ++i) chunk.Put(1.0 + i);
  double value = 7.0;
  for (int pos : {chunk.Size() - 7, -1, -8, INT_MIN, INT_MAX, INT_MAX - 4})
    EXPECT_EQ(chunk.Get(&value, pos), -1) << pos;
  EXPECT_EQ(value, 7.0);
  EXPECT_EQ(chunk.Get(&value, chunk.Size() - 8), chunk.Size());
  EXPECT_EQ(value, 3.0);
  std::string text;
  EXPECT_EQ(chunk.GetStr(&text, -4), -1);
}

// A string stops at an embedded zero but the read skips its full length. A length that is
// negative, runs past the end or would overflow a 32-bit position, or a chunk too short to
// hold one, makes the record incomplete: -1, text untouched, no read outside the chunk.
TEST(ByteChunk, StringReadsItsLengthAndRejectsABadOne) {
  ByteChunk good;
  good.Put(int32_t{4});
  good.PutBytes("ab\0d", 4);
  std::string text;
  EXPECT_EQ(good.GetStr(&text, 0), 8);
  EXPECT_EQ(text, "ab");
  auto rejects = [](const ByteChunk& chunk) {
    std::string kept = "kept";
    return chunk.GetStr(&kept, 0) == -1 && kept == "kept";
  };
  for (const int32_t length : {-1, INT_MAX - 3, 9}) {
    ByteChunk chunk;
    chunk.Put(length);
    for (int i = 0; i < 8; ++i) chunk.Put(static_cast<uint8_t>('a' + i));
    EXPECT_TRUE(rejects(chunk)) << length;
  }
  ByteChunk cut;
  cut.Put(uint8_t{1});
  EXPECT_TRUE(rejects(cut)) << "too short for a length";
}

// Other bytes leave the position alone; the magic without a version invalidates it.
TEST(IPlugVersionMarker, OtherBytesKeepThePositionAndACutMarkerInvalidatesIt) {
  ByteChunk other, cut;
  other.Put(0.25);
  cut.Put(kIPlugVersionMagic);
  cut.Put(uint8_t{0});
  for (const ByteChunk* chunk : {&other, &cut}) {
    const int expected = chunk == &other ? 0 : -1;
    int pos = 0;
    EXPECT_EQ(GetIPlugVerFromChunk(chunk, &pos), 0);
    EXPECT_EQ(pos, expected);
    pos = 0;
    SkipIPlugVerMarker(chunk, &pos);
    EXPECT_EQ(pos, expected);
  }
}
