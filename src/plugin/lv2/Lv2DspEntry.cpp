// ZORQ_dsp.so: the LV2 plug-in's one exported entry point. The plug-in carries no
// editor code; its editor is ZORQ_ui.so.
#include "formats/lv2/Lv2Plugin.h"
#include "plugin/lv2/ZorqLv2Description.h"

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(
    uint32_t index) {
  try {
    static const Lv2Description description = zorqLv2Description();
    static const Lv2PluginDescriptor descriptor(description);
    return index == 0 ? descriptor.get() : nullptr;
  } catch (...) {
    return nullptr;
  }
}
