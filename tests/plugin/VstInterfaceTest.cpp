#include <gtest/gtest.h>

#include <vector>

#include "HostedZorq.h"
#include "support/TestSignals.h"

// A host known to keep program chunks only gets the current program for the bank index.
TEST(VstInterface, ProgramChunksOnlyHostGetsAProgramForTheBankIndex) {
  HostedZorq programsOnly("Native Instruments"), ordinary;
  programsOnly.host.start(44100.0, 512);
  EXPECT_EQ(programsOnly.host.chunk(true).size(), ordinary.host.chunk(false).size());
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
