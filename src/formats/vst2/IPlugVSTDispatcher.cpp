// The dispatcher: every opcode the adapter answers. Texts go into the host's
// buffers cut to the sizes hosts provide for them.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "framework/IMidiMsg.h"
#include "framework/ParamText.h"
#include "formats/vst2/IPlugVST.h"

namespace {
// Parameter names, labels and display texts: hosts hand in at least this much.
constexpr size_t kParamTextSize = 32;
constexpr VstIntPtr kCockosAnswer = 0xBEEF0000;
constexpr VstIntPtr kVendorSpecificAnswer = 0xBEEF;

// Cutting is intended: the host's buffer is only `size` bytes.
void copyText(void* ptr, const char* text, size_t size) {
  char* dest = static_cast<char*>(ptr);
  const size_t length = text ? std::min(std::strlen(text), size - 1) : 0;
  if (length) std::memcpy(dest, text, length);
  dest[length] = '\0';
}

// Program-chunks-only hosts: their chunks always hold one program.
bool isProgramChunksOnlyVendor(const char* vendor) {
  std::string lower(vendor);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower == "native instruments" || lower == "juce vst host";
}
}  // namespace

VstIntPtr IPlugVST::dispatcherProc(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                   VstIntPtr value, void* ptr, float opt) {
  IPlugVST* vst = FromAEffect(effect);
  if (!vst) return 0;
  try {
    if (opcode == effClose) {
      delete vst;
      return 0;
    }
    if (isEditorCall(opcode, index, value))
      return vst->dispatchEditor(opcode, index, value, ptr, opt);
    return vst->plug_->RunHostCall([&] { return vst->dispatch(opcode, index, value, ptr, opt); });
  } catch (...) {
    return 0;
  }
}

VstIntPtr IPlugVST::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) {
  IParam* param = plug_->GetParam(index);
  switch (opcode) {
    case effOpen:
      HostSpecificInit();
      plug_->OnParamReset();
      return 0;
    case effSetProgram:
      plug_->ModifyCurrentPreset(nullptr);
      plug_->RestorePreset(static_cast<int>(value));
      return 0;
    case effGetProgram: return plug_->GetCurrentPresetIdx();
    case effSetProgramName:
      if (ptr) {
        char name[256];  // a preset name holds up to 255 characters
        copyText(name, static_cast<const char*>(ptr), sizeof name);
        plug_->ModifyCurrentPreset(name);
        plug_->PresetsChangedByHost();
      }
      return 0;
    case effGetProgramName:
      if (ptr)
        copyText(ptr, plug_->GetPresetName(plug_->GetCurrentPresetIdx()), kVstMaxProgNameLen);
      return 0;
    case effGetParamLabel:
      if (param && ptr) copyText(ptr, param->GetLabelForHost(), kParamTextSize);
      return 0;
    case effGetParamDisplay:
      if (param && ptr) {
        char text[256] = {};
        param->GetDisplayForHost(param->Value(), false, text, true);
        copyText(ptr, text, kParamTextSize);
      }
      return 0;
    case effGetParamName:
      if (param && ptr) copyText(ptr, param->GetNameForHost(), kParamTextSize);
      return 0;
    case effSetSampleRate:
      plug_->SetSampleRate(opt);
      plug_->Reset();
      return 0;
    case effSetBlockSize:
      // A block size of 0 or less would leave the channels without scratch buffers.
      if (value > 0 && value <= (1 << 24)) {
        plug_->SetBlockSize(static_cast<int>(value));
        plug_->Reset();
      }
      return 0;
    case effMainsChanged:
      if (value == 0) {
        plug_->OnActivate(false);
        plug_->Reset();
      } else {
        plug_->OnActivate(true);
      }
      return 0;
    case effIdle: plug_->OnIdle(); return 0;
    case effIdentify: return kVstIdentifyAnswer;
    case effGetChunk: return ptr ? getChunk(static_cast<void**>(ptr), wantsBank(index)) : 0;
    case effSetChunk: return setChunk(ptr, value, wantsBank(index));
    case effProcessEvents: return processEvents(static_cast<const VstEvents*>(ptr));
    case effCanBeAutomated: return 1;
    case effString2Parameter:
      return param ? string2Parameter(index, static_cast<const char*>(ptr)) : 0;
    case effGetProgramNameIndexed:
      if (!ptr) return 0;
      copyText(ptr, plug_->GetPresetName(index), kVstMaxProgNameLen);
      return static_cast<char*>(ptr)[0] != '\0';
    case effGetInputProperties:
      return pinProperties(static_cast<VstPinProperties*>(ptr), index, true);
    case effGetOutputProperties:
      return pinProperties(static_cast<VstPinProperties*>(ptr), index, false);
    case effGetPlugCategory: return plug_->IsInst() ? kPlugCategSynth : kPlugCategEffect;
    case effSetSpeakerArrangement:
      setSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value), true);
      setSpeakerArrangement(static_cast<const VstSpeakerArrangement*>(ptr), false);
      return 1;
    case effGetEffectName:
      if (!ptr) return 0;
      copyText(ptr, plug_->GetEffectName(), kVstMaxEffectNameLen);
      return 1;
    case effGetVendorString:
      if (!ptr) return 0;
      copyText(ptr, plug_->GetMfrName(), kVstMaxVendorStrLen);
      return 1;
    case effGetProductString:
      if (!ptr) return 0;
      copyText(ptr, plug_->GetProductName(), kVstMaxProductStrLen);
      return 1;
    case effGetVendorVersion: return plug_->GetEffectVersion(true);
    case effVendorSpecific:
      if (index == 7 && ptr) {
        // Text for an arbitrary normalised value of parameter `value`.
        if (const IParam* shown = plug_->GetParam(static_cast<int>(value))) {
          char text[256] = {};
          shown->GetDisplayForHost(opt, true, text, true);
          copyText(ptr, text, kParamTextSize);
        }
        return kVendorSpecificAnswer;
      }
      if (index == 8) {
        const IParam* asked = plug_->GetParam(static_cast<int>(value));
        if (asked) return asked->IsStepped() ? kVendorSpecificAnswer : 0;
      }
      return 0;
    case effCanDo: {
      const char* question = static_cast<const char*>(ptr);
      if (!question) return 0;
      if (!std::strcmp(question, "receiveVstTimeInfo")) return 1;
      if (plug_->DoesMIDI() &&
          (!std::strcmp(question, "sendVstEvents") || !std::strcmp(question, "sendVstMidiEvent") ||
           !std::strcmp(question, "receiveVstEvents") ||
           !std::strcmp(question, "receiveVstMidiEvent")))
        return 1;
      if (!std::strcmp(question, "hasCockosExtensions")) {
        hostExtensions_ |= 1;
        return kCockosAnswer;
      }
      if (!std::strcmp(question, "hasCockosViewAsConfig")) {
        hostExtensions_ |= 2;
        return kCockosAnswer;
      }
      return 0;
    }
    case effGetTailSize: return 0;
    case effGetVstVersion: return kVstVersion2400;
    case effGetMidiKeyName: return 0;
    case effGetSpeakerArrangement:
      if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = &inputSpeakers_;
      if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = &outputSpeakers_;
      return 1;
    default: return 0;
  }
}

bool IPlugVST::wantsBank(VstInt32 index) {
  if (!vendorQueried_) {
    char vendor[256] = {};
    hostCall(audioMasterGetVendorString, 0, 0, vendor);
    vendor[sizeof vendor - 1] = '\0';
    programChunksOnly_ = isProgramChunksOnlyVendor(vendor);
    vendorQueried_ = true;
  }
  return index == 0 && !programChunksOnly_;
}

VstIntPtr IPlugVST::getChunk(void** data, bool isBank) {
  ByteChunk& chunk = isBank ? bankChunk_ : programChunk_;
  chunk.Clear();
  const bool ok = isBank ? plug_->serializeBankChunk(&chunk) : plug_->serializeProgramChunk(&chunk);
  if (!ok || chunk.Size() == 0) return 0;
  *data = chunk.GetBytes();
  return chunk.Size();
}

VstIntPtr IPlugVST::setChunk(const void* data, VstIntPtr size, bool isBank) {
  if (!data || size <= 0 || size > 0x7FFFFFFF) return 0;
  ByteChunk& chunk = isBank ? bankChunk_ : programChunk_;
  chunk.Clear();
  chunk.PutBytes(data, static_cast<int>(size));
  int pos = isBank ? plug_->unserializeBankChunk(&chunk) : plug_->unserializeProgramChunk(&chunk);
  if (programChunksOnly_ && pos != chunk.Size()) {
    // These hosts may hand back a bank under the program index: read it again as one.
    bankChunk_.Clear();
    bankChunk_.PutBytes(data, static_cast<int>(size));
    int bankPos = 0;
    if (GetIPlugVerFromChunk(&bankChunk_, &bankPos) >= kIPlugVersion)
      pos = plug_->UnserializePresets(&bankChunk_, bankPos);
    if (pos < 0) return 0;
  } else if (pos < 0) {
    return 0;
  }
  // A restored program may name a sample file: reload it, as the bank path does.
  if (!isBank) plug_->PresetsChangedByHost();
  plug_->RedrawParamControls();
  return 1;
}

VstIntPtr IPlugVST::processEvents(const VstEvents* events) {
  if (!events) return 0;
  // The host allocates room for numEvents pointers behind the header, more than the
  // two the declaration shows: index them from the address of the first.
  const VstEvent* const* list = reinterpret_cast<const VstEvent* const*>(
      reinterpret_cast<const char*>(events) + offsetof(VstEvents, events));
  for (VstInt32 i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = list[i];
    if (!event) continue;
    if (event->type == kVstMidiType) {
      const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(event);
      IMidiMsg msg(midi->deltaFrames, static_cast<uint8_t>(midi->midiData[0]),
                   static_cast<uint8_t>(midi->midiData[1]),
                   static_cast<uint8_t>(midi->midiData[2]));
      plug_->ProcessMidiMsg(&msg);
    } else if (event->type == kVstSysExType) {
      const VstMidiSysexEvent* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
      ISysEx msg(sysex->deltaFrames, reinterpret_cast<const uint8_t*>(sysex->sysexDump),
                 sysex->sysexDump ? std::max(sysex->dumpBytes, 0) : 0);
      plug_->ProcessSysEx(&msg);
    }
  }
  return 1;
}

// A null text asks whether the parameter takes texts at all. A text that names no
// value answers 0 and changes nothing.
VstIntPtr IPlugVST::string2Parameter(int paramIdx, const char* text) {
  if (!text) return 1;
  double value = 0.0;
  if (!paramtext::toValue(*plug_->GetParam(paramIdx), text, &value)) return 0;
  plug_->SetParameterValueFromHost(paramIdx, value);
  return 1;
}

VstIntPtr IPlugVST::pinProperties(VstPinProperties* properties, int index, bool input) {
  const int nChannels = input ? plug_->NInChannels() : plug_->NOutChannels();
  if (!properties || index < 0 || index >= nChannels) return 0;
  const bool startsPair = index % 2 == 0 && index + 1 < nChannels;
  properties->flags = kVstPinIsActive | (startsPair ? kVstPinIsStereo : 0);
  const char* label = input ? plug_->GetInputLabel(index) : plug_->GetOutputLabel(index);
  if (label[0])
    copyText(properties->label, label, sizeof properties->label);
  else
    std::snprintf(properties->label, sizeof properties->label, "%s %d", input ? "Input" : "Output",
                  index + 1);
  return 1;
}

void IPlugVST::setSpeakerArrangement(const VstSpeakerArrangement* arrangement, bool input) {
  if (!arrangement) return;
  const int nChannels = input ? plug_->NInChannels() : plug_->NOutChannels();
  const int connected = std::min(std::max(arrangement->numChannels, 0), nChannels);
  if (input) {
    plug_->SetInputChannelConnections(0, connected, true);
    plug_->SetInputChannelConnections(connected, nChannels - connected, false);
  } else {
    plug_->SetOutputChannelConnections(0, connected, true);
    plug_->SetOutputChannelConnections(connected, nChannels - connected, false);
  }
}
