#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One channel message for the next process call, at a frame within it.
struct HostMidiEvent {
  int frame = 0;
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

// A plug-in as the offline host drives it, whatever its format: identity, parameters
// and programs, state, events and audio. Each format's host implements it. Every call,
// processing included, comes from the thread that opened the plug-in. Calls report
// failures as RenderError.
class PluginHost {
 public:
  static constexpr int kMaxChannels = 64;

  virtual ~PluginHost() = default;

  // The plug-in in the file (a VST 2 shared object, or a CLAP file when its name ends
  // in ".clap") or the bundle folder (LV2, a name ending in ".lv2"); RenderError when
  // it cannot be loaded or opened.
  static std::unique_ptr<PluginHost> open(const std::string& path);

  virtual int numParams() const = 0;
  virtual int numPrograms() const = 0;
  virtual int numInputs() const = 0;
  virtual int numOutputs() const = 0;
  // Whether the plug-in keeps its state as chunks (else as parameter values).
  virtual bool hasProgramChunks() const = 0;
  // What program and bank files record about the plug-in that wrote them.
  virtual int32_t uniqueId() const = 0;
  virtual int32_t version() const = 0;

  virtual std::string effectName() = 0;
  virtual std::string paramName(int index) = 0;
  virtual std::string paramDisplay(int index) = 0;
  virtual std::string paramLabel(int index) = 0;
  virtual std::string programName(int index) = 0;
  virtual int currentProgram() = 0;
  virtual std::string currentProgramName() = 0;
  virtual float getParameter(int index) = 0;
  virtual void setParameter(int index, float normalised) = 0;
  // The plug-in's own text-to-value conversion; false when it declines.
  virtual bool setParameterFromText(int index, const std::string& text) = 0;
  virtual void setProgram(int index) = 0;
  virtual void setProgramName(const std::string& name) = 0;

  // The current program's state (or every program's); empty when the plug-in gives none.
  virtual std::vector<uint8_t> chunk(bool bank) = 0;
  // Restores a state chunk; false when the plug-in refuses it.
  virtual bool setChunk(bool bank, const std::vector<uint8_t>& bytes) = 0;

  // Sample rate and block size, then switched on and started. Call once before process.
  virtual void start(double sampleRate, int blockSize) = 0;
  // Delivers events for the next process call.
  virtual void sendEvents(const std::vector<HostMidiEvent>& events) = 0;
  // Replacing processing of numInputs() inputs into numOutputs() outputs.
  virtual void process(float** inputs, float** outputs, int frames) = 0;
  // Transport reported to the plug-in.
  virtual void setTransport(double samplePosition, double beatsPerMinute, double beatPosition) = 0;
};
