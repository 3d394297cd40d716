// The VST 3 plug-in's exported entry points: the module's entry and exit (ModuleEntry
// and ModuleExit on Linux, InitDll and ExitDll on Windows; counted: hosts and wrappers
// in one process may nest them) and GetPluginFactory. Scanning builds nothing; each
// instance is the instrument with its editor, made when the host asks.
#include "engine/ZORQ.h"
#include "plugin/Export.h"
#include "plugin/Instrument.h"
#include "plugin/Vst3Description.h"

namespace {
std::unique_ptr<IPlugBase> createPlug() { return createInstrument(); }

Vst3Factory& factory() {
  static Vst3Factory instance(zorqVst3Description(), &createPlug);
  return instance;
}

bool enter() {
  try {
    return factory().enter();
  } catch (...) {
    return false;
  }
}

bool leave() {
  try {
    return factory().exit();
  } catch (...) {
    return false;
  }
}
}  // namespace

#ifdef _WIN32
ZORQ_EXPORT bool InitDll() { return enter(); }
ZORQ_EXPORT bool ExitDll() { return leave(); }
#else
ZORQ_EXPORT bool ModuleEntry(void*) { return enter(); }
ZORQ_EXPORT bool ModuleExit() { return leave(); }
#endif

ZORQ_EXPORT vst3::IPluginFactory* ZORQ_VST3_API GetPluginFactory() {
  try {
    return factory().acquire();
  } catch (...) {
    return nullptr;
  }
}
