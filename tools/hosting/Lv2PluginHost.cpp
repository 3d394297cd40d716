#include "hosting/Lv2PluginHost.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/state/state.h>

#include "framework/IParam.h"
#include "framework/NumberText.h"
#include "framework/ParamText.h"
#include "hosting/HostError.h"
#include "hosting/HostObserver.h"

namespace {
constexpr uint32_t kAtomCapacity = 65536;
constexpr const char* kUnitsPrefix = "http://lv2plug.in/ns/extensions/units#";

// The symbols of the units a typed value may carry.
std::string unitSymbol(const std::string& unitUri) {
  static const std::pair<const char*, const char*> kSymbols[] = {
      {"hz", "Hz"}, {"khz", "kHz"}, {"cent", "ct"}, {"db", "dB"},
      {"pc", "%"},  {"ms", "ms"},   {"s", "s"},     {"semitone12TET", "semi"}};
  if (unitUri.rfind(kUnitsPrefix, 0) != 0) return "";
  const std::string name = unitUri.substr(std::strlen(kUnitsPrefix));
  for (const auto& [unit, symbol] : kSymbols)
    if (name == unit) return symbol;
  return "";
}

// The finest step a plain-number port is read to: six decimals.
constexpr double kPortResolution = 1e-6;

std::string formatted(float value) { return numbertext::General(static_cast<double>(value), 6); }

const void* propertyOf(const std::map<std::string, Lv2Property>& properties, Lv2Bundle& bundle,
                       uint32_t key, size_t* size, uint32_t* type) {
  const char* uri = bundle.uriOf(key);
  auto found = uri ? properties.find(uri) : properties.end();
  if (found == properties.end()) return nullptr;
  *size = found->second.value.size();
  *type = bundle.urid(found->second.type.c_str());
  return found->second.value.data();
}
}  // namespace

bool Lv2PluginHost::Jobs::add(uint32_t size, const void* bytes) {
  if (count == kMaxJobs || size > kJobSize) return false;
  std::memcpy(data[size_t(count)].data(), bytes, size);
  sizes[size_t(count++)] = size;
  return true;
}

Lv2PluginHost::Lv2PluginHost(const std::string& folder, const HostSetup& setup)
    : Lv2PluginHost(std::make_shared<Lv2Bundle>(folder), setup) {}

Lv2PluginHost::Lv2PluginHost(std::shared_ptr<Lv2Bundle> bundle, const HostSetup& setup)
    : setup_(setup), bundle_(std::move(bundle)) {
  schedule_ = LV2_Worker_Schedule{this, &Lv2PluginHost::scheduleWork};
  featureList_ = {{LV2_URID__map, bundle_->map()},
                  {LV2_URID__unmap, bundle_->unmap()},
                  {LV2_WORKER__schedule, &schedule_}};
  for (const LV2_Feature& feature : featureList_) features_.push_back(&feature);
  features_.push_back(nullptr);
  LilvNode* stateInterface = lilv_new_uri(bundle_->world(), LV2_STATE__interface);
  hasState_ = lilv_plugin_has_extension_data(bundle_->plugin(), stateInterface);
  lilv_node_free(stateInterface);
  midiType_ = bundle_->urid(LV2_MIDI__MidiEvent);
  sequenceType_ = bundle_->urid(LV2_ATOM__Sequence);
  lv2_atom_forge_init(&forge_, bundle_->map());
  scanPorts();
  if (audioOut_.empty() || audioIn_.size() > size_t(kMaxChannels) ||
      audioOut_.size() > size_t(kMaxChannels))
    throw HostError("plug-in '" + bundle_->name() + "' has no usable audio outputs");
  messagesOut_.reserve(4 * kAtomCapacity);
  events_.reserve(512);  // a busy block's events arrive without allocating
  instantiate(44100.0);
}

void Lv2PluginHost::scanPorts() {
  Lv2Bundle& b = *bundle_;
  const uint32_t nPorts = lilv_plugin_get_num_ports(b.plugin());
  std::vector<float> minimum(nPorts), maximum(nPorts), defaults(nPorts);
  lilv_plugin_get_port_ranges_float(b.plugin(), minimum.data(), maximum.data(), defaults.data());
  values_.assign(nPorts, 0.0f);
  controlInput_.assign(nPorts, false);
  atomBuffers_.resize(nPorts);
  LilvNode* midiEvent = lilv_new_uri(b.world(), LV2_MIDI__MidiEvent);
  LilvNode* designationKey = lilv_new_uri(b.world(), LV2_CORE__designation);
  LilvNode* unitKey = lilv_new_uri(b.world(), "http://lv2plug.in/ns/extensions/units#unit");
  for (uint32_t p = 0; p < nPorts; ++p) {
    const LilvPort* port = lilv_plugin_get_port_by_index(b.plugin(), p);
    const bool input = b.portIs(port, LV2_CORE__InputPort);
    values_[p] =
        std::isnan(defaults[p]) ? (std::isnan(minimum[p]) ? 0.0f : minimum[p]) : defaults[p];
    if (b.portIs(port, LV2_CORE__AudioPort)) {
      (input ? audioIn_ : audioOut_).push_back(p);
      if (input) optionalIn_.push_back(b.portHas(port, LV2_CORE__connectionOptional));
    } else if (b.portIs(port, LV2_ATOM__AtomPort)) {
      (input ? atomIn_ : atomOut_).push_back(p);
      atomBuffers_[p].assign(kAtomCapacity / 8, 0);
      if (input && midiIn_ < 0 && lilv_port_supports_event(b.plugin(), port, midiEvent))
        midiIn_ = int(p);
    } else if (input && b.portIs(port, LV2_CORE__ControlPort)) {
      controlInput_[p] = true;
      LilvNodes* designation = lilv_port_get_value(b.plugin(), port, designationKey);
      const bool designated = designation && lilv_nodes_size(designation) > 0;
      lilv_nodes_free(designation);
      if (designated) continue;  // enabled, free-wheeling and the like keep their defaults
      Control control{p,
                      "",
                      "",
                      minimum[p],
                      maximum[p],
                      b.portHas(port, LV2_CORE__toggled),
                      b.portHas(port, LV2_CORE__integer),
                      {}};
      LilvNode* portName = lilv_port_get_name(b.plugin(), port);
      control.name = portName ? lilv_node_as_string(portName) : "";
      lilv_node_free(portName);
      LilvNodes* units = lilv_port_get_value(b.plugin(), port, unitKey);
      if (units && lilv_nodes_size(units) > 0 && lilv_node_is_uri(lilv_nodes_get_first(units)))
        control.unit = unitSymbol(lilv_node_as_uri(lilv_nodes_get_first(units)));
      lilv_nodes_free(units);
      LilvScalePoints* points = lilv_port_get_scale_points(b.plugin(), port);
      LILV_FOREACH(scale_points, it, points) {
        const LilvScalePoint* point = lilv_scale_points_get(points, it);
        control.choices.emplace_back(lilv_node_as_float(lilv_scale_point_get_value(point)),
                                     lilv_node_as_string(lilv_scale_point_get_label(point)));
      }
      lilv_scale_points_free(points);
      params_.push_back(std::move(control));
    }
  }
  lilv_node_free(unitKey);
  lilv_node_free(designationKey);
  lilv_node_free(midiEvent);
}

Lv2PluginHost::~Lv2PluginHost() {
  if (!instance_) return;
  lilv_instance_deactivate(instance_);
  lilv_instance_free(instance_);
}

void Lv2PluginHost::instantiate(double sampleRate) {
  if (instance_ && sampleRate == sampleRate_) return;
  if (instance_) {
    lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
  }
  sampleRate_ = sampleRate;
  instance_ = lilv_plugin_instantiate(bundle_->plugin(), sampleRate, features_.data());
  if (!instance_) throw HostError("plug-in '" + bundle_->name() + "' failed to start");
  for (uint32_t p = 0; p < values_.size(); ++p)
    lilv_instance_connect_port(
        instance_, p,
        atomBuffers_[p].empty() ? static_cast<void*>(&values_[p]) : atomBuffers_[p].data());
  lilv_instance_activate(instance_);
}

void Lv2PluginHost::start(double sampleRate, int blockSize) {
  silence_.assign(size_t(std::max(blockSize, 1)), 0.0f);
  instantiate(sampleRate);
}

// An instance is active from its making on; stop() leaves it so (LV2 knows no pause).
void Lv2PluginHost::stop() {}

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

std::string Lv2PluginHost::paramLabel(int index) {
  return index >= 0 && index < numParams() ? params_[size_t(index)].unit : "";
}

std::string Lv2PluginHost::programName(int index) {
  return index >= 0 && index < numPrograms() ? bundle_->presetLabels()[size_t(index)] : "";
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

float Lv2PluginHost::value(int index) const {
  return index >= 0 && index < numParams() ? values_[params_[size_t(index)].port] : 0.0f;
}

void Lv2PluginHost::setValue(int index, float plain) {
  if (index >= 0 && index < numParams()) values_[params_[size_t(index)].port] = plain;
}

float& Lv2PluginHost::port(const std::string& symbol) {
  const LilvPort* found = bundle_->port(symbol);
  if (!found) throw HostError("plug-in '" + bundle_->name() + "' has no port '" + symbol + "'");
  return values_[lilv_port_get_index(bundle_->plugin(), found)];
}

// The preset's state first (a preset of ZORQ holds its program's), then its port values.
void Lv2PluginHost::setProgram(int index) {
  if (index < 0 || index >= numPrograms()) return;
  LilvNode* node = lilv_new_uri(bundle_->world(), bundle_->presets()[size_t(index)].c_str());
  LilvState* state = lilv_state_new_from_world(bundle_->world(), bundle_->map(), node);
  lilv_node_free(node);
  if (!state) throw HostError("preset '" + programName(index) + "' cannot be read");
  restoreState(state);
  lilv_state_free(state);
  currentProgram_ = index;
}

const void* Lv2PluginHost::portValue(const char* symbol, void* user, uint32_t* size,
                                     uint32_t* type) {
  auto* self = static_cast<Lv2PluginHost*>(user);
  const LilvPort* port = self->bundle_->port(symbol);
  const uint32_t index = port ? lilv_port_get_index(self->bundle_->plugin(), port) : 0;
  if (!port || !self->controlInput_[index]) {
    *size = *type = 0;
    return nullptr;
  }
  *size = sizeof(float);
  *type = self->bundle_->urid(LV2_ATOM__Float);
  return &self->values_[index];
}

void Lv2PluginHost::setPortValue(const char* symbol, void* user, const void* value, uint32_t size,
                                 uint32_t type) {
  auto* self = static_cast<Lv2PluginHost*>(user);
  const LilvPort* port = self->bundle_->port(symbol);
  if (!port || size != sizeof(float) || type != self->bundle_->urid(LV2_ATOM__Float)) return;
  std::memcpy(&self->values_[lilv_port_get_index(self->bundle_->plugin(), port)], value,
              sizeof(float));
}

LilvState* Lv2PluginHost::saveState(const std::string& folder) {
  const char* dir = folder.empty() ? nullptr : folder.c_str();
  const uint32_t flags = dir ? LV2_STATE_IS_POD : LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return lilv_state_new_from_instance(bundle_->plugin(), instance_, bundle_->map(), nullptr,
                                      nullptr, dir, dir, &Lv2PluginHost::portValue, this, flags,
                                      features_.data());
}

void Lv2PluginHost::restoreState(const LilvState* state) {
  lilv_state_restore(state, instance_, &Lv2PluginHost::setPortValue, this, 0, features_.data());
  idle();
}

std::map<std::string, Lv2Property> Lv2PluginHost::saveProperties() {
  std::map<std::string, Lv2Property> properties;
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
  if (!state) return properties;
  struct Store {
    std::map<std::string, Lv2Property>* properties;
    Lv2Bundle* bundle;
  } store{&properties, bundle_.get()};
  state->save(
      lilv_instance_get_handle(instance_),
      [](LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
         uint32_t) {
        auto* s = static_cast<Store*>(handle);
        const char* keyUri = s->bundle->uriOf(key);
        const char* typeUri = s->bundle->uriOf(type);
        if (!keyUri) return LV2_STATE_ERR_NO_PROPERTY;
        const auto* bytes = static_cast<const uint8_t*>(value);
        (*s->properties)[keyUri] = {typeUri ? typeUri : "", {bytes, bytes + size}};
        return LV2_STATE_SUCCESS;
      },
      &store, LV2_STATE_IS_POD, features_.data());
  return properties;
}

bool Lv2PluginHost::restoreProperties(const std::map<std::string, Lv2Property>& properties) {
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
  if (!state) return false;
  struct Given {
    const std::map<std::string, Lv2Property>* properties;
    Lv2Bundle* bundle;
  } given{&properties, bundle_.get()};
  const LV2_State_Status status = state->restore(
      lilv_instance_get_handle(instance_),
      [](LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
         uint32_t* flags) -> const void* {
        auto* g = static_cast<Given*>(handle);
        *flags = LV2_STATE_IS_POD;
        return propertyOf(*g->properties, *g->bundle, key, size, type);
      },
      &given, 0, features_.data());
  idle();
  return status == LV2_STATE_SUCCESS;
}

std::string Lv2PluginHost::stateKey(bool bank) const {
  return bundle_->uri() + (bank ? "#bank" : "#program");
}

std::vector<uint8_t> Lv2PluginHost::chunk(bool bank) {
  auto properties = saveProperties();
  auto found = properties.find(stateKey(bank));
  return found == properties.end() ? std::vector<uint8_t>() : found->second.value;
}

// The port values the plug-in keeps with its state (the "ports" value: a vector of
// floats, one per parameter) become the ports' own, as a host restoring a session sets
// them: a chunk then plays as it would with its session.
bool Lv2PluginHost::setChunk(bool bank, const std::vector<uint8_t>& bytes) {
  if (!restoreProperties({{stateKey(bank), {LV2_ATOM__Chunk, bytes}}})) return false;
  const auto properties = saveProperties();
  const auto ports = properties.find(bundle_->uri() + "#ports");
  if (ports == properties.end() || ports->second.type != LV2_ATOM__Vector) return true;
  const std::vector<uint8_t>& vector = ports->second.value;
  LV2_Atom_Vector_Body body{};
  if (vector.size() < sizeof body) return true;
  std::memcpy(&body, vector.data(), sizeof body);
  if (body.child_type != bundle_->urid(LV2_ATOM__Float) || body.child_size != sizeof(float))
    return true;
  const size_t count = std::min((vector.size() - sizeof body) / sizeof(float), params_.size());
  for (size_t i = 0; i < count; ++i)
    std::memcpy(&values_[params_[i].port], vector.data() + sizeof body + i * sizeof(float),
                sizeof(float));
  return true;
}

LV2_Worker_Status Lv2PluginHost::scheduleWork(LV2_Worker_Schedule_Handle handle, uint32_t size,
                                              const void* data) {
  return static_cast<Lv2PluginHost*>(handle)->jobs_.add(size, data) ? LV2_WORKER_SUCCESS
                                                                    : LV2_WORKER_ERR_NO_SPACE;
}

LV2_Worker_Status Lv2PluginHost::respond(LV2_Worker_Respond_Handle handle, uint32_t size,
                                         const void* data) {
  return static_cast<Lv2PluginHost*>(handle)->responses_.add(size, data) ? LV2_WORKER_SUCCESS
                                                                         : LV2_WORKER_ERR_NO_SPACE;
}

void Lv2PluginHost::idle() {
  const auto* worker = static_cast<const LV2_Worker_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_WORKER__interface));
  const int jobs = jobs_.count;
  jobs_.count = 0;
  if (!worker) return;
  for (int j = 0; j < jobs; ++j)
    worker->work(lilv_instance_get_handle(instance_), &Lv2PluginHost::respond, this,
                 jobs_.sizes[size_t(j)], jobs_.data[size_t(j)].data());
}

void Lv2PluginHost::sendMessage(const void* atom, uint32_t size) {
  const auto* bytes = static_cast<const uint8_t*>(atom);
  messagesIn_.emplace_back(bytes, bytes + size);
}

std::vector<std::vector<uint8_t>> Lv2PluginHost::takeMessages() {
  std::vector<std::vector<uint8_t>> messages;
  for (size_t at = 0; at + sizeof(LV2_Atom) <= messagesOut_.size();) {
    LV2_Atom header;
    std::memcpy(&header, messagesOut_.data() + at, sizeof header);
    const size_t size = sizeof(LV2_Atom) + header.size;
    messages.emplace_back(messagesOut_.begin() + static_cast<std::ptrdiff_t>(at),
                          messagesOut_.begin() + static_cast<std::ptrdiff_t>(at + size));
    at += size;
  }
  messagesOut_.clear();
  return messages;
}

// The caller's messages first (at frame 0), then the MIDI events.
void Lv2PluginHost::writeInput() {
  LV2_Atom_Forge& forge = forge_;
  for (uint32_t port : atomIn_) {
    std::vector<uint64_t>& buffer = atomBuffers_[port];
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(buffer.data()), kAtomCapacity);
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_sequence_head(&forge, &frame, 0);
    if (int(port) == midiIn_) {
      for (const std::vector<uint8_t>& message : messagesIn_) {
        lv2_atom_forge_frame_time(&forge, 0);
        lv2_atom_forge_write(&forge, message.data(), static_cast<uint32_t>(message.size()));
      }
      for (const HostMidiEvent& event : events_) {
        const uint8_t bytes[3] = {event.status, event.data1, event.data2};
        const uint32_t size =
            (event.status & 0xF0) == 0xC0 || (event.status & 0xF0) == 0xD0 ? 2 : 3;
        lv2_atom_forge_frame_time(&forge, std::max(event.frame, 0));
        lv2_atom_forge_atom(&forge, size, midiType_);
        lv2_atom_forge_write(&forge, bytes, size);
      }
    }
    lv2_atom_forge_pop(&forge, &frame);
  }
  events_.clear();
  messagesIn_.clear();
  for (uint32_t port : atomOut_) {
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(atomBuffers_[port].data());
    sequence->atom.type = 0;
    sequence->atom.size = kAtomCapacity - sizeof(LV2_Atom);
  }
}

// MIDI to the observer; the other atoms kept while they fit (no allocation here).
void Lv2PluginHost::readOutput() {
  for (uint32_t port : atomOut_) {
    const auto* sequence = reinterpret_cast<const LV2_Atom_Sequence*>(atomBuffers_[port].data());
    if (sequence->atom.type != sequenceType_ || sequence->atom.size > kAtomCapacity) continue;
    LV2_ATOM_SEQUENCE_FOREACH(sequence, event) {
      const auto* body = reinterpret_cast<const uint8_t*>(&event->body);
      if (event->body.type == midiType_) {
        if (setup_.observer)
          setup_.observer->midiOut(static_cast<int>(event->time.frames), body + sizeof(LV2_Atom),
                                   static_cast<int>(event->body.size));
      } else if (messagesOut_.size() + sizeof(LV2_Atom) + event->body.size <=
                 messagesOut_.capacity()) {
        messagesOut_.insert(messagesOut_.end(), body, body + sizeof(LV2_Atom) + event->body.size);
      }
    }
  }
}

void Lv2PluginHost::process(float** inputs, float** outputs, int frames) {
  if (size_t(frames) > silence_.size()) silence_.assign(size_t(frames), 0.0f);
  for (size_t c = 0; c < audioIn_.size(); ++c)
    lilv_instance_connect_port(instance_, audioIn_[c],
                               inputs[c] || optionalIn_[c] ? inputs[c] : silence_.data());
  for (size_t c = 0; c < audioOut_.size(); ++c)
    lilv_instance_connect_port(instance_, audioOut_[c], outputs[c]);
  writeInput();
  const auto* worker = static_cast<const LV2_Worker_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_WORKER__interface));
  const int responses = responses_.count;
  responses_.count = 0;
  for (int r = 0; worker && worker->work_response && r < responses; ++r)
    worker->work_response(lilv_instance_get_handle(instance_), responses_.sizes[size_t(r)],
                          responses_.data[size_t(r)].data());
  lilv_instance_run(instance_, uint32_t(std::max(frames, 0)));
  if (worker && worker->end_run) worker->end_run(lilv_instance_get_handle(instance_));
  readOutput();
}
