#include "plugin/Instrument.h"

#include <mutex>

#include "editor/EmbeddedBitmaps.h"
#include "editor/ZorqEditor.h"
#include "engine/ZORQ.h"
#include "factory/FactoryBank.h"
#include "platform/PlatformFactory.h"

std::unique_ptr<ZORQ> createInstrument() {
  static std::recursive_mutex creationMutex;
  std::lock_guard<std::recursive_mutex> lock(creationMutex);
  static bool registered = false;
  if (!registered) {
    registerEditorBitmaps(Synth::pluginFolder() + "ZORQ-skin");
    registerFactoryBank();
    registered = true;
  }
  std::unique_ptr<ZORQ> plug(new ZORQ());
  ZorqEditor::attach(plug.get(), CreateGraphicsPlatform());
  plug->EnsureDefaultPreset();
  return plug;
}
