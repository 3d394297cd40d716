// The C entry points of the editor: each finds the adapter behind the handle and stops
// every exception at the boundary.
#include <cstring>

#include "formats/lv2/ui/Lv2Ui.h"

namespace {
Lv2Ui* self(LV2UI_Handle handle) { return static_cast<Lv2Ui*>(handle); }

LV2UI_Handle instantiate(const LV2UI_Descriptor* descriptor, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
  try {
    const Lv2Description& description = Lv2UiDescriptor::descriptionOf(descriptor);
    if (!pluginUri || std::strcmp(pluginUri, description.pluginUri) != 0) return nullptr;
    auto ui = std::make_unique<Lv2Ui>(description, description.createEditorCopy(), write,
                                      controller, features);
    if (!ui->valid()) return nullptr;
    if (widget) *widget = ui->widget();
    return ui.release();
  } catch (...) {
    return nullptr;
  }
}

void cleanup(LV2UI_Handle handle) {
  try {
    delete self(handle);
  } catch (...) {
  }
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer) {
  try {
    self(handle)->portEvent(port, size, format, buffer);
  } catch (...) {
  }
}

int idle(LV2UI_Handle handle) {
  try {
    return self(handle)->idle();
  } catch (...) {
    return 0;
  }
}

int show(LV2UI_Handle handle) {
  try {
    return self(handle)->show();
  } catch (...) {
    return 1;
  }
}

int hide(LV2UI_Handle handle) {
  try {
    return self(handle)->hide();
  } catch (...) {
    return 1;
  }
}

const LV2UI_Idle_Interface kIdleInterface = {idle};
const LV2UI_Show_Interface kShowInterface = {show, hide};

const void* extensionData(const char* uri) {
  if (!std::strcmp(uri, LV2_UI__idleInterface)) return &kIdleInterface;
  if (!std::strcmp(uri, LV2_UI__showInterface)) return &kShowInterface;
  return nullptr;
}
}  // namespace

Lv2UiDescriptor::Lv2UiDescriptor(const Lv2Description& description)
    : lv2_{description.uiUri, instantiate, cleanup, portEvent, extensionData},
      description_(&description) {}

const Lv2Description& Lv2UiDescriptor::descriptionOf(const LV2UI_Descriptor* descriptor) {
  return *reinterpret_cast<const Lv2UiDescriptor*>(descriptor)->description_;
}
