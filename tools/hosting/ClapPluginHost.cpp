#include "hosting/ClapPluginHost.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "hosting/HostError.h"
#include "hosting/HostObserver.h"
#include "hosting/SharedLibrary.h"
#include "hosting/Text.h"

namespace {
constexpr size_t kTextBufferSize = 512;

// 'zorq' from "com.zandervoltmusic.zorq": the last part's first four characters.
int32_t fileId(const char* pluginId) {
  const char* last = std::strrchr(pluginId, '.');
  last = last ? last + 1 : pluginId;
  uint32_t id = 0;
  for (int i = 0; i < 4; ++i) id = (id << 8) | static_cast<uint8_t>(*last ? *last++ : ' ');
  return static_cast<int32_t>(id);
}

std::vector<uint32_t> portChannels(const clap_plugin_t* plugin, bool input) {
  const auto* ports = static_cast<const clap_plugin_audio_ports_t*>(
      plugin->get_extension(plugin, kClapExtAudioPorts));
  std::vector<uint32_t> channels;
  const uint32_t count = ports ? ports->count(plugin, input) : 0;
  for (uint32_t i = 0; i < count; ++i) {
    clap_audio_port_info_t info{};
    channels.push_back(ports->get(plugin, i, input, &info) ? info.channel_count : 0);
  }
  return channels;
}

// A byte vector read or written as a CLAP stream, at most `piece` bytes per call.
struct ByteStream {
  std::vector<uint8_t>* target;
  const std::vector<uint8_t>* source;
  size_t position;
  size_t piece;
};

const clap_host_latency_t kHostLatency = {[](const clap_host_t*) {}};
const clap_host_state_t kHostState = {[](const clap_host_t*) {}};
const clap_host_gui_t kHostGui = {
    [](const clap_host_t*) {},
    [](const clap_host_t*, uint32_t, uint32_t) { return true; },
    [](const clap_host_t*) { return true; },
    [](const clap_host_t*) { return true; },
    [](const clap_host_t*, bool) {},
};
}  // namespace

ClapLibrary::ClapLibrary(const std::string& path)
    : library_(std::make_unique<SharedLibrary>(path)) {
  const auto* entry = static_cast<const clap_plugin_entry_t*>(library_->symbol("clap_entry"));
  if (!entry || entry->clap_version.major < 1 || !entry->init(path.c_str()))
    throw HostError("'" + path + "' is not a usable CLAP plug-in");
  entry_ = entry;
}

ClapLibrary::~ClapLibrary() { entry_->deinit(); }

const std::string& ClapLibrary::path() const { return library_->path(); }

const clap_plugin_factory_t* ClapLibrary::factory() const {
  return static_cast<const clap_plugin_factory_t*>(entry_->get_factory(kClapPluginFactoryId));
}

const clap_plugin_descriptor_t* ClapLibrary::descriptor() const {
  const clap_plugin_factory_t* f = factory();
  return f && f->get_plugin_count(f) > 0 ? f->get_plugin_descriptor(f, 0) : nullptr;
}

ClapPluginHost::ClapPluginHost(const std::string& path, const HostSetup& setup)
    : ClapPluginHost(std::make_shared<ClapLibrary>(path), "", setup) {}

ClapPluginHost::ClapPluginHost(std::shared_ptr<ClapLibrary> library, const std::string& id,
                               const HostSetup& setup)
    : setup_(setup), library_(std::move(library)) {
  setUpHost();
  const clap_plugin_factory_t* factory = library_->factory();
  const clap_plugin_descriptor_t* first = library_->descriptor();
  const std::string wanted = id.empty() && first && first->id ? first->id : id;
  initialise(factory ? factory->create_plugin(factory, &host_, wanted.c_str()) : nullptr,
             "plug-in '" + library_->path() + "'");
}

ClapPluginHost::ClapPluginHost(const Maker& make, const HostSetup& setup) : setup_(setup) {
  setUpHost();
  initialise(make(&host_), "the plug-in");
}

void ClapPluginHost::setUpHost() {
  host_.clap_version = {kClapVersionMajor, kClapVersionMinor, kClapVersionRevision};
  host_.host_data = this;
  host_.name = setup_.name.c_str();
  host_.vendor = setup_.vendor.c_str();
  host_.url = "";
  host_.version = "1";
  host_.get_extension = &ClapPluginHost::hostExtension;
  host_.request_restart = [](const clap_host_t*) {};
  host_.request_process = [](const clap_host_t*) {};
  host_.request_callback = [](const clap_host_t* h) { of(h).callbackWanted_ = true; };
}

void ClapPluginHost::initialise(const clap_plugin_t* plugin, const std::string& name) {
  plugin_ = plugin;
  initialising_ = true;
  const bool initialised = plugin_ && plugin_->init(plugin_);
  initialising_ = false;
  if (!initialised) {
    close();
    throw HostError(name + " failed to start");
  }
  const char* id = plugin_->desc && plugin_->desc->id ? plugin_->desc->id : "";
  uniqueId_ = fileId(id);
  version_ = decimalVersion(plugin_->desc ? plugin_->desc->version : nullptr);
  paramsExtension_ = extension<clap_plugin_params_t>(kClapExtParams);
  state_ = extension<clap_plugin_state_t>(kClapExtState);
  for (uint32_t i = 0, n = paramsExtension_ ? paramsExtension_->count(plugin_) : 0; i < n; ++i) {
    clap_param_info_t info{};
    if (paramsExtension_->get_info(plugin_, i, &info)) params_.push_back(info);
  }
  inputPorts_ = portChannels(plugin_, true);
  outputPorts_ = portChannels(plugin_, false);
  inputBuffers_.resize(inputPorts_.size());
  events_.reserve(512);  // a busy block's events arrive without allocating
  flushEvents_.reserve(16);
  outputBuffers_.resize(outputPorts_.size());
  if (numOutputs() < 1 || numOutputs() > kMaxChannels || numInputs() > kMaxChannels) {
    close();
    throw HostError(name + " has no usable audio output");
  }
}

ClapPluginHost::~ClapPluginHost() { close(); }

void ClapPluginHost::close() {
  if (plugin_) {
    stop();
    plugin_->destroy(plugin_);
    plugin_ = nullptr;
  }
  library_.reset();
}

ClapPluginHost& ClapPluginHost::of(const clap_host_t* host) {
  return *static_cast<ClapPluginHost*>(host->host_data);
}

const void* ClapPluginHost::hostExtension(const clap_host_t* host, const char* id) {
  static const clap_host_params_t params = {
      [](const clap_host_t* h, uint32_t flags) {
        HostObserver* observer = of(h).setup_.observer;
        if (observer && (flags & (kClapParamRescanValues | kClapParamRescanAll)))
          observer->rescanRequested();
      },
      [](const clap_host_t*, clap_id, uint32_t) {},
      [](const clap_host_t* h) { of(h).flushWanted_ = true; },
  };
  static const clap_host_timer_support_t timerSupport = {
      [](const clap_host_t* h, uint32_t period, clap_id* timer) {
        ClapPluginHost& self = of(h);
        *timer = self.nextTimer_++;
        self.timers_[*timer] = period;
        if (self.setup_.observer) self.setup_.observer->timerRegistered(*timer, period);
        return true;
      },
      [](const clap_host_t* h, clap_id timer) {
        ClapPluginHost& self = of(h);
        if (self.timers_.erase(timer) != 1) return false;
        if (self.setup_.observer) self.setup_.observer->timerUnregistered(timer);
        return true;
      },
  };
  static const clap_host_posix_fd_support_t fdSupport = {
      [](const clap_host_t* h, int fd, uint32_t flags) {
        ClapPluginHost& self = of(h);
        if (!self.descriptors_.emplace(fd, flags).second) return false;
        if (self.setup_.observer) self.setup_.observer->descriptorWatched(fd, flags);
        return true;
      },
      [](const clap_host_t* h, int fd, uint32_t flags) {
        ClapPluginHost& self = of(h);
        auto found = self.descriptors_.find(fd);
        if (found == self.descriptors_.end()) return false;
        found->second = flags;
        if (self.setup_.observer) self.setup_.observer->descriptorWatched(fd, flags);
        return true;
      },
      [](const clap_host_t* h, int fd) {
        ClapPluginHost& self = of(h);
        if (self.descriptors_.erase(fd) != 1) return false;
        if (self.setup_.observer) self.setup_.observer->descriptorUnwatched(fd);
        return true;
      },
  };
  const ClapPluginHost& self = of(host);
  const HostSetup::EditorSupport support = self.setup_.editorSupport;
  if (self.initialising_ && support == HostSetup::EditorSupport::kAfterInit) return nullptr;
  const std::string wanted = id ? id : "";
  if (wanted == kClapExtParams) return &params;
  if (wanted == kClapExtLatency) return &kHostLatency;
  if (wanted == kClapExtState) return &kHostState;
  if (support == HostSetup::EditorSupport::kNever) return nullptr;
  if (wanted == kClapExtGui) return &kHostGui;
  if (wanted == kClapExtTimerSupport) return &timerSupport;
  if (wanted == kClapExtPosixFdSupport) return &fdSupport;
  return nullptr;
}

bool ClapPluginHost::received(const clap_output_events_t* list, const clap_event_header_t* event) {
  static_cast<ClapPluginHost*>(list->ctx)->report(event);
  return true;
}

// Audio or main thread: no allocation.
void ClapPluginHost::report(const clap_event_header_t* event) {
  HostObserver* observer = setup_.observer;
  if (!observer || event->space_id != kClapCoreEventSpaceId) return;
  switch (event->type) {
    case kClapEventParamValue: {
      const auto* change = reinterpret_cast<const clap_event_param_value_t*>(event);
      const int index = indexOf(change->param_id);
      const clap_param_info_t* param = info(index);
      if (!param) return;
      const double range = param->max_value - param->min_value;
      observer->parameterChanged(index, range > 0 ? (change->value - param->min_value) / range : 0,
                                 !(event->flags & kClapEventDontRecord));
      return;
    }
    case kClapEventParamGestureBegin:
    case kClapEventParamGestureEnd: {
      const int index =
          indexOf(reinterpret_cast<const clap_event_param_gesture_t*>(event)->param_id);
      if (index < 0) return;
      if (event->type == kClapEventParamGestureBegin)
        observer->gestureBegan(index);
      else
        observer->gestureEnded(index);
      return;
    }
    case kClapEventMidi: {
      const auto* midi = reinterpret_cast<const clap_event_midi_t*>(event);
      observer->midiOut(static_cast<int>(event->time), midi->data, 3);
      return;
    }
    default: return;
  }
}

int ClapPluginHost::indexOf(clap_id id) const {
  for (size_t i = 0; i < params_.size(); ++i)
    if (params_[i].id == id) return static_cast<int>(i);
  return -1;
}

int ClapPluginHost::channels(const std::vector<uint32_t>& ports) {
  uint64_t total = 0;
  for (uint32_t count : ports) total += count;
  return static_cast<int>(std::min<uint64_t>(total, kMaxChannels + 1));
}

std::string ClapPluginHost::effectName() {
  return plugin_->desc && plugin_->desc->name ? plugin_->desc->name : "";
}

const clap_param_info_t* ClapPluginHost::info(int index) const {
  return index >= 0 && index < numParams() ? &params_[size_t(index)] : nullptr;
}

double ClapPluginHost::value(int index) const {
  double result = 0.0;
  const clap_param_info_t* param = info(index);
  if (param) paramsExtension_->get_value(plugin_, param->id, &result);
  return result;
}

std::string ClapPluginHost::paramName(int index) {
  const clap_param_info_t* param = info(index);
  return param ? param->name : "";
}

std::string ClapPluginHost::paramDisplay(int index) {
  const clap_param_info_t* param = info(index);
  char text[kTextBufferSize] = {};
  if (!param ||
      !paramsExtension_->value_to_text(plugin_, param->id, value(index), text, sizeof text))
    return "";
  text[kTextBufferSize - 1] = '\0';
  return text;
}

float ClapPluginHost::getParameter(int index) {
  const clap_param_info_t* param = info(index);
  if (!param || !(param->max_value > param->min_value)) return 0.0f;
  return static_cast<float>((value(index) - param->min_value) /
                            (param->max_value - param->min_value));
}

void ClapPluginHost::setParameter(int index, float normalised) {
  const clap_param_info_t* param = info(index);
  if (!param || !std::isfinite(normalised)) return;
  double plain = param->min_value +
                 (param->max_value - param->min_value) * std::clamp(double(normalised), 0.0, 1.0);
  if (param->flags & kClapParamIsStepped) plain = std::round(plain);
  setValue(index, plain);
}

bool ClapPluginHost::setParameterFromText(int index, const std::string& text) {
  const clap_param_info_t* param = info(index);
  double plain = 0.0;
  if (!param || !paramsExtension_->text_to_value(plugin_, param->id, text.c_str(), &plain))
    return false;
  setValue(index, plain);
  return true;
}

void ClapPluginHost::setValue(int index, double plain) {
  const clap_param_info_t* param = info(index);
  if (!param) return;
  flushEvents_.clear();
  flushEvents_.param(0, param->id, plain);
  flush(&flushEvents_);
}

void ClapPluginHost::flush(ClapEventList* events) {
  if (!paramsExtension_) return;
  if (!events) {
    flushEvents_.clear();
    events = &flushEvents_;
  }
  const clap_output_events_t out{this, &ClapPluginHost::received};
  paramsExtension_->flush(plugin_, events->list(), &out);
}

std::vector<uint8_t> ClapPluginHost::saveState(size_t piece) const {
  std::vector<uint8_t> bytes;
  if (!state_) return bytes;
  ByteStream stream{&bytes, nullptr, 0, piece};
  const clap_ostream_t out{
      &stream, [](const clap_ostream_t* s, const void* data, uint64_t size) -> int64_t {
        auto* st = static_cast<ByteStream*>(s->ctx);
        const size_t n = static_cast<size_t>(std::min<uint64_t>(size, st->piece));
        st->target->insert(st->target->end(), static_cast<const uint8_t*>(data),
                           static_cast<const uint8_t*>(data) + n);
        return static_cast<int64_t>(n);
      }};
  if (!state_->save(plugin_, &out)) bytes.clear();
  return bytes;
}

bool ClapPluginHost::loadState(const std::vector<uint8_t>& bytes, size_t piece) const {
  if (!state_) return false;
  ByteStream stream{nullptr, &bytes, 0, piece};
  const clap_istream_t in{
      &stream, [](const clap_istream_t* s, void* data, uint64_t size) -> int64_t {
        auto* st = static_cast<ByteStream*>(s->ctx);
        const size_t n = static_cast<size_t>(
            std::min<uint64_t>({size, st->piece, st->source->size() - st->position}));
        if (n > 0) std::memcpy(data, st->source->data() + st->position, n);
        st->position += n;
        return static_cast<int64_t>(n);
      }};
  return state_->load(plugin_, &in);
}

std::vector<uint8_t> ClapPluginHost::chunk(bool bank) {
  return bank ? saveState() : std::vector<uint8_t>();
}

bool ClapPluginHost::setChunk(bool, const std::vector<uint8_t>& bytes) { return loadState(bytes); }

void ClapPluginHost::start(double sampleRate, int blockSize) {
  stop();
  sampleRate_ = sampleRate;
  if (!plugin_->activate(plugin_, sampleRate, 1, static_cast<uint32_t>(std::max(blockSize, 1))))
    throw HostError("the plug-in refused to start at " + std::to_string(long(sampleRate)) + " Hz");
  active_ = true;
  if (!plugin_->start_processing(plugin_)) throw HostError("the plug-in refused to process");
  processing_ = true;
}

void ClapPluginHost::stop() {
  if (processing_) plugin_->stop_processing(plugin_);
  if (active_) plugin_->deactivate(plugin_);
  active_ = processing_ = false;
}

// MIDI note-on and note-off become note events in the CLAP dialect (a note-on of
// velocity 0 being MIDI's note-off); everything else goes as MIDI.
void ClapPluginHost::sendEvents(const std::vector<HostMidiEvent>& events) {
  for (const HostMidiEvent& e : events) {
    const uint32_t time = static_cast<uint32_t>(std::max(e.frame, 0));
    const int kind = e.status & 0xF0;
    if (dialect_ == NoteDialect::kClapNotes && (kind == 0x90 || kind == 0x80)) {
      const bool on = kind == 0x90 && e.data2 > 0;
      events_.note(on ? kClapEventNoteOn : kClapEventNoteOff, time, e.data1, e.data2 / 127.0,
                   e.status & 0x0F);
    } else {
      events_.midi(time, e.status, e.data1, e.data2);
    }
  }
}

void ClapPluginHost::setTransport(double samplePosition, double beatsPerMinute,
                                  double beatPosition) {
  transport_ = clap_event_transport_t{};
  transport_.header = {sizeof transport_, 0, kClapCoreEventSpaceId, kClapEventTransport, 0};
  transport_.flags = kClapTransportHasTempo | kClapTransportHasBeatsTimeline |
                     kClapTransportHasSecondsTimeline | kClapTransportIsPlaying;
  transport_.tempo = beatsPerMinute;
  transport_.song_pos_beats =
      static_cast<int64_t>(std::llround(beatPosition * double(kClapBeatTimeFactor)));
  transport_.song_pos_seconds =
      static_cast<int64_t>(std::llround(samplePosition / sampleRate_ * double(kClapSecTimeFactor)));
}

void ClapPluginHost::process(float** inputs, float** outputs, int frames) {
  size_t channel = 0;
  for (size_t port = 0; port < inputPorts_.size(); ++port) {
    inputBuffers_[port] = clap_audio_buffer_t{inputs + channel, nullptr, inputPorts_[port], 0, 0};
    channel += inputPorts_[port];
  }
  channel = 0;
  for (size_t port = 0; port < outputPorts_.size(); ++port) {
    outputBuffers_[port] =
        clap_audio_buffer_t{outputs + channel, nullptr, outputPorts_[port], 0, 0};
    channel += outputPorts_[port];
  }
  const clap_output_events_t out{this, &ClapPluginHost::received};
  clap_process_t process{};
  process.steady_time = -1;
  process.frames_count = static_cast<uint32_t>(std::max(frames, 0));
  process.transport = transport_.header.size ? &transport_ : nullptr;
  process.audio_inputs = inputBuffers_.data();
  process.audio_outputs = outputBuffers_.data();
  process.audio_inputs_count = static_cast<uint32_t>(inputBuffers_.size());
  process.audio_outputs_count = static_cast<uint32_t>(outputBuffers_.size());
  process.in_events = events_.list();
  process.out_events = &out;
  status_ = plugin_->process(plugin_, &process);
  events_.clear();
  if (status_ == kClapProcessError) throw HostError("the plug-in failed to process a block");
}

void ClapPluginHost::idle() {
  if (callbackWanted_.exchange(false)) plugin_->on_main_thread(plugin_);
  if (flushWanted_.exchange(false) && !processing_) flush();
}

void ClapPluginHost::timerFired(clap_id id) {
  const auto* timer = extension<clap_plugin_timer_support_t>(kClapExtTimerSupport);
  if (timer) timer->on_timer(plugin_, id);
}

void ClapPluginHost::descriptorReady(int fd, uint32_t events) {
  const auto* fdSupport = extension<clap_plugin_posix_fd_support_t>(kClapExtPosixFdSupport);
  if (fdSupport) fdSupport->on_fd(plugin_, fd, events);
}
