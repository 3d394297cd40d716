// zorq-render through the CLAP build: the host reads the plug-in as the offline host
// needs it, and a render through ZORQ.clap equals the same render through ZORQ.so.
#include "zorq-render/ClapPluginHost.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ToolsTestSupport.h"
#include "zorq-render/RenderError.h"

TEST(ClapPluginHost, ReadsThePlugInAsTheOfflineHostNeedsIt) {
  ClapPluginHost host(ZORQ_CLAP_PLUGIN);
  EXPECT_EQ(host.effectName(), "ZORQ");
  EXPECT_EQ(host.numInputs(), 4);
  EXPECT_EQ(host.numOutputs(), 2);
  EXPECT_EQ(host.numParams(), 107);
  EXPECT_EQ(host.numPrograms(), 0);
  EXPECT_EQ(host.uniqueId(), ('z' << 24) | ('o' << 16) | ('r' << 8) | 'q');
  EXPECT_EQ(host.version(), 10103);
  EXPECT_EQ(host.paramName(0), "Vocoder Mode");
  host.setParameter(0, 1.0f);
  EXPECT_EQ(host.paramDisplay(0), "VE-10 Full Bands");
  EXPECT_EQ(host.getParameter(0), 1.0f);
  ASSERT_TRUE(host.setParameterFromText(14, "7 Hz"));  // "Vibrato Speed"
  EXPECT_EQ(host.paramDisplay(14), "7.00 Hz");
  EXPECT_FALSE(host.setParameterFromText(0, "VE-11"));
  const std::vector<uint8_t> state = host.chunk(true);
  EXPECT_FALSE(state.empty());
  EXPECT_TRUE(host.chunk(false).empty());
  host.setParameter(0, 0.0f);
  ASSERT_TRUE(host.setChunk(true, state));
  EXPECT_EQ(host.paramDisplay(0), "VE-10 Full Bands");
  EXPECT_FALSE(host.setChunk(true, {1, 2, 3}));
}

TEST(ClapPluginHost, RefusesAFileThatIsNoClapPlugIn) {
  for (const std::string& path : {std::string("/nonexistent/x.clap"), std::string(ZORQ_PLUGIN)}) {
    try {
      ClapPluginHost host(path);
      ADD_FAILURE() << "loaded " << path;
    } catch (const RenderError& e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
}

// The same voice, notes and choices through each format give the same file.
TEST(ClapPluginHost, RendersAsTheVst2BuildDoes) {
  TempFolder temp;
  std::vector<float> voice(30000);
  for (size_t i = 0; i < voice.size(); ++i)
    voice[i] = 0.3f * float(std::sin(0.05 * double(i)) * std::sin(0.0011 * double(i)));
  writeWav(temp / "voice.wav", {voice}, 44100);
  std::vector<std::vector<float>> renders;
  for (const char* plugin : {ZORQ_PLUGIN, ZORQ_CLAP_PLUGIN}) {
    const std::string out = temp / (std::string("out") + std::to_string(renders.size()) + ".wav");
    const CommandResult result =
        runRender({"-q", "--plugin", plugin, "-m", temp / "voice.wav", "-n",
                   "C3+G3:0.3,E3+B3@0.31:0.2", "--set", "Vocoder Mode=VE-10 Full Bands", "--set",
                   "Ensemble=on", "-b", "333", "--tail", "0.2", "-o", out},
                  temp);
    ASSERT_EQ(result.exitCode, 0) << result.errorText;
    renders.push_back(readAudio(out).channels.at(0));
  }
  ASSERT_GT(renders[0].size(), 20000u);
  EXPECT_EQ(renders[0], renders[1]);
}
