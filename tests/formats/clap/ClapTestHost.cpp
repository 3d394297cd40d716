#include "ClapTestHost.h"

#include <dlfcn.h>

#include <algorithm>

ClapLibrary::ClapLibrary(const std::string& path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) return;
  entry_ = static_cast<const clap_plugin_entry_t*>(dlsym(handle_, "clap_entry"));
  initialised_ = entry_ && entry_->init(path.c_str());
}

ClapLibrary::~ClapLibrary() {
  if (initialised_) entry_->deinit();
  if (handle_) dlclose(handle_);
}

const clap_plugin_factory_t* ClapLibrary::factory() const {
  return initialised_
             ? static_cast<const clap_plugin_factory_t*>(entry_->get_factory(kClapPluginFactoryId))
             : nullptr;
}

const clap_plugin_descriptor_t* ClapLibrary::descriptor() const {
  const clap_plugin_factory_t* f = factory();
  return f ? f->get_plugin_descriptor(f, 0) : nullptr;
}

void ClapEventList::add(const void* event, uint32_t size) {
  offsets_.push_back(storage_.size());
  const size_t words = (size + 7) / 8;
  storage_.resize(storage_.size() + words, 0);
  std::memcpy(storage_.data() + offsets_.back(), event, size);
}

const clap_input_events_t* ClapEventList::list() {
  pointers_.clear();
  for (size_t offset : offsets_)
    pointers_.push_back(reinterpret_cast<const clap_event_header_t*>(storage_.data() + offset));
  list_.ctx = this;
  list_.size = [](const clap_input_events_t* l) {
    return static_cast<uint32_t>(static_cast<ClapEventList*>(l->ctx)->pointers_.size());
  };
  list_.get = [](const clap_input_events_t* l, uint32_t index) -> const clap_event_header_t* {
    const auto& pointers = static_cast<ClapEventList*>(l->ctx)->pointers_;
    return index < pointers.size() ? pointers[index] : nullptr;
  };
  return &list_;
}

void ClapEventList::note(uint16_t type, uint32_t time, int key, double velocity, int channel) {
  clap_event_note_t event{};
  event.header = {sizeof event, time, kClapCoreEventSpaceId, type, 0};
  event.note_id = -1;
  event.port_index = 0;
  event.channel = static_cast<int16_t>(channel);
  event.key = static_cast<int16_t>(key);
  event.velocity = velocity;
  add(&event, sizeof event);
}

void ClapEventList::midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2) {
  clap_event_midi_t event{};
  event.header = {sizeof event, time, kClapCoreEventSpaceId, kClapEventMidi, 0};
  event.data[0] = status;
  event.data[1] = data1;
  event.data[2] = data2;
  add(&event, sizeof event);
}

void ClapEventList::param(uint32_t time, clap_id id, double value, uint16_t space) {
  clap_event_param_value_t event{};
  event.header = {sizeof event, time, space, kClapEventParamValue, 0};
  event.param_id = id;
  event.note_id = -1;
  event.port_index = event.channel = event.key = -1;
  event.value = value;
  add(&event, sizeof event);
}

void ClapEventList::transport(uint32_t time, double tempo) {
  clap_event_transport_t event{};
  event.header = {sizeof event, time, kClapCoreEventSpaceId, kClapEventTransport, 0};
  event.flags = kClapTransportHasTempo | kClapTransportIsPlaying;
  event.tempo = tempo;
  event.tsig_num = event.tsig_denom = 4;
  add(&event, sizeof event);
}

namespace {
const clap_host_params_t kHostParams = {
    [](const clap_host_t* host, uint32_t flags) {
      if (flags & kClapParamRescanValues) ++ClapTestHost::of(host).valueRescans;
    },
    [](const clap_host_t*, clap_id, uint32_t) {},
    [](const clap_host_t* host) { ++ClapTestHost::of(host).flushRequests; },
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

ClapTestHost::ClapTestHost(EditorSupport editorSupport) : editorSupport_(editorSupport) {
  host_.clap_version = {kClapVersionMajor, kClapVersionMinor, kClapVersionRevision};
  host_.host_data = this;
  host_.name = "zorq-test-host";
  host_.vendor = "ZORQ";
  host_.url = "";
  host_.version = "1.0";
  host_.get_extension = &ClapTestHost::getExtension;
  host_.request_restart = [](const clap_host_t*) {};
  host_.request_process = [](const clap_host_t*) {};
  host_.request_callback = [](const clap_host_t* h) { ++of(h).callbackRequests; };
}

ClapTestHost::~ClapTestHost() {
  if (!plugin_) return;
  deactivate();
  plugin_->destroy(plugin_);
}

const void* ClapTestHost::getExtension(const clap_host_t* host, const char* id) {
  static const clap_host_timer_support_t timerSupport = {
      [](const clap_host_t* h, uint32_t period, clap_id* timer) {
        *timer = of(h).nextTimer_++;
        of(h).timers[*timer] = period;
        return true;
      },
      [](const clap_host_t* h, clap_id timer) { return of(h).timers.erase(timer) == 1; },
  };
  static const clap_host_posix_fd_support_t fdSupport = {
      [](const clap_host_t* h, int fd, uint32_t flags) {
        return of(h).fds.emplace(fd, flags).second;
      },
      [](const clap_host_t* h, int fd, uint32_t flags) {
        auto found = of(h).fds.find(fd);
        if (found == of(h).fds.end()) return false;
        found->second = flags;
        return true;
      },
      [](const clap_host_t* h, int fd) { return of(h).fds.erase(fd) == 1; },
  };
  const ClapTestHost& self = of(host);
  if (self.initialising_ && self.editorSupport_ == EditorSupport::kAfterInit) return nullptr;
  const std::string wanted = id ? id : "";
  if (wanted == kClapExtParams) return &kHostParams;
  if (wanted == kClapExtLatency) return &kHostLatency;
  if (wanted == kClapExtState) return &kHostState;
  if (self.editorSupport_ == EditorSupport::kNever) return nullptr;
  if (wanted == kClapExtGui) return &kHostGui;
  if (wanted == kClapExtTimerSupport) return &timerSupport;
  if (wanted == kClapExtPosixFdSupport) return &fdSupport;
  return nullptr;
}

bool ClapTestHost::create(const clap_plugin_factory_t* factory, const char* id) {
  if (!factory) return false;
  return adopt(factory->create_plugin(factory, &host_, id));
}

bool ClapTestHost::adopt(const clap_plugin_t* plugin) {
  plugin_ = plugin;
  if (!plugin_) return false;
  initialising_ = true;
  const bool initialised = plugin_->init(plugin_);
  initialising_ = false;
  if (initialised) return true;
  plugin_->destroy(plugin_);
  plugin_ = nullptr;
  return false;
}

bool ClapTestHost::activate(double sampleRate, uint32_t maxFrames) {
  deactivate();
  active_ = plugin_->activate(plugin_, sampleRate, 1, maxFrames);
  processing_ = active_ && plugin_->start_processing(plugin_);
  return processing_;
}

void ClapTestHost::deactivate() {
  if (processing_) plugin_->stop_processing(plugin_);
  if (active_) plugin_->deactivate(plugin_);
  active_ = processing_ = false;
}

int32_t ClapTestHost::process(uint32_t frames, const float* voice, const float* carrier,
                              ClapEventList* events, bool withTransport) {
  std::vector<float> silence(frames, 0.0f), in[4], out[2];
  for (int c = 0; c < 4; ++c) {
    const float* source = c < 2 ? voice : carrier;
    in[c].assign(source ? source : silence.data(), (source ? source : silence.data()) + frames);
  }
  for (auto& channel : out) channel.assign(frames, 12345.0f);  // every frame must be written
  float* inPointers[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  float* outPointers[2] = {out[0].data(), out[1].data()};
  clap_audio_buffer_t inputs[2] = {{&inPointers[0], nullptr, 2, 0, 0},
                                   {&inPointers[2], nullptr, 2, 0, 0}};
  clap_audio_buffer_t output = {outPointers, nullptr, 2, 0, 0};

  ClapEventList empty;
  clap_event_transport_t transport{};
  transport.header = {sizeof transport, 0, kClapCoreEventSpaceId, kClapEventTransport, 0};
  transport.flags = kClapTransportHasTempo;
  transport.tempo = 120.0;
  const clap_output_events_t outEvents{this, &ClapTestHost::record};
  clap_process_t p{};
  p.steady_time = -1;
  p.frames_count = frames;
  p.transport = withTransport ? &transport : nullptr;
  p.audio_inputs = inputs;
  p.audio_outputs = &output;
  p.audio_inputs_count = 2;
  p.audio_outputs_count = 1;
  p.in_events = (events ? events : &empty)->list();
  p.out_events = &outEvents;
  const int32_t status = plugin_->process(plugin_, &p);
  left.insert(left.end(), out[0].begin(), out[0].end());
  right.insert(right.end(), out[1].begin(), out[1].end());
  return status;
}

bool ClapTestHost::record(const clap_output_events_t* list, const clap_event_header_t* event) {
  OutEvent copy{event->type, event->time, event->flags, kClapInvalidId, 0.0, {}};
  if (event->type == kClapEventParamValue) {
    const auto* value = reinterpret_cast<const clap_event_param_value_t*>(event);
    copy.param = value->param_id;
    copy.value = value->value;
  } else if (event->type == kClapEventParamGestureBegin ||
             event->type == kClapEventParamGestureEnd) {
    copy.param = reinterpret_cast<const clap_event_param_gesture_t*>(event)->param_id;
  } else if (event->type == kClapEventMidi) {
    std::memcpy(copy.midi, reinterpret_cast<const clap_event_midi_t*>(event)->data, 3);
  }
  static_cast<ClapTestHost*>(list->ctx)->sent.push_back(copy);
  return true;
}

double ClapTestHost::value(clap_id id) const {
  double result = -1e300;
  extension<clap_plugin_params_t>(kClapExtParams)->get_value(plugin_, id, &result);
  return result;
}

std::string ClapTestHost::text(clap_id id, double value) const {
  char buffer[kClapNameSize] = {};
  if (!extension<clap_plugin_params_t>(kClapExtParams)
           ->value_to_text(plugin_, id, value, buffer, sizeof buffer))
    return "<none>";
  return buffer;
}

bool ClapTestHost::toValue(clap_id id, const std::string& text, double* value) const {
  return extension<clap_plugin_params_t>(kClapExtParams)
      ->text_to_value(plugin_, id, text.c_str(), value);
}

void ClapTestHost::flush(ClapEventList* events) {
  ClapEventList empty;
  const clap_output_events_t outEvents{this, &ClapTestHost::record};
  extension<clap_plugin_params_t>(kClapExtParams)
      ->flush(plugin_, (events ? events : &empty)->list(), &outEvents);
}

namespace {
struct Stream {
  std::vector<uint8_t>* bytes;
  const std::vector<uint8_t>* source;
  size_t position;
  size_t piece;
};
}  // namespace

std::vector<uint8_t> ClapTestHost::saveState(size_t piece) const {
  std::vector<uint8_t> bytes;
  Stream stream{&bytes, nullptr, 0, piece};
  clap_ostream_t out{&stream,
                     [](const clap_ostream_t* s, const void* data, uint64_t size) -> int64_t {
                       auto* st = static_cast<Stream*>(s->ctx);
                       const size_t n = std::min<uint64_t>(size, st->piece);
                       st->bytes->insert(st->bytes->end(), static_cast<const uint8_t*>(data),
                                         static_cast<const uint8_t*>(data) + n);
                       return static_cast<int64_t>(n);
                     }};
  if (!extension<clap_plugin_state_t>(kClapExtState)->save(plugin_, &out)) return {};
  return bytes;
}

bool ClapTestHost::loadState(const std::vector<uint8_t>& bytes, size_t piece) const {
  Stream stream{nullptr, &bytes, 0, piece};
  clap_istream_t in{
      &stream, [](const clap_istream_t* s, void* data, uint64_t size) -> int64_t {
        auto* st = static_cast<Stream*>(s->ctx);
        const size_t n = std::min<uint64_t>({size, st->piece, st->source->size() - st->position});
        if (n > 0) std::memcpy(data, st->source->data() + st->position, n);
        st->position += n;
        return static_cast<int64_t>(n);
      }};
  return extension<clap_plugin_state_t>(kClapExtState)->load(plugin_, &in);
}

std::vector<float> noise(size_t frames, uint32_t seed, float amplitude) {
  std::vector<float> samples(frames);
  for (float& s : samples) {
    seed = seed * 1664525u + 1013904223u;
    s = amplitude * (static_cast<float>(seed) / 2147483648.0f - 1.0f);
  }
  return samples;
}
