#pragma once

#include <memory>
#include <string>
#include <vector>

#include "formats/vst2/VstAbi.h"
#include "hosting/PluginHost.h"

class SharedLibrary;

// A VST 2 plug-in driven the way hosts drive it: loaded from a shared object through its
// exported entry point (and then owned), or an AEffect that lives in this process
// (borrowed: the caller keeps and closes it). Answers the plug-in's host callback:
// automation, edits, MIDI out and display updates go to the observer. Several hosts
// may live on several threads; each effect's `user` field leads its calls to its host.
class Vst2PluginHost : public PluginHost {
 public:
  // Loads and opens the plug-in; HostError when it cannot.
  explicit Vst2PluginHost(const std::string& path, const HostSetup& setup = {});
  // Opens a plug-in made in this process whose host callback is callback().
  explicit Vst2PluginHost(AEffect* effect, const HostSetup& setup = {});
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
  void stop() override;
  void sendEvents(const std::vector<HostMidiEvent>& events) override;
  // Unconnected (null) inputs get silence: VST 2 has no unconnected input.
  void process(float** inputs, float** outputs, int frames) override;
  // Double-precision processing (every input given).
  void processDouble(double** inputs, double** outputs, int frames);
  // effIdle.
  void idle() override;
  void setTransport(double samplePosition, double beatsPerMinute, double beatPosition) override;

 private:
  static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                void* ptr, float opt);
  VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  void reportMidiOut(const VstEvents* events);
  std::string textFromDispatcher(VstInt32 opcode, VstInt32 index);
  // Checks the opened plug-in; HostError (after closing it when owned) when unusable.
  void checkUsable(const std::string& name);

  HostSetup setup_;
  std::unique_ptr<SharedLibrary> library_;  // null for a borrowed plug-in
  AEffect* effect_ = nullptr;
  bool started_ = false;
  double sampleRate_ = 44100.0;
  int blockSize_ = 512;
  VstTimeInfo timeInfo_{};
  std::vector<VstMidiEvent> events_;
  std::vector<unsigned char> eventStorage_;
  std::vector<float> silence_;
  std::vector<float*> inputs_;
};
