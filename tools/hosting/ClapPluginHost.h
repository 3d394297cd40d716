#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "formats/clap/ClapAbi.h"
#include "hosting/ClapEventList.h"
#include "hosting/PluginHost.h"

class SharedLibrary;

// A .clap file loaded and its entry initialised (deinitialised and unloaded when the
// last owner lets go), shared by the instances made from it as a host keeps it.
class ClapLibrary {
 public:
  // HostError when the file does not load or is not a usable CLAP plug-in.
  explicit ClapLibrary(const std::string& path);
  ~ClapLibrary();
  ClapLibrary(const ClapLibrary&) = delete;
  ClapLibrary& operator=(const ClapLibrary&) = delete;

  const std::string& path() const;
  const clap_plugin_entry_t* entry() const { return entry_; }
  // The plug-in factory, or null.
  const clap_plugin_factory_t* factory() const;
  // The factory's first plug-in, or null.
  const clap_plugin_descriptor_t* descriptor() const;

 private:
  std::unique_ptr<SharedLibrary> library_;
  const clap_plugin_entry_t* entry_ = nullptr;
};

// A CLAP plug-in driven the way hosts drive it: made by a file's factory (the first
// plug-in, or the one with the given id) or by the caller in this process, created and
// initialised. The host offers the parameter, state and latency extensions and, with
// HostSetup::editorSupport, the window, timer and file descriptor ones; it records the
// timers and descriptors the editor asks for, and the observer hears about them, about
// the rescans the plug-in asks for and about every event the plug-in sends back.
//
// How the format's notions meet PluginHost's: a parameter's normalised value is its place
// between the plug-in's minimum and maximum; a value set between blocks reaches the
// plug-in at once through a flush; the texts are the plug-in's own (the unit is in
// them, there is no separate label). The plug-in's state is its bank; CLAP knows no
// programs. The id that program and bank files record is the first four characters of
// the last part of the plug-in's id ("com.zandervoltmusic.zorq" gives 'zorq', as the
// VST 2 build's files carry). The host's main thread and audio thread are the
// caller's; idle() runs the main-thread callback and the flush the plug-in asked for.
class ClapPluginHost : public PluginHost {
 public:
  // How sendEvents hands notes to the plug-in: as MIDI, or as CLAP note events.
  enum class NoteDialect { kMidi, kClapNotes };
  using Maker = std::function<const clap_plugin_t*(const clap_host_t*)>;

  // Loads the file and makes its first plug-in; HostError when it cannot.
  explicit ClapPluginHost(const std::string& path, const HostSetup& setup = {});
  // Makes the plug-in with the id (the first one when empty) from a loaded file.
  ClapPluginHost(std::shared_ptr<ClapLibrary> library, const std::string& id,
                 const HostSetup& setup = {});
  // Takes the plug-in `make` builds in this process for the host record it is given.
  explicit ClapPluginHost(const Maker& make, const HostSetup& setup = {});
  ~ClapPluginHost() override;
  ClapPluginHost(const ClapPluginHost&) = delete;
  ClapPluginHost& operator=(const ClapPluginHost&) = delete;

  const clap_plugin_t* plugin() const { return plugin_; }
  template <typename Extension>
  const Extension* extension(const char* id) const {
    return static_cast<const Extension*>(plugin_->get_extension(plugin_, id));
  }

  int numParams() const override { return static_cast<int>(params_.size()); }
  int numPrograms() const override { return 0; }
  int numInputs() const override { return channels(inputPorts_); }
  int numOutputs() const override { return channels(outputPorts_); }
  bool hasProgramChunks() const override { return state_ != nullptr; }
  int32_t uniqueId() const override { return uniqueId_; }
  int32_t version() const override { return version_; }

  std::string effectName() override;
  std::string paramName(int index) override;
  std::string paramDisplay(int index) override;
  std::string paramLabel(int) override { return ""; }
  std::string programName(int) override { return ""; }
  int currentProgram() override { return 0; }
  std::string currentProgramName() override { return ""; }
  float getParameter(int index) override;
  void setParameter(int index, float normalised) override;
  bool setParameterFromText(int index, const std::string& text) override;
  void setProgram(int) override {}
  void setProgramName(const std::string&) override {}
  // The plug-in's state for a bank; a program alone it does not give.
  std::vector<uint8_t> chunk(bool bank) override;
  bool setChunk(bool bank, const std::vector<uint8_t>& bytes) override;

  void start(double sampleRate, int blockSize) override;
  void stop() override;
  void sendEvents(const std::vector<HostMidiEvent>& events) override;
  // Channels go to the ports in order: with a stereo main input and a stereo side
  // chain, inputs 1-2 and 3-4. A null channel is given no buffer (unconnected).
  void process(float** inputs, float** outputs, int frames) override;
  void idle() override;
  void setTransport(double samplePosition, double beatsPerMinute, double beatPosition) override;

  // Plain values of parameter `index` (by position, not id).
  double value(int index) const;
  void setValue(int index, double plain);
  // The events of the next block (sendEvents adds to them), for events beyond MIDI.
  ClapEventList& events() { return events_; }
  void setNoteDialect(NoteDialect dialect) { dialect_ = dialect; }
  // The last process call's status.
  int32_t processStatus() const { return status_; }
  // A flush of the given events (none: the plug-in's own) between blocks.
  void flush(ClapEventList* events = nullptr);

  // State through streams that move at most `piece` bytes per call.
  std::vector<uint8_t> saveState(size_t piece = SIZE_MAX) const;
  bool loadState(const std::vector<uint8_t>& bytes, size_t piece = SIZE_MAX) const;

  // What the editor asked the host to run: timers (id -> period in ms) and watched
  // file descriptors (descriptor -> events); the host's loop calls these back.
  const std::map<clap_id, uint32_t>& timers() const { return timers_; }
  const std::map<int, uint32_t>& descriptors() const { return descriptors_; }
  void timerFired(clap_id id);
  void descriptorReady(int fd, uint32_t events);

 private:
  void initialise(const clap_plugin_t* plugin, const std::string& name);
  void setUpHost();
  static const void* hostExtension(const clap_host_t* host, const char* id);
  static ClapPluginHost& of(const clap_host_t* host);
  static bool received(const clap_output_events_t* list, const clap_event_header_t* event);
  void report(const clap_event_header_t* event);
  int indexOf(clap_id id) const;
  static int channels(const std::vector<uint32_t>& ports);
  const clap_param_info_t* info(int index) const;
  void close();

  HostSetup setup_;
  std::shared_ptr<ClapLibrary> library_;
  const clap_plugin_t* plugin_ = nullptr;
  clap_host_t host_{};
  const clap_plugin_params_t* paramsExtension_ = nullptr;
  const clap_plugin_state_t* state_ = nullptr;
  std::vector<clap_param_info_t> params_;
  std::vector<uint32_t> inputPorts_, outputPorts_;  // channels per port
  std::vector<clap_audio_buffer_t> inputBuffers_, outputBuffers_;
  int32_t uniqueId_ = 0;
  int32_t version_ = 0;
  bool initialising_ = false, active_ = false, processing_ = false;
  std::atomic<bool> callbackWanted_{false}, flushWanted_{false};
  double sampleRate_ = 44100.0;
  NoteDialect dialect_ = NoteDialect::kMidi;
  ClapEventList events_, flushEvents_;
  clap_event_transport_t transport_{};
  int32_t status_ = kClapProcessContinue;
  std::map<clap_id, uint32_t> timers_;
  std::map<int, uint32_t> descriptors_;
  clap_id nextTimer_ = 1;
};
