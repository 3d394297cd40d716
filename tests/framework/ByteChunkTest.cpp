#include "framework/ByteChunk.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

ByteChunk chunkWithLength(int32_t length, int trailingBytes) {
  ByteChunk chunk;
  chunk.Put(length);
  for (int i = 0; i < trailingBytes; ++i) chunk.Put(static_cast<uint8_t>('a' + i));
  return chunk;
}

}  // namespace

TEST(ByteChunk, ValuesRoundTripLittleEndianWithTheirWidths) {
  ByteChunk chunk;
  chunk.Put(int32_t{0x01020304});
  chunk.Put(-2.5);
  chunk.Put(true);
  ASSERT_EQ(chunk.Size(), 13);
  EXPECT_EQ(chunk.GetBytes()[0], 0x04);
  EXPECT_EQ(chunk.GetBytes()[3], 0x01);
  int32_t i = 0;
  double d = 0;
  bool b = false;
  int pos = chunk.Get(&i, 0);
  pos = chunk.Get(&d, pos);
  pos = chunk.Get(&b, pos);
  EXPECT_EQ(pos, 13);
  EXPECT_EQ(i, 0x01020304);
  EXPECT_EQ(d, -2.5);
  EXPECT_TRUE(b);
}

TEST(ByteChunk, DoubleReadFailsWhenItRunsPastTheEnd) {
  ByteChunk chunk;
  for (int i = 0; i < 3; ++i) chunk.Put(1.0 + i);
  double value = 7.0;
  EXPECT_EQ(chunk.Get(&value, chunk.Size() - 7), -1);
  EXPECT_EQ(value, 7.0);
  EXPECT_EQ(chunk.Get(&value, chunk.Size() - 8), chunk.Size());
  EXPECT_EQ(value, 3.0);
}

TEST(ByteChunk, ReadsAtNegativeOrHugePositionsFail) {
  ByteChunk chunk;
  chunk.Put(1.0);
  double value = 0;
  for (int pos : {-1, -8, INT_MIN, INT_MAX, INT_MAX - 4}) EXPECT_EQ(chunk.Get(&value, pos), -1);
  std::string text;
  EXPECT_EQ(chunk.GetStr(&text, -4), -1);
}

TEST(ByteChunk, EmptyStringIsJustAZeroLength) {
  ByteChunk chunk;
  chunk.PutStr("");
  ASSERT_EQ(chunk.Size(), 4);
  EXPECT_EQ(chunk.GetBytes()[0] | chunk.GetBytes()[1] | chunk.GetBytes()[2] | chunk.GetBytes()[3], 0);
  std::string text;
  EXPECT_EQ(chunk.GetStr(&text, 0), 4);
  EXPECT_EQ(text, "");
}

TEST(ByteChunk, StringRoundTripsWithoutTerminator) {
  ByteChunk chunk;
  chunk.PutStr("Vox");
  chunk.Put(int32_t{9});
  EXPECT_EQ(chunk.Size(), 4 + 3 + 4);
  std::string text;
  int pos = chunk.GetStr(&text, 0);
  EXPECT_EQ(pos, 7);
  EXPECT_EQ(text, "Vox");
  int32_t after = 0;
  EXPECT_EQ(chunk.Get(&after, pos), 11);
  EXPECT_EQ(after, 9);
}

TEST(ByteChunk, StringStopsAtAnEmbeddedZeroButSkipsItsFullLength) {
  ByteChunk chunk = chunkWithLength(4, 0);
  chunk.PutBytes("ab\0d", 4);
  std::string text;
  EXPECT_EQ(chunk.GetStr(&text, 0), 8);
  EXPECT_EQ(text, "ab");
}

struct BadLength {
  int32_t length;
  int trailingBytes;
};

class ByteChunkBadStringLength : public ::testing::TestWithParam<BadLength> {};

// A length that is negative, runs past the end or would overflow a 32-bit position
// makes the record incomplete: -1, text untouched, no read outside the chunk.
TEST_P(ByteChunkBadStringLength, IsRejected) {
  const ByteChunk chunk = chunkWithLength(GetParam().length, GetParam().trailingBytes);
  std::string text = "kept";
  EXPECT_EQ(chunk.GetStr(&text, 0), -1);
  EXPECT_EQ(text, "kept");
}

INSTANTIATE_TEST_SUITE_P(Lengths, ByteChunkBadStringLength,
                         ::testing::Values(BadLength{-1, 8}, BadLength{-4, 8}, BadLength{INT_MIN, 8},
                                           BadLength{INT_MAX, 8}, BadLength{INT_MAX - 3, 8},
                                           BadLength{9, 8}, BadLength{1, 0}));

TEST(ByteChunk, TruncatedLengthFails) {
  ByteChunk chunk;
  chunk.Put(uint8_t{1});
  std::string text;
  EXPECT_EQ(chunk.GetStr(&text, 0), -1);
}

TEST(IPlugVersionMarker, IsTffpThenVersionInFileOrder) {
  ByteChunk chunk;
  chunk.Put(1.0);
  InitChunkWithIPlugVer(&chunk);
  const uint8_t expected[] = {'t', 'f', 'f', 'p', 0x00, 0x00, 0x01, 0x00};
  ASSERT_EQ(chunk.Size(), 8);
  EXPECT_EQ(std::memcmp(chunk.GetBytes(), expected, 8), 0);
  int pos = 0;
  EXPECT_EQ(GetIPlugVerFromChunk(&chunk, &pos), kIPlugVersion);
  EXPECT_EQ(pos, 8);
}

TEST(IPlugVersionMarker, OtherBytesLeaveThePositionAlone) {
  ByteChunk chunk;
  chunk.Put(0.25);
  int pos = 0;
  EXPECT_EQ(GetIPlugVerFromChunk(&chunk, &pos), 0);
  EXPECT_EQ(pos, 0);
  SkipIPlugVerMarker(&chunk, &pos);
  EXPECT_EQ(pos, 0);
  pos = -1;
  EXPECT_EQ(GetIPlugVerFromChunk(&chunk, &pos), 0);
  EXPECT_EQ(pos, -1);
}

TEST(IPlugVersionMarker, MagicWithoutVersionInvalidatesThePosition) {
  ByteChunk chunk;
  chunk.Put(kIPlugVersionMagic);
  chunk.Put(uint8_t{0});
  int pos = 0;
  EXPECT_EQ(GetIPlugVerFromChunk(&chunk, &pos), 0);
  EXPECT_EQ(pos, -1);
  pos = 0;
  SkipIPlugVerMarker(&chunk, &pos);
  EXPECT_EQ(pos, -1);
}
