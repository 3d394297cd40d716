// The VST 3 plug-in's exported entry points: ModuleEntry and ModuleExit (counted: hosts
// and wrappers in one process may nest them) and GetPluginFactory. Scanning builds
// nothing; each instance is the instrument with its editor, made when the host asks.
#include "engine/ZORQ.h"
#include "plugin/Instrument.h"
#include "plugin/Vst3Description.h"

#define ZORQ_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
std::unique_ptr<IPlugBase> createPlug() { return createInstrument(); }

Vst3Factory& factory() {
  static Vst3Factory instance(zorqVst3Description(), &createPlug);
  return instance;
}
}  // namespace

ZORQ_EXPORT bool ModuleEntry(void*) {
  try {
    return factory().enter();
  } catch (...) {
    return false;
  }
}

ZORQ_EXPORT bool ModuleExit() {
  try {
    return factory().exit();
  } catch (...) {
    return false;
  }
}

ZORQ_EXPORT vst3::IPluginFactory* ZORQ_VST3_API GetPluginFactory() {
  try {
    return factory().acquire();
  } catch (...) {
    return nullptr;
  }
}
