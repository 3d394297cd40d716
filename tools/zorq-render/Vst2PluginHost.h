#pragma once

#include <string>
#include <vector>

#include "formats/vst2/VstAbi.h"
#include "zorq-render/PluginHost.h"

// A VST 2 plug-in driven the way an offline host drives it: loaded from a shared object
// through its exported entry point (and then owned), or an AEffect that lives in this
// process (borrowed: the caller keeps and closes it). Answers the plug-in's host
// callback. Single-threaded.
class Vst2PluginHost : public PluginHost {
 public:
  static constexpr const char* kVendorString = "ZORQ";
  static constexpr const char* kProductString = "zorq-render";

  // Loads and opens the plug-in; RenderError when it cannot.
  explicit Vst2PluginHost(const std::string& path);
  // Opens a plug-in made in this process whose host callback is callback().
  explicit Vst2PluginHost(AEffect* effect);
  ~Vst2PluginHost() override;
  Vst2PluginHost(const Vst2PluginHost&) = delete;
  Vst2PluginHost& operator=(const Vst2PluginHost&) = delete;

  // The host callback to give a plug-in made in this process.
  static VstHostCallback callback() { return &Vst2PluginHost::hostCallback; }

  AEffect& effect() { return *effect_; }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);

  int numParams() const override { return effect_->numParams; }
  int numPrograms() const override { return effect_->numPrograms; }
  int numInputs() const override { return effect_->numInputs; }
  int numOutputs() const override { return effect_->numOutputs; }
  bool hasProgramChunks() const override { return effect_->flags & effFlagsProgramChunks; }
  int32_t uniqueId() const override { return effect_->uniqueID; }
  int32_t version() const override { return effect_->version; }

  std::string effectName() override;
  std::string paramName(int index) override;
  std::string paramDisplay(int index) override;
  std::string paramLabel(int index) override;
  std::string programName(int index) override;
  int currentProgram() override;
  std::string currentProgramName() override;
  float getParameter(int index) override;
  void setParameter(int index, float normalised) override;
  bool setParameterFromText(int index, const std::string& text) override;
  void setProgram(int index) override;
  void setProgramName(const std::string& name) override;
  std::vector<uint8_t> chunk(bool bank) override;
  bool setChunk(bool bank, const std::vector<uint8_t>& bytes) override;

  void start(double sampleRate, int blockSize) override;
  void sendEvents(const std::vector<HostMidiEvent>& events) override;
  void process(float** inputs, float** outputs, int frames) override;
  void setTransport(double samplePosition, double beatsPerMinute, double beatPosition) override;

 private:
  static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                void* ptr, float opt);
  VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  std::string textFromDispatcher(VstInt32 opcode, VstInt32 index);
  // Checks the opened plug-in; RenderError (after closing it when owned) when unusable.
  void checkUsable(const std::string& name);

  void* library_ = nullptr;  // null for a borrowed plug-in
  AEffect* effect_ = nullptr;
  bool started_ = false;
  double sampleRate_ = 44100.0;
  int blockSize_ = 512;
  VstTimeInfo timeInfo_{};
  std::vector<VstMidiEvent> events_;
  std::vector<unsigned char> eventStorage_;
};
