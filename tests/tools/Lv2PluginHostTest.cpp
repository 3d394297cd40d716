// zorq-render hosting the LV2 bundle: what it shows of the plug-in, and one render made
// through the VST 2 build and the LV2 build alike.
#include <gtest/gtest.h>

#include "ToolsTestSupport.h"
#include "zorq-render/Lv2PluginHost.h"
#include "zorq-render/RenderError.h"

namespace {

TEST(Lv2PluginHost, ShowsThePluginPortsAndPresets) {
  ASSERT_TRUE(Lv2PluginHost::isBundle(ZORQ_LV2_BUNDLE));
  EXPECT_FALSE(Lv2PluginHost::isBundle(ZORQ_PLUGIN));
  std::unique_ptr<PluginHost> host = PluginHost::open(ZORQ_LV2_BUNDLE);
  EXPECT_EQ(host->effectName(), "ZORQ");
  EXPECT_EQ(host->numInputs(), 4);
  EXPECT_EQ(host->numOutputs(), 2);
  EXPECT_EQ(host->numParams(), 107);  // the enabled port is not a parameter
  EXPECT_EQ(host->numPrograms(), 64);
  host->start(44100.0, 512);
  EXPECT_EQ(host->paramName(0), "Vocoder Mode");
  EXPECT_TRUE(host->setParameterFromText(0, "VE-10 Full Bands"));
  EXPECT_EQ(host->paramDisplay(0), "VE-10 Full Bands");
  EXPECT_TRUE(host->setParameterFromText(16, "on"));  // "Ensemble"
  EXPECT_EQ(host->paramDisplay(16), "on");
  EXPECT_FALSE(host->setParameterFromText(4, "2"));  // "Final Volume" ends at 1
  EXPECT_FALSE(host->setParameterFromText(4, "loud"));
  EXPECT_TRUE(host->setParameterFromText(4, "0.5"));
  EXPECT_FLOAT_EQ(host->getParameter(4), 0.5f);
  EXPECT_FALSE(host->chunk(true).empty());
  EXPECT_FALSE(host->setChunk(true, std::vector<uint8_t>(40, 7)));
  EXPECT_THROW(Lv2PluginHost(std::string(ZORQ_SOURCE_DIR) + "/demo"), RenderError);
}

// The same voice, chords and settings through ZORQ.so and ZORQ.lv2: the same samples.
TEST(Lv2PluginHost, RendersWhatTheVst2BuildRenders) {
  TempFolder temp;
  std::vector<AudioBuffer> renders;
  for (const char* plugin : {ZORQ_PLUGIN, ZORQ_LV2_BUNDLE}) {
    const std::string out = temp / (std::to_string(renders.size()) + ".wav");
    const CommandResult result = runRender(
        {"--plugin", plugin, "--modulator", std::string(ZORQ_SOURCE_DIR) + "/demo/voice.wav",
         "--midi", std::string(ZORQ_SOURCE_DIR) + "/demo/chords.mid", "--rate", "44100", "--set",
         "Vocoder Mode=VE-10 Full Bands", "--set", "Ensemble=on", "--program", "2", "--bits",
         "float", "--output", out},
        temp);
    ASSERT_EQ(result.exitCode, 0) << result.errorText;
    renders.push_back(readAudio(out));
  }
  ASSERT_GT(renders[0].frames(), 44100u);
  EXPECT_EQ(renders[0].channels, renders[1].channels);
}

}  // namespace
