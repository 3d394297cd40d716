#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "sampler/WavTestFile.h"
#include "sampler/WaveReader.h"

namespace {

// A file of data/ (ctest names the folder), or a name that opens nothing.
std::string dataFile(const char* name) {
  const char* folder = std::getenv("ZORQ_TEST_DATA");
  return std::string(folder ? folder : ".") + "/" + name;
}

// One mono sample at 44.1 kHz in each format, the extensible form of 32-bit float last.
TEST(WaveReader, ConvertsStoredValues) {
  const std::pair<const char*, double> cases[] = {
      {"u8-max.wav", 0.9921875},                // 255
      {"s16-max.wav", 32767.0 / 32768.0},       // 0x7FFF
      {"s24-max.wav", 8388607.0 / 8388608.0},   // 0x7FFFFF
      {"s24-minus-one.wav", -1.0 / 8388608.0},  // 0xFFFFFF
      {"f32-quarter.wav", 0.25},                // tag 3, 32 bits
      {"f64-minus-half.wav", -0.5},             // tag 3, 64 bits
      {"extensible-f32-quarter.wav", 0.25}};    // tag 0xFFFE holding tag 3
  for (const auto& [file, expected] : cases) {
    WaveReader reader;
    ASSERT_TRUE(reader.Open(dataFile(file).c_str())) << file;
    EXPECT_EQ(reader.length(), 1u) << file;
    double value = 99.0;
    double* dest[1] = {&value};
    ASSERT_EQ(reader.ReadDoublesNI(dest, 0, 1, 1), 1u) << file;
    EXPECT_EQ(value, expected) << file;
  }
}

// Files the reader refuses (damaged headers, impossible formats, chunk sizes that would
// walk backwards) are fuzz regression inputs (fuzz/regressions/wav), replayed by
// `make fuzz-smoke`, where a refused file must fail closed.
// (A missing file is refused through the instrument's sample-load tests.)
TEST(WaveReader, RefusesDirectoryAndNoName) {
  wavtest::TempDir dir;
  WaveReader reader;
  EXPECT_FALSE(reader.Open(dir.path().c_str()));
  EXPECT_FALSE(reader.Open(nullptr));
}

// 16-bit stereo whose frame i holds (i - 100) / 1024 and its negative: with odd-sized
// chunks before and between (a pad byte to step over each); a data chunk of 8 bytes
// before any format, skipped for a later one of three mono frames at 22.05 kHz; 3 bytes
// of data, less than a frame, which opens empty.
TEST(WaveReader, FindsFormatAndData) {
  const struct {
    const char* file;
    uint32_t frames, channels, rate;
  } cases[] = {{"odd-chunks-between.wav", 300, 2, 44100},
               {"data-before-fmt.wav", 3, 1, 22050},
               {"partial-frame.wav", 0, 2, 44100}};
  for (const auto& c : cases) {
    WaveReader reader;
    ASSERT_TRUE(reader.Open(dataFile(c.file).c_str())) << c.file;
    EXPECT_EQ(reader.length(), c.frames) << c.file;
    EXPECT_EQ(reader.channelCount(), c.channels) << c.file;
    EXPECT_EQ(reader.sampleRate(), c.rate) << c.file;
  }
}

// Frames stop at the end of the data chunk (five frames as above); the LIST chunk after
// it is not audio.
TEST(WaveReader, StopsAtEndOfData) {
  WaveReader reader;
  ASSERT_TRUE(reader.Open(dataFile("chunk-after-data.wav").c_str()));
  double left[16], right[16];
  double* dest[2] = {left, right};
  EXPECT_EQ(reader.ReadDoublesNI(dest, 0, 3, 2), 3u);
  EXPECT_EQ(reader.ReadDoublesNI(dest, 3, 13, 2), 2u);
  EXPECT_EQ(left[4], -96 / 1024.0);
  EXPECT_EQ(reader.ReadDoublesNI(dest, 0, 16, 2), 0u);
}

// A data chunk declaring 0xFFFFFFF0 bytes that holds seven frames (as above) and half a
// sample.
TEST(WaveReader, HugeDeclaredSizeReadsWhatIsThere) {
  WaveReader reader;
  ASSERT_TRUE(reader.Open(dataFile("huge-declared-size.wav").c_str()));
  EXPECT_EQ(reader.length(), 0xFFFFFFF0u / 4);
  std::vector<double> left(64), right(64);
  double* dest[2] = {left.data(), right.data()};
  EXPECT_EQ(reader.ReadDoublesNI(dest, 0, 64, 2), 7u);
  EXPECT_EQ(reader.ReadDoublesNI(dest, 0, 64, 2), 0u);
}

}  // namespace
