#include "zorq-render/PluginHost.h"

#include "zorq-render/ClapPluginHost.h"
#include "zorq-render/Lv2PluginHost.h"
#include "zorq-render/Vst2PluginHost.h"

std::unique_ptr<PluginHost> PluginHost::open(const std::string& path) {
  if (Lv2PluginHost::isBundle(path)) return std::make_unique<Lv2PluginHost>(path);
  const std::string clapSuffix = ".clap";
  if (path.size() > clapSuffix.size() &&
      path.compare(path.size() - clapSuffix.size(), clapSuffix.size(), clapSuffix) == 0)
    return std::make_unique<ClapPluginHost>(path);
  return std::make_unique<Vst2PluginHost>(path);
}
