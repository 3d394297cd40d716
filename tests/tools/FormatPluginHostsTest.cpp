// zorq-render hosting the CLAP and the LV2 build: each loads, takes a setting by name
// and renders sound (the bit-for-bit comparisons with the VST 2 build are the format
// suites'); a file that is no plug-in of the format, and a damaged state, are refused.
#include <gtest/gtest.h>

#include <cmath>

#include "ToolsTestSupport.h"
#include "hosting/ClapPluginHost.h"
#include "hosting/Lv2PluginHost.h"
#include "hosting/OpenPluginHost.h"
#include "hosting/ParameterSetter.h"
#include "zorq-render/RenderError.h"

TEST(FormatPluginHosts, ClapAndLv2BuildsRenderSound) {
  TempFolder temp;
  std::vector<float> voice(30000);
  for (size_t i = 0; i < voice.size(); ++i)
    voice[i] = 0.3f * float(std::sin(0.05 * double(i)) * std::sin(0.0011 * double(i)));
  writeWav(temp / "voice.wav", {voice}, 44100);
  for (const char* plugin : {ZORQ_CLAP_PLUGIN, ZORQ_LV2_BUNDLE}) {
    const CommandResult result =
        runRender({"-q", "--plugin", plugin, "-m", temp / "voice.wav", "-n", "C3+G3:0.5", "--set",
                   "Vocoder Mode=VE-10 Full Bands", "-b", "333", "-o", temp / "out.wav"},
                  temp);
    ASSERT_EQ(result.exitCode, 0) << plugin << ": " << result.errorText;
    const AudioBuffer audio = readAudio(temp / "out.wav");
    ASSERT_EQ(audio.channels.size(), 2u) << plugin;
    double energy = 0.0;
    for (float x : audio.channels[0]) energy += double(x) * x;
    EXPECT_GT(energy, 1e-2) << plugin;
  }
}

// The LV2 host reads a port's text through the core's text path: a level in decibels as
// the port holds it, a list's number on its step, a value beyond the range refused.
TEST(FormatPluginHosts, Lv2TextsAreReadByTheCoresTextPath) {
  std::unique_ptr<PluginHost> lv2 = openPluginHost(ZORQ_LV2_BUNDLE);
  ParameterSetter setter(*lv2);
  const int volume = setter.findParameter("Final Volume"),
            mode = setter.findParameter("Vocoder Mode");
  setter.setFromText(volume, "-6 dB");
  EXPECT_EQ(lv2->paramDisplay(volume), "-6");
  EXPECT_THROW(setter.setFromText(volume, "6 dB"), UsageError);
  setter.setFromText(mode, "1");
  const std::string full = lv2->paramDisplay(mode);
  setter.setFromText(mode, "0");
  setter.setFromText(mode, "0.6");
  EXPECT_EQ(lv2->paramDisplay(mode), full);
}

TEST(FormatPluginHosts, RefuseWhatIsNoPlugInOfTheirFormatAndDamagedStates) {
  for (const std::string& path : {std::string("/nonexistent/x.clap"), std::string(ZORQ_PLUGIN)}) {
    try {
      ClapPluginHost host(path);
      ADD_FAILURE() << "loaded " << path;
    } catch (const RenderError& e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
  EXPECT_FALSE(Lv2Bundle::isBundle(ZORQ_PLUGIN));
  EXPECT_THROW(Lv2PluginHost(std::string(ZORQ_SOURCE_DIR) + "/demo"), RenderError);
  ClapPluginHost clap(ZORQ_CLAP_PLUGIN);
  EXPECT_FALSE(clap.setChunk(true, {1, 2, 3}));
  std::unique_ptr<PluginHost> lv2 = openPluginHost(ZORQ_LV2_BUNDLE);
  lv2->start(44100.0, 512);
  EXPECT_FALSE(lv2->setChunk(true, std::vector<uint8_t>(40, 7)));
}
