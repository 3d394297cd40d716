#include "formats/clap/ClapFactory.h"

#include <cstring>

#include "formats/clap/IPlugCLAP.h"

ClapFactory::ClapFactory(const clap_plugin_descriptor_t* descriptor, CreatePlug createPlug)
    : descriptor_(descriptor), create_(createPlug) {
  record_.owner = this;
  record_.factory.get_plugin_count = [](const clap_plugin_factory_t* factory) -> uint32_t {
    return owner(factory) ? 1 : 0;
  };
  record_.factory.get_plugin_descriptor = [](const clap_plugin_factory_t* factory,
                                             uint32_t index) -> const clap_plugin_descriptor_t* {
    ClapFactory* self = owner(factory);
    return self && index == 0 ? self->descriptor_ : nullptr;
  };
  record_.factory.create_plugin = [](const clap_plugin_factory_t* factory, const clap_host_t* host,
                                     const char* pluginId) -> const clap_plugin_t* {
    ClapFactory* self = owner(factory);
    try {
      return self ? self->create(host, pluginId) : nullptr;
    } catch (...) {
      return nullptr;
    }
  };
}

ClapFactory* ClapFactory::owner(const clap_plugin_factory_t* factory) {
  return factory ? reinterpret_cast<const Record*>(factory)->owner : nullptr;
}

bool ClapFactory::init(const char*) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++initCount_;
  return true;
}

void ClapFactory::deinit() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (initCount_ > 0) --initCount_;
}

int ClapFactory::initCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return initCount_;
}

const void* ClapFactory::getFactory(const char* factoryId) const {
  return factoryId && !std::strcmp(factoryId, kClapPluginFactoryId) ? &record_.factory : nullptr;
}

// A host must have initialised the library and name the plug-in exactly; the plug-in
// is built before the adapter takes it, and the host is not called here.
const clap_plugin_t* ClapFactory::create(const clap_host_t* host, const char* pluginId) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (initCount_ == 0 || !host || !pluginId || std::strcmp(pluginId, descriptor_->id) != 0)
    return nullptr;
  std::unique_ptr<IPlugBase> plug = create_();
  if (!plug) return nullptr;
  return (new IPlugCLAP(std::move(plug), descriptor_, host))->ClapPlugin();
}
