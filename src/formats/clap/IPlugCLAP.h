// CLAP format adapter: the one place that knows the CLAP binary interface. It owns the
// clap_plugin record the host drives, answers the plug-in's functions and extensions
// (audio and note ports, parameters, state, latency, the editor with its timer and
// file descriptor) by calling the format-neutral plug-in (IPlugBase), and is the
// plug-in's IPlugHost: parameter changes, gestures, program changes, MIDI output and
// editor sizes go back to the host as events or host calls. Every function holds the
// plug-in mutex while it touches the plug-in, and no exception leaves one.
//
// Values: a CLAP parameter's id is its index, and its value is the plain value.
// Timing: host events reach the plug-in with their frame offsets; MIDI notes and
// parameter values take effect at the control tick whose window holds them.
#pragma once

#include <atomic>
#include <memory>

#include "formats/clap/ClapAbi.h"
#include "formats/clap/ClapEvents.h"
#include "framework/IPlugBase.h"

class IPlugCLAP : public IPlugHost {
 public:
  static constexpr uint32_t kEditorTimerMs = 40;  // the editor's redraw cadence, 25 Hz

  // Hosts `plug` for `host`, under `descriptor`. The host is not called before init.
  // Any thread (the factory's).
  IPlugCLAP(std::unique_ptr<IPlugBase> plug, const clap_plugin_descriptor_t* descriptor,
            const clap_host_t* host);
  ~IPlugCLAP() override;
  IPlugCLAP(const IPlugCLAP&) = delete;
  IPlugCLAP& operator=(const IPlugCLAP&) = delete;

  const clap_plugin_t* ClapPlugin() const { return &plugin_; }
  IPlugBase* Plug() const { return plug_.get(); }
  static IPlugCLAP* FromPlugin(const clap_plugin_t* plugin);

  // IPlugHost: threads as the interface states them.
  // The value sent is the parameter's plain value as it stands: every caller informs
  // after setting it. From the editor the event waits for the next process or flush
  // (the host is asked for one); from the audio thread it goes out at once.
  void InformHostOfParamChange(int paramIdx, double normalized) override;
  void BeginInformHostOfParamChange(int paramIdx) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  // Asks for a main-thread callback, which tells the host to read every value again.
  void InformHostOfProgramChange() override;
  // Audio thread, inside process: one MIDI event out (the output note port).
  void SendMidiMsg(const IMidiMsg& msg) override;
  void ResizeGraphics(int width, int height) override;
  // While active the host is asked to restart the plug-in, which reads it on activation.
  void SetLatency(int samples) override;

 private:
  // Plug-in functions (IPlugCLAP.cpp).
  bool init();
  bool activate(double sampleRate, uint32_t maxFrames);
  void deactivate();
  void reset();
  void onMainThread();
  const void* extension(const char* id);
  // After a main-thread call, with the mutex released: asks the host to flush when the
  // editor left events for it.
  void requestFlushIfPending();
  const void* hostExtension(const char* id) const;
  void askHostForExtensions();

  // Processing and events (IPlugCLAPProcess.cpp); audio thread.
  int32_t process(const clap_process_t* process);
  void deliverEvents(const clap_input_events_t* in, uint32_t frames);
  void deliverNote(const clap_event_note_t& note, int offset);
  void processAudio(const clap_process_t* process);
  void flush(const clap_input_events_t* in, const clap_output_events_t* out);
  // Starts or ends a call in which events may go out to `out`.
  void beginOutput(const clap_output_events_t* out);
  void endOutput() { outEvents_ = nullptr; }

  // Parameters (IPlugCLAPParams.cpp); main thread.
  bool paramInfo(uint32_t index, clap_param_info_t* info) const;
  bool paramValue(clap_id id, double* value) const;
  bool valueToText(clap_id id, double value, char* text, uint32_t capacity) const;
  bool textToValue(clap_id id, const char* text, double* value) const;
  // The parameter a CLAP id names, or null.
  const IParam* param(clap_id id) const;

  // State (IPlugCLAPState.cpp); main thread.
  bool saveState(const clap_ostream_t* stream);
  bool loadState(const clap_istream_t* stream);

  // Ports (IPlugCLAPPorts.cpp); main thread.
  bool audioPortInfo(uint32_t index, bool isInput, clap_audio_port_info_t* info) const;

  // Editor (IPlugCLAPEditor.cpp); main thread.
  // The plug-in has an editor that can open a window (offered to every host) ...
  bool editorBuilt() const;
  // ... and the host, as it stands now, can run it: it offers timers or descriptor watches.
  bool hostCanRunEditor() const;
  bool guiCreate(const char* api, bool isFloating);
  void guiDestroy();
  bool guiSetScale(double scale);
  bool guiSize(uint32_t* width, uint32_t* height) const;
  bool guiSetParent(const clap_window_t* window);
  bool guiShow();
  bool guiHide();
  void onTimer(clap_id timer);
  void onFd(int fd, uint32_t flags);
  // Runs the editor's window: its events and its redraw tick.
  void runEditor();
  void stopEditorCallbacks();
  void stopWatchingFd();

  // The extension tables; each function finds its adapter through the plug-in record.
  static const clap_plugin_audio_ports_t kAudioPorts;
  static const clap_plugin_note_ports_t kNotePorts;
  static const clap_plugin_params_t kParams;
  static const clap_plugin_state_t kState;
  static const clap_plugin_latency_t kLatency;
  static const clap_plugin_gui_t kGui;
  static const clap_plugin_timer_support_t kTimerSupport;
  static const clap_plugin_posix_fd_support_t kPosixFdSupport;

  std::unique_ptr<IPlugBase> plug_;
  clap_plugin_t plugin_{};
  const clap_host_t* host_;
  const clap_host_params_t* hostParams_ = nullptr;
  const clap_host_latency_t* hostLatency_ = nullptr;
  const clap_host_gui_t* hostGui_ = nullptr;
  const clap_host_timer_support_t* hostTimer_ = nullptr;
  const clap_host_posix_fd_support_t* hostFd_ = nullptr;
  bool active_ = false;

  // Events out: the host's list during process or flush (plug-in mutex held), the
  // latest time used on it (events go out in time order), and what the editor left.
  const clap_output_events_t* outEvents_ = nullptr;
  uint32_t outTime_ = 0;
  uint32_t outFrames_ = 0;
  HostEditQueue editorEvents_;
  std::atomic<bool> flushWanted_{false};
  std::atomic<bool> rescanWanted_{false};

  // Editor: created, its window open inside the host's, shown, and what runs it.
  bool guiCreated_ = false;
  bool guiShown_ = false;
  void* guiParent_ = nullptr;
  clap_id timerId_ = kClapInvalidId;
  int eventFd_ = -1;
};

// Runs `call` on the adapter a plug-in record belongs to; `fallback` when the record has
// none or the call throws (nothing crosses the C interface as an exception).
template <typename Result, typename Call>
Result clapCall(const clap_plugin_t* plugin, Result fallback, Call&& call) {
  IPlugCLAP* self = IPlugCLAP::FromPlugin(plugin);
  if (!self) return fallback;
  try {
    return call(*self);
  } catch (...) {
    return fallback;
  }
}

template <typename Call>
void clapCall(const clap_plugin_t* plugin, Call&& call) {
  clapCall(plugin, 0, [&](IPlugCLAP& self) {
    call(self);
    return 0;
  });
}
