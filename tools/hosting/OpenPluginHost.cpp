#include "hosting/OpenPluginHost.h"

#include "hosting/ClapPluginHost.h"
#ifndef _WIN32
#include "hosting/Lv2PluginHost.h"
#endif
#include "hosting/Vst2PluginHost.h"
#include "hosting/Vst3PluginHost.h"

namespace {
bool endsWith(const std::string& text, const std::string& end) {
  return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
}  // namespace

std::unique_ptr<PluginHost> openPluginHost(const std::string& path, const HostSetup& setup) {
#ifndef _WIN32
  if (Lv2Bundle::isBundle(path)) return std::make_unique<Lv2PluginHost>(path, setup);
#endif
  if (Vst3Module::isBundle(path)) return std::make_unique<Vst3PluginHost>(path, setup);
  if (endsWith(path, ".clap")) return std::make_unique<ClapPluginHost>(path, setup);
  return std::make_unique<Vst2PluginHost>(path, setup);
}

bool isPluginBundle(const std::string& path) {
#ifndef _WIN32
  if (Lv2Bundle::isBundle(path)) return true;
#endif
  return Vst3Module::isBundle(path);
}
