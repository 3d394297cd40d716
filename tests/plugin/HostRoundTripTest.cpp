// What a VST 2 host reads from the plug-in and hands back or keeps (parameter values it
// stores as 32-bit floats, program names it reads into buffers of its own size, chunks),
// and calls beyond what it announced: longer blocks, fewer outputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "HostedZorq.h"
#include "support/HostRender.h"
#include "support/TestSignals.h"
#include "support/TestSystem.h"

namespace {

// A host keeps every parameter as the float getParameter gave it and sets it back with
// setParameter (on restoring a session, around its own controls): nothing may move, not
// the plain values the state holds (the program chunk stores them as doubles) and not
// the texts. Checked at the defaults, where band frequencies and "Pitch Bend" moved,
// and at values a host set from floats of its own.
TEST(HostRoundTrip, EveryParameterHandedBackAsItsFloatKeepsItsValueAndText) {
  Vst2PluginHost host(ZORQ_PLUGIN_PATH);
  host.start(44100.0, 512);
  const int params = host.numParams();
  for (const char* state : {"defaults", "host floats"}) {
    if (std::string(state) == "host floats")
      for (int i = 0; i < params; ++i) host.setParameter(i, float(i % 13) / 13.0f + 0.01f);
    const std::vector<uint8_t> stateBefore = host.chunk(false);
    for (int i = 0; i < params; ++i) {
      const float reported = host.getParameter(i);
      const std::string shown = host.paramDisplay(i);
      host.setParameter(i, reported);
      EXPECT_EQ(host.getParameter(i), reported) << state << ", parameter " << i;
      EXPECT_EQ(host.paramDisplay(i), shown) << state << ", parameter " << i;
    }
    EXPECT_EQ(host.chunk(false), stateBefore) << state;
  }
}

// Program names are kept up to 255 characters (renamed by the host or the editor, or
// read from a chunk or a bank file: the cross-build state's name is longer than a host's
// buffer); a host reads them into 24-byte buffers. The copy ends inside the buffer: the
// guard bytes behind it keep their pattern.
TEST(HostRoundTrip, LongProgramNamesAreCutToTheHostsBuffer) {
  constexpr size_t kHostBuffer = 24, kGuard = 40;
  const std::string longName = "A program name far longer than any host buffer holds";
  Vst2PluginHost host(ZORQ_PLUGIN_PATH);
  host.start(44100.0, 512);
  host.setProgramName(longName);
  for (const VstInt32 opcode : {effGetProgramName, effGetProgramNameIndexed}) {
    char buffer[kHostBuffer + kGuard];
    std::memset(buffer, 0x5A, sizeof buffer);
    host.dispatch(opcode, 0, 0, buffer);
    EXPECT_EQ(std::string(buffer, strnlen(buffer, kHostBuffer)),
              longName.substr(0, kHostBuffer - 1))
        << "opcode " << opcode;
    EXPECT_EQ(std::string(buffer + kHostBuffer, kGuard), std::string(kGuard, '\x5A'))
        << "opcode " << opcode;
  }
}

// A host that chooses one output still hands over two buffers: the second gets silence,
// from float and double calls alike.
TEST(VstInterface, OutputsBeyondTheSpeakerArrangementGetSilence) {
  Vst2PluginHost host(ZORQ_PLUGIN_PATH);
  host.start(44100.0, 512);
  VstSpeakerArrangement inputs{kSpeakerArrStereo, 2, {}}, outputs{kSpeakerArrMono, 1, {}};
  host.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&inputs), &outputs);
  host.sendEvents({{0, 0x90, 60, 100}});
  const auto out = toneBlock(host, 1000, 0.3f);
  EXPECT_GT(rms(out[0], 500), 1e-4);
  EXPECT_EQ(out[1], std::vector<float>(1000, 0.0f));
  EXPECT_EQ(toneBlock<double>(host, 1000, 0.3)[1], std::vector<double>(1000, 0.0));
}

// Calls longer than the announced block size, which VST 2 hosts hand over, give the
// samples of announced-size calls. (Any block size within what a host announced is the
// parity suite's, for every format.)
TEST(HostBlockSizes, CallsLongerThanAnnouncedGiveTheSameSamples) {
  constexpr int kFrames = 44100 / 2;
  const std::vector<float> mic = noise(kFrames, 1, 0.3f), ext = noise(kFrames, 2, 0.2f);
  auto render = [&](int announced, int blockSize) {
    Vst2PluginHost host(ZORQ_PLUGIN_PATH);
    host.start(44100.0, announced);
    return renderBlocks(host, {mic.data(), mic.data(), ext.data(), ext.data()}, kFrames,
                        {blockSize})[0];
  };
  const std::vector<float> reference = render(512, 512);
  EXPECT_GT(*std::max_element(reference.begin(), reference.end()), 1e-3f);
  EXPECT_EQ(render(64, 1000), reference);
  // A block size of 2^24 frames once made the instrument allocate about 800 MB; the
  // buffers stay at most 8192 frames and calls longer than that give the same output.
  [[maybe_unused]] const long before = peakMemoryKilobytes();
  EXPECT_EQ(render(1 << 24, 20000), reference) << "a huge announced block size";
  // ThreadSanitizer keeps shadow memory several times the size of all memory touched (the
  // host's own silence of the announced size among it): the peak says nothing there.
#if !defined(ZORQ_THREAD_SANITIZER)
  EXPECT_LT(peakMemoryKilobytes() - before, 100 * 1024);
#endif
}

}  // namespace
