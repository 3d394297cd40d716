// The plug-in's exported entry points. Hosts call VSTPluginMain (older ones look
// for `main`) once per instance; creation is serialised across instances.
#include <mutex>
#include <new>

#include "engine/ZORQ.h"
#include "framework/VstAbi.h"

#define ZORQ_EXPORT extern "C" __attribute__((visibility("default")))

ZORQ_EXPORT AEffect* VSTPluginMain(VstHostCallback hostCallback) {
  static std::recursive_mutex creationMutex;
  std::lock_guard<std::recursive_mutex> lock(creationMutex);
  try {
    ZORQ* plug = new ZORQ(hostCallback);
    plug->EnsureDefaultPreset();
    AEffect* effect = plug->GetAEffect();
    if (effect->numPrograms < 1) effect->numPrograms = 1;
    return effect;
  } catch (...) {
    return nullptr;
  }
}

// The same entry under the symbol name `main`, which C++ cannot spell directly.
ZORQ_EXPORT AEffect* mainEntryAlias(VstHostCallback hostCallback) __asm__("main");
AEffect* mainEntryAlias(VstHostCallback hostCallback) { return VSTPluginMain(hostCallback); }
