// Parameters as the host's controller sees them: the plug-in's parameters (id = index),
// then the adapter's own: bypass, the program (its texts are the program names), and a
// hidden parameter for each MIDI controller and pitch bend, which IMidiMapping hands
// the host for those messages. Values cross normalised; texts come from the core
// (paramtext). UI thread; the plug-in mutex is held while a parameter is read.
#include <algorithm>
#include <cmath>
#include <string>
#include <strings.h>

#include "formats/vst3/IPlugVST3.h"
#include "formats/vst3/Vst3Text.h"
#include "framework/ParamText.h"

namespace {
// Slots of the adapter's own parameters, counted from the plug-in's parameter count.
constexpr int kBypassSlot = 0;
constexpr int kProgramSlot = 1;
constexpr int kFirstControllerSlot = 2;
constexpr int kPitchBendSlot = kFirstControllerSlot + IPlugVST3::kMidiControllers;
constexpr int kOwnParams = kPitchBendSlot + 1;
constexpr int kPitchBendCentre = 8192;

double clampedNormal(double value) {
  return std::isnan(value) ? 0.0 : std::min(std::max(value, 0.0), 1.0);
}
}  // namespace

void IPlugVST3::initOwnParams() {
  ownParams_.resize(kOwnParams);
  ownParams_[kBypassSlot].InitBool("Bypass", false);
  ownParams_[kProgramSlot].InitInt("Program", 0, 0, std::max(plug_->NPresets() - 1, 1));
  for (int controller = 0; controller < kMidiControllers; ++controller) {
    const std::string name = "MIDI CC " + std::to_string(controller);
    ownParams_[kFirstControllerSlot + controller].InitInt(name.c_str(), 0, 0, 127);
  }
  ownParams_[kPitchBendSlot].InitInt("MIDI CC Pitch Bend", kPitchBendCentre, 0, 16383);
}

int IPlugVST3::slotOf(vst3::ParamID id) const {
  const vst3::ParamID own = static_cast<vst3::ParamID>(plug_->NParams());
  if (id < own) return static_cast<int>(id);
  if (id == kBypassId) return static_cast<int>(own) + kBypassSlot;
  if (id == kProgramId) return static_cast<int>(own) + kProgramSlot;
  if (id >= kMidiControllerId && id < kMidiControllerId + kMidiControllers)
    return static_cast<int>(own + id - kMidiControllerId) + kFirstControllerSlot;
  if (id == kMidiControllerId + vst3::kPitchBend) return static_cast<int>(own) + kPitchBendSlot;
  return -1;
}

vst3::ParamID IPlugVST3::idAt(int slot) const {
  const int own = slot - plug_->NParams();
  if (own < 0) return static_cast<vst3::ParamID>(slot);
  if (own == kBypassSlot) return kBypassId;
  if (own == kProgramSlot) return kProgramId;
  if (own == kPitchBendSlot) return kMidiControllerId + vst3::kPitchBend;
  return kMidiControllerId + static_cast<vst3::ParamID>(own - kFirstControllerSlot);
}

const IParam* IPlugVST3::paramAt(int slot) const {
  if (slot < 0 || slot >= parameterCount()) return nullptr;
  const int own = slot - plug_->NParams();
  return own < 0 ? plug_->GetParam(slot) : &ownParams_[static_cast<size_t>(own)];
}

vst3::int32 IPlugVST3::getParameterCount() { return parameterCount(); }

vst3::tresult IPlugVST3::getParameterInfo(vst3::int32 index, vst3::ParameterInfo& info) {
  const IParam* param = paramAt(index);
  if (!param) return vst3::kInvalidArgument;
  IMutexLock lock(plug_->Mutex());
  info = vst3::ParameterInfo{};
  info.id = idAt(index);
  vst3text::toUtf16(param->GetNameForHost(), info.title, 128);
  vst3text::toUtf16(param->GetNameForHost(), info.shortTitle, 128);
  vst3text::toUtf16(param->GetLabelForHost(), info.units, 128);
  info.stepCount = param->StepCount();
  info.defaultNormalizedValue = param->GetNormalized(param->GetDefault());
  info.unitId = vst3::kRootUnitId;
  const int own = index - plug_->NParams();
  if (own >= kFirstControllerSlot)
    info.flags = vst3::kIsHidden;  // for the host's MIDI mapping only
  else
    info.flags = vst3::kCanAutomate | (param->IsChoice() ? vst3::kIsList : 0);
  if (own == kBypassSlot) info.flags |= vst3::kIsBypass;
  if (own == kProgramSlot) info.flags |= vst3::kIsProgramChange | vst3::kIsList;
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3::getParamStringByValue(vst3::ParamID id, vst3::ParamValue normalized,
                                               vst3::String128 string) {
  const int slot = slotOf(id);
  const IParam* param = paramAt(slot);
  if (!param || !string) return vst3::kInvalidArgument;
  IMutexLock lock(plug_->Mutex());
  const double plain = param->Constrain(param->GetNonNormalized(clampedNormal(normalized)));
  if (slot == plug_->NParams() + kProgramSlot) {
    vst3text::toUtf16(programName(static_cast<int>(plain)).c_str(), string, 128);
    return vst3::kResultOk;
  }
  char text[128];
  paramtext::fromValue(*param, plain, text, sizeof text);
  vst3text::toUtf16(text, string, 128);
  return vst3::kResultOk;
}

// A program is found by its name (or its number); every other text goes through the
// core's text path.
vst3::tresult IPlugVST3::getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                               vst3::ParamValue& normalized) {
  const int slot = slotOf(id);
  const IParam* param = paramAt(slot);
  if (!param || !string) return vst3::kInvalidArgument;
  const std::string text = vst3text::toUtf8(string, 128);
  IMutexLock lock(plug_->Mutex());
  double plain = 0.0;
  if (slot == plug_->NParams() + kProgramSlot) {
    for (int program = 0; program < plug_->NPresets(); ++program) {
      if (!strcasecmp(text.c_str(), programName(program).c_str())) {
        normalized = param->GetNormalized(program);
        return vst3::kResultOk;
      }
    }
  }
  if (!paramtext::toValue(*param, text.c_str(), &plain)) return vst3::kResultFalse;
  normalized = param->GetNormalized(plain);
  return vst3::kResultOk;
}

vst3::ParamValue IPlugVST3::normalizedParamToPlain(vst3::ParamID id, vst3::ParamValue normalized) {
  const IParam* param = paramAt(slotOf(id));
  if (!param) return normalized;
  return param->Constrain(param->GetNonNormalized(clampedNormal(normalized)));
}

vst3::ParamValue IPlugVST3::plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plain) {
  const IParam* param = paramAt(slotOf(id));
  if (!param || std::isnan(plain)) return 0.0;
  return param->GetNormalized(plain);
}

vst3::ParamValue IPlugVST3::getParamNormalized(vst3::ParamID id) {
  const int slot = slotOf(id);
  return slot >= 0 ? controllerValues_[slot].load() : 0.0;
}

// The controller keeps the value. The processor takes it from the next block when
// processing runs (the host sends it there too, at its sample); while processing is
// stopped there is no block to wait for, so it takes it now.
vst3::tresult IPlugVST3::setParamNormalized(vst3::ParamID id, vst3::ParamValue value) {
  const int slot = slotOf(id);
  if (slot < 0 || std::isnan(value)) return vst3::kInvalidArgument;
  controllerValues_[slot] = clampedNormal(value);
  if (!processing_) applyOutsideProcess(slot, clampedNormal(value));
  // Hosts pass what a block reported on to here, on the main thread: a program that
  // MIDI changed inside that block makes them read every value again now, with no
  // editor open to flush it later.
  if (restartFlags_.load() != 0) FlushToHost();
  return vst3::kResultOk;
}

void IPlugVST3::applyOutsideProcess(int slot, double normalized) {
  const IParam* param = paramAt(slot);
  const int own = slot - plug_->NParams();
  const double plain = param->Constrain(param->GetNonNormalized(normalized));
  if (own < 0) {
    plug_->SetParameterValueFromHost(slot, plain);
  } else if (own == kBypassSlot) {
    IMutexLock lock(plug_->Mutex());
    bypassed_ = plain >= 0.5;
    bypass_.JumpTo(bypassed_ ? 0.0 : 1.0);
  } else if (own == kProgramSlot) {
    const int program = static_cast<int>(plain);
    if (program == plug_->GetCurrentPresetIdx()) return;
    if (plug_->RunHostCall([&] { return plug_->RestorePreset(program); }))
      restartFlags_ |= vst3::kParamValuesChanged;
    FlushToHost();
  }
}

void IPlugVST3::syncControllerValues() {
  const int count = plug_->NParams();
  for (int i = 0; i < count; ++i) controllerValues_[i] = plug_->GetParam(i)->GetNormalized();
  controllerValues_[count + kBypassSlot] = bypassed_ ? 1.0 : 0.0;
  controllerValues_[count + kProgramSlot] =
      ownParams_[kProgramSlot].GetNormalized(plug_->GetCurrentPresetIdx());
}

// Every MIDI controller and pitch bend, on every channel of the event bus, is one of
// the hidden parameters; the processor turns it back into the MIDI message, which the
// plug-in handles as in every format (MIDI learn and learned controllers included).
// Channel pressure is not asked for: the plug-in does not use it.
vst3::tresult IPlugVST3::getMidiControllerAssignment(vst3::int32 busIndex, vst3::int16,
                                                     vst3::CtrlNumber controller,
                                                     vst3::ParamID& id) {
  if (busIndex != 0 || !plug_->DoesMIDI()) return vst3::kResultFalse;
  if (controller >= 0 && controller < kMidiControllers) {
    id = kMidiControllerId + static_cast<vst3::ParamID>(controller);
    return vst3::kResultTrue;
  }
  if (controller == vst3::kPitchBend) {
    id = kMidiControllerId + vst3::kPitchBend;
    return vst3::kResultTrue;
  }
  return vst3::kResultFalse;
}
