#pragma once

// The hosting library: plug-ins of every format driven the way hosts drive them, for
// the offline renderer, the developer tools, the benchmarks and the tests. PluginHost
// is the one interface; each format is one class behind it (Vst2PluginHost,
// ClapPluginHost, Lv2PluginHost, Vst3PluginHost) that also offers what only its format
// has. What a
// plug-in reports besides audio goes to a HostObserver. openPluginHost
// (OpenPluginHost.h) picks the class from the file.
//
// Threads: a host is made, set up and idled on one thread (the main thread) and
// processed on one (the audio thread; the same one offline). process() allocates
// nothing once the first block has passed.
#include <cstdint>
#include <string>
#include <vector>

class HostObserver;

// One channel message for the next process call, at a frame within it.
struct HostMidiEvent {
  int frame = 0;
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

// Who the host says it is, what it offers, and where the plug-in's reports go.
struct HostSetup {
  // What the host offers an editor (CLAP: the window, timers, file descriptor watches):
  // everything from the start, nothing while the plug-in initialises (as some hosts
  // do: their extensions come later), or never.
  enum class EditorSupport { kFromTheStart, kAfterInit, kNever };

  std::string name = "zorq-render";
  std::string vendor = "ZORQ";
  int version = 1;                   // decimal, as VST 2 hosts give it: 10203 is 1.2.3
  HostObserver* observer = nullptr;  // outlives the host; null hears nothing
  EditorSupport editorSupport = EditorSupport::kFromTheStart;
};

// A plug-in as a host drives it: identity, parameters and programs, state, events and
// audio. Calls report failures as HostError.
class PluginHost {
 public:
  static constexpr int kMaxChannels = 64;

  virtual ~PluginHost() = default;

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
  // The value on the host's scale, 0 to 1 (for formats with plain values, the place
  // between the parameter's minimum and maximum).
  virtual float getParameter(int index) = 0;
  // On the steps of a parameter whose format declares steps, as hosts send them.
  virtual void setParameter(int index, float normalised) = 0;
  // A value typed by the user, read by the plug-in (or, where the format leaves text to
  // the host, the way hosts read it); false when it is refused.
  virtual bool setParameterFromText(int index, const std::string& text) = 0;
  virtual void setProgram(int index) = 0;
  virtual void setProgramName(const std::string& name) = 0;

  // The current program's state (or every program's); empty when the plug-in gives none.
  virtual std::vector<uint8_t> chunk(bool bank) = 0;
  // Restores a state chunk; false when the plug-in refuses it.
  virtual bool setChunk(bool bank, const std::vector<uint8_t>& bytes) = 0;

  // Sample rate and the longest block, then switched on and started. Before process.
  virtual void start(double sampleRate, int blockSize) = 0;
  // Stopped and switched off; start() again to go on.
  virtual void stop() = 0;
  // Delivers events for the next process call, in time order.
  virtual void sendEvents(const std::vector<HostMidiEvent>& events) = 0;
  // Replacing processing of numInputs() inputs into numOutputs() outputs. A null input
  // is left unconnected where the format allows it, and is silence where it does not.
  virtual void process(float** inputs, float** outputs, int frames) = 0;
  // The main thread's turn between blocks: what the plug-in asked to have done there
  // (deferred callbacks, its worker, idle calls).
  virtual void idle() = 0;
  // Transport reported to the plug-in.
  virtual void setTransport(double samplePosition, double beatsPerMinute, double beatPosition) = 0;
};
