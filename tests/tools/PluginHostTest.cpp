#include "zorq-render/PluginHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "ToolsTestSupport.h"
#include "zorq-render/RenderError.h"

TEST(PluginHost, LoadsThroughTheEntryPointAndAnswersItsQueries) {
  PluginHost host(ZORQ_FAKE_PLUGIN);
  EXPECT_EQ(host.numInputs(), 4);
  EXPECT_EQ(host.numOutputs(), 2);
  EXPECT_TRUE(host.hasProgramChunks());
  EXPECT_EQ(host.effectName(), "Fake");
  EXPECT_EQ(host.paramName(2), "Level");
  EXPECT_EQ(host.paramLabel(2), "dB");
  EXPECT_EQ(host.programName(1), "Second");
  EXPECT_EQ(host.dispatch(effIdentify), kVstIdentifyAnswer);
}

TEST(PluginHost, ProcessesAllInputsAndDeliversEventsAtTheirFrames) {
  PluginHost host(ZORQ_FAKE_PLUGIN);
  host.start(48000.0, 16);
  std::vector<std::vector<float>> in(4, std::vector<float>(16, 0.25f)), out(2, std::vector<float>(16, 9.0f));
  float* inputs[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  float* outputs[2] = {out[0].data(), out[1].data()};
  VstMidiEvent note{};
  note.type = kVstMidiType;
  note.byteSize = sizeof note;
  note.deltaFrames = 5;
  note.midiData[0] = char(0x90);
  note.midiData[1] = 60;
  note.midiData[2] = 127;
  std::vector<VstMidiEvent> events(3, note);  // more than the two declared slots
  events[1].deltaFrames = 7;
  events[2].deltaFrames = 9;
  host.sendEvents(events);
  host.process(inputs, outputs, 16);
  // Gain 0.5 (x1.0 plain), level 0 dB: out = in[c] + in[c + 2] = 0.5, plus impulses of 1.
  EXPECT_FLOAT_EQ(out[0][0], 0.5f);
  EXPECT_FLOAT_EQ(out[1][5], 1.5f);
  EXPECT_FLOAT_EQ(out[0][7], 1.5f);
  EXPECT_FLOAT_EQ(out[0][9], 1.5f);
  EXPECT_FLOAT_EQ(out[0][15], 0.5f);
}

class PluginHostLoadFailure : public ::testing::TestWithParam<std::string> {};

TEST_P(PluginHostLoadFailure, GivesAClearError) {
  TempFolder temp;
  const std::string garbage = (temp / "garbage.so");
  writeBytes(garbage, {'n', 'o', 't', ' ', 'E', 'L', 'F'});
  const std::string path = GetParam() == "garbage" ? garbage : GetParam();
  try {
    PluginHost host(path);
    FAIL() << "loaded " << path;
  } catch (const RenderError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Files, PluginHostLoadFailure,
                         ::testing::Values(std::string("garbage"), std::string("/nonexistent/x.so"),
                                           std::string(ZORQ_FAKE_PLUGIN_REFUSES)));

// A third-party plug-in from Debian's dpf-plugins-vst proves the host is not tied to
// our own plug-ins.
namespace {
const char* const kThirdPartySynth = "/usr/lib/vst/Kars-vst.so";
}  // namespace

TEST(PluginHost, ThirdPartySynthSoundsOnlyWhenNotesArrive) {
  if (!std::filesystem::exists(kThirdPartySynth)) GTEST_SKIP() << "dpf-plugins-vst not installed";
  PluginHost host(kThirdPartySynth);
  constexpr int kBlock = 256;
  host.start(44100.0, kBlock);
  std::vector<std::vector<float>> in(std::max(host.numInputs(), 1), std::vector<float>(kBlock));
  std::vector<std::vector<float>> out(host.numOutputs(), std::vector<float>(kBlock));
  std::vector<float*> inputs, outputs;
  for (auto& c : in) inputs.push_back(c.data());
  for (auto& c : out) outputs.push_back(c.data());
  auto peak = [&] {
    float p = 0.0f;
    for (float x : out[0]) p = std::max(p, std::fabs(x));
    return p;
  };
  host.process(inputs.data(), outputs.data(), kBlock);
  EXPECT_EQ(peak(), 0.0f);
  VstMidiEvent note{};
  note.type = kVstMidiType;
  note.byteSize = sizeof note;
  note.midiData[0] = char(0x90);
  note.midiData[1] = 57;
  note.midiData[2] = 120;
  std::vector<VstMidiEvent> events{note};
  host.sendEvents(events);
  float loudest = 0.0f;
  for (int b = 0; b < 8; ++b) {
    host.process(inputs.data(), outputs.data(), kBlock);
    loudest = std::max(loudest, peak());
  }
  EXPECT_GT(loudest, 0.01f);
}
