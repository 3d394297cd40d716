#pragma once

// The plug-in side of the LV2 adapter: the one place that answers an LV2 host's calls
// to the instance (instantiate, connect_port, activate, run, deactivate, cleanup), its
// state and worker extensions, and the plug-in's IPlugHost there.
//
// Ports belong to the host: a parameter port is applied only when its value differs
// from the one last seen (a fresh instance has seen the declared defaults), and a
// value that is the float image of the parameter's own counts as unchanged, so the
// values a MIDI program change set stay until the host moves a port. Port values are
// the core's (framework/PortValue.h: gains in dB), and audio goes through the core's
// block entry (IPlugBase::ProcessBlock). The editor in the host's UI process writes
// the new values to the host (Lv2Ui).
//
// Threads: run() on the audio thread holds the plug-in mutex while it applies ports,
// delivers MIDI and processes, and never allocates, reads files or waits for anything
// else. The editor's messages go from run() through a ring to the worker (work()),
// which applies them, does the file work (sample files) with the mutex free, lets the
// plug-in idle (a MIDI program change completes there) and puts its answers in a
// ring that run() forwards to the editor. save() may run beside run() and takes the
// mutex; restore() does not run beside anything.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include "formats/lv2/Lv2Description.h"
#include "formats/lv2/Lv2Messages.h"
#include "formats/lv2/Lv2Uris.h"
#include "formats/lv2/MessageRing.h"
#include "formats/lv2/MirrorSync.h"
#include "framework/GainRamp.h"
#include "framework/IPlugBase.h"

// The descriptor an entry point hands to hosts for one description; both must live as
// long as the process (function-local statics in the entry point).
class Lv2PluginDescriptor {
 public:
  explicit Lv2PluginDescriptor(const Lv2Description& description);
  const LV2_Descriptor* get() const { return &lv2_; }
  static const Lv2Description& descriptionOf(const LV2_Descriptor* descriptor);

 private:
  LV2_Descriptor lv2_;  // first: hosts hand this pointer back
  const Lv2Description* description_;
};

class Lv2Plugin : public IPlugHost {
 public:
  // The meter's level goes to the editor this often, in seconds.
  static constexpr double kMeterPeriodSeconds = 0.04;
  // The worker lets the plug-in idle this often, in seconds.
  static constexpr double kIdlePeriodSeconds = 0.05;
  // At most this many bytes of messages to the editor per budget period.
  static constexpr uint32_t kNotifyBudgetBytes = 8192;
  static constexpr double kNotifyBudgetSeconds = 0.02;

  Lv2Plugin(const Lv2Description& description, std::unique_ptr<IPlugBase> plug, double sampleRate,
            const LV2_Feature* const* features);
  ~Lv2Plugin() override;
  Lv2Plugin(const Lv2Plugin&) = delete;
  Lv2Plugin& operator=(const Lv2Plugin&) = delete;

  IPlugBase& plug() { return *plug_; }
  bool valid() const { return map_ != nullptr; }

  // LV2 instance calls, threads as LV2 defines them.
  void connectPort(uint32_t port, void* data);
  void activate();
  void run(uint32_t nFrames);
  void deactivate();
  LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle,
                        const LV2_Feature* const* features);
  LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                           const LV2_Feature* const* features);
  LV2_Worker_Status work(LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle,
                         uint32_t size, const void* data);

  // IPlugHost: threads as the interface states them.
  void InformHostOfParamChange(int paramIdx, double normalized) override;
  void BeginInformHostOfParamChange(int) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override;
  // Audio thread inside run(): one MIDI event on the atom output.
  void SendMidiMsg(const IMidiMsg& msg) override;
  void ResizeGraphics(int, int) override {}
  void SetLatency(int) override {}

 private:
  // Audio thread, plug-in mutex held.
  void applyControlPorts();
  double bypassTarget() const;
  void readControlInput(uint32_t nFrames);
  void processAudio(uint32_t nFrames);
  void processPiece(uint32_t offset, uint32_t frames);
  void writeNotifications(uint32_t nFrames);
  // Audio thread, mutex free.
  void forwardWorkerMessages(uint32_t nFrames);
  void scheduleWorkIfDue(uint32_t nFrames);
  bool notifyEventHeader(uint32_t frame);

  // Worker thread.
  void applyEditorMessages();
  void answerEditor();
  void queueForEditor(const std::vector<uint8_t>& atom);
  std::vector<double> paramValues() const;
  std::vector<float> portValues(const void* stored, size_t size, uint32_t type) const;

  const Lv2Description& description_;
  std::unique_ptr<IPlugBase> plug_;
  double sampleRate_;
  LV2_URID_Map* map_ = nullptr;
  LV2_Worker_Schedule* schedule_ = nullptr;
  std::unique_ptr<Lv2Uris> uris_;
  std::unique_ptr<Lv2Messages> messages_;

  // Ports.
  std::vector<float*> audio_;
  const LV2_Atom_Sequence* controlIn_ = nullptr;
  LV2_Atom_Sequence* notify_ = nullptr;
  const float* enabled_ = nullptr;
  float* latency_ = nullptr;
  std::vector<const float*> paramPorts_;
  std::vector<float> lastSeen_;  // plug-in mutex held

  // Processing.
  std::vector<float> silence_;           // for an unconnected input
  std::vector<float> discard_;           // for an unconnected output
  std::vector<std::vector<float>> dry_;  // the voice inputs of a piece, for bypass
  GainRamp bypass_;                      // 1 processing, 0 bypassed
  bool running_ = false;                 // inside run(), on the audio thread

  // Messages to the editor, written into the atom output during run().
  LV2_Atom_Forge forge_{};
  LV2_Atom_Forge_Frame sequenceFrame_{};
  bool notifyOpen_ = false;
  uint32_t lastEventFrame_ = 0;
  uint64_t framesToMeter_ = 0;
  uint64_t framesToIdle_ = 0;
  uint64_t framesToBudget_ = 0;
  uint32_t budgetLeft_ = kNotifyBudgetBytes;
  std::atomic<uint64_t> dirtyParams_[2] = {};  // parameters the plug-in changed itself
  std::atomic<bool> programChanged_{false};
  std::vector<uint8_t> pendingOut_;  // a worker message taken from the ring, not yet sent

  // Between run() and the worker.
  MessageRing toWorker_{1 << 18};
  MessageRing fromWorker_{1 << 19};
  std::atomic<bool> workScheduled_{false};
  std::atomic<bool> messagesWaiting_{false};
  std::atomic<bool> filesPending_{false};  // a restore left file work
  std::atomic<bool> editorAsked_{false};   // an editor asked for the whole state
  bool editorConnected_ = false;           // worker thread
  MirrorSync sync_;                        // worker thread, plug-in mutex held
  std::vector<uint8_t> workerBuffer_;      // worker thread
};
