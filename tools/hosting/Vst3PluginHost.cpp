#include "hosting/Vst3PluginHost.h"

#ifndef _WIN32
#include <sys/utsname.h>
#endif

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "formats/vst3/Vst3Text.h"
#include "hosting/HostError.h"
#include "hosting/HostObserver.h"
#include "hosting/SharedLibrary.h"
#include "hosting/Text.h"
#include "system/Files.h"

namespace {
#ifdef _WIN32
constexpr const char* kWindowType = vst3::kPlatformTypeHWND;
#else
constexpr const char* kWindowType = vst3::kPlatformTypeX11EmbedWindowID;
#endif
constexpr uint8_t kNoteOff = 0x80, kNoteOn = 0x90, kControlChange = 0xB0, kProgramChange = 0xC0,
                  kChannelPressure = 0xD0, kPitchWheel = 0xE0;

template <typename Interface>
Interface* query(vst3::FUnknown* object) {
  void* found = nullptr;
  if (!object || object->queryInterface(Interface::iid.bytes, &found) != vst3::kResultOk)
    return nullptr;
  return static_cast<Interface*>(found);
}

std::string utf8(const vst3::char16* text) { return vst3text::toUtf8(text, 128); }

int channelsOf(vst3::IComponent* component, vst3::BusDirection dir, vst3::int32 bus) {
  vst3::BusInfo info{};
  if (bus >= component->getBusCount(vst3::kAudio, dir) ||
      component->getBusInfo(vst3::kAudio, dir, bus, info) != vst3::kResultOk)
    return 0;
  return std::min(std::max(info.channelCount, 0), 2);
}

void setChannels(vst3::AudioBusBuffers& bus, float** channels) { bus.channelBuffers32 = channels; }
void setChannels(vst3::AudioBusBuffers& bus, double** channels) { bus.channelBuffers64 = channels; }

// 'zorq' from "ZORQ": the class name's first four letters in lower case.
int32_t fileId(const std::string& name) {
  uint32_t id = 0;
  for (size_t i = 0; i < 4; ++i)
    id = (id << 8) |
         uint8_t(i < name.size() ? std::tolower(static_cast<unsigned char>(name[i])) : ' ');
  return static_cast<int32_t>(id);
}
}  // namespace

bool Vst3Module::isBundle(const std::string& path) {
  FileStatus status;
  const std::string suffix = ".vst3";
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  return trimmed.size() > suffix.size() &&
         trimmed.compare(trimmed.size() - suffix.size(), suffix.size(), suffix) == 0 &&
         statusOf(trimmed, &status) && status.isFolder;
}

// Contents/<machine>-linux/<stem>.so on Linux, Contents/x86_64-win/<stem>.vst3 on Windows.
std::string Vst3Module::binaryOf(const std::string& bundle) {
  std::string folder = bundle;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  const size_t slash = folder.find_last_of('/');
  const std::string stem =
      folder.substr(slash == std::string::npos ? 0 : slash + 1,
                    folder.size() - (slash == std::string::npos ? 0 : slash + 1) - 5);
#ifdef _WIN32
  return folder + "/Contents/x86_64-win/" + stem + ".vst3";
#else
  utsname machine{};
  uname(&machine);
  return folder + "/Contents/" + machine.machine + "-linux/" + stem + ".so";
#endif
}

// Linux modules must be entered (ModuleEntry with the loader's handle); on Windows
// InitDll and ExitDll are called when the module has them.
Vst3Module::Vst3Module(const std::string& bundle)
    : library_(std::make_unique<SharedLibrary>(binaryOf(bundle))) {
#ifdef _WIN32
  auto initDll = reinterpret_cast<bool (*)()>(library_->symbol("InitDll"));
  exit_ = reinterpret_cast<bool (*)()>(library_->symbol("ExitDll"));
  const bool entered = !initDll || initDll();
#else
  auto entry = reinterpret_cast<bool (*)(void*)>(library_->symbol("ModuleEntry"));
  exit_ = reinterpret_cast<bool (*)()>(library_->symbol("ModuleExit"));
  const bool entered = entry && exit_ && entry(nullptr);
#endif
  auto getFactory = reinterpret_cast<vst3::GetFactoryProc>(library_->symbol("GetPluginFactory"));
  if (!getFactory || !entered) throw HostError("'" + bundle + "' is not a usable VST 3 module");
  factory_ = getFactory();
  if (!factory_) {
    if (exit_) exit_();
    throw HostError("'" + bundle + "' gives no plug-in factory");
  }
}

Vst3Module::~Vst3Module() {
  factory_->release();
  if (exit_) exit_();
}

Vst3PluginHost::Vst3PluginHost(const std::string& bundle, const HostSetup& setup)
    : setup_(setup),
      module_(std::make_shared<Vst3Module>(bundle)),
      frame_(setup.editorSupport != HostSetup::EditorSupport::kNever) {
  vst3::IPluginFactory* factory = module_->factory();
  for (vst3::int32 i = 0; i < factory->countClasses() && !component_; ++i) {
    vst3::PClassInfo info{};
    void* object = nullptr;
    if (factory->getClassInfo(i, &info) == vst3::kResultOk &&
        !std::strcmp(info.category, vst3::kVstAudioEffectClass) &&
        factory->createInstance(info.cid, vst3::IComponent::iid.bytes, &object) == vst3::kResultOk)
      component_ = static_cast<vst3::IComponent*>(object);
  }
  initialise("plug-in '" + bundle + "'");
}

Vst3PluginHost::Vst3PluginHost(vst3::IComponent* component, const HostSetup& setup)
    : setup_(setup),
      frame_(setup.editorSupport != HostSetup::EditorSupport::kNever),
      component_(component) {
  initialise("the plug-in");
}

Vst3PluginHost::~Vst3PluginHost() { close(); }

// The component, then its controller: the same object, or one of the class it names.
void Vst3PluginHost::initialise(const std::string& name) {
  application_.name = setup_.name;
  if (!component_ || component_->initialize(&application_) != vst3::kResultOk) {
    close();
    throw HostError(name + " failed to start");
  }
  processor_ = query<vst3::IAudioProcessor>(component_);
  controller_ = query<vst3::IEditController>(component_);
  vst3::TUID controllerClass{};
  void* object = nullptr;
  if (!controller_ && module_ &&
      component_->getControllerClassId(controllerClass) == vst3::kResultOk &&
      module_->factory()->createInstance(controllerClass, vst3::IEditController::iid.bytes,
                                         &object) == vst3::kResultOk) {
    controller_ = static_cast<vst3::IEditController*>(object);
    separateController_ = controller_->initialize(&application_) == vst3::kResultOk;
  }
  if (!processor_ || !controller_) {
    close();
    throw HostError(name + " has no processor or no controller");
  }
  handler_.onEdit = [this](const Vst3ComponentHandler::Edit& edit) {
    const int index = indexOf(edit.id);
    if (!setup_.observer || index < 0) return;
    if (edit.kind == 'b') setup_.observer->gestureBegan(index);
    if (edit.kind == 'e') setup_.observer->gestureEnded(index);
    if (edit.kind == 'p') {
      setValue(edit.id, edit.value);  // as hosts do: the processor hears it next block
      setup_.observer->parameterChanged(index, edit.value, true);
    }
  };
  handler_.onRestart = [this](vst3::int32 flags) {
    if (setup_.observer && (flags & vst3::kParamValuesChanged)) setup_.observer->rescanRequested();
  };
  controller_->setComponentHandler(&handler_);
  midiMapping_ = query<vst3::IMidiMapping>(controller_);
  vst3::PClassInfo info{};
  if (module_) {
    void* second = nullptr;
    for (vst3::int32 i = 0; i < module_->factory()->countClasses(); ++i) {
      if (module_->factory()->getClassInfo(i, &info) != vst3::kResultOk ||
          std::strcmp(info.category, vst3::kVstAudioEffectClass) != 0)
        continue;
      name_.assign(info.name, strnlen(info.name, sizeof info.name));
      vst3::PClassInfo2 info2{};
      if (module_->factory()->queryInterface(vst3::IPluginFactory2::iid.bytes, &second) ==
          vst3::kResultOk) {
        auto* factory2 = static_cast<vst3::IPluginFactory2*>(second);
        if (factory2->getClassInfo2(i, &info2) == vst3::kResultOk)
          version_ = decimalVersion(info2.version);
        factory2->release();
      }
      break;
    }
  }
  if (name_.empty()) name_ = "VST 3 plug-in";
  uniqueId_ = fileId(name_);
  readBuses();
  readParameters();
  readPrograms();
  if (numOutputs() < 1) {
    close();
    throw HostError(name + " has no usable audio output");
  }
}

// The main input and output and the first auxiliary input, each stereo at most; the
// auxiliary bus switched on (a side chain routed to it).
void Vst3PluginHost::readBuses() {
  inputChannels_[0] = channelsOf(component_, vst3::kInput, 0);
  inputChannels_[1] = channelsOf(component_, vst3::kInput, 1);
  outputChannels_ = channelsOf(component_, vst3::kOutput, 0);
  if (inputChannels_[1] > 0) component_->activateBus(vst3::kAudio, vst3::kInput, 1, true);
}

// Listed: what the user sees, neither hidden nor the program selector.
void Vst3PluginHost::readParameters() {
  for (vst3::int32 i = 0; i < controller_->getParameterCount(); ++i) {
    vst3::ParameterInfo info{};
    if (controller_->getParameterInfo(i, info) != vst3::kResultOk) continue;
    if (info.flags & vst3::kIsProgramChange) {
      programParam_ = info.id;
      programCount_ = info.stepCount + 1;
    } else if (!(info.flags & vst3::kIsHidden)) {
      params_.push_back(info);
    }
  }
}

// The program list of the program parameter's unit names the programs.
void Vst3PluginHost::readPrograms() {
  auto* units = query<vst3::IUnitInfo>(controller_);
  if (!units) return;
  vst3::UnitInfo unit{};
  for (vst3::int32 i = 0; i < units->getUnitCount(); ++i)
    if (units->getUnitInfo(i, unit) == vst3::kResultOk &&
        unit.programListId != vst3::kNoProgramListId)
      programList_ = unit.programListId;
  units->release();
}

void Vst3PluginHost::close() {
  closeEditor();
  if (component_) stop();
  if (controller_) {
    controller_->setComponentHandler(nullptr);
    if (separateController_) controller_->terminate();
    controller_->release();
  }
  if (midiMapping_) midiMapping_->release();
  if (processor_) processor_->release();
  if (component_) {
    component_->terminate();
    component_->release();
  }
  controller_ = nullptr;
  midiMapping_ = nullptr;
  processor_ = nullptr;
  component_ = nullptr;
  module_.reset();
}

vst3::ParamID Vst3PluginHost::paramId(int index) const {
  return index >= 0 && index < numParams() ? params_[size_t(index)].id : vst3::kNoParamId;
}

int Vst3PluginHost::indexOf(vst3::ParamID id) const {
  for (size_t i = 0; i < params_.size(); ++i)
    if (params_[i].id == id) return static_cast<int>(i);
  return -1;
}

std::string Vst3PluginHost::paramName(int index) {
  return index >= 0 && index < numParams() ? utf8(params_[size_t(index)].title) : "";
}

std::string Vst3PluginHost::paramDisplay(int index) {
  const vst3::ParamID id = paramId(index);
  vst3::String128 text{};
  if (id == vst3::kNoParamId ||
      controller_->getParamStringByValue(id, controller_->getParamNormalized(id), text) !=
          vst3::kResultOk)
    return "";
  return utf8(text);
}

// The unit, when the value's text does not already end with it.
std::string Vst3PluginHost::paramLabel(int index) {
  if (index < 0 || index >= numParams()) return "";
  const std::string units = utf8(params_[size_t(index)].units), shown = paramDisplay(index);
  const bool inText = !units.empty() && shown.size() >= units.size() &&
                      shown.compare(shown.size() - units.size(), units.size(), units) == 0;
  return inText ? "" : units;
}

std::string Vst3PluginHost::programName(int index) {
  auto* units = query<vst3::IUnitInfo>(controller_);
  vst3::String128 text{};
  const bool named = units && units->getProgramName(programList_, index, text) == vst3::kResultOk;
  if (units) units->release();
  return named ? utf8(text) : "";
}

int Vst3PluginHost::currentProgram() {
  if (programParam_ == vst3::kNoParamId || programCount_ < 2) return 0;
  return static_cast<int>(
      std::lround(controller_->getParamNormalized(programParam_) * (programCount_ - 1)));
}

float Vst3PluginHost::getParameter(int index) {
  const vst3::ParamID id = paramId(index);
  return id == vst3::kNoParamId ? 0.0f : static_cast<float>(controller_->getParamNormalized(id));
}

// On the steps of a stepped parameter: index / stepCount.
void Vst3PluginHost::setParameter(int index, float normalised) {
  if (index < 0 || index >= numParams() || !std::isfinite(normalised)) return;
  const vst3::ParameterInfo& info = params_[size_t(index)];
  double value = std::clamp(double(normalised), 0.0, 1.0);
  if (info.stepCount > 0) value = std::round(value * info.stepCount) / info.stepCount;
  setValue(info.id, value);
}

bool Vst3PluginHost::setParameterFromText(int index, const std::string& text) {
  const vst3::ParamID id = paramId(index);
  vst3::String128 wide{};
  vst3::ParamValue value = 0.0;
  vst3text::toUtf16(text.c_str(), wide, 128);
  if (id == vst3::kNoParamId ||
      controller_->getParamValueByString(id, wide, value) != vst3::kResultOk)
    return false;
  setValue(id, value);
  return true;
}

void Vst3PluginHost::setProgram(int index) {
  if (programParam_ == vst3::kNoParamId || index < 0 || index >= programCount_) return;
  setValue(programParam_, programCount_ > 1 ? double(index) / (programCount_ - 1) : 0.0);
}

void Vst3PluginHost::setValue(vst3::ParamID id, double normalised, int frame) {
  controller_->setParamNormalized(id, normalised);
  changes_.add(id, frame, normalised);
  if (!processing_) flush();
}

std::vector<uint8_t> Vst3PluginHost::saveState(size_t piece) {
  Vst3MemoryStream stream({}, piece);
  if (component_->getState(&stream) != vst3::kResultOk) return {};
  return stream.bytes;
}

bool Vst3PluginHost::loadState(const std::vector<uint8_t>& bytes, size_t piece) {
  Vst3MemoryStream stream(bytes, piece);
  if (component_->setState(&stream) != vst3::kResultOk) return false;
  Vst3MemoryStream again(bytes, piece);
  return controller_->setComponentState(&again) == vst3::kResultOk;
}

std::vector<uint8_t> Vst3PluginHost::chunk(bool bank) {
  return bank ? saveState() : std::vector<uint8_t>();
}

bool Vst3PluginHost::setChunk(bool, const std::vector<uint8_t>& bytes) { return loadState(bytes); }

void Vst3PluginHost::start(double sampleRate, int blockSize) {
  start(sampleRate, blockSize, false);
}

void Vst3PluginHost::start(double sampleRate, int blockSize, bool wide) {
  stop();
  sampleRate_ = sampleRate;
  wide_ = wide;
  vst3::ProcessSetup setup{0, wide ? vst3::kSample64 : vst3::kSample32, std::max(blockSize, 1),
                           sampleRate};
  if (processor_->setupProcessing(setup) != vst3::kResultOk ||
      component_->setActive(true) != vst3::kResultOk)
    throw HostError("the plug-in refused to start at " + std::to_string(long(sampleRate)) + " Hz");
  active_ = true;
  processor_->setProcessing(true);
  processing_ = true;
}

void Vst3PluginHost::stop() {
  if (processing_) processor_->setProcessing(false);
  if (active_) component_->setActive(false);
  active_ = processing_ = false;
}

// Notes go as note events (a note-on of velocity 0 being MIDI's note-off); controllers,
// pitch bend and channel pressure as points of the parameters the MIDI mapping names;
// a program change as a point of the program parameter.
void Vst3PluginHost::sendEvents(const std::vector<HostMidiEvent>& events) {
  for (const HostMidiEvent& e : events) {
    const int kind = e.status & 0xF0, channel = e.status & 0x0F;
    const int frame = std::max(e.frame, 0);
    vst3::ParamID id = vst3::kNoParamId;
    const auto mapped = [&](vst3::CtrlNumber controller) {
      return midiMapping_ &&
             midiMapping_->getMidiControllerAssignment(0, static_cast<vst3::int16>(channel),
                                                       controller, id) == vst3::kResultTrue;
    };
    if (kind == kNoteOn || kind == kNoteOff) {
      events_.note(kind == kNoteOn && e.data2 > 0, frame, e.data1, e.data2 / 127.0f, channel);
    } else if (kind == kControlChange && mapped(e.data1)) {
      changes_.add(id, frame, e.data2 / 127.0);
    } else if (kind == kChannelPressure && mapped(vst3::kAfterTouch)) {
      changes_.add(id, frame, e.data1 / 127.0);
    } else if (kind == kPitchWheel && mapped(vst3::kPitchBend)) {
      changes_.add(id, frame, (e.data1 | e.data2 << 7) / 16383.0);
    } else if (kind == kProgramChange && e.data1 < programCount_) {
      changes_.add(programParam_, frame,
                   programCount_ > 1 ? e.data1 / double(programCount_ - 1) : 0);
    }
  }
}

void Vst3PluginHost::setTransport(double samplePosition, double beatsPerMinute,
                                  double beatPosition) {
  context_ = vst3::ProcessContext{};
  context_.state = vst3::kPlaying | vst3::kProjectTimeMusicValid | vst3::kTempoValid;
  context_.sampleRate = sampleRate_;
  context_.projectTimeSamples = static_cast<vst3::TSamples>(samplePosition);
  context_.projectTimeMusic = beatPosition;
  context_.tempo = beatsPerMinute;
  transport_ = true;
}

void Vst3PluginHost::process(float** inputs, float** outputs, int frames) {
  if (wide_) throw UsageError("the plug-in was started for 64-bit samples");
  run(inputs, outputs, frames);
}

void Vst3PluginHost::process(double** inputs, double** outputs, int frames) {
  if (!wide_) throw UsageError("the plug-in was started for 32-bit samples");
  run(inputs, outputs, frames);
}

template <typename Sample>
void Vst3PluginHost::run(Sample** inputs, Sample** outputs, int frames) {
  Sample* in[4] = {};
  for (int c = 0; c < numInputs(); ++c) in[c] = inputs[c];
  vst3::AudioBusBuffers buses[2]{}, out{};
  for (int bus = 0, first = 0; bus < 2; first += inputChannels_[bus++]) {
    const bool given = inputChannels_[bus] > 0 && in[first] && in[first + inputChannels_[bus] - 1];
    buses[bus].numChannels = given ? inputChannels_[bus] : 0;
    setChannels(buses[bus], in + first);
  }
  out.numChannels = outputChannels_;
  setChannels(out, outputs);
  vst3::ProcessData data{};
  data.symbolicSampleSize = wide_ ? vst3::kSample64 : vst3::kSample32;
  data.numSamples = std::max(frames, 0);
  data.numInputs = inputChannels_[1] > 0 ? 2 : 1;
  data.numOutputs = 1;
  data.inputs = buses;
  data.outputs = &out;
  data.inputParameterChanges = &changes_;
  data.outputParameterChanges = &reported_;
  data.inputEvents = &events_;
  data.processContext = transport_ ? &context_ : nullptr;
  reported_.clear();
  const vst3::tresult result = processor_->process(data);
  changes_.clear();
  events_.events.clear();
  report();
  if (result != vst3::kResultOk) throw HostError("the plug-in failed to process a block");
}

void Vst3PluginHost::flush() {
  vst3::ProcessData data{};
  data.symbolicSampleSize = wide_ ? vst3::kSample64 : vst3::kSample32;
  data.inputParameterChanges = &changes_;
  data.outputParameterChanges = &reported_;
  reported_.clear();
  processor_->process(data);
  changes_.clear();
  report();
}

// What the plug-in moved itself reaches the controller, as hosts pass it on.
void Vst3PluginHost::report() {
  for (vst3::int32 q = 0; q < reported_.getParameterCount(); ++q) {
    vst3::IParamValueQueue* queue = reported_.getParameterData(q);
    vst3::int32 offset = 0;
    vst3::ParamValue value = 0.0;
    if (!queue || queue->getPoint(queue->getPointCount() - 1, offset, value) != vst3::kResultOk)
      continue;
    controller_->setParamNormalized(queue->getParameterId(), value);
    const int index = indexOf(queue->getParameterId());
    if (setup_.observer && index >= 0) setup_.observer->parameterChanged(index, value, false);
  }
}

void Vst3PluginHost::idle() {}

vst3::IPlugView* Vst3PluginHost::createEditor(float scale) {
  closeEditor();
  view_ = controller_->createView(vst3::kEditorViewName);
  if (!view_) return nullptr;
  if (view_->isPlatformTypeSupported(kWindowType) != vst3::kResultTrue) {
    closeEditor();
    return nullptr;
  }
  view_->setFrame(&frame_);
  if (auto* scaling = query<vst3::IPlugViewContentScaleSupport>(view_)) {
    scaling->setContentScaleFactor(scale);
    scaling->release();
  }
  return view_;
}

vst3::ViewRect Vst3PluginHost::editorSize() const {
  vst3::ViewRect size{};
  if (view_) view_->getSize(&size);
  return size;
}

bool Vst3PluginHost::attachEditor(void* parent) {
  return view_ && view_->attached(parent, kWindowType) == vst3::kResultOk;
}

void Vst3PluginHost::closeEditor() {
  if (!view_) return;
  view_->removed();
  view_->setFrame(nullptr);
  view_->release();
  view_ = nullptr;
}
