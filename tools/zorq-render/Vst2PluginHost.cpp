#include "zorq-render/Vst2PluginHost.h"

#include <dlfcn.h>

#include <cstring>

#include "zorq-render/RenderError.h"

namespace {

// Text buffers handed to the plug-in: far above the nominal limits, because many
// plug-ins write longer names than the interface allows.
constexpr size_t kTextBufferSize = 512;

// The host whose plug-in is being created; the plug-in may call back before its
// record (and so our back pointer in AEffect::user) exists.
thread_local Vst2PluginHost* hostUnderConstruction = nullptr;

const char* const kHostCanDo[] = {"sendVstEvents",    "sendVstMidiEvent",    "sendVstTimeInfo",
                                  "receiveVstEvents", "receiveVstMidiEvent", "offline"};

}  // namespace

Vst2PluginHost::Vst2PluginHost(const std::string& path) {
  library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library_) {
    const char* reason = dlerror();
    throw RenderError("cannot load plug-in '" + path + "': " + (reason ? reason : "unknown error"));
  }
  auto entry = reinterpret_cast<VstPluginEntryProc>(dlsym(library_, "VSTPluginMain"));
  if (!entry) entry = reinterpret_cast<VstPluginEntryProc>(dlsym(library_, "main"));
  if (!entry) {
    dlclose(library_);
    throw RenderError("'" + path + "' is not a VST 2 plug-in (no VSTPluginMain)");
  }
  hostUnderConstruction = this;
  effect_ = entry(&Vst2PluginHost::hostCallback);
  hostUnderConstruction = nullptr;
  if (!effect_ || effect_->magic != kVstEffectMagic || !effect_->dispatcher) {
    dlclose(library_);
    throw RenderError("plug-in '" + path + "' failed to start");
  }
  effect_->user = this;
  dispatch(effOpen);
  checkUsable("plug-in '" + path + "'");
}

Vst2PluginHost::Vst2PluginHost(AEffect* effect) : effect_(effect) {
  if (!effect_ || effect_->magic != kVstEffectMagic || !effect_->dispatcher)
    throw RenderError("the plug-in failed to start");
  effect_->user = this;
  dispatch(effOpen);
  checkUsable("the plug-in");
}

void Vst2PluginHost::checkUsable(const std::string& name) {
  const char* unusable = nullptr;
  if (effect_->numOutputs < 1 || (!effect_->processReplacing && !effect_->process))
    unusable = "has no audio output";
  else if (effect_->numInputs < 0 || effect_->numInputs > kMaxChannels ||
           effect_->numOutputs > kMaxChannels || effect_->numParams < 0 || effect_->numPrograms < 0)
    unusable = "declares impossible channel, parameter or program counts";
  if (!unusable) return;
  if (library_) {
    dispatch(effClose);
    dlclose(library_);
  }
  throw RenderError(name + " " + unusable);
}

Vst2PluginHost::~Vst2PluginHost() {
  if (started_) {
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
  }
  if (!library_) return;
  dispatch(effClose);
  dlclose(library_);
}

VstIntPtr Vst2PluginHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string Vst2PluginHost::textFromDispatcher(VstInt32 opcode, VstInt32 index) {
  char text[kTextBufferSize] = {};
  dispatch(opcode, index, 0, text);
  text[kTextBufferSize - 1] = '\0';
  return text;
}

std::string Vst2PluginHost::effectName() { return textFromDispatcher(effGetEffectName, 0); }
std::string Vst2PluginHost::paramName(int index) {
  return textFromDispatcher(effGetParamName, index);
}
std::string Vst2PluginHost::paramDisplay(int index) {
  return textFromDispatcher(effGetParamDisplay, index);
}
std::string Vst2PluginHost::paramLabel(int index) {
  return textFromDispatcher(effGetParamLabel, index);
}

std::string Vst2PluginHost::programName(int index) {
  return textFromDispatcher(effGetProgramNameIndexed, index);
}

int Vst2PluginHost::currentProgram() { return int(dispatch(effGetProgram)); }

std::string Vst2PluginHost::currentProgramName() {
  return textFromDispatcher(effGetProgramName, 0);
}

float Vst2PluginHost::getParameter(int index) {
  return effect_->getParameter ? effect_->getParameter(effect_, index) : 0.0f;
}

void Vst2PluginHost::setParameter(int index, float normalised) {
  if (effect_->setParameter) effect_->setParameter(effect_, index, normalised);
}

bool Vst2PluginHost::setParameterFromText(int index, const std::string& text) {
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\0');
  return dispatch(effString2Parameter, index, 0, copy.data()) != 0;
}

// Index 0 asks for the bank, 1 for the current program.
std::vector<uint8_t> Vst2PluginHost::chunk(bool bank) {
  void* data = nullptr;
  const VstIntPtr size = dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
  if (size <= 0 || size > 0x7FFFFFFF || !data) return {};
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

bool Vst2PluginHost::setChunk(bool bank, const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> copy(bytes);  // the plug-in may keep or modify it
  return dispatch(effSetChunk, bank ? 0 : 1, VstIntPtr(copy.size()), copy.data()) != 0;
}

void Vst2PluginHost::setProgram(int index) { dispatch(effSetProgram, 0, index); }

void Vst2PluginHost::setProgramName(const std::string& name) {
  char text[kTextBufferSize] = {};
  std::strncpy(text, name.c_str(), kTextBufferSize - 1);
  dispatch(effSetProgramName, 0, 0, text);
}

void Vst2PluginHost::start(double sampleRate, int blockSize) {
  sampleRate_ = sampleRate;
  blockSize_ = blockSize;
  timeInfo_.sampleRate = sampleRate;
  dispatch(effSetSampleRate, 0, 0, nullptr, float(sampleRate));
  dispatch(effSetBlockSize, 0, blockSize);
  dispatch(effMainsChanged, 0, 1);
  dispatch(effStartProcess);
  started_ = true;
}

void Vst2PluginHost::sendEvents(const std::vector<HostMidiEvent>& events) {
  if (events.empty()) return;
  events_.assign(events.size(), VstMidiEvent{});
  for (size_t i = 0; i < events.size(); ++i) {
    VstMidiEvent& midi = events_[i];
    midi.type = kVstMidiType;
    midi.byteSize = sizeof(VstMidiEvent);
    midi.deltaFrames = VstInt32(events[i].frame);
    midi.midiData[0] = char(events[i].status);
    midi.midiData[1] = char(events[i].data1);
    midi.midiData[2] = char(events[i].data2);
  }
  // VstEvents is declared with two pointer slots; room for all of them follows.
  const size_t slots = events_.size() > 2 ? events_.size() : 2;
  eventStorage_.assign(offsetof(VstEvents, events) + slots * sizeof(VstEvent*), 0);
  auto* list = reinterpret_cast<VstEvents*>(eventStorage_.data());
  list->numEvents = VstInt32(events_.size());
  // Indexed from the first slot's address: the declared array holds only two.
  auto* pointers = reinterpret_cast<VstEvent**>(eventStorage_.data() + offsetof(VstEvents, events));
  for (size_t i = 0; i < events_.size(); ++i)
    pointers[i] = reinterpret_cast<VstEvent*>(&events_[i]);
  dispatch(effProcessEvents, 0, 0, list);
}

void Vst2PluginHost::process(float** inputs, float** outputs, int frames) {
  for (int c = 0; c < effect_->numOutputs; ++c) std::memset(outputs[c], 0, sizeof(float) * frames);
  if (effect_->processReplacing) {
    effect_->processReplacing(effect_, inputs, outputs, frames);
  } else {
    effect_->process(effect_, inputs, outputs, frames);  // accumulates into the zeroed outputs
  }
}

void Vst2PluginHost::setTransport(double samplePosition, double beatsPerMinute,
                                  double beatPosition) {
  timeInfo_.samplePos = samplePosition;
  timeInfo_.tempo = beatsPerMinute;
  timeInfo_.ppqPos = beatPosition;
  timeInfo_.timeSigNumerator = 4;
  timeInfo_.timeSigDenominator = 4;
  timeInfo_.barStartPos = 4.0 * int(beatPosition / 4.0);
  timeInfo_.flags =
      kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
}

VstIntPtr Vst2PluginHost::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                       VstIntPtr value, void* ptr, float opt) {
  // Called from plug-in code: nothing may escape as an exception.
  try {
    Vst2PluginHost* host =
        effect && effect->user ? static_cast<Vst2PluginHost*>(effect->user) : hostUnderConstruction;
    if (opcode == audioMasterVersion) return kVstVersion2400;
    return host ? host->answer(opcode, index, value, ptr, opt) : 0;
  } catch (...) {
    return 0;
  }
}

VstIntPtr Vst2PluginHost::answer(VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
  switch (opcode) {
    case audioMasterGetTime: return started_ ? reinterpret_cast<VstIntPtr>(&timeInfo_) : 0;
    case audioMasterProcessEvents:  // MIDI from the plug-in is accepted and dropped
      return 1;
    case audioMasterGetSampleRate: return VstIntPtr(sampleRate_);
    case audioMasterGetBlockSize: return blockSize_;
    case audioMasterGetCurrentProcessLevel: return kVstProcessLevelOffline;
    case audioMasterGetVendorString:
      if (ptr) std::strcpy(static_cast<char*>(ptr), kVendorString);
      return ptr ? 1 : 0;
    case audioMasterGetProductString:
      if (ptr) std::strcpy(static_cast<char*>(ptr), kProductString);
      return ptr ? 1 : 0;
    case audioMasterGetVendorVersion: return 1;
    case audioMasterCanDo:
      if (!ptr) return 0;
      for (const char* question : kHostCanDo)
        if (std::strcmp(static_cast<const char*>(ptr), question) == 0) return 1;
      return 0;
    default:  // automation, edits, display updates, I/O changes: nothing to do offline
      return 0;
  }
}
