#pragma once

#include <string>
#include <vector>

#include "framework/VstAbi.h"

// One VST 2 plug-in loaded from a shared object through its exported entry point,
// opened, and driven the way an offline host drives it. Owns the library handle and
// the plug-in instance; answers the plug-in's host callback. Single-threaded: every
// call, including processing, comes from the thread that created it.
class PluginHost {
 public:
  static constexpr const char* kVendorString = "ZORQ";
  static constexpr const char* kProductString = "zorq-render";
  static constexpr int kMaxChannels = 64;

  // Loads and opens the plug-in; RenderError when it cannot.
  explicit PluginHost(const std::string& path);
  // Opens a plug-in linked into this program, created by `entry` (a tool that builds
  // programs for the instrument it links); `name` stands for the file in messages.
  PluginHost(VstPluginEntryProc entry, const std::string& name);
  ~PluginHost();
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  AEffect& effect() { return *effect_; }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                     void* ptr = nullptr, float opt = 0.0f);

  int numParams() const { return effect_->numParams; }
  int numPrograms() const { return effect_->numPrograms; }
  int numInputs() const { return effect_->numInputs; }
  int numOutputs() const { return effect_->numOutputs; }
  bool hasProgramChunks() const { return effect_->flags & effFlagsProgramChunks; }

  std::string effectName();
  std::string paramName(int index);
  std::string paramDisplay(int index);
  std::string paramLabel(int index);
  std::string programName(int index);
  int currentProgram();
  std::string currentProgramName();
  float getParameter(int index);
  void setParameter(int index, float normalised);
  // The plug-in's own text-to-value conversion; false when it declines.
  bool setParameterFromText(int index, const std::string& text);
  void setProgram(int index);
  void setProgramName(const std::string& name);

  // Sample rate and block size, then switched on and started. Call once before process.
  void start(double sampleRate, int blockSize);
  // Delivers events for the next process call (deltaFrames relative to its start).
  void sendEvents(std::vector<VstMidiEvent>& events);
  // Replacing processing of numInputs() inputs into numOutputs() outputs.
  void process(float** inputs, float** outputs, int frames);
  // Transport reported through the time-info callback.
  void setTransport(double samplePosition, double beatsPerMinute, double beatPosition);

 private:
  static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                void* ptr, float opt);
  VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  std::string textFromDispatcher(VstInt32 opcode, VstInt32 index);
  // Creates the plug-in through its entry point and opens it; on failure releases the
  // library (when there is one) and throws RenderError.
  void open(VstPluginEntryProc entry, const std::string& name);
  void closeLibrary();

  void* library_ = nullptr;
  AEffect* effect_ = nullptr;
  bool started_ = false;
  double sampleRate_ = 44100.0;
  int blockSize_ = 512;
  VstTimeInfo timeInfo_{};
  std::vector<unsigned char> eventStorage_;
};
