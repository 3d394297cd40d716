// The adapter around an instrument made in the test process, where a test reaches the
// plug-in inside: the editor's gestures and values reach the host in order, and a reset
// and a flush allocate nothing. (What every format does alike is the parity suite's, a
// program change making the host read the values again too.)
#include <memory>

#include "ClapFixture.h"
#include "engine/ZORQ.h"
#include "formats/clap/IPlugCLAP.h"
#include "support/AllocationCounter.h"
#include "support/TestSignals.h"

namespace {
const char* const kFeatures[] = {"audio-effect", nullptr};
const clap_plugin_descriptor_t kDescriptor = {{1, 2, 10}, "test.zorq", "ZORQ", "", "",
                                              "",         "",          "1",    "", kFeatures};

// The instrument hosted by the adapter in this process.
struct HostedZorq {
  HostedZorq()
      : host(
            [this](const clap_host_t* clapHost) {
              auto plug = std::make_unique<ZORQ>();
              plug->EnsureDefaultPreset();
              zorq = plug.get();
              return (new IPlugCLAP(std::move(plug), &kDescriptor, clapHost))->ClapPlugin();
            },
            {"zorq-test-host", "ZORQ", 1, &recorder}) {}
  HostRecorder recorder;
  ZORQ* zorq = nullptr;
  ClapPluginHost host;
};
}  // namespace

// A drag in the editor: begin, the values (the last of a run of one parameter's
// values), end, sent at the flush the plug-in asks for from the main thread. Then a
// reset and a flush while active allocate nothing.
TEST(ClapAdapter, EditorGesturesReachTheHostAndResetAndFlushAllocateNothing) {
  HostedZorq hosted;
  ZORQ& zorq = *hosted.zorq;
  zorq.BeginInformHostOfParamChange(kFinalVolume);
  zorq.SetParameterFromGUI(kFinalVolume, 0.5);
  zorq.SetParameterFromGUI(kFinalVolume, 0.6);
  zorq.EndInformHostOfParamChange(kFinalVolume);
  zorq.SetParameterFromGUI(kBias, 1.0);
  EXPECT_TRUE(hosted.recorder.edits.empty());  // nothing before the host's main thread
  hosted.host.plugin()->on_main_thread(hosted.host.plugin());  // as the editor's timer does
  hosted.host.idle();
  EXPECT_EQ(hosted.recorder.edits, "BVEV");
  const auto& changes = hosted.recorder.changes;
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].index, kFinalVolume);
  EXPECT_DOUBLE_EQ(changes[0].value, 0.36);  // "Final Volume" at 0.6 on its squared scale
  EXPECT_EQ(changes[1].index, kBias);
  EXPECT_EQ(changes[1].value, 1.0);
  hosted.host.idle();
  EXPECT_EQ(hosted.recorder.edits, "BVEV");

  // A reset on the audio thread and a flush while active allocate nothing.
  hosted.host.start(44100.0, 1024);
  std::vector<float> voice = noise(1024, 1), left(1024), right(1024);
  float* in[4] = {voice.data(), voice.data(), voice.data(), voice.data()};
  float* out[2] = {left.data(), right.data()};
  ClapEventList values;
  values.param(0, kBias, 0.3);
  hosted.host.sendEvents({{0, 0x90, 60, 100}});
  hosted.host.process(in, out, 1024);
  const size_t before = allocationCount();
  hosted.host.plugin()->reset(hosted.host.plugin());
  hosted.host.flush(&values);
  hosted.host.process(in, out, 1024);
  EXPECT_EQ(allocationCount(), before);
}
