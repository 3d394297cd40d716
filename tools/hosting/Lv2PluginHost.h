#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include "hosting/Lv2Bundle.h"
#include "hosting/PluginHost.h"

// One value the plug-in's state interface stores: its type's URI and its bytes.
struct Lv2Property {
  std::string type;
  std::vector<uint8_t> value;
};

// An LV2 plug-in driven the way hosts drive it, through lilv: an instance of a bundle's
// plug-in. Parameters are its control inputs without a designation (the enabled port
// stays on); programs are its presets; the chunks are its state's "bank" and "program"
// values (with the port values it keeps beside them, which the ports take, as a session
// restores them); MIDI and the caller's messages go to its first MIDI input; MIDI it sends
// reaches the observer and its other messages wait for takeMessages(). Its worker runs
// in idle() and the answers reach the plug-in before the next run(). Values and texts
// are the ports' own: plain numbers (the unit's symbol may follow a typed one), "on"
// and "off" for toggles, and the scale points' labels for choices.
class Lv2PluginHost : public PluginHost {
 public:
  // Loads the bundle and makes an instance; HostError when it cannot.
  explicit Lv2PluginHost(const std::string& folder, const HostSetup& setup = {});
  explicit Lv2PluginHost(std::shared_ptr<Lv2Bundle> bundle, const HostSetup& setup = {});
  ~Lv2PluginHost() override;
  Lv2PluginHost(const Lv2PluginHost&) = delete;
  Lv2PluginHost& operator=(const Lv2PluginHost&) = delete;

  Lv2Bundle& bundle() { return *bundle_; }
  LilvInstance* instance() { return instance_; }
  const LV2_Feature* const* features() const { return features_.data(); }

  int numParams() const override { return static_cast<int>(params_.size()); }
  int numPrograms() const override { return static_cast<int>(bundle_->presets().size()); }
  int numInputs() const override { return static_cast<int>(audioIn_.size()); }
  int numOutputs() const override { return static_cast<int>(audioOut_.size()); }
  bool hasProgramChunks() const override { return hasState_; }
  // LV2 plug-ins carry no VST identity: program and bank files name another plug-in.
  int32_t uniqueId() const override { return 0; }
  int32_t version() const override { return 0; }

  std::string effectName() override { return bundle_->name(); }
  std::string paramName(int index) override;
  std::string paramDisplay(int index) override;
  // The symbol of the port's unit ("Hz"), or none.
  std::string paramLabel(int index) override;
  std::string programName(int index) override;
  int currentProgram() override { return currentProgram_; }
  std::string currentProgramName() override { return programName(currentProgram_); }
  float getParameter(int index) override;
  void setParameter(int index, float normalised) override;
  bool setParameterFromText(int index, const std::string& text) override;
  void setProgram(int index) override;
  void setProgramName(const std::string&) override {}
  std::vector<uint8_t> chunk(bool bank) override;
  bool setChunk(bool bank, const std::vector<uint8_t>& bytes) override;

  void start(double sampleRate, int blockSize) override;
  void stop() override;
  void sendEvents(const std::vector<HostMidiEvent>& events) override { events_ = events; }
  void process(float** inputs, float** outputs, int frames) override;
  void idle() override;
  void setTransport(double, double, double) override {}

  // The value of a control port by its symbol (the host's side of the port).
  float& port(const std::string& symbol);
  // Plain values of parameter `index`, handed to the port as they are.
  float value(int index) const;
  void setValue(int index, float plain);
  // An atom (header and body) for the MIDI input at the start of the next run().
  void sendMessage(const void* atom, uint32_t size);
  // What the plug-in sent besides MIDI since the last call, one atom each (up to 256 kB
  // of them: a host hands them on at every cycle).
  std::vector<std::vector<uint8_t>> takeMessages();

  // What the plug-in's state interface stores, by key URI; and a restore of such
  // values through it (false when the plug-in refuses them).
  std::map<std::string, Lv2Property> saveProperties();
  bool restoreProperties(const std::map<std::string, Lv2Property>& properties);
  // The state as lilv keeps it, with the control inputs' values (the caller frees it).
  // Files it names stay where they are, or, given a folder, are linked into it.
  LilvState* saveState(const std::string& folder = "");
  // Restored in lilv's order: the plug-in's state, then the saved port values.
  void restoreState(const LilvState* state);

 private:
  struct Control {
    uint32_t port;
    std::string name, unit;
    float minimum, maximum;
    bool toggled, integer;
    std::vector<std::pair<float, std::string>> choices;
  };
  static constexpr int kMaxJobs = 32;
  static constexpr size_t kJobSize = 256;
  struct Jobs {
    std::array<std::array<uint8_t, kJobSize>, kMaxJobs> data{};
    std::array<uint32_t, kMaxJobs> sizes{};
    int count = 0;
    bool add(uint32_t size, const void* bytes);
  };

  void scanPorts();
  void instantiate(double sampleRate);
  void writeInput();
  void readOutput();
  std::string stateKey(bool bank) const;
  static LV2_Worker_Status scheduleWork(LV2_Worker_Schedule_Handle handle, uint32_t size,
                                        const void* data);
  static LV2_Worker_Status respond(LV2_Worker_Respond_Handle handle, uint32_t size,
                                   const void* data);
  static const void* portValue(const char* symbol, void* user, uint32_t* size, uint32_t* type);
  static void setPortValue(const char* symbol, void* user, const void* value, uint32_t size,
                           uint32_t type);

  HostSetup setup_;
  std::shared_ptr<Lv2Bundle> bundle_;
  LilvInstance* instance_ = nullptr;
  bool hasState_ = false;
  LV2_URID midiType_ = 0, sequenceType_ = 0;
  LV2_Atom_Forge forge_{};  // made once: making one maps URIs
  double sampleRate_ = 0.0;

  LV2_Worker_Schedule schedule_{};
  std::vector<LV2_Feature> featureList_;
  std::vector<const LV2_Feature*> features_;
  Jobs jobs_, responses_;

  std::vector<float> values_;  // one per port
  std::vector<bool> controlInput_;
  std::vector<Control> params_;
  std::vector<uint32_t> audioIn_, audioOut_, atomIn_, atomOut_;
  std::vector<bool> optionalIn_;
  std::vector<float> silence_;
  int midiIn_ = -1;
  std::vector<std::vector<uint64_t>> atomBuffers_;  // one per atom port, in port order
  int currentProgram_ = 0;
  std::vector<HostMidiEvent> events_;
  std::vector<std::vector<uint8_t>> messagesIn_;
  std::vector<uint8_t> messagesOut_;  // atoms back to back, within a fixed capacity
};
