#pragma once

#include <memory>
#include <string>
#include <vector>

#include "formats/vst3/Vst3Abi.h"
#include "hosting/PluginHost.h"
#include "hosting/Vst3HostObjects.h"

class SharedLibrary;

// A .vst3 bundle's module (Contents/<machine>-linux/<name>.so) loaded and entered
// (ModuleEntry; ModuleExit and unloaded when the last owner lets go), with its factory.
class Vst3Module {
 public:
  // HostError when the bundle holds no loadable module or it gives no factory.
  explicit Vst3Module(const std::string& bundle);
  ~Vst3Module();
  Vst3Module(const Vst3Module&) = delete;
  Vst3Module& operator=(const Vst3Module&) = delete;

  // A folder whose name ends in ".vst3".
  static bool isBundle(const std::string& path);
  // The module's file inside a bundle.
  static std::string binaryOf(const std::string& bundle);
  vst3::IPluginFactory* factory() const { return factory_; }

 private:
  std::unique_ptr<SharedLibrary> library_;
  bool (*exit_)() = nullptr;
  vst3::IPluginFactory* factory_ = nullptr;
};

// A VST 3 plug-in driven the way hosts drive it: the first audio effect class of a
// bundle (or an object made in this process), initialised with a host application,
// its controller (the same object, or the one the component names) given a component
// handler that records edits and restarts, the controller told the component's state.
//
// How the format's notions meet PluginHost's: the parameters are those the controller
// lists except hidden ones and the program parameter, on the controller's normalised
// scale; the programs are the program list of the program parameter's unit, switched
// through that parameter; the state is the component's (a bank); a value set between
// blocks reaches the controller at once and the processor in the next block, as a
// point at its first frame (or at once in a block of no samples when not processing).
// MIDI goes in as note events and, for controllers, pitch bend, channel pressure and
// program changes, as points of the parameters the plug-in's MIDI mapping names. The
// id program and bank files record is the first four letters of the class name, in
// lower case ('zorq', as the other builds' files carry). The caller's thread is the UI
// and the audio thread.
class Vst3PluginHost : public PluginHost {
 public:
  // Loads the bundle and makes its first audio effect; HostError when it cannot.
  explicit Vst3PluginHost(const std::string& bundle, const HostSetup& setup = {});
  // Takes an object made in this process, with the reference its maker held.
  explicit Vst3PluginHost(vst3::IComponent* component, const HostSetup& setup = {});
  ~Vst3PluginHost() override;
  Vst3PluginHost(const Vst3PluginHost&) = delete;
  Vst3PluginHost& operator=(const Vst3PluginHost&) = delete;

  vst3::IComponent* component() const { return component_; }
  vst3::IAudioProcessor* processor() const { return processor_; }
  vst3::IEditController* controller() const { return controller_; }

  int numParams() const override { return static_cast<int>(params_.size()); }
  int numPrograms() const override { return programCount_; }
  int numInputs() const override { return inputChannels_[0] + inputChannels_[1]; }
  int numOutputs() const override { return outputChannels_; }
  bool hasProgramChunks() const override { return true; }
  int32_t uniqueId() const override { return uniqueId_; }
  int32_t version() const override { return version_; }

  std::string effectName() override { return name_; }
  std::string paramName(int index) override;
  std::string paramDisplay(int index) override;
  std::string paramLabel(int index) override;
  std::string programName(int index) override;
  int currentProgram() override;
  std::string currentProgramName() override { return programName(currentProgram()); }
  float getParameter(int index) override;
  void setParameter(int index, float normalised) override;
  bool setParameterFromText(int index, const std::string& text) override;
  void setProgram(int index) override;
  void setProgramName(const std::string&) override {}  // VST 3 hosts cannot rename
  // The component's state for a bank; a program alone it does not give.
  std::vector<uint8_t> chunk(bool bank) override;
  bool setChunk(bool bank, const std::vector<uint8_t>& bytes) override;

  void start(double sampleRate, int blockSize) override;
  void stop() override;
  void sendEvents(const std::vector<HostMidiEvent>& events) override;
  // Inputs 1-2 go to the main bus, 3-4 to the auxiliary bus (given no buffers when
  // either is null); outputs 1-2 come from the main output bus.
  void process(float** inputs, float** outputs, int frames) override;
  void idle() override;
  void setTransport(double samplePosition, double beatsPerMinute, double beatPosition) override;

  // The same in 64-bit samples: start with `wide` set.
  void start(double sampleRate, int blockSize, bool wide);
  void process(double** inputs, double** outputs, int frames);
  // A block of no samples and no buses: the pending points only.
  void flush();
  // The next block's points and events (setParameter and sendEvents add to them), and
  // what the plug-in reported in the last block.
  Vst3ParameterChanges& changes() { return changes_; }
  Vst3EventList& events() { return events_; }
  const Vst3ParameterChanges& reported() const { return reported_; }
  Vst3ComponentHandler& handler() { return handler_; }
  // The id of parameter `index`, and the index of an id (-1 for none listed).
  vst3::ParamID paramId(int index) const;
  int indexOf(vst3::ParamID id) const;
  vst3::ParamID programParamId() const { return programParam_; }

  // The editor, the way hosts open it: created for an embedded window of this platform,
  // framed (the frame offers a run loop unless HostSetup::editorSupport is kNever),
  // scaled, its size read; then attached to `parent` (an X11 window id on Linux, an HWND
  // on Windows). Null, or false, when the plug-in gives no editor or refuses. The frame's
  // run loop runs it (frame().run).
  vst3::IPlugView* createEditor(float scale = 1.0f);
  vst3::ViewRect editorSize() const;
  bool attachEditor(void* parent);
  // Removed, framed by nothing and released.
  void closeEditor();
  Vst3PlugFrame& frame() { return frame_; }

  // The component's state through streams that move at most `piece` bytes per call;
  // loading tells the controller too.
  std::vector<uint8_t> saveState(size_t piece = SIZE_MAX);
  bool loadState(const std::vector<uint8_t>& bytes, size_t piece = SIZE_MAX);

 private:
  void initialise(const std::string& name);
  void readBuses();
  void readParameters();
  void readPrograms();
  // A point for `id` at `frame` of the next block, and the controller's value.
  void setValue(vst3::ParamID id, double normalised, int frame = 0);
  template <typename Sample>
  void run(Sample** inputs, Sample** outputs, int frames);
  void report();
  void close();

  HostSetup setup_;
  std::shared_ptr<Vst3Module> module_;
  Vst3HostApplication application_;
  Vst3ComponentHandler handler_;
  Vst3PlugFrame frame_;
  vst3::IPlugView* view_ = nullptr;
  Vst3ParameterChanges changes_, reported_;
  Vst3EventList events_;
  vst3::IComponent* component_ = nullptr;
  vst3::IAudioProcessor* processor_ = nullptr;
  vst3::IEditController* controller_ = nullptr;
  vst3::IMidiMapping* midiMapping_ = nullptr;
  bool separateController_ = false;
  std::string name_;
  int32_t uniqueId_ = 0, version_ = 0;
  std::vector<vst3::ParameterInfo> params_;
  vst3::ParamID programParam_ = vst3::kNoParamId;
  vst3::ProgramListID programList_ = vst3::kNoProgramListId;
  int programCount_ = 0;
  int inputChannels_[2] = {}, outputChannels_ = 0;
  bool active_ = false, processing_ = false, wide_ = false;
  double sampleRate_ = 44100.0;
  vst3::ProcessContext context_{};
  bool transport_ = false;
};
