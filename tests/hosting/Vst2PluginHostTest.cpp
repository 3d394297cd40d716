#include "hosting/Vst2PluginHost.h"

#include <gtest/gtest.h>

#include "support/LoadablePlugin.h"
#include "support/TempFolder.h"
#include "hosting/HostError.h"

TEST(PluginHost, ProcessesAllInputsAndDeliversEventsAtTheirFrames) {
  Vst2PluginHost host(ZORQ_FAKE_PLUGIN);
  host.start(48000.0, 16);
  std::vector<std::vector<float>> in(4, std::vector<float>(16, 0.25f)),
      out(2, std::vector<float>(16, 9.0f));
  float* inputs[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  float* outputs[2] = {out[0].data(), out[1].data()};
  // More than the two event slots the VST 2 list declares.
  const std::vector<HostMidiEvent> events = {
      {5, 0x90, 60, 127}, {7, 0x90, 60, 127}, {9, 0x90, 60, 127}};
  host.sendEvents(events);
  host.process(inputs, outputs, 16);
  // Gain 0.5 (x1.0 plain), level 0 dB: out = in[c] + in[c + 2] = 0.5, plus impulses of 1.
  EXPECT_FLOAT_EQ(out[0][0], 0.5f);
  EXPECT_FLOAT_EQ(out[1][5], 1.5f);
  EXPECT_FLOAT_EQ(out[0][9], 1.5f);
}

// A file that is no library is refused end to end (ZorqRender's BadPlugin case).
TEST(PluginHost, LoadFailureNamesTheFile) {
  for (const std::string path : {"/nonexistent/x.so", ZORQ_FAKE_PLUGIN_REFUSES}) {
    try {
      Vst2PluginHost host(path);
      ADD_FAILURE() << "loaded " << path;
    } catch (const HostError& e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
}
