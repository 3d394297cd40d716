#pragma once

// The built ZORQ.vst3, opened and entered as a host's loader does (dlopen, ModuleEntry,
// GetPluginFactory; released, exited and closed at the end), with an instance made by
// its factory: the object a host gets for its component, processor and controller.
#include <dlfcn.h>

#include <string>

#include "formats/vst3/Vst3Abi.h"

struct Vst3Bundle {
  static std::string binary() {
    return std::string(ZORQ_VST3_BUNDLE) + "/Contents/x86_64-linux/ZORQ.so";
  }

  Vst3Bundle() {
    handle = dlopen(binary().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return;
    entry = reinterpret_cast<bool (*)(void*)>(dlsym(handle, "ModuleEntry"));
    exit = reinterpret_cast<bool (*)()>(dlsym(handle, "ModuleExit"));
    getFactory = reinterpret_cast<vst3::GetFactoryProc>(dlsym(handle, "GetPluginFactory"));
    if (entry && exit && getFactory && entry(handle)) factory = getFactory();
  }
  ~Vst3Bundle() {
    if (factory) factory->release();
    if (factory) exit();
    if (handle) dlclose(handle);
  }
  Vst3Bundle(const Vst3Bundle&) = delete;
  Vst3Bundle& operator=(const Vst3Bundle&) = delete;

  // A new instance's interface `Interface`, or null.
  template <typename Interface>
  Interface* create() {
    vst3::PClassInfo info{};
    void* object = nullptr;
    if (!factory || factory->getClassInfo(0, &info) != vst3::kResultOk ||
        factory->createInstance(info.cid, Interface::iid.bytes, &object) != vst3::kResultOk)
      return nullptr;
    return static_cast<Interface*>(object);
  }

  void* handle = nullptr;
  bool (*entry)(void*) = nullptr;
  bool (*exit)() = nullptr;
  vst3::GetFactoryProc getFactory = nullptr;
  vst3::IPluginFactory* factory = nullptr;
};
