#include <gtest/gtest.h>

#include <vector>

#include "HostedZorq.h"
#include "dsp/ParamIndex.h"
#include "support/UserIni.h"

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
  double energy = 0.0;
  for (size_t i = 500; i < 1000; ++i) energy += double(out[0][i]) * out[0][i];
  EXPECT_GT(energy, 500 * 1e-8);  // an RMS above 1e-4
  EXPECT_EQ(out[1], std::vector<float>(1000, 0.0f));
  EXPECT_EQ(toneBlock<double>(host, 1000, 0.3)[1], std::vector<double>(1000, 0.0));
}

// "MIDI Thru" echoes every event of a list longer than the two slots the declaration
// shows (hosts allocate room for all their pointers; found by fuzzing), and a learned
// controller automates the host.
TEST(VstInterfaceSettings, MidiThruEchoesTheWholeListAndLearnedControllerAutomatesTheHost) {
  writeUserIni("[MIDI Global]\nMIDI Thru=true\n[MIDI Control]\nCC7=4\n");
  HostedZorq zorq;
  zorq.host.start(44100.0, 512);
  std::vector<HostMidiEvent> events;
  for (int i = 0; i < 4; ++i) events.push_back({i, 0x90, uint8_t(60 + i), 100});
  events.push_back({4, 0xB0, 7, 127});
  zorq.host.sendEvents(events);
  HostRecorder& recorder = zorq.recorder;
  ASSERT_EQ(recorder.midi.size(), 5u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(recorder.midi[size_t(i)].data1, 60 + i);
  EXPECT_EQ(recorder.midi[4].status, 0xB0);
  EXPECT_EQ(recorder.midi[4].data2, 127);
  toneBlock(zorq.host, 64);
  ASSERT_EQ(recorder.changes.size(), 1u);
  EXPECT_EQ(recorder.changes[0].index, 4);
  EXPECT_EQ(recorder.changes[0].value, 1.0);
}

// A typed value goes through the core's text rule: "-6 dB" and "-6.0" give -6 dB; a
// text that names no value answers 0 and changes nothing. (The one per-format row of
// the text rule; the rule itself is tested in the framework.)
TEST(VstInterface, TypedTextsSetTheirValueAndRefuseWhatNamesNone) {
  Vst2PluginHost host(ZORQ_PLUGIN_PATH);
  host.start(44100.0, 512);
  for (const char* typed : {"-6 dB", "-6.0"}) {
    EXPECT_TRUE(host.setParameterFromText(kFinalVolume, typed)) << typed;
    EXPECT_EQ(host.paramDisplay(kFinalVolume), "-6.0") << typed;
  }
  const float before = host.getParameter(kFinalVolume);
  for (const char* typed : {"loud", "", "+12 dB"})
    EXPECT_FALSE(host.setParameterFromText(kFinalVolume, typed)) << typed;
  EXPECT_EQ(host.getParameter(kFinalVolume), before);
}
