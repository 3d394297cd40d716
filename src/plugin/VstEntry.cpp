// The plug-in's exported entry points. Hosts call VSTPluginMain (older ones look
// for `main`) once per instance; creation is serialised across instances. Each
// instance gets its editor on the window system's platform layer; the editor's
// images are registered once per process (a "ZORQ-skin" folder of PNGs beside the
// plug-in file replaces them by name), and so is the factory bank new instances
// start with.
#include <memory>
#include <mutex>
#include <new>

#include "editor/EmbeddedBitmaps.h"
#include "editor/ZorqEditor.h"
#include "engine/ZORQ.h"
#include "factory/FactoryBank.h"
#include "formats/vst2/IPlugVST.h"
#include "platform/PlatformFactory.h"

#define ZORQ_EXPORT extern "C" __attribute__((visibility("default")))

ZORQ_EXPORT AEffect* VSTPluginMain(VstHostCallback hostCallback) {
  static std::recursive_mutex creationMutex;
  std::lock_guard<std::recursive_mutex> lock(creationMutex);
  static bool imagesRegistered = false;
  try {
    if (!imagesRegistered) {
      registerEditorBitmaps(Synth::pluginFolder() + "ZORQ-skin");
      registerFactoryBank();
      imagesRegistered = true;
    }
    std::unique_ptr<ZORQ> plug(new ZORQ());
    ZorqEditor::attach(plug.get(), CreateGraphicsPlatform());
    plug->EnsureDefaultPreset();
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
