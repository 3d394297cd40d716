#pragma once

#include <string>
#include <vector>

#include "formats/clap/ClapAbi.h"
#include "zorq-render/PluginHost.h"

// A CLAP plug-in driven the way an offline host drives it: the first plug-in of a .clap
// file's factory, created and initialised. The offline host's thread is the main and
// the audio thread alike; a main-thread callback the plug-in asks for runs after the
// block that asked.
//
// How the format's notions meet the offline host's: a parameter's normalised value is
// its place between the plug-in's minimum and maximum (stepped parameters on their
// steps); a value set between blocks reaches the plug-in at once through a flush; the
// texts are the plug-in's own (the unit is in them, there is no separate label). The
// plug-in's state is its bank; CLAP knows no programs. The id that program and bank
// files record is the first four characters of the last part of the plug-in's id
// ("com.zandervoltmusic.zorq" gives 'zorq', as the VST 2 build's files carry).
class ClapPluginHost : public PluginHost {
 public:
  // Loads the file, creates and initialises its plug-in; RenderError when it cannot.
  explicit ClapPluginHost(const std::string& path);
  ~ClapPluginHost() override;
  ClapPluginHost(const ClapPluginHost&) = delete;
  ClapPluginHost& operator=(const ClapPluginHost&) = delete;

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
  void sendEvents(const std::vector<HostMidiEvent>& events) override;
  void process(float** inputs, float** outputs, int frames) override;
  void setTransport(double samplePosition, double beatsPerMinute, double beatPosition) override;

 private:
  static int channels(const std::vector<uint32_t>& ports);
  const clap_param_info_t* info(int index) const;
  double value(int index) const;
  // Sends one value to the plug-in at once (a flush between blocks).
  void setValue(int index, double value);
  void close();

  void* library_ = nullptr;
  const clap_plugin_entry_t* entry_ = nullptr;
  const clap_plugin_t* plugin_ = nullptr;
  clap_host_t host_{};
  const clap_plugin_params_t* paramsExtension_ = nullptr;
  const clap_plugin_state_t* state_ = nullptr;
  std::vector<clap_param_info_t> params_;
  std::vector<uint32_t> inputPorts_, outputPorts_;  // channels per port
  int32_t uniqueId_ = 0;
  int32_t version_ = 0;
  bool active_ = false;
  bool callbackWanted_ = false;
  double sampleRate_ = 44100.0;
  std::vector<clap_event_midi_t> events_;
  clap_event_transport_t transport_{};
};
