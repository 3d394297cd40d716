#include <gtest/gtest.h>

#include <array>
#include <string>

#include "RecordingHost.h"

namespace {
class VstInterface : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(host.effect, nullptr) << dlerror(); }
  RecordingHost host;
};
}  // namespace

TEST_F(VstInterface, RecordCarriesIdentityAndLayout) {
  AEffect* e = host.effect;
  EXPECT_EQ(e->magic, kVstEffectMagic);
  EXPECT_EQ(e->numPrograms, 64);
  EXPECT_EQ(e->numParams, 107);
  EXPECT_EQ(e->numInputs, 4);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->flags, 0x1031);  // has editor, replacing, program chunks, double replacing
  EXPECT_EQ(e->uniqueID, ('z' << 24) | ('o' << 16) | ('r' << 8) | 'q');
  EXPECT_EQ(e->version, 10103);
  EXPECT_EQ(host.text(effGetEffectName, 0), "ZORQ");
  EXPECT_EQ(host.text(effGetVendorString, 0), "Zander Volt Music");
  EXPECT_EQ(host.dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(host.dispatch(effIdentify), 0x4E764566);
  EXPECT_EQ(host.dispatch(effGetPlugCategory), 1);
  ERect* rect = nullptr;  // the editor's size, asked before it opens
  ASSERT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right - rect->left, 800);
  EXPECT_EQ(rect->bottom - rect->top, 360);
}

TEST_F(VstInterface, PinsArePairedAndLabelled) {
  const int expectedFlags[] = {3, 1, 3, 1};
  const char* labels[] = {"MIC Left ", "MIC Right ", "EXT Left ", "EXT Right "};
  for (int i = 0; i < 4; ++i) {
    VstPinProperties pin{};
    ASSERT_EQ(host.dispatch(effGetInputProperties, i, 0, &pin), 1);
    EXPECT_EQ(pin.flags, expectedFlags[i]);
    EXPECT_STREQ(pin.label, labels[i]);
  }
  VstPinProperties pin{};
  EXPECT_EQ(host.dispatch(effGetInputProperties, 4, 0, &pin), 0);
  ASSERT_EQ(host.dispatch(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "ZORQ Right ");
  EXPECT_EQ(pin.flags, 1);
}

TEST_F(VstInterface, ParameterTextsAndStringToParameterRules) {
  EXPECT_EQ(host.text(effGetParamName, 1), "Keyboard");
  EXPECT_EQ(host.text(effGetParamLabel, 14), "Hz");
  EXPECT_EQ(host.text(effGetParamDisplay, 4), "-12.0");
  EXPECT_EQ(host.text(effGetParamName, 107), "");
  EXPECT_FLOAT_EQ(host.parameter(200), 0.0f);
  char off[] = "off", offCapital[] = "Off", tooLoud[] = "12.5", mode[] = "VE-10 Full Bands";
  EXPECT_EQ(host.dispatch(effString2Parameter, 16, 0, off), 1);
  EXPECT_EQ(host.text(effGetParamDisplay, 16), "off");
  EXPECT_EQ(host.dispatch(effString2Parameter, 1, 0, offCapital), 0);  // texts match exactly
  EXPECT_EQ(host.dispatch(effString2Parameter, 11, 0, tooLoud), 1);    // "Mic Level" 0..2: clamped
  EXPECT_FLOAT_EQ(host.parameter(11), 1.0f);
  EXPECT_EQ(host.dispatch(effString2Parameter, 0, 0, mode), 1);
  EXPECT_EQ(host.text(effGetParamDisplay, 0), "VE-10 Full Bands");
  EXPECT_EQ(host.dispatch(effString2Parameter, 0, 0, nullptr), 1);
  EXPECT_EQ(host.dispatch(effString2Parameter, 300, 0, off), 0);
}

TEST_F(VstInterface, CanDoAnswersAreExact) {
  const std::pair<std::string, VstIntPtr> answers[] = {{"receiveVstMidiEvent", 1},
                                                       {"receiveVstMidiEvent ", 0},
                                                       {"hasCockosExtensions", 0xBEEF0000},
                                                       {"receiveVstTimeInfo", 1},
                                                       {"offline", 0}};
  for (auto [text, answer] : answers)
    EXPECT_EQ(host.dispatch(effCanDo, 0, 0, text.data()), answer) << text;
}

// The end-to-end state round trip: every program and its name into another instance.
TEST_F(VstInterface, BankChunkRestoresEveryProgramIntoAnotherInstance) {
  host.start();
  host.setParameter(4, 0.8f);
  char name[] = "Robot Choir";
  host.dispatch(effSetProgramName, 0, 0, name);
  host.dispatch(effSetProgram, 0, 3);  // saves the program being left
  EXPECT_EQ(host.dispatch(effGetProgram), 3);
  host.setParameter(4, 0.1f);
  const std::vector<char> saved = host.chunk(true);

  RecordingHost second;
  second.start();
  EXPECT_EQ(second.setChunk(true, saved), 1);
  second.dispatch(effSetProgram, 0, 3);
  EXPECT_NEAR(second.parameter(4), 0.1f, 1e-6);
  second.dispatch(effSetProgram, 0, 0);
  EXPECT_NEAR(second.parameter(4), 0.8f, 1e-6);
  EXPECT_EQ(second.text(effGetProgramName, 0), "Robot Choir");
}

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
