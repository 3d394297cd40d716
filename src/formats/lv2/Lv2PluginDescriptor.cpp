// The C entry points of an instance: each finds the adapter behind the handle and
// stops every exception at the boundary.
#include <cstring>

#include "formats/lv2/Lv2Plugin.h"

namespace {
Lv2Plugin* self(LV2_Handle handle) { return static_cast<Lv2Plugin*>(handle); }

LV2_Handle instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char*,
                       const LV2_Feature* const* features) {
  try {
    const Lv2Description& description = Lv2PluginDescriptor::descriptionOf(descriptor);
    if (!(sampleRate >= 1000.0 && sampleRate <= 1.0e7)) return nullptr;
    std::unique_ptr<IPlugBase> plug = description.createPlugin();
    auto instance = std::make_unique<Lv2Plugin>(description, std::move(plug), sampleRate, features);
    return instance->valid() ? instance.release() : nullptr;
  } catch (...) {
    return nullptr;
  }
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
  self(handle)->connectPort(port, data);
}

void activate(LV2_Handle handle) {
  try {
    self(handle)->activate();
  } catch (...) {
  }
}

void run(LV2_Handle handle, uint32_t nFrames) {
  try {
    self(handle)->run(nFrames);
  } catch (...) {
  }
}

void deactivate(LV2_Handle handle) {
  try {
    self(handle)->deactivate();
  } catch (...) {
  }
}

void cleanup(LV2_Handle handle) {
  try {
    delete self(handle);
  } catch (...) {
  }
}

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                      uint32_t, const LV2_Feature* const* features) {
  try {
    return self(handle)->save(store, state, features);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle state, uint32_t, const LV2_Feature* const* features) {
  try {
    return self(handle)->restore(retrieve, state, features);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_Worker_Status work(LV2_Handle handle, LV2_Worker_Respond_Function respond,
                       LV2_Worker_Respond_Handle respondHandle, uint32_t size, const void* data) {
  try {
    return self(handle)->work(respond, respondHandle, size, data);
  } catch (...) {
    return LV2_WORKER_ERR_UNKNOWN;
  }
}

LV2_Worker_Status workResponse(LV2_Handle, uint32_t, const void*) { return LV2_WORKER_SUCCESS; }

const LV2_State_Interface kStateInterface = {save, restore};
const LV2_Worker_Interface kWorkerInterface = {work, workResponse, nullptr};

const void* extensionData(const char* uri) {
  if (!std::strcmp(uri, LV2_STATE__interface)) return &kStateInterface;
  if (!std::strcmp(uri, LV2_WORKER__interface)) return &kWorkerInterface;
  return nullptr;
}
}  // namespace

Lv2PluginDescriptor::Lv2PluginDescriptor(const Lv2Description& description)
    : lv2_{description.pluginUri, instantiate, connectPort, activate, run, deactivate, cleanup,
           extensionData},
      description_(&description) {}

const Lv2Description& Lv2PluginDescriptor::descriptionOf(const LV2_Descriptor* descriptor) {
  return *reinterpret_cast<const Lv2PluginDescriptor*>(descriptor)->description_;
}
