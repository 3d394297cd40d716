// What hosts hand the plug-in through the exported C interface: bad values, damaged
// state, any block size.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "RecordingHost.h"

namespace {

constexpr int kParams = 107;
constexpr int kOutBalance = 5;
constexpr int kSpeed = 106;

float peak(const std::vector<std::vector<float>>& out) {
  float p = 0.0f;
  for (const auto& channel : out)
    for (float x : channel) p = std::isfinite(x) ? std::max(p, std::fabs(x)) : INFINITY;
  return p;
}

}  // namespace

// NaN keeps the previous value (reads, displays and the sound stay as they were);
// anything beyond 0..1 reads back as the nearer end and reaches the engine as that.
TEST(HostBadValues, AreIgnoredOrClampedBeforeTheEngineSeesThem) {
  for (const float value : {std::nanf(""), -1e30f, 1e30f}) {
    RecordingHost host;
    ASSERT_NE(host.effect, nullptr);
    host.start();
    for (int i = 0; i < kParams; ++i) {
      const float before = host.parameter(i);
      const std::string shown = host.text(effGetParamDisplay, i);
      host.setParameter(i, value);
      if (std::isnan(value)) {
        EXPECT_EQ(host.parameter(i), before) << i;
        EXPECT_EQ(host.text(effGetParamDisplay, i), shown) << i;
      } else {
        EXPECT_EQ(host.parameter(i), value < 0 ? 0.0f : 1.0f) << i;
      }
    }
    host.sendMidi(0, 0x90, 60, 100);
    const auto out = host.process(8820, 0.3f, 0.2f);
    EXPECT_LT(peak(out), 20.0f) << value;
    if (std::isnan(value)) {
      EXPECT_GT(peak(out), 1e-4f) << "NaN must not silence the output";
    }
  }
}

// A program chunk that cannot be read completely leaves the live values as they were
// just before the call, including edits the current program does not hold.
TEST(HostDamagedChunk, TruncatedProgramChunkKeepsTheLiveEdits) {
  RecordingHost host;
  ASSERT_NE(host.effect, nullptr);
  host.start();
  const int params[] = {kOutBalance, 9, 15, kSpeed};  // before and after the cut
  for (int p : params) host.setParameter(p, 0.9f);
  std::vector<char> truncated = host.chunk(false);
  ASSERT_FALSE(truncated.empty());
  truncated.resize(truncated.size() / 2);

  const float edits[] = {0.3f, 0.25f, 0.5f, 0.75f};
  for (int i = 0; i < 4; ++i) host.setParameter(params[i], edits[i]);
  EXPECT_EQ(host.setChunk(false, truncated), 0);
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(host.parameter(params[i]), edits[i]) << params[i];
}

// Without MIDI the output does not depend on how the host cuts the stream into blocks
// nor on the block size it announced: the control grid carries on across blocks. (MIDI
// events count from the start of the block that delivers them, so their timing may move
// by up to one control tick.)
TEST(HostBlockSizes, AudioWithoutMidiIsTheSameForEveryBlockSize) {
  constexpr int kFrames = 44100 / 2;
  std::vector<float> mic(kFrames), ext(kFrames);
  for (int i = 0; i < kFrames; ++i) {
    mic[i] = 0.3f * float(std::sin(2.0 * M_PI * 440.0 * i / 44100.0));
    ext[i] = 0.2f * float(std::sin(2.0 * M_PI * 110.0 * i / 44100.0));
  }
  auto render = [&](int announced, int blockSize) {
    RecordingHost host;
    host.start(44100.0f, announced);
    std::vector<float> left(kFrames, 9.0f), right(kFrames);
    for (int start = 0; start < kFrames; start += blockSize) {
      float* in[4] = {&mic[start], &mic[start], &ext[start], &ext[start]};
      float* out[2] = {&left[start], &right[start]};
      host.effect->processReplacing(host.effect, in, out, std::min(blockSize, kFrames - start));
    }
    return left;
  };
  const std::vector<float> reference = render(512, 512);
  EXPECT_GT(*std::max_element(reference.begin(), reference.end()), 1e-3f);
  for (int blockSize : {1, 17, 64, 333})
    EXPECT_EQ(render(blockSize, blockSize), reference) << blockSize;
  EXPECT_EQ(render(64, 1000), reference) << "calls longer than the announced block size";
  // A block size of 2^24 frames once made the instrument allocate about 800 MB; the
  // buffers stay at most 8192 frames and calls longer than that give the same output.
  rusage before{}, after{};
  getrusage(RUSAGE_SELF, &before);
  EXPECT_EQ(render(1 << 24, 20000), reference) << "a huge announced block size";
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 100 * 1024);  // kilobytes
}
