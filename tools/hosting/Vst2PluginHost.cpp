#include "hosting/Vst2PluginHost.h"

#include <algorithm>
#include <cstring>

#include "hosting/HostError.h"
#include "hosting/HostObserver.h"
#include "hosting/SharedLibrary.h"

namespace {

// Text buffers handed to the plug-in: far above the nominal limits, because many
// plug-ins write longer names than the interface allows.
constexpr size_t kTextBufferSize = 512;
constexpr size_t kReservedEvents = 512;

// The host whose plug-in is being created; the plug-in may call back before its
// record (and so our back pointer in AEffect::user) exists.
thread_local Vst2PluginHost* hostUnderConstruction = nullptr;

const char* const kHostCanDo[] = {"sendVstEvents",    "sendVstMidiEvent",    "sendVstTimeInfo",
                                  "receiveVstEvents", "receiveVstMidiEvent", "offline"};

void copyText(void* to, const std::string& text) {
  std::snprintf(static_cast<char*>(to), 64, "%s", text.c_str());
}

}  // namespace

Vst2PluginHost::Vst2PluginHost(const std::string& path, const HostSetup& setup)
    : setup_(setup), library_(std::make_unique<SharedLibrary>(path)) {
  auto entry = reinterpret_cast<VstPluginEntryProc>(library_->symbol("VSTPluginMain"));
  if (!entry) entry = reinterpret_cast<VstPluginEntryProc>(library_->symbol("main"));
  if (!entry) throw HostError("'" + path + "' is not a VST 2 plug-in (no VSTPluginMain)");
  hostUnderConstruction = this;
  effect_ = entry(&Vst2PluginHost::hostCallback);
  hostUnderConstruction = nullptr;
  if (!effect_ || effect_->magic != kVstEffectMagic || !effect_->dispatcher)
    throw HostError("plug-in '" + path + "' failed to start");
  effect_->user = this;
  dispatch(effOpen);
  checkUsable("plug-in '" + path + "'");
}

Vst2PluginHost::Vst2PluginHost(AEffect* effect, const HostSetup& setup)
    : setup_(setup), effect_(effect) {
  if (!effect_ || effect_->magic != kVstEffectMagic || !effect_->dispatcher)
    throw HostError("the plug-in failed to start");
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
  if (library_) dispatch(effClose);
  throw HostError(name + " " + unusable);
}

Vst2PluginHost::~Vst2PluginHost() {
  stop();
  if (library_) dispatch(effClose);
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
  stop();
  sampleRate_ = sampleRate;
  blockSize_ = blockSize;
  timeInfo_.sampleRate = sampleRate;
  silence_.assign(size_t(std::max(blockSize, 1)), 0.0f);
  inputs_.assign(size_t(std::max(effect_->numInputs, 0)), nullptr);
  // Room for the events of a busy block, so that sending them allocates nothing.
  events_.reserve(kReservedEvents);
  // VstEvents ends in an array of pointers to the events.
  eventStorage_.reserve(offsetof(VstEvents, events) +
                        kReservedEvents * sizeof(VstEvent*));  // NOLINT(bugprone-sizeof-expression)
  dispatch(effSetSampleRate, 0, 0, nullptr, float(sampleRate));
  dispatch(effSetBlockSize, 0, blockSize);
  dispatch(effMainsChanged, 0, 1);
  dispatch(effStartProcess);
  started_ = true;
}

void Vst2PluginHost::stop() {
  if (!started_) return;
  dispatch(effStopProcess);
  dispatch(effMainsChanged, 0, 0);
  started_ = false;
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
  const size_t slots = std::max<size_t>(events_.size(), 2);
  // NOLINTNEXTLINE(bugprone-sizeof-expression): the slots hold pointers
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
  if (size_t(frames) > silence_.size()) silence_.assign(size_t(frames), 0.0f);
  if (inputs_.size() != size_t(std::max(effect_->numInputs, 0)))
    inputs_.assign(size_t(std::max(effect_->numInputs, 0)), nullptr);
  for (size_t c = 0; c < inputs_.size(); ++c) inputs_[c] = inputs[c] ? inputs[c] : silence_.data();
  if (effect_->processReplacing) {
    effect_->processReplacing(effect_, inputs_.data(), outputs, frames);
  } else {  // accumulates into the outputs
    for (int c = 0; c < effect_->numOutputs; ++c) std::fill(outputs[c], outputs[c] + frames, 0.0f);
    effect_->process(effect_, inputs_.data(), outputs, frames);
  }
}

void Vst2PluginHost::processDouble(double** inputs, double** outputs, int frames) {
  if (effect_->processDoubleReplacing)
    effect_->processDoubleReplacing(effect_, inputs, outputs, frames);
}

void Vst2PluginHost::idle() { dispatch(effIdle); }

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

void Vst2PluginHost::reportMidiOut(const VstEvents* events) {
  if (!events || !setup_.observer) return;
  // Indexed from the first slot's address: the list may be longer than declared.
  const VstEvent* const* list = events->events;
  for (VstInt32 i = 0; i < events->numEvents; ++i) {
    if (!list[i] || list[i]->type != kVstMidiType) continue;
    const auto* midi = reinterpret_cast<const VstMidiEvent*>(list[i]);
    uint8_t bytes[3];
    std::memcpy(bytes, midi->midiData, 3);
    setup_.observer->midiOut(midi->deltaFrames, bytes, 3);
  }
}

VstIntPtr Vst2PluginHost::answer(VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr, float opt) {
  HostObserver* observer = setup_.observer;
  switch (opcode) {
    case audioMasterAutomate:
      if (observer) observer->parameterChanged(index, opt, true);
      return 0;
    case audioMasterBeginEdit:
      if (observer) observer->gestureBegan(index);
      return 0;
    case audioMasterEndEdit:
      if (observer) observer->gestureEnded(index);
      return 0;
    case audioMasterUpdateDisplay:
      if (observer) observer->rescanRequested();
      return 1;
    case audioMasterGetTime: return started_ ? reinterpret_cast<VstIntPtr>(&timeInfo_) : 0;
    case audioMasterProcessEvents: reportMidiOut(static_cast<const VstEvents*>(ptr)); return 1;
    case audioMasterGetSampleRate: return VstIntPtr(sampleRate_);
    case audioMasterGetBlockSize: return blockSize_;
    case audioMasterGetCurrentProcessLevel: return kVstProcessLevelOffline;
    case audioMasterGetVendorString:
      if (ptr) copyText(ptr, setup_.vendor);
      return ptr ? 1 : 0;
    case audioMasterGetProductString:
      if (ptr) copyText(ptr, setup_.name);
      return ptr ? 1 : 0;
    case audioMasterGetVendorVersion: return setup_.version;
    case audioMasterCanDo:
      if (!ptr) return 0;
      for (const char* question : kHostCanDo)
        if (std::strcmp(static_cast<const char*>(ptr), question) == 0) return 1;
      return 0;
    default:  // window sizes and I/O changes: nothing to do here
      return 0;
  }
}
