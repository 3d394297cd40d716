#include "zorq-render/ClapPluginHost.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "zorq-render/RenderError.h"

namespace {
constexpr size_t kTextBufferSize = 512;

// An event list over a vector of records of one type.
template <typename Event>
clap_input_events_t inputList(const std::vector<Event>* events) {
  clap_input_events_t list{};
  list.ctx = const_cast<std::vector<Event>*>(events);
  list.size = [](const clap_input_events_t* l) {
    return static_cast<uint32_t>(static_cast<const std::vector<Event>*>(l->ctx)->size());
  };
  list.get = [](const clap_input_events_t* l, uint32_t index) -> const clap_event_header_t* {
    const auto& all = *static_cast<const std::vector<Event>*>(l->ctx);
    return index < all.size() ? &all[index].header : nullptr;
  };
  return list;
}

// What the plug-in sends back is not used offline.
const clap_output_events_t kDiscard{
    nullptr, [](const clap_output_events_t*, const clap_event_header_t*) { return true; }};

// 'zorq' from "com.zandervoltmusic.zorq": the last part's first four characters.
int32_t fileId(const char* pluginId) {
  const char* last = std::strrchr(pluginId, '.');
  last = last ? last + 1 : pluginId;
  uint32_t id = 0;
  for (int i = 0; i < 4; ++i) id = (id << 8) | static_cast<uint8_t>(*last ? *last++ : ' ');
  return static_cast<int32_t>(id);
}

// "1.1.3" as the decimal version program files record: 10103.
int32_t decimalVersion(const char* text) {
  int major = 0, minor = 0, revision = 0;
  if (!text || std::sscanf(text, "%d.%d.%d", &major, &minor, &revision) < 1) return 0;
  return major * 10000 + minor * 100 + revision;
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

// Writes and reads a byte vector as a CLAP stream.
struct ByteStream {
  std::vector<uint8_t>* bytes;
  size_t position = 0;
};
}  // namespace

ClapPluginHost::ClapPluginHost(const std::string& path) {
  library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library_) {
    const char* reason = dlerror();
    throw RenderError("cannot load plug-in '" + path + "': " + (reason ? reason : "unknown error"));
  }
  entry_ = static_cast<const clap_plugin_entry_t*>(dlsym(library_, "clap_entry"));
  if (!entry_ || entry_->clap_version.major < 1 || !entry_->init(path.c_str())) {
    entry_ = nullptr;
    close();
    throw RenderError("'" + path + "' is not a usable CLAP plug-in");
  }
  host_.clap_version = {kClapVersionMajor, kClapVersionMinor, kClapVersionRevision};
  host_.host_data = this;
  host_.name = "zorq-render";
  host_.vendor = "ZORQ";
  host_.url = "";
  host_.version = "1";
  host_.get_extension = [](const clap_host_t*, const char*) -> const void* { return nullptr; };
  host_.request_restart = [](const clap_host_t*) {};
  host_.request_process = [](const clap_host_t*) {};
  host_.request_callback = [](const clap_host_t* h) {
    static_cast<ClapPluginHost*>(h->host_data)->callbackWanted_ = true;
  };

  const auto* factory =
      static_cast<const clap_plugin_factory_t*>(entry_->get_factory(kClapPluginFactoryId));
  const clap_plugin_descriptor_t* descriptor = factory && factory->get_plugin_count(factory) > 0
                                                   ? factory->get_plugin_descriptor(factory, 0)
                                                   : nullptr;
  plugin_ = descriptor && descriptor->id ? factory->create_plugin(factory, &host_, descriptor->id)
                                         : nullptr;
  if (!plugin_ || !plugin_->init(plugin_)) {
    if (plugin_) plugin_->destroy(plugin_);
    plugin_ = nullptr;
    close();
    throw RenderError("plug-in '" + path + "' failed to start");
  }
  uniqueId_ = fileId(descriptor->id);
  version_ = decimalVersion(descriptor->version);
  paramsExtension_ =
      static_cast<const clap_plugin_params_t*>(plugin_->get_extension(plugin_, kClapExtParams));
  state_ = static_cast<const clap_plugin_state_t*>(plugin_->get_extension(plugin_, kClapExtState));
  for (uint32_t i = 0, n = paramsExtension_ ? paramsExtension_->count(plugin_) : 0; i < n; ++i) {
    clap_param_info_t info{};
    if (paramsExtension_->get_info(plugin_, i, &info)) params_.push_back(info);
  }
  inputPorts_ = portChannels(plugin_, true);
  outputPorts_ = portChannels(plugin_, false);
  if (numOutputs() < 1 || numOutputs() > kMaxChannels || numInputs() > kMaxChannels) {
    close();
    throw RenderError("plug-in '" + path + "' has no usable audio output");
  }
}

ClapPluginHost::~ClapPluginHost() { close(); }

void ClapPluginHost::close() {
  if (plugin_) {
    if (active_) {
      plugin_->stop_processing(plugin_);
      plugin_->deactivate(plugin_);
    }
    plugin_->destroy(plugin_);
    plugin_ = nullptr;
  }
  if (entry_) entry_->deinit();
  entry_ = nullptr;
  if (library_) dlclose(library_);
  library_ = nullptr;
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
  std::vector<clap_event_param_value_t> change(1);
  clap_event_param_value_t& event = change[0];
  event.header = {sizeof event, 0, kClapCoreEventSpaceId, kClapEventParamValue, 0};
  event.param_id = params_[size_t(index)].id;
  event.cookie = params_[size_t(index)].cookie;
  event.note_id = -1;
  event.port_index = event.channel = event.key = -1;
  event.value = plain;
  const clap_input_events_t list = inputList(&change);
  paramsExtension_->flush(plugin_, &list, &kDiscard);
}

std::vector<uint8_t> ClapPluginHost::chunk(bool bank) {
  std::vector<uint8_t> bytes;
  if (!bank || !state_) return bytes;
  ByteStream stream{&bytes};
  const clap_ostream_t out{&stream,
                           [](const clap_ostream_t* s, const void* data, uint64_t size) -> int64_t {
                             auto* target = static_cast<ByteStream*>(s->ctx)->bytes;
                             target->insert(target->end(), static_cast<const uint8_t*>(data),
                                            static_cast<const uint8_t*>(data) + size);
                             return static_cast<int64_t>(size);
                           }};
  if (!state_->save(plugin_, &out)) bytes.clear();
  return bytes;
}

bool ClapPluginHost::setChunk(bool, const std::vector<uint8_t>& bytes) {
  if (!state_) return false;
  std::vector<uint8_t> copy = bytes;
  ByteStream stream{&copy};
  const clap_istream_t in{
      &stream, [](const clap_istream_t* s, void* data, uint64_t size) -> int64_t {
        auto* source = static_cast<ByteStream*>(s->ctx);
        const size_t n = std::min<uint64_t>(size, source->bytes->size() - source->position);
        if (n > 0) std::memcpy(data, source->bytes->data() + source->position, n);
        source->position += n;
        return static_cast<int64_t>(n);
      }};
  return state_->load(plugin_, &in);
}

void ClapPluginHost::start(double sampleRate, int blockSize) {
  if (active_) return;
  sampleRate_ = sampleRate;
  if (!plugin_->activate(plugin_, sampleRate, 1, static_cast<uint32_t>(std::max(blockSize, 1))))
    throw RenderError("the plug-in refused to start at " + std::to_string(long(sampleRate)) +
                      " Hz");
  active_ = true;
  if (!plugin_->start_processing(plugin_)) throw RenderError("the plug-in refused to process");
}

void ClapPluginHost::sendEvents(const std::vector<HostMidiEvent>& events) {
  events_.clear();
  for (const HostMidiEvent& e : events) {
    clap_event_midi_t midi{};
    midi.header = {sizeof midi, static_cast<uint32_t>(std::max(e.frame, 0)), kClapCoreEventSpaceId,
                   kClapEventMidi, 0};
    midi.data[0] = e.status;
    midi.data[1] = e.data1;
    midi.data[2] = e.data2;
    events_.push_back(midi);
  }
  std::stable_sort(events_.begin(), events_.end(),
                   [](const clap_event_midi_t& a, const clap_event_midi_t& b) {
                     return a.header.time < b.header.time;
                   });
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

// Channels go to the ports in order: with a stereo voice and a stereo carrier port,
// inputs 1-2 and 3-4.
void ClapPluginHost::process(float** inputs, float** outputs, int frames) {
  std::vector<clap_audio_buffer_t> in, out;
  size_t channel = 0;
  for (uint32_t count : inputPorts_) {
    in.push_back(clap_audio_buffer_t{inputs + channel, nullptr, count, 0, 0});
    channel += count;
  }
  channel = 0;
  for (uint32_t count : outputPorts_) {
    out.push_back(clap_audio_buffer_t{outputs + channel, nullptr, count, 0, 0});
    channel += count;
  }
  const clap_input_events_t events = inputList(&events_);
  clap_process_t process{};
  process.steady_time = -1;
  process.frames_count = static_cast<uint32_t>(std::max(frames, 0));
  process.transport = transport_.header.size ? &transport_ : nullptr;
  process.audio_inputs = in.data();
  process.audio_outputs = out.data();
  process.audio_inputs_count = static_cast<uint32_t>(in.size());
  process.audio_outputs_count = static_cast<uint32_t>(out.size());
  process.in_events = &events;
  process.out_events = &kDiscard;
  const int32_t status = plugin_->process(plugin_, &process);
  events_.clear();
  if (status == kClapProcessError) throw RenderError("the plug-in failed to process a block");
  if (callbackWanted_) {
    callbackWanted_ = false;
    plugin_->on_main_thread(plugin_);
  }
}
