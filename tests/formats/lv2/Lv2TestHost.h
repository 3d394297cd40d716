// A small LV2 host over lilv for the tests: the bundle of the build folder, a URID
// map, and instances of the built ZORQ_dsp.so driven as hosts drive them (ports, MIDI
// and editor messages in the atom input, a worker run right after each run(), state
// saved and restored through lilv).
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/ByteChunk.h"
#include "support/AllocationCounter.h"

class UridMap {
 public:
  UridMap() : map{this, &UridMap::mapUri}, unmap{this, &UridMap::unmapUri} {}
  LV2_URID operator()(const char* uri) { return mapUri(this, uri); }

  LV2_URID_Map map;
  LV2_URID_Unmap unmap;

 private:
  static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    std::vector<std::string>& uris = static_cast<UridMap*>(handle)->uris_;
    const size_t found = size_t(std::find(uris.begin(), uris.end(), uri) - uris.begin());
    if (found == uris.size()) uris.push_back(uri);
    return static_cast<LV2_URID>(found + 1);
  }
  static const char* unmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
    auto* self = static_cast<UridMap*>(handle);
    return urid >= 1 && urid <= self->uris_.size() ? self->uris_[urid - 1].c_str() : nullptr;
  }
  std::vector<std::string> uris_;
};

// The world with only the build's bundle loaded.
class Lv2World {
 public:
  Lv2World() {
    world = lilv_world_new();
    LilvNode* bundle = lilv_new_file_uri(world, nullptr, ZORQ_LV2_BUNDLE);
    lilv_world_load_bundle(world, bundle);
    lilv_node_free(bundle);
    LilvNode* uri = lilv_new_uri(world, "urn:zandervoltmusic:zorq");
    plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
    lilv_node_free(uri);
  }
  ~Lv2World() { lilv_world_free(world); }
  Lv2World(const Lv2World&) = delete;
  Lv2World& operator=(const Lv2World&) = delete;

  LilvNode* node(const char* uri) { return lilv_new_uri(world, uri); }
  const LilvPort* port(const char* symbol) {
    LilvNode* node = lilv_new_string(world, symbol);
    const LilvPort* found = lilv_plugin_get_port_by_symbol(plugin, node);
    lilv_node_free(node);
    return found;
  }
  uint32_t index(const char* symbol) { return lilv_port_get_index(plugin, port(symbol)); }

  LilvWorld* world = nullptr;
  const LilvPlugin* plugin = nullptr;
  UridMap urids;
};

// One instance of ZORQ_dsp.so. Control inputs hold their declared defaults until set.
class Lv2Instance {
 public:
  static constexpr uint32_t kAtomCapacity = 65536;

  explicit Lv2Instance(Lv2World& world)
      : world_(world), nPorts_(lilv_plugin_get_num_ports(world.plugin)) {
    controls_.assign(nPorts_, 0.0f);
    std::vector<float> mins(nPorts_), maxs(nPorts_), defaults(nPorts_);
    lilv_plugin_get_port_ranges_float(world.plugin, mins.data(), maxs.data(), defaults.data());
    for (uint32_t p = 0; p < nPorts_; ++p)
      controls_[p] = std::isnan(defaults[p]) ? 0.0f : defaults[p];
    schedule_ = LV2_Worker_Schedule{this, &Lv2Instance::scheduleWork};
    mapFeature_ = LV2_Feature{LV2_URID__map, &world.urids.map};
    unmapFeature_ = LV2_Feature{LV2_URID__unmap, &world.urids.unmap};
    scheduleFeature_ = LV2_Feature{LV2_WORKER__schedule, &schedule_};
    features_ = {&mapFeature_, &unmapFeature_, &scheduleFeature_, nullptr};
    instance_ = lilv_plugin_instantiate(world.plugin, 44100.0, features_.data());
    if (!instance_) return;
    in_.assign(kAtomCapacity / 8, 0);
    out_.assign(kAtomCapacity / 8, 0);
    lv2_atom_forge_init(&forge_, &world.urids.map);
    for (uint32_t p = 0; p < nPorts_; ++p) {
      const LilvPort* port = lilv_plugin_get_port_by_index(world.plugin, p);
      if (isA(port, LV2_CORE__ControlPort)) lilv_instance_connect_port(instance_, p, &controls_[p]);
    }
    lilv_instance_connect_port(instance_, world.index("control"), in_.data());
    lilv_instance_connect_port(instance_, world.index("notify"), out_.data());
    lilv_instance_activate(instance_);
  }
  ~Lv2Instance() {
    if (!instance_) return;
    lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
  }
  Lv2Instance(const Lv2Instance&) = delete;
  Lv2Instance& operator=(const Lv2Instance&) = delete;

  bool valid() const { return instance_ != nullptr; }
  LilvInstance* instance() { return instance_; }
  float& control(const char* symbol) { return controls_[world_.index(symbol)]; }

  // Queued for the next run, in the order given (frames must not go down).
  void midi(uint32_t frame, std::vector<uint8_t> bytes) {
    events_.push_back({frame, true, std::move(bytes)});
  }
  void message(std::vector<uint8_t> atom) { events_.push_back({0, false, std::move(atom)}); }

  // One run() of n frames, then the worker's jobs. A null carrier is left unconnected.
  void run(const float* voiceL, const float* voiceR, const float* carrierL, const float* carrierR,
           float* outL, float* outR, uint32_t n) {
    const float* ins[] = {voiceL, voiceR, carrierL, carrierR};
    const char* inSymbols[] = {"voice_l", "voice_r", "carrier_l", "carrier_r"};
    for (int i = 0; i < 4; ++i)
      lilv_instance_connect_port(instance_, world_.index(inSymbols[i]), const_cast<float*>(ins[i]));
    lilv_instance_connect_port(instance_, world_.index("out_l"), outL);
    lilv_instance_connect_port(instance_, world_.index("out_r"), outR);
    writeInput();
    LV2_Atom_Sequence* out = reinterpret_cast<LV2_Atom_Sequence*>(out_.data());
    out->atom.type = 0;
    out->atom.size = kAtomCapacity - sizeof(LV2_Atom);
    const size_t allocationsBefore = allocationCount();
    lilv_instance_run(instance_, n);
    allocationsInRun_ += allocationCount() - allocationsBefore;
    LV2_ATOM_SEQUENCE_FOREACH(out, event) {
      const uint8_t* body = reinterpret_cast<const uint8_t*>(&event->body);
      notifications_.emplace_back(body, body + sizeof(LV2_Atom) + event->body.size);
    }
    if (workerHere_) runWorker();
  }
  // The worker's jobs are left to another thread (which calls work() itself).
  void runWorkerElsewhere() { workerHere_ = false; }
  const LV2_Feature* const* features() const { return features_.data(); }
  std::vector<std::vector<uint8_t>> takeNotifications() { return std::move(notifications_); }
  // Heap allocations made inside run() so far.
  size_t allocationsInRun() const { return allocationsInRun_; }

  // The state through lilv: saved with the control inputs' values, restored in lilv's
  // order (the plug-in's state, then the saved port values).
  LilvState* save() {
    return lilv_state_new_from_instance(world_.plugin, instance_, &world_.urids.map, nullptr,
                                        nullptr, nullptr, nullptr, &Lv2Instance::portValue, this,
                                        LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features_.data());
  }
  void restore(const LilvState* state) {
    lilv_state_restore(state, instance_, &Lv2Instance::setPortValue, this, 0, features_.data());
  }
  // What the plug-in's state interface stores, by key.
  std::map<std::string, std::vector<uint8_t>> savedProperties() {
    std::map<std::string, std::vector<uint8_t>> properties;
    struct Store {
      std::map<std::string, std::vector<uint8_t>>* properties;
      UridMap* urids;
    } store{&properties, &world_.urids};
    const auto* state = static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
    state->save(
        lilv_instance_get_handle(instance_),
        [](LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t,
           uint32_t) {
          auto* s = static_cast<Store*>(handle);
          const uint8_t* bytes = static_cast<const uint8_t*>(value);
          (*s->properties)[s->urids->unmap.unmap(s->urids->unmap.handle, key)] =
              std::vector<uint8_t>(bytes, bytes + size);
          return LV2_STATE_SUCCESS;
        },
        &store, 0, features_.data());
    return properties;
  }
  // One stored property: its type's URI and its bytes.
  struct Property {
    const char* type;
    std::vector<uint8_t> bytes;
  };
  // The plug-in's state interface called directly with these properties, keyed by the
  // part of their URI after the plug-in's.
  LV2_State_Status restoreProperties(std::map<std::string, Property> properties) {
    properties_ = std::move(properties);
    const auto* state = static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
    return state->restore(lilv_instance_get_handle(instance_), &Lv2Instance::retrieveProperty, this,
                          0, features_.data());
  }
  // A bank chunk (of `type`, a chunk by default) and, when not negative, the current program.
  LV2_State_Status restoreBank(const std::vector<uint8_t>& bytes, const char* type = nullptr,
                               int32_t current = -1) {
    std::map<std::string, Property> properties = {{"bank", {type ? type : LV2_ATOM__Chunk, bytes}}};
    if (current >= 0) {
      std::vector<uint8_t> index(sizeof current);
      std::memcpy(index.data(), &current, sizeof current);
      properties["currentProgram"] = {LV2_ATOM__Int, index};
    }
    return restoreProperties(std::move(properties));
  }

 private:
  struct Event {
    uint32_t frame;
    bool midi;
    std::vector<uint8_t> bytes;
  };

  bool isA(const LilvPort* port, const char* uri) {
    LilvNode* node = lilv_new_uri(world_.world, uri);
    const bool result = lilv_port_is_a(world_.plugin, port, node);
    lilv_node_free(node);
    return result;
  }

  void writeInput() {
    lv2_atom_forge_set_buffer(&forge_, reinterpret_cast<uint8_t*>(in_.data()), kAtomCapacity);
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_sequence_head(&forge_, &frame, 0);
    const LV2_URID midiType = world_.urids(LV2_MIDI__MidiEvent);
    for (const Event& event : events_) {
      lv2_atom_forge_frame_time(&forge_, event.frame);
      if (event.midi) {
        lv2_atom_forge_atom(&forge_, static_cast<uint32_t>(event.bytes.size()), midiType);
        lv2_atom_forge_write(&forge_, event.bytes.data(),
                             static_cast<uint32_t>(event.bytes.size()));
      } else {
        lv2_atom_forge_write(&forge_, event.bytes.data(),
                             static_cast<uint32_t>(event.bytes.size()));
      }
    }
    lv2_atom_forge_pop(&forge_, &frame);
    events_.clear();
  }

  void runWorker() {
    const auto* worker = static_cast<const LV2_Worker_Interface*>(
        lilv_instance_get_extension_data(instance_, LV2_WORKER__interface));
    const int jobs = jobCount_;
    jobCount_ = 0;
    for (int j = 0; j < jobs; ++j)
      worker->work(lilv_instance_get_handle(instance_), &Lv2Instance::respond, this, jobSizes_[j],
                   jobData_[j].data());
    if (worker->end_run) worker->end_run(lilv_instance_get_handle(instance_));
  }

  static LV2_Worker_Status scheduleWork(LV2_Worker_Schedule_Handle handle, uint32_t size,
                                        const void* data) {
    // Called from run(): no allocation here either.
    auto* self = static_cast<Lv2Instance*>(handle);
    if (self->jobCount_ == kMaxJobs || size > self->jobData_[0].size())
      return LV2_WORKER_ERR_NO_SPACE;
    std::memcpy(self->jobData_[self->jobCount_].data(), data, size);
    self->jobSizes_[self->jobCount_++] = size;
    return LV2_WORKER_SUCCESS;
  }
  static LV2_Worker_Status respond(LV2_Worker_Respond_Handle, uint32_t, const void*) {
    return LV2_WORKER_SUCCESS;
  }

 public:
  // lilv's callback for the control inputs' values (user: the instance).
  static const void* portValue(const char* symbol, void* user, uint32_t* size, uint32_t* type) {
    auto* self = static_cast<Lv2Instance*>(user);
    const LilvPort* port = self->world_.port(symbol);
    if (!port || !self->isA(port, LV2_CORE__InputPort) || !self->isA(port, LV2_CORE__ControlPort)) {
      *size = *type = 0;
      return nullptr;
    }
    *size = sizeof(float);
    *type = self->world_.urids(LV2_ATOM__Float);
    return &self->controls_[lilv_port_get_index(self->world_.plugin, port)];
  }

 private:
  static void setPortValue(const char* symbol, void* user, const void* value, uint32_t size,
                           uint32_t type) {
    auto* self = static_cast<Lv2Instance*>(user);
    if (size == sizeof(float) && type == self->world_.urids(LV2_ATOM__Float))
      std::memcpy(&self->control(symbol), value, sizeof(float));
  }
  static const void* retrieveProperty(LV2_State_Handle handle, uint32_t key, size_t* size,
                                      uint32_t* type, uint32_t* flags) {
    auto* self = static_cast<Lv2Instance*>(handle);
    const std::string uri = self->world_.urids.unmap.unmap(self->world_.urids.unmap.handle, key);
    const auto found = self->properties_.find(uri.substr(uri.find('#') + 1));
    if (uri.find("urn:zandervoltmusic:zorq#") != 0 || found == self->properties_.end())
      return nullptr;
    *size = found->second.bytes.size();
    *type = self->world_.urids(found->second.type);
    *flags = LV2_STATE_IS_POD;
    return found->second.bytes.data();
  }

  Lv2World& world_;
  uint32_t nPorts_;
  std::vector<float> controls_;
  LilvInstance* instance_ = nullptr;
  LV2_Worker_Schedule schedule_{};
  LV2_Feature mapFeature_{}, unmapFeature_{}, scheduleFeature_{};
  std::vector<const LV2_Feature*> features_;
  std::vector<uint64_t> in_, out_;
  LV2_Atom_Forge forge_{};
  std::vector<Event> events_;
  static constexpr int kMaxJobs = 16;
  std::array<std::array<uint8_t, 64>, kMaxJobs> jobData_{};
  uint32_t jobSizes_[kMaxJobs] = {};
  int jobCount_ = 0;
  std::vector<std::vector<uint8_t>> notifications_;
  std::map<std::string, Property> properties_;
  size_t allocationsInRun_ = 0;
  bool workerHere_ = true;
};
