#include "hosting/OpenPluginHost.h"

#include "hosting/ClapPluginHost.h"
#include "hosting/Lv2PluginHost.h"
#include "hosting/Vst2PluginHost.h"
#include "hosting/Vst3PluginHost.h"

namespace {
bool endsWith(const std::string& text, const std::string& end) {
  return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
}  // namespace

std::unique_ptr<PluginHost> openPluginHost(const std::string& path, const HostSetup& setup) {
  if (Lv2Bundle::isBundle(path)) return std::make_unique<Lv2PluginHost>(path, setup);
  if (Vst3Module::isBundle(path)) return std::make_unique<Vst3PluginHost>(path, setup);
  if (endsWith(path, ".clap")) return std::make_unique<ClapPluginHost>(path, setup);
  return std::make_unique<Vst2PluginHost>(path, setup);
}
