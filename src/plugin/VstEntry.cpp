// The VST 2 plug-in's exported entry points. Hosts call VSTPluginMain (older ones look
// for `main`) once per instance; creation is serialised across instances.
#include <memory>

#include "engine/ZORQ.h"
#include "formats/vst2/IPlugVST.h"
#include "plugin/Export.h"
#include "plugin/Instrument.h"

ZORQ_EXPORT AEffect* VSTPluginMain(VstHostCallback hostCallback) {
  try {
    std::unique_ptr<ZORQ> plug = createInstrument();
    AEffect* effect = (new IPlugVST(plug.release(), hostCallback))->GetAEffect();
    if (effect->numPrograms < 1) effect->numPrograms = 1;
    return effect;
  } catch (...) {
    return nullptr;
  }
}

// The same entry under the symbol name `main`, which C++ cannot spell directly.
ZORQ_EXPORT AEffect* mainEntryAlias(VstHostCallback hostCallback) __asm__("main");
AEffect* mainEntryAlias(VstHostCallback hostCallback) { return VSTPluginMain(hostCallback); }
