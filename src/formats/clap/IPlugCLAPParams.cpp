// Parameters: the plug-in's list as the host sees it (id = index, plain values,
// discrete parameters stepped, choices with their texts), and its texts both ways.
// Main thread, plug-in mutex held while a parameter is read.
#include <algorithm>
#include <cstring>

#include "formats/clap/IPlugCLAP.h"
#include "framework/ParamText.h"

namespace {
void copyText(char* dest, const char* text, size_t size) {
  const size_t length = std::min(std::strlen(text), size - 1);
  std::memcpy(dest, text, length);
  dest[length] = '\0';
}
}  // namespace

const clap_plugin_params_t IPlugCLAP::kParams = {
    [](const clap_plugin_t* p) {
      return clapCall(p, 0u,
                      [](IPlugCLAP& self) { return static_cast<uint32_t>(self.plug_->NParams()); });
    },
    [](const clap_plugin_t* p, uint32_t index, clap_param_info_t* info) {
      return clapCall(p, false, [&](IPlugCLAP& self) { return self.paramInfo(index, info); });
    },
    [](const clap_plugin_t* p, clap_id id, double* value) {
      return clapCall(p, false, [&](IPlugCLAP& self) { return self.paramValue(id, value); });
    },
    [](const clap_plugin_t* p, clap_id id, double value, char* text, uint32_t capacity) {
      return clapCall(p, false,
                      [&](IPlugCLAP& self) { return self.valueToText(id, value, text, capacity); });
    },
    [](const clap_plugin_t* p, clap_id id, const char* text, double* value) {
      return clapCall(p, false, [&](IPlugCLAP& self) { return self.textToValue(id, text, value); });
    },
    [](const clap_plugin_t* p, const clap_input_events_t* in, const clap_output_events_t* out) {
      clapCall(p, [&](IPlugCLAP& self) { self.flush(in, out); });
    },
};

const IParam* IPlugCLAP::param(clap_id id) const {
  return id < static_cast<clap_id>(plug_->NParams()) ? plug_->GetParam(static_cast<int>(id))
                                                     : nullptr;
}

bool IPlugCLAP::paramInfo(uint32_t index, clap_param_info_t* info) const {
  const IParam* shown = param(index);
  if (!shown || !info) return false;
  IMutexLock lock(plug_->Mutex());
  *info = clap_param_info_t{};
  info->id = index;
  info->flags = kClapParamIsAutomatable;
  if (shown->IsStepped()) info->flags |= kClapParamIsStepped;
  if (shown->IsChoice()) info->flags |= kClapParamIsEnum;
  info->cookie = nullptr;
  copyText(info->name, shown->GetNameForHost(), sizeof info->name);
  copyText(info->module, shown->GetParamGroupForHost(), sizeof info->module);
  info->min_value = shown->GetMin();
  info->max_value = shown->GetMax();
  info->default_value = shown->GetDefault();
  return true;
}

bool IPlugCLAP::paramValue(clap_id id, double* value) const {
  const IParam* shown = param(id);
  if (!shown || !value) return false;
  IMutexLock lock(plug_->Mutex());
  *value = shown->Value();
  return true;
}

bool IPlugCLAP::valueToText(clap_id id, double value, char* text, uint32_t capacity) const {
  const IParam* shown = param(id);
  if (!shown || !text || capacity == 0) return false;
  IMutexLock lock(plug_->Mutex());
  paramtext::fromValue(*shown, value, text, capacity);
  return true;
}

bool IPlugCLAP::textToValue(clap_id id, const char* text, double* value) const {
  const IParam* shown = param(id);
  if (!shown || !text || !value) return false;
  IMutexLock lock(plug_->Mutex());
  return paramtext::toValue(*shown, text, value);
}
