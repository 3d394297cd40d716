// Each format's host refuses what is no plug-in of its format, naming the file.
#include <gtest/gtest.h>

#include "hosting/ClapPluginHost.h"
#include "hosting/HostError.h"
#include "hosting/Lv2PluginHost.h"
#include "hosting/OpenPluginHost.h"

#include <string>

TEST(OpenPluginHost, EachFormatRefusesWhatIsNoPlugInOfIt) {
  for (const std::string& path : {std::string("/nonexistent/x.clap"), std::string(ZORQ_PLUGIN)}) {
    try {
      ClapPluginHost host(path);
      ADD_FAILURE() << "loaded " << path;
    } catch (const HostError& e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
  EXPECT_FALSE(Lv2Bundle::isBundle(ZORQ_PLUGIN));
  EXPECT_THROW(Lv2PluginHost(std::string(ZORQ_SOURCE_DIR) + "/demo"), HostError);
}
