#include "zorq-render/Lv2PluginHost.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/midi/midi.h>
#include <lv2/state/state.h>

#include "framework/IParam.h"
#include "framework/ParamText.h"
#include "zorq-render/RenderError.h"

namespace {
constexpr uint32_t kAtomCapacity = 65536;

bool portIs(LilvWorld* world, const LilvPlugin* plugin, const LilvPort* port, const char* uri) {
  LilvNode* node = lilv_new_uri(world, uri);
  const bool result = lilv_port_is_a(plugin, port, node);
  lilv_node_free(node);
  return result;
}

bool portHas(LilvWorld* world, const LilvPlugin* plugin, const LilvPort* port, const char* uri) {
  LilvNode* node = lilv_new_uri(world, uri);
  const bool result = lilv_port_has_property(plugin, port, node);
  lilv_node_free(node);
  return result;
}

// The finest step a plain-number port is read to: six decimals.
constexpr double kPortResolution = 1e-6;

std::string formatted(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}
}  // namespace

bool Lv2PluginHost::isBundle(const std::string& path) {
  struct stat info {};
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  return trimmed.size() > 4 && trimmed.compare(trimmed.size() - 4, 4, ".lv2") == 0 &&
         stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Lv2PluginHost::Lv2PluginHost(const std::string& bundle) {
  uridMap_ = LV2_URID_Map{this, &Lv2PluginHost::mapUri};
  uridUnmap_ = LV2_URID_Unmap{this, &Lv2PluginHost::unmapUri};
  schedule_ = LV2_Worker_Schedule{this, &Lv2PluginHost::scheduleWork};
  featureList_ = {{LV2_URID__map, &uridMap_},
                  {LV2_URID__unmap, &uridUnmap_},
                  {LV2_WORKER__schedule, &schedule_}};
  for (const LV2_Feature& feature : featureList_) features_.push_back(&feature);
  features_.push_back(nullptr);

  world_ = lilv_world_new();
  std::string folder = bundle;
  if (folder.back() != '/') folder += '/';
  char* absolute = realpath(folder.c_str(), nullptr);
  LilvNode* bundleNode = lilv_new_file_uri(
      world_, nullptr, (std::string(absolute ? absolute : folder.c_str()) + "/").c_str());
  std::free(absolute);
  lilv_world_load_bundle(world_, bundleNode);
  lilv_node_free(bundleNode);
  const LilvPlugins* plugins = lilv_world_get_all_plugins(world_);
  LilvIter* first = lilv_plugins_begin(plugins);
  plugin_ = lilv_plugins_is_end(plugins, first) ? nullptr : lilv_plugins_get(plugins, first);
  if (!plugin_) {
    lilv_world_free(world_);
    throw RenderError("'" + bundle + "' holds no LV2 plug-in");
  }
  uri_ = lilv_node_as_uri(lilv_plugin_get_uri(plugin_));
  LilvNode* name = lilv_plugin_get_name(plugin_);
  name_ = name ? lilv_node_as_string(name) : uri_;
  lilv_node_free(name);
  LilvNode* stateInterface = lilv_new_uri(world_, LV2_STATE__interface);
  hasState_ = lilv_plugin_has_extension_data(plugin_, stateInterface);
  lilv_node_free(stateInterface);

  const uint32_t nPorts = lilv_plugin_get_num_ports(plugin_);
  std::vector<float> minimum(nPorts), maximum(nPorts), defaults(nPorts);
  lilv_plugin_get_port_ranges_float(plugin_, minimum.data(), maximum.data(), defaults.data());
  values_.assign(nPorts, 0.0f);
  atomBuffers_.resize(nPorts);
  LilvNode* midiEvent = lilv_new_uri(world_, LV2_MIDI__MidiEvent);
  for (uint32_t p = 0; p < nPorts; ++p) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin_, p);
    const bool input = portIs(world_, plugin_, port, LV2_CORE__InputPort);
    values_[p] =
        std::isnan(defaults[p]) ? (std::isnan(minimum[p]) ? 0.0f : minimum[p]) : defaults[p];
    if (portIs(world_, plugin_, port, LV2_CORE__AudioPort)) {
      (input ? audioIn_ : audioOut_).push_back(p);
    } else if (portIs(world_, plugin_, port, LV2_ATOM__AtomPort)) {
      (input ? atomIn_ : atomOut_).push_back(p);
      atomBuffers_[p].assign(kAtomCapacity / 8, 0);
      if (input && midiIn_ < 0 && lilv_port_supports_event(plugin_, port, midiEvent))
        midiIn_ = int(p);
    } else if (input && portIs(world_, plugin_, port, LV2_CORE__ControlPort)) {
      LilvNode* designationKey = lilv_new_uri(world_, LV2_CORE__designation);
      LilvNodes* designation = lilv_port_get_value(plugin_, port, designationKey);
      const bool designated = designation && lilv_nodes_size(designation) > 0;
      lilv_nodes_free(designation);
      lilv_node_free(designationKey);
      if (designated) continue;  // enabled, free-wheeling and the like keep their defaults
      Control control{p,
                      "",
                      "",
                      minimum[p],
                      maximum[p],
                      portHas(world_, plugin_, port, LV2_CORE__toggled),
                      portHas(world_, plugin_, port, LV2_CORE__integer),
                      {}};
      LilvNode* portName = lilv_port_get_name(plugin_, port);
      control.name = portName ? lilv_node_as_string(portName) : "";
      lilv_node_free(portName);
      LilvScalePoints* points = lilv_port_get_scale_points(plugin_, port);
      LILV_FOREACH(scale_points, it, points) {
        const LilvScalePoint* point = lilv_scale_points_get(points, it);
        control.choices.emplace_back(lilv_node_as_float(lilv_scale_point_get_value(point)),
                                     lilv_node_as_string(lilv_scale_point_get_label(point)));
      }
      lilv_scale_points_free(points);
      params_.push_back(std::move(control));
    }
  }
  lilv_node_free(midiEvent);

  LilvNode* presetClass = lilv_new_uri(world_, "http://lv2plug.in/ns/ext/presets#Preset");
  LilvNode* label = lilv_new_uri(world_, "http://www.w3.org/2000/01/rdf-schema#label");
  LilvNodes* presets = lilv_plugin_get_related(plugin_, presetClass);
  LILV_FOREACH(nodes, it, presets)
  presets_.push_back(lilv_node_as_uri(lilv_nodes_get(presets, it)));
  std::sort(presets_.begin(), presets_.end());
  for (const std::string& preset : presets_) {
    LilvNode* node = lilv_new_uri(world_, preset.c_str());
    lilv_world_load_resource(world_, node);
    LilvNodes* labels = lilv_world_find_nodes(world_, node, label, nullptr);
    presetLabels_.push_back(labels && lilv_nodes_size(labels)
                                ? lilv_node_as_string(lilv_nodes_get_first(labels))
                                : preset);
    lilv_nodes_free(labels);
    lilv_node_free(node);
  }
  lilv_nodes_free(presets);
  lilv_node_free(label);
  lilv_node_free(presetClass);
  if (audioOut_.empty() || audioIn_.size() > size_t(kMaxChannels) ||
      audioOut_.size() > size_t(kMaxChannels)) {
    lilv_world_free(world_);
    throw RenderError("plug-in '" + bundle + "' has no usable audio outputs");
  }
  instantiate(44100.0);
}

Lv2PluginHost::~Lv2PluginHost() {
  if (instance_) {
    lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
  }
  lilv_world_free(world_);
}

void Lv2PluginHost::instantiate(double sampleRate) {
  if (instance_ && sampleRate == sampleRate_) return;
  if (instance_) {
    lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
  }
  sampleRate_ = sampleRate;
  instance_ = lilv_plugin_instantiate(plugin_, sampleRate, features_.data());
  if (!instance_) throw RenderError("plug-in '" + name_ + "' failed to start");
  for (uint32_t p = 0; p < values_.size(); ++p)
    lilv_instance_connect_port(
        instance_, p,
        atomBuffers_[p].empty() ? static_cast<void*>(&values_[p]) : atomBuffers_[p].data());
  lilv_instance_activate(instance_);
}

LV2_URID Lv2PluginHost::map(const char* uri) { return mapUri(this, uri); }

LV2_URID Lv2PluginHost::mapUri(LV2_URID_Map_Handle handle, const char* uri) {
  auto* self = static_cast<Lv2PluginHost*>(handle);
  auto found = self->uridOf_.find(uri);
  if (found != self->uridOf_.end()) return found->second;
  self->uris_.push_back(uri);
  return self->uridOf_[uri] = static_cast<LV2_URID>(self->uris_.size());
}

const char* Lv2PluginHost::unmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
  auto* self = static_cast<Lv2PluginHost*>(handle);
  return urid >= 1 && urid <= self->uris_.size() ? self->uris_[urid - 1].c_str() : nullptr;
}

std::string Lv2PluginHost::paramName(int index) {
  return index >= 0 && index < numParams() ? params_[size_t(index)].name : "";
}

std::string Lv2PluginHost::paramDisplay(int index) {
  if (index < 0 || index >= numParams()) return "";
  const Control& control = params_[size_t(index)];
  const float value = values_[control.port];
  for (const auto& choice : control.choices)
    if (choice.first == value) return choice.second;
  if (control.toggled) return value >= 0.5f ? "on" : "off";
  return formatted(value);
}

std::string Lv2PluginHost::paramLabel(int) { return ""; }

std::string Lv2PluginHost::programName(int index) {
  return index >= 0 && index < numPrograms() ? presetLabels_[size_t(index)] : "";
}

float Lv2PluginHost::getParameter(int index) {
  if (index < 0 || index >= numParams()) return 0.0f;
  const Control& control = params_[size_t(index)];
  const float range = control.maximum - control.minimum;
  return range > 0.0f ? (values_[control.port] - control.minimum) / range : 0.0f;
}

void Lv2PluginHost::setParameter(int index, float normalised) {
  if (index < 0 || index >= numParams() || std::isnan(normalised)) return;
  const Control& control = params_[size_t(index)];
  float value = control.minimum +
                std::min(std::max(normalised, 0.0f), 1.0f) * (control.maximum - control.minimum);
  if (control.toggled || control.integer) value = std::round(value);
  values_[control.port] = value;
}

// The core's text path over the port as it shows: its range, unit, steps and labels.
bool Lv2PluginHost::setParameterFromText(int index, const std::string& text) {
  if (index < 0 || index >= numParams()) return false;
  const Control& control = params_[size_t(index)];
  const char* name = control.name.c_str();
  IParam port;
  if (control.toggled)
    port.InitBool(name, false);
  else if (control.integer)
    port.InitInt(name, 0, int(control.minimum), int(control.maximum), control.unit.c_str());
  else
    port.InitDouble(name, control.minimum, control.minimum, control.maximum, kPortResolution,
                    control.unit.c_str());
  for (const auto& [value, label] : control.choices)
    if (value == std::round(value)) port.SetDisplayText(int(value), label.c_str());
  double value = 0.0;
  if (!paramtext::toValue(port, text.c_str(), &value)) return false;
  values_[control.port] = float(value);
  return true;
}

// The preset's state first (a preset of ZORQ holds its program's), then its port values.
void Lv2PluginHost::setProgram(int index) {
  if (index < 0 || index >= numPrograms()) return;
  LilvNode* node = lilv_new_uri(world_, presets_[size_t(index)].c_str());
  LilvState* state = lilv_state_new_from_world(world_, &uridMap_, node);
  lilv_node_free(node);
  if (!state) throw RenderError("preset '" + presetLabels_[size_t(index)] + "' cannot be read");
  lilv_state_restore(state, instance_, &Lv2PluginHost::setPortValue, this, 0, features_.data());
  lilv_state_free(state);
  runWorker();
  currentProgram_ = index;
}

void Lv2PluginHost::setPortValue(const char* symbol, void* user, const void* value, uint32_t size,
                                 uint32_t type) {
  auto* self = static_cast<Lv2PluginHost*>(user);
  LilvNode* name = lilv_new_string(self->world_, symbol);
  const LilvPort* port = lilv_plugin_get_port_by_symbol(self->plugin_, name);
  lilv_node_free(name);
  if (!port || size != sizeof(float) || type != self->map(LV2_ATOM__Float)) return;
  std::memcpy(&self->values_[lilv_port_get_index(self->plugin_, port)], value, sizeof(float));
}

std::string Lv2PluginHost::stateKey(bool bank) const {
  return uri_ + (bank ? "#bank" : "#program");
}

std::vector<uint8_t> Lv2PluginHost::chunk(bool bank) {
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
  if (!state) return {};
  struct Found {
    LV2_URID key;
    std::vector<uint8_t> bytes;
  } found{map(stateKey(bank).c_str()), {}};
  state->save(
      lilv_instance_get_handle(instance_),
      [](LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t,
         uint32_t) {
        auto* f = static_cast<Found*>(handle);
        if (key == f->key)
          f->bytes.assign(static_cast<const uint8_t*>(value),
                          static_cast<const uint8_t*>(value) + size);
        return LV2_STATE_SUCCESS;
      },
      &found, LV2_STATE_IS_POD, features_.data());
  return found.bytes;
}

bool Lv2PluginHost::setChunk(bool bank, const std::vector<uint8_t>& bytes) {
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
  if (!state || bytes.empty()) return false;
  struct Given {
    LV2_URID key, type;
    const std::vector<uint8_t>* bytes;
  } given{map(stateKey(bank).c_str()), map(LV2_ATOM__Chunk), &bytes};
  const LV2_State_Status status = state->restore(
      lilv_instance_get_handle(instance_),
      [](LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
         uint32_t* flags) -> const void* {
        auto* g = static_cast<Given*>(handle);
        if (key != g->key) return nullptr;
        *size = g->bytes->size();
        *type = g->type;
        *flags = LV2_STATE_IS_POD;
        return g->bytes->data();
      },
      &given, 0, features_.data());
  runWorker();
  return status == LV2_STATE_SUCCESS;
}

void Lv2PluginHost::start(double sampleRate, int blockSize) {
  blockSize_ = blockSize;
  instantiate(sampleRate);
}

LV2_Worker_Status Lv2PluginHost::scheduleWork(LV2_Worker_Schedule_Handle handle, uint32_t size,
                                              const void* data) {
  auto* self = static_cast<Lv2PluginHost*>(handle);
  if (self->jobCount_ == kMaxJobs || size > self->jobData_[0].size())
    return LV2_WORKER_ERR_NO_SPACE;
  std::memcpy(self->jobData_[size_t(self->jobCount_)].data(), data, size);
  self->jobSizes_[self->jobCount_++] = size;
  return LV2_WORKER_SUCCESS;
}

void Lv2PluginHost::runWorker() {
  const auto* worker = static_cast<const LV2_Worker_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_WORKER__interface));
  const int jobs = jobCount_;
  jobCount_ = 0;
  if (!worker) return;
  for (int j = 0; j < jobs; ++j)
    worker->work(
        lilv_instance_get_handle(instance_),
        [](LV2_Worker_Respond_Handle, uint32_t, const void*) { return LV2_WORKER_SUCCESS; }, this,
        jobSizes_[j], jobData_[size_t(j)].data());
  if (worker->end_run) worker->end_run(lilv_instance_get_handle(instance_));
}

void Lv2PluginHost::process(float** inputs, float** outputs, int frames) {
  for (size_t c = 0; c < audioIn_.size(); ++c)
    lilv_instance_connect_port(instance_, audioIn_[c], inputs[c]);
  for (size_t c = 0; c < audioOut_.size(); ++c)
    lilv_instance_connect_port(instance_, audioOut_[c], outputs[c]);
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, &uridMap_);
  for (uint32_t port : atomIn_) {
    std::vector<uint64_t>& buffer = atomBuffers_[port];
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(buffer.data()), kAtomCapacity);
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_sequence_head(&forge, &frame, 0);
    if (int(port) == midiIn_)
      for (const HostMidiEvent& event : events_) {
        const uint8_t bytes[3] = {event.status, event.data1, event.data2};
        const uint32_t size =
            (event.status & 0xF0) == 0xC0 || (event.status & 0xF0) == 0xD0 ? 2 : 3;
        lv2_atom_forge_frame_time(&forge, std::max(event.frame, 0));
        lv2_atom_forge_atom(&forge, size, map(LV2_MIDI__MidiEvent));
        lv2_atom_forge_write(&forge, bytes, size);
      }
    lv2_atom_forge_pop(&forge, &frame);
  }
  events_.clear();
  for (uint32_t port : atomOut_) {
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(atomBuffers_[port].data());
    sequence->atom.type = 0;
    sequence->atom.size = kAtomCapacity - sizeof(LV2_Atom);
  }
  lilv_instance_run(instance_, uint32_t(std::max(frames, 0)));
  runWorker();
}
