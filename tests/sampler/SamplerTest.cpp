#include <gtest/gtest.h>

#include <cmath>

#include "sampler/SampleData.h"
#include "sampler/Sampler.h"
#include "sampler/WavTestFile.h"

using namespace wavtest;

namespace {

constexpr double kHostRate = 44100.0;
constexpr unsigned kSubBlock = 44;
constexpr double kFill = 7.0;  // stale content that must never come out

struct Output {
  std::vector<double> left, right;
};

// Plays `frames` frames in blocks of `block`, each block's buffers pre-filled with kFill.
Output play(Sampler& sampler, size_t frames, unsigned block = kSubBlock) {
  Output o;
  std::vector<double> left(block), right(block);
  for (size_t done = 0; done < frames; done += block) {
    const unsigned n = static_cast<unsigned>(std::min<size_t>(block, frames - done));
    std::fill(left.begin(), left.end(), kFill);
    std::fill(right.begin(), right.end(), kFill);
    double* bufs[2] = {left.data(), right.data()};
    sampler.processSamples(bufs, static_cast<int>(n));
    o.left.insert(o.left.end(), left.begin(), left.begin() + n);
    o.right.insert(o.right.end(), right.begin(), right.begin() + n);
  }
  return o;
}

struct SamplerTest : ::testing::Test {
  // Opens `bytes` in a sampler set up for the host rate, and restarts it.
  void start(Sampler& sampler, const Bytes& bytes, double hostRate = kHostRate) {
    sampler.init(hostRate, static_cast<unsigned>(hostRate / 1000));
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
    reference.setAttack(0.3);
    sampler.setAttack(0.3);
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
    for (size_t i = 0; i < o.left.size(); ++i) ASSERT_EQ(o.left[i], o.right[i]);
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

// A file cut short plays what is there, then silence: never stale buffer contents.
TEST_F(SamplerTest, FileCutShortPlaysWhatIsThereThenSilence) {
  for (const unsigned fileRate : {44100u, 22050u, 96000u}) {
    SCOPED_TRACE(fileRate);
    Bytes file = riff({chunk("fmt ", fmtBody(1, 2, fileRate, 16))});
    const Bytes data = dataChunkDeclaring(4000 * 4, encode(1, 16, std::vector<double>(3000, 0.5)));
    file.insert(file.end(), data.begin(), data.end());
    Sampler sampler;
    start(sampler, file);
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
  Bytes file = riff({chunk("fmt ", fmtBody(1, 1, 44100, 16))});
  const Bytes data = dataChunkDeclaring(4000 * 2, encode(1, 16, std::vector<double>(3000, 0.5)));
  file.insert(file.end(), data.begin(), data.end());
  const auto sample = SampleData::load(dir.write("cut.wav", file).c_str());
  ASSERT_TRUE(sample && sample->frames() == 3000 && sample->length() == 4000);
  double left[64], right[64];
  EXPECT_EQ(sample->read(2990, 64, left, right), 10u);
  for (uint32_t position : {3000u, 3001u, 4000u, UINT32_MAX})
    EXPECT_EQ(sample->read(position, 64, left, right), 0u) << position;
}

}  // namespace
