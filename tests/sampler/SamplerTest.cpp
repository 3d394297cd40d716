#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "sampler/SampleData.h"
#include "sampler/Sampler.h"
#include "sampler/WDL_Resampler.h"
#include "sampler/WavTestFile.h"
#include "sampler/WaveReader.h"

using namespace wavtest;

namespace {

constexpr double kHostRate = 44100.0;
constexpr unsigned kSubBlock = 44;
constexpr double kFill = 7.0;  // stale content that must never come out

struct Output {
  std::vector<double> left, right;
};

// Plays `frames` frames in blocks of `block` into buffers that hold kFill until written.
Output play(Sampler& sampler, size_t frames, unsigned block = kSubBlock) {
  Output o{std::vector<double>(frames, kFill), std::vector<double>(frames, kFill)};
  for (size_t done = 0; done < frames; done += block) {
    double* bufs[2] = {o.left.data() + done, o.right.data() + done};
    sampler.processSamples(bufs, static_cast<int>(std::min<size_t>(block, frames - done)));
  }
  return o;
}

struct SamplerTest : ::testing::Test {
  // Opens `bytes` in a sampler set up for the host rate, and restarts it.
  void start(Sampler& sampler, const Bytes& bytes) {
    sampler.init(kHostRate, kSubBlock);
    ASSERT_TRUE(sampler.openWAV(dir.write("s.wav", bytes).c_str()));
    sampler.restart();
  }
  TempDir dir;
};

// At equal rates each output frame is the file frame times the envelope (a wider file's
// first two channels), and playback ends after exactly the file's length.
TEST_F(SamplerTest, PlaysSampleForSampleForExactLength) {
  for (const auto& [channels, block] :
       {std::pair{1u, 1u}, {1u, 44u}, {2u, 15u}, {2u, 100u}, {4u, 17u}}) {
    SCOPED_TRACE(::testing::Message() << channels << " channels, blocks of " << block);
    constexpr size_t kFrames = 500;
    std::vector<double> ones(kFrames * channels, 1.0), signal(kFrames * channels);
    for (size_t i = 0; i < signal.size(); ++i) signal[i] = std::sin(i * 0.37) * 0.8;
    Sampler reference, sampler;
    for (Sampler* each : {&reference, &sampler}) each->setAttack(0.3);
    start(reference, floatWav(channels, 44100, ones));
    start(sampler, floatWav(channels, 44100, signal));
    EXPECT_EQ(sampler.outputLength(), kFrames);
    const Output envelope = play(reference, kFrames + 100, block);
    const Output o = play(sampler, kFrames + 100, block);
    for (size_t i = 0; i < kFrames; ++i) {
      const double fileLeft = static_cast<float>(signal[i * channels]);
      const double fileRight = static_cast<float>(signal[i * channels + (channels > 1)]);
      ASSERT_EQ(o.left[i], envelope.left[i] * fileLeft) << i;
      ASSERT_EQ(o.right[i], envelope.left[i] * fileRight) << i;
    }
    for (size_t i = kFrames; i < kFrames + 100; ++i) ASSERT_EQ(o.left[i] + o.right[i], 0.0);
  }
}

// Any file rate: every sub-block is full, the pitch and level are the file's own, and
// the playback lasts floor(length x host / file) frames.
TEST_F(SamplerTest, AtAnyFileRateKeepsPitchFillsEveryBlockAndEndsOnTime) {
  for (const unsigned fileRate : {22050u, 48000u, 96000u}) {
    SCOPED_TRACE(fileRate);
    constexpr double kTone = 441.0;
    const std::vector<double> tone = sine(fileRate, kTone, fileRate);  // one second
    Sampler sampler;
    start(sampler, wav(1, 16, 1, fileRate, tone));
    const uint32_t expected = static_cast<uint32_t>(std::floor(fileRate * kHostRate / fileRate));
    ASSERT_EQ(sampler.outputLength(), expected);
    const Output o = play(sampler, expected + 500);
    EXPECT_EQ(sampler.remaining(), 0u);
    for (size_t start = 441; start + kSubBlock <= expected; start += kSubBlock) {
      double peak = 0;
      for (size_t i = start; i < start + kSubBlock; ++i)
        peak = std::max(peak, std::fabs(o.left[i]));
      ASSERT_GT(peak, 0.05) << "hole at " << start;
    }
    for (size_t i = expected; i < o.left.size(); ++i) ASSERT_EQ(o.left[i], 0.0);
    EXPECT_NEAR(crossingRate(o.left.data() + 1000, expected - 2000, kHostRate), kTone,
                kTone * 0.01);
    EXPECT_NEAR(rms(o.left.data() + 1000, expected - 2000), 0.5 / std::sqrt(2.0), 0.01);
    EXPECT_EQ(o.left, o.right);
  }
}

// After a host-rate change the open file plays for its length at the new rate.
TEST_F(SamplerTest, HostRateChangeRefitsOpenFile) {
  Sampler sampler;
  start(sampler, wav(1, 16, 1, 44100, sine(44100, 441, 44100)));
  sampler.init(48000, 48);
  EXPECT_EQ(sampler.outputLength(), 48000u);
  EXPECT_EQ(sampler.remaining(), 0u);
  sampler.restart();
  const Output o = play(sampler, 48500, 48);
  EXPECT_NEAR(crossingRate(o.left.data() + 1000, 46000, 48000), 441.0, 4.41);
  EXPECT_EQ(o.left[48000], 0.0);
}

// Tones above the host's Nyquist frequency are removed from a file at a higher rate.
TEST_F(SamplerTest, DownsamplingRemovesTonesAboveTheHostsNyquistFrequency) {
  Sampler sampler;
  start(sampler, wav(1, 16, 1, 96000, sine(96000, 30000, 96000)));
  const Output o = play(sampler, 22050);
  EXPECT_LE(rms(o.left.data() + 1000, 21050), 0.02);
}

// A file cut short plays what is there, then silence: never stale buffer contents.
TEST_F(SamplerTest, FileCutShortPlaysWhatIsThereThenSilence) {
  for (const unsigned fileRate : {44100u, 22050u, 96000u}) {
    SCOPED_TRACE(fileRate);
    Sampler sampler;
    start(sampler, wav(1, 16, 2, fileRate, std::vector<double>(3000, 0.5), 4000 * 4));
    const Output o = play(sampler, 5000, 17);
    const size_t silentFrom = static_cast<size_t>(1500 * kHostRate / fileRate) + 200;
    for (size_t i = 0; i < o.left.size(); ++i) {
      ASSERT_TRUE(o.left[i] != kFill && o.right[i] != kFill) << i;
      ASSERT_TRUE(i < silentFrom || std::fabs(o.left[i]) < 1e-3) << i;
    }
    EXPECT_GT(o.left[500], 0.4);
  }
}

// Reads end at the frames the file holds, from any position, also past the declared length.
TEST_F(SamplerTest, ReadsStopAtTheFramesHeld) {
  const auto sample = SampleData::load(
      dir.write("cut.wav", wav(1, 16, 1, 44100, std::vector<double>(3000, 0.5), 4000 * 2)).c_str());
  ASSERT_TRUE(sample && sample->frames() == 3000 && sample->length() == 4000);
  double left[64], right[64];
  EXPECT_EQ(sample->read(2990, 64, left, right), 10u);
  for (uint32_t position : {3000u, 3001u, 4000u, UINT32_MAX})
    EXPECT_EQ(sample->read(position, 64, left, right), 0u) << position;
}

// A file of data/ (ctest names the folder), or a name that opens nothing.
std::string dataFile(const char* name) {
  const char* folder = std::getenv("ZORQ_TEST_DATA");
  return std::string(folder ? folder : ".") + "/" + name;
}

// Files the reader refuses (damaged headers, impossible formats, chunk sizes that would
// walk backwards) are fuzz regression inputs (fuzz/regressions/wav), replayed by
// `make fuzz-smoke`, where a refused file must fail closed. (A missing file is refused
// through the instrument's sample-load tests.)

// One mono sample at 44.1 kHz in each format, the extensible form of 32-bit float last;
// then 16-bit stereo whose frame i holds (i - 100) / 1024 and its negative: with odd-sized
// chunks before and between (a pad byte to step over each); a data chunk of 8 bytes
// before any format, skipped for a later one of three mono frames at 22.05 kHz; 3 bytes
// of data, less than a frame, which opens empty. The first frame's first sample, unless NaN.
// No name and a folder open nothing.
TEST(WaveReader, FindsFormatAndDataAndConvertsStoredValues) {
  EXPECT_FALSE(WaveReader().Open(nullptr));
  EXPECT_FALSE(WaveReader().Open(dataFile("").c_str()));
  using Row = std::tuple<const char*, uint32_t, uint32_t, uint32_t, double>;
  for (const auto& [file, frames, channels, rate, first] :
       {Row{"u8-max.wav", 1, 1, 44100, 0.9921875},                // 255
        Row{"s16-max.wav", 1, 1, 44100, 32767.0 / 32768.0},       // 0x7FFF
        Row{"s24-max.wav", 1, 1, 44100, 8388607.0 / 8388608.0},   // 0x7FFFFF
        Row{"s24-minus-one.wav", 1, 1, 44100, -1.0 / 8388608.0},  // 0xFFFFFF
        Row{"f32-quarter.wav", 1, 1, 44100, 0.25},                // tag 3, 32 bits
        Row{"f64-minus-half.wav", 1, 1, 44100, -0.5},             // tag 3, 64 bits
        Row{"extensible-f32-quarter.wav", 1, 1, 44100, 0.25},     // tag 0xFFFE holding tag 3
        Row{"odd-chunks-between.wav", 300, 2, 44100, -100 / 1024.0},
        Row{"data-before-fmt.wav", 3, 1, 22050, NAN}, Row{"partial-frame.wav", 0, 2, 44100, NAN}}) {
    WaveReader reader;
    ASSERT_TRUE(reader.Open(dataFile(file).c_str())) << file;
    EXPECT_EQ(reader.length(), frames) << file;
    EXPECT_EQ(reader.channelCount(), channels) << file;
    EXPECT_EQ(reader.sampleRate(), rate) << file;
    if (std::isnan(first)) continue;
    double value[2] = {99.0, 99.0};
    double* dest[2] = {&value[0], &value[1]};
    ASSERT_EQ(reader.ReadDoublesNI(dest, 0, 1, static_cast<int>(channels)), 1u) << file;
    EXPECT_EQ(value[0], first) << file;
  }
}

// Frames stop where the data chunk's bytes end: after five frames (as above) followed by
// a LIST chunk, which is not audio, or after seven frames and half a sample of a data
// chunk that declares 0xFFFFFFF0 bytes.
TEST(WaveReader, StopsAtTheEndOfTheDataHeld) {
  for (const auto& [file, length, frames] : {std::tuple{"chunk-after-data.wav", 5u, 5u},
                                             {"huge-declared-size.wav", 0xFFFFFFF0u / 4, 7u}}) {
    WaveReader reader;
    ASSERT_TRUE(reader.Open(dataFile(file).c_str())) << file;
    EXPECT_EQ(reader.length(), length) << file;
    double left[16], right[16];
    double* dest[2] = {left, right};
    EXPECT_EQ(reader.ReadDoublesNI(dest, 0, 3, 2), 3u) << file;
    EXPECT_EQ(reader.ReadDoublesNI(dest, 3, 13, 2), frames - 3) << file;
    EXPECT_EQ(left[4], -96 / 1024.0) << file;
    EXPECT_EQ(reader.ReadDoublesNI(dest, 0, 16, 2), 0u) << file;
  }
}

TEST(WDL_Resampler, ZeroRateCountsAsOneHertz) {
  WDL_Resampler r;
  r.SetRates(0.0, 44100.0);
  EXPECT_DOUBLE_EQ(r.ratio(), 1.0 / 44100.0);
  r.SetRates(44100.0, -5.0);
  EXPECT_DOUBLE_EQ(r.ratio(), 44100.0);
}

// A short supply is padded with zeros, and frames taken from the padding alone are not counted.
TEST(WDL_Resampler, ShortSupplyReportsOnlyRealFrames) {
  WDL_Resampler r;
  r.SetMode(true, 1, false);
  double* area = nullptr;
  const int need = r.ResamplePrepare(10, 2, &area);
  ASSERT_EQ(need, 14);
  for (int k = 0; k < 10; ++k) area[k] = k + 1.0;  // 5 stereo frames
  double out[20];
  EXPECT_EQ(r.ResampleOut(out, 5, 10, 2), 5);
  EXPECT_EQ(out[9], 10.0);
}

}  // namespace
