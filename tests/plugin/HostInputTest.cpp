// Any block size a host hands the plug-in through the exported C interface.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "hosting/Vst2PluginHost.h"

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
    Vst2PluginHost host(ZORQ_PLUGIN_PATH);
    host.start(44100.0, announced);
    std::vector<float> left(kFrames, 9.0f), right(kFrames);
    for (int start = 0; start < kFrames; start += blockSize) {
      float* in[4] = {&mic[start], &mic[start], &ext[start], &ext[start]};
      float* out[2] = {&left[start], &right[start]};
      host.process(in, out, std::min(blockSize, kFrames - start));
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
