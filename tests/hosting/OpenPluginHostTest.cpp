// Each format's host refuses what is no plug-in of its format, naming the file; the
// LV2 host reads typed values as the core does.
#include <gtest/gtest.h>

#include "hosting/ClapPluginHost.h"
#include "hosting/HostError.h"
#include "hosting/Lv2PluginHost.h"
#include "hosting/OpenPluginHost.h"
#include "hosting/ParameterSetter.h"
#include "hosting/Vst2PluginHost.h"

#include <functional>
#include <string>
#include <utility>

TEST(OpenPluginHost, EachFormatRefusesWhatIsNoPlugInOfIt) {
  const std::pair<std::function<void(const std::string&)>, std::string> refused[] = {
      {[](const std::string& path) { ClapPluginHost host(path); }, "/nonexistent/x.clap"},
      {[](const std::string& path) { ClapPluginHost host(path); }, ZORQ_PLUGIN},
      {[](const std::string& path) { Vst2PluginHost host(path); }, "/nonexistent/x.so"},
      {[](const std::string& path) { Vst2PluginHost host(path); }, ZORQ_FAKE_PLUGIN_REFUSES}};
  for (const auto& [open, path] : refused) {
    try {
      open(path);
      ADD_FAILURE() << "loaded " << path;
    } catch (const HostError& e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
  EXPECT_FALSE(Lv2Bundle::isBundle(ZORQ_PLUGIN));
  EXPECT_THROW(Lv2PluginHost(std::string(ZORQ_SOURCE_DIR) + "/demo"), HostError);
}

// The LV2 host reads a port's text through the core's text path: a level in decibels as
// the port holds it, a list's number on its step, a value beyond the range refused.
TEST(Lv2PluginHost, TextsAreReadByTheCoresTextPath) {
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
