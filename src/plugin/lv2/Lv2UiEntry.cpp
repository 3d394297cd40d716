// ZORQ_ui.so: the LV2 editor's one exported entry point. Each editor works on its own
// copy of the instrument with the real editor attached, on the X11 platform layer;
// the editor's images are registered once per process (a "ZORQ-skin" folder of PNGs
// beside the file replaces them by name).
#include <memory>
#include <mutex>

#include "editor/EmbeddedBitmaps.h"
#include "editor/ZorqEditor.h"
#include "engine/ZORQ.h"
#include "formats/lv2/ui/Lv2Ui.h"
#include "platform/PlatformFactory.h"
#include "plugin/lv2/ZorqLv2Description.h"

namespace {
std::unique_ptr<IPlugBase> createEditorCopy() {
  static std::once_flag imagesRegistered;
  std::call_once(imagesRegistered,
                 [] { registerEditorBitmaps(Synth::pluginFolder() + "ZORQ-skin"); });
  auto plug = std::make_unique<ZORQ>();
  ZorqEditor::attach(plug.get(), CreateGraphicsPlatform());
  plug->EnsureDefaultPreset();
  return plug;
}
}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(
    uint32_t index) {
  try {
    static const Lv2Description description = [] {
      Lv2Description withEditor = zorqLv2Description();
      withEditor.createEditorCopy = createEditorCopy;
      return withEditor;
    }();
    static const Lv2UiDescriptor descriptor(description);
    return index == 0 ? descriptor.get() : nullptr;
  } catch (...) {
    return nullptr;
  }
}
