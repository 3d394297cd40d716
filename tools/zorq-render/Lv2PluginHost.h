#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include "zorq-render/PluginHost.h"

// An LV2 plug-in driven the way an offline host drives it, through lilv: the first
// plug-in of a bundle folder ("ZORQ.lv2"). Parameters are its control inputs (those
// without a designation; the enabled port stays on), programs are its presets (in
// URI order), the chunks are its state's "bank" and "program" values (ZORQ's), MIDI
// goes to its first MIDI input, and its worker runs right after each run(), as
// offline hosts may. Values and texts are the ports' own: plain numbers, "on" and
// "off" for toggles, and the scale points' labels for choices. Single-threaded.
class Lv2PluginHost : public PluginHost {
 public:
  // Loads the bundle; RenderError when it holds no usable plug-in.
  explicit Lv2PluginHost(const std::string& bundle);
  ~Lv2PluginHost() override;
  Lv2PluginHost(const Lv2PluginHost&) = delete;
  Lv2PluginHost& operator=(const Lv2PluginHost&) = delete;

  // Whether the path names an LV2 bundle folder.
  static bool isBundle(const std::string& path);

  int numParams() const override { return static_cast<int>(params_.size()); }
  int numPrograms() const override { return static_cast<int>(presets_.size()); }
  int numInputs() const override { return static_cast<int>(audioIn_.size()); }
  int numOutputs() const override { return static_cast<int>(audioOut_.size()); }
  bool hasProgramChunks() const override { return hasState_; }
  // LV2 plug-ins carry no VST identity: program and bank files name another plug-in.
  int32_t uniqueId() const override { return 0; }
  int32_t version() const override { return 0; }

  std::string effectName() override { return name_; }
  std::string paramName(int index) override;
  std::string paramDisplay(int index) override;
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
  void sendEvents(const std::vector<HostMidiEvent>& events) override { events_ = events; }
  void process(float** inputs, float** outputs, int frames) override;
  void setTransport(double, double, double) override {}

 private:
  struct Control {
    uint32_t port;
    std::string name, unit;
    float minimum, maximum;
    bool toggled, integer;
    std::vector<std::pair<float, std::string>> choices;
  };

  void instantiate(double sampleRate);
  void runWorker();
  LV2_URID map(const char* uri);
  std::string stateKey(bool bank) const;
  static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri);
  static const char* unmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid);
  static LV2_Worker_Status scheduleWork(LV2_Worker_Schedule_Handle handle, uint32_t size,
                                        const void* data);
  static void setPortValue(const char* symbol, void* user, const void* value, uint32_t size,
                           uint32_t type);

  LilvWorld* world_ = nullptr;
  const LilvPlugin* plugin_ = nullptr;
  LilvInstance* instance_ = nullptr;
  std::string name_, uri_;
  bool hasState_ = false;
  double sampleRate_ = 0.0;
  int blockSize_ = 512;

  std::map<std::string, LV2_URID> uridOf_;
  std::vector<std::string> uris_;
  LV2_URID_Map uridMap_{};
  LV2_URID_Unmap uridUnmap_{};
  LV2_Worker_Schedule schedule_{};
  std::vector<LV2_Feature> featureList_;
  std::vector<const LV2_Feature*> features_;
  static constexpr int kMaxJobs = 32;
  std::array<std::array<uint8_t, 256>, kMaxJobs> jobData_{};
  uint32_t jobSizes_[kMaxJobs] = {};
  int jobCount_ = 0;

  std::vector<float> values_;  // one per port
  std::vector<Control> params_;
  std::vector<uint32_t> audioIn_, audioOut_, atomIn_, atomOut_;
  int midiIn_ = -1;
  std::vector<std::vector<uint64_t>> atomBuffers_;  // one per atom port, in port order
  std::vector<std::string> presets_, presetLabels_;
  int currentProgram_ = 0;
  std::vector<HostMidiEvent> events_;
};
