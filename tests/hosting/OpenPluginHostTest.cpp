// Each format's host refuses what is no plug-in of its format, naming the file. (Typed
// values are the parity suite's.)
#include <gtest/gtest.h>

#include "hosting/ClapPluginHost.h"
#include "hosting/HostError.h"
#include "hosting/Lv2PluginHost.h"
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
