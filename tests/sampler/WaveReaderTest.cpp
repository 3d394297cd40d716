#include <gtest/gtest.h>

#include "sampler/WavTestFile.h"
#include "sampler/WaveReader.h"

using namespace wavtest;

namespace {

TEST(WaveReader, ConvertsStoredValues) {
  const struct {
    const char* name;
    bool extensible;
    uint32_t tag, bits;
    Bytes sample;
    double expected;
  } cases[] = {{"u8_max", false, 1, 8, {255}, 0.9921875},
               {"s16_max", false, 1, 16, {0xFF, 0x7F}, 32767.0 / 32768.0},
               {"s24_max", false, 1, 24, {0xFF, 0xFF, 0x7F}, 8388607.0 / 8388608.0},
               {"s24_minus_one", false, 1, 24, {0xFF, 0xFF, 0xFF}, -1.0 / 8388608.0},
               {"f32", false, 3, 32, {0, 0, 0x80, 0x3E}, 0.25},
               {"f64", false, 3, 64, {0, 0, 0, 0, 0, 0, 0xE0, 0xBF}, -0.5},
               {"ext_f32", true, 3, 32, {0, 0, 0x80, 0x3E}, 0.25}};
  TempDir dir;
  for (const auto& c : cases) {
    const Bytes fmt = c.extensible ? extensibleFmtBody(c.tag, 1, 44100, c.bits)
                                   : fmtBody(c.tag, 1, 44100, c.bits);
    WaveReader reader;
    ASSERT_TRUE(reader.Open(
        dir.write(c.name, riff({chunk("fmt ", fmt), chunk("data", c.sample)})).c_str()));
    EXPECT_EQ(reader.length(), 1u) << c.name;
    double value = 99.0;
    double* dest[1] = {&value};
    ASSERT_EQ(reader.ReadDoublesNI(dest, 0, 1, 1), 1u) << c.name;
    EXPECT_EQ(value, c.expected) << c.name;
  }
}

Bytes dataOf(size_t bytes) { return chunk("data", Bytes(bytes, 0x10)); }

// Files the reader refuses (damaged headers, impossible formats, chunk sizes that would
// walk backwards) are fuzz regression inputs (fuzz/regressions/wav), replayed by
// `make fuzz-smoke`, where a refused file must fail closed.
// (A missing file is refused through the instrument's sample-load tests.)
TEST(WaveReader, RefusesDirectoryAndNoName) {
  TempDir dir;
  WaveReader reader;
  EXPECT_FALSE(reader.Open(dir.path().c_str()));
  EXPECT_FALSE(reader.Open(nullptr));
}

Bytes stereo16(size_t frames) {
  std::vector<double> s(frames * 2);
  for (size_t i = 0; i < frames; ++i) {
    s[2 * i] = (static_cast<double>(i) - 100) / 1024.0;
    s[2 * i + 1] = -s[2 * i];
  }
  return encode(1, 16, s);
}

// Odd-sized chunks have a pad byte to step over; a data chunk before any format is skipped for
// a later one; less than a frame opens empty.
TEST(WaveReader, FindsFormatAndData) {
  const struct {
    const char* name;
    Bytes bytes;
    uint32_t frames, channels, rate;
  } cases[] = {
      {"odd_chunks_between",
       riff({chunk("bext", Bytes(7, 'b')), chunk("fmt ", fmtBody(1, 2, 44100, 16)),
             chunk("LIST", Bytes(3, 'l')), chunk("data", stereo16(300))}),
       300, 2, 44100},
      {"data_before_fmt",
       riff({dataOf(8), chunk("fmt ", fmtBody(1, 1, 22050, 16)),
             chunk("data", encode(1, 16, {0.5, -0.5, 0.25}))}),
       3, 1, 22050},
      {"partial_frame", riff({chunk("fmt ", fmtBody(1, 2, 44100, 16)), chunk("data", Bytes(3, 0))}),
       0, 2, 44100}};
  TempDir dir;
  for (const auto& c : cases) {
    WaveReader reader;
    ASSERT_TRUE(reader.Open(dir.write(c.name, c.bytes).c_str())) << c.name;
    EXPECT_EQ(reader.length(), c.frames) << c.name;
    EXPECT_EQ(reader.channelCount(), c.channels) << c.name;
    EXPECT_EQ(reader.sampleRate(), c.rate) << c.name;
  }
}

// Frames stop at the end of the data chunk; a trailing chunk is not audio.
TEST(WaveReader, StopsAtEndOfData) {
  TempDir dir;
  WaveReader reader;
  const Bytes file = riff({chunk("fmt ", fmtBody(1, 2, 44100, 16)), chunk("data", stereo16(5)),
                           chunk("LIST", Bytes(40, 0x7F))});
  ASSERT_TRUE(reader.Open(dir.write("tail.wav", file).c_str()));
  double left[16], right[16];
  double* dest[2] = {left, right};
  EXPECT_EQ(reader.ReadDoublesNI(dest, 0, 3, 2), 3u);
  EXPECT_EQ(reader.ReadDoublesNI(dest, 3, 13, 2), 2u);
  EXPECT_EQ(left[4], -96 / 1024.0);
  EXPECT_EQ(reader.ReadDoublesNI(dest, 0, 16, 2), 0u);
}

TEST(WaveReader, HugeDeclaredSizeReadsWhatIsThere) {
  TempDir dir;
  WaveReader reader;
  Bytes file = riff({chunk("fmt ", fmtBody(1, 2, 44100, 16))});
  const Bytes data = dataChunkDeclaring(0xFFFFFFF0u, stereo16(7));
  file.insert(file.end(), data.begin(), data.end());
  file.push_back(0x55);  // half a sample: not a frame
  ASSERT_TRUE(reader.Open(dir.write("huge.wav", file).c_str()));
  EXPECT_EQ(reader.length(), 0xFFFFFFF0u / 4);
  std::vector<double> left(64), right(64);
  double* dest[2] = {left.data(), right.data()};
  EXPECT_EQ(reader.ReadDoublesNI(dest, 0, 64, 2), 7u);
  EXPECT_EQ(reader.ReadDoublesNI(dest, 0, 64, 2), 0u);
}

}  // namespace
