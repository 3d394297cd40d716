#include <gtest/gtest.h>

#include <array>
#include <string>

#include "RecordingHost.h"

namespace {
class VstInterface : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(host.effect, nullptr); }
  RecordingHost host;
};
}  // namespace

// A host known to keep program chunks only gets the current program for the bank index.
TEST_F(VstInterface, ProgramChunksOnlyHostGetsAProgramForTheBankIndex) {
  host.vendor = "Native Instruments";
  host.start();
  RecordingHost ordinary;
  EXPECT_EQ(host.chunk(true).size(), ordinary.chunk(false).size());
}

// A host that chooses one output still hands over two buffers: the second gets silence,
// from float and double calls alike.
TEST_F(VstInterface, OutputsBeyondTheSpeakerArrangementGetSilence) {
  host.start();
  VstSpeakerArrangement inputs{kSpeakerArrStereo, 2, {}}, outputs{kSpeakerArrMono, 1, {}};
  host.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&inputs), &outputs);
  host.sendMidi(0, 0x90, 60, 100);
  const auto out = host.process(1000, 0.3f);
  double energy = 0.0;
  for (size_t i = 500; i < 1000; ++i) energy += double(out[0][i]) * out[0][i];
  EXPECT_GT(energy, 500 * 1e-8);  // an RMS above 1e-4
  EXPECT_EQ(out[1], std::vector<float>(1000, 0.0f));
  EXPECT_EQ(host.process<double>(1000, 0.3)[1], std::vector<double>(1000, 0.0));
}

// "MIDI Thru" echoes every event of a list longer than the two slots the declaration
// shows (hosts allocate room for all their pointers; found by fuzzing), and a learned
// controller automates the host.
TEST(VstInterfaceSettings, MidiThruEchoesTheWholeListAndLearnedControllerAutomatesTheHost) {
  writeUserIni("[MIDI Global]\nMIDI Thru=true\n[MIDI Control]\nCC7=4\n");
  RecordingHost host;
  ASSERT_NE(host.effect, nullptr);
  host.start();
  std::vector<std::array<int, 4>> events;
  for (int i = 0; i < 4; ++i) events.push_back({i, 0x90, 60 + i, 100});
  events.push_back({4, 0xB0, 7, 127});
  EXPECT_EQ(host.sendMidi(events), 1);
  ASSERT_EQ(host.midiOut.size(), 5u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(host.midiOut[i][1], 60 + i);
  EXPECT_EQ(host.midiOut[4], (std::vector<unsigned char>{0xB0, 7, 127}));
  host.automation.clear();
  host.process(64);
  EXPECT_EQ(host.automation, (std::vector<std::pair<int, float>>{{4, 1.0f}}));
}
