#include "zorq-render/PluginHost.h"

#include "zorq-render/Vst2PluginHost.h"

std::unique_ptr<PluginHost> PluginHost::open(const std::string& path) {
  return std::make_unique<Vst2PluginHost>(path);
}
