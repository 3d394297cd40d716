// Vocoder engine: the instrument class. Each host block is cut into slices on a
// one-millisecond control grid; at every grid step (control tick) MIDI events are
// dispatched and the control update runs; each slice loads the modulator (inputs
// 0/1) and the carrier (keyboard voices, noise, inputs 2/3); the 2 x 20 band bank runs
// over the slices of a block at once, and the vocoder output and the dry modulator are
// mixed into the two outputs (ZorqBlockLoop.h).
#pragma once

#include <cassert>
#include <cstdint>
#include <memory>
#include <string>

#include "dsp/BandBank.h"
#include "dsp/BandTables.h"
#include "dsp/ParamIndex.h"
#include "dsp/Ensemble.h"
#include "dsp/Filter.h"
#include "dsp/LFO.h"
#include "dsp/PhaseIncrementTable.h"
#include "dsp/Voice.h"
#include "dsp/VoiceMixer.h"
#include "engine/EngineStage.h"
#include "engine/ParamChangeQueue.h"
#include "engine/SampleFileSchedule.h"
#include "engine/ToolsCommand.h"
#include "framework/IMessageBox.h"
#include "sampler/Sampler.h"
#include "shell/Synth.h"

class ZORQ : public Synth {
 public:
  static constexpr int kNumInputs = 4;
  static constexpr int kNumOutputs = 2;
  static constexpr int kNumVoices = 64;
  static constexpr int kNumVibratoLFOs = 3;

  ZORQ();
  ~ZORQ() override;

  // Audio thread, plug-in mutex held by the base.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  // The same block loop with stages.mark(stage) at the end of each stage (EngineStage.h),
  // defined in ZorqBlockLoop.h: the benchmarks' stage table times the stages with it.
  template <class Stages>
  void processBlock(double** inputs, double** outputs, int nFrames, Stages& stages);
  // Host blocks of up to this many frames run the band bank once (ZorqBlockLoop.h).
  static constexpr uint32_t kRunFrames = 512;
  // Any thread; takes the plug-in mutex.
  void OnParamChange(int paramIdx) override;
  // A host's parameter change waits for the control tick whose window holds its
  // offset (as notes do); audio thread, plug-in mutex held; no allocation.
  void ScheduleParamChange(int paramIdx, double value, int offset) override;
  // Host thread (sample rate, block size, suspend); takes the plug-in mutex.
  void Reset() override;
  // Also ends every note at once and drops MIDI still waiting for its tick.
  void ResetToSilence() override;
  void initParameters() override;
  // User-interface thread: every parameter to its default, the program named "Init".
  void initPreset() override;
  // Host event callback (audio thread), plug-in mutex held by the adapter.
  void ProcessMidiMsg(IMidiMsg* msg) override;
  // The tools menu (ZorqTools.cpp); editor thread, takes the plug-in mutex. Ends
  // with DirtyParameters() and RedrawParamControls().
  void runToolsCommand(Properties::ToolsCmd command);

  // Note operations; audio thread at a control tick, plug-in mutex held.
  void setNoteOn(int note, int velocity);
  void setNoteOff(int note);
  void setSustain(bool on);
  void allNotesOff() override;

  // State record (ZorqState.cpp); host or editor thread, takes the plug-in mutex.
  bool SerializeState(ByteChunk* chunk) override;
  int UnserializeState(const ByteChunk* chunk, int startPos) override;
  // The live state's sample file may have changed (ZorqSample.cpp): read now, or
  // after the host call. Plug-in mutex held.
  void PresetsChangedByHost() override;
  // Host thread, plug-in mutex released: reads the sample file a restore named.
  void OnHostCallReturned() override;
  // The current program takes the live state (and the name, when one is given).
  void ModifyCurrentPreset(const char* name = nullptr) override;
  // True when the 10 bytes at pos are the current record format's marker.
  static bool isNewVersion_1_1_1(const ByteChunk* chunk, int pos);

  // For an editor's copy of the instrument in another process (ZorqEditorState.cpp):
  // the sample file name, the MIDI-learn phase, "MIDI Thru", "Ignore Program Change",
  // the WAV folder and the controller map; plug-in mutex held by the caller. Applying a
  // record with another sample file name loads that file (after the host call).
  void SerializeEditorState(ByteChunk* chunk) override;
  bool UnserializeEditorState(const ByteChunk* chunk) override;
  double EditorMeterLevel() const override;
  void SetEditorMeterLevel(double level) override;
  // The sample file of the live state ("File" input mode), found in the WAV folder
  // when its name is relative; "" for none.
  std::string LiveStateFile() const override;
  void SetLiveStateFile(const std::string& path) override;

  // Sleep when silent (ZorqSleep.cpp); on unless switched off, which tests do to compare.
  void setSleepEnabled(bool enabled);
  bool isAsleep() const { return asleep_; }

  // Observers for the editor's meter and for tests.
  uint32_t subBlockLength() const { return subBlockLength_; }
  uint32_t remainder() const { return remainder_; }
  double reciprocal() const { return reciprocal_; }
  double meterAccumulator() const { return meterAccumulator_; }
  double modulatorLevelSum() const { return modulatorLevelSum_; }
  double bias() const { return bias_; }
  double limit() const { return limit_; }
  double micMix() const { return micMix_; }
  double vocoderMix() const { return vocoderMix_; }
  const BandBank& bandBank() const { return bank_; }
  uint64_t controlTicks() const { return controlTicks_; }
  const Voice& voice(int index) const {
    assert(index >= 0 && index < kNumVoices);
    return voices_[index];
  }
  double pitchWheel() const { return pitchWheel_; }
  bool sustain() const { return sustain_; }
  const Ensemble& ensemble(int channel) const {
    assert(channel == 0 || channel == 1);
    return ensembles_[channel];
  }
  const LFO& vibratoLFO(int index) const {
    assert(index >= 0 && index < kNumVibratoLFOs);
    return vibratoLFOs_[index];
  }

  // Sample player ("File" input mode). Editor thread or the host thread that
  // restores state; each takes the plug-in mutex for its bookkeeping only and reads
  // the file with it released (a caller that holds it keeps it held throughout).
  void loadSampleFile(bool showError);
  void updateWAVPath();
  void setSampleFileName(const char* name);
  // Plug-in mutex held (tests and the engine's own code).
  const std::string& sampleFileName() const { return sampleFileName_; }
  bool sampleLoadFailed() const { return sampleLoadFailed_; }
  // The sample file's name and whether it failed to load, read whole under the
  // plug-in mutex; any thread.
  struct SampleFileState {
    std::string name;
    bool loadFailed = false;
  };
  SampleFileState sampleFileState() const;
  // Default WAV folder that relative sample names are resolved against.
  // The folder is the configuration's "Path to WAV Files"; setting it stores it.
  void setWAVFolder(const char* folder);
  // Plug-in mutex held, or the thread that changes the folder.
  const std::string& wavFolder() const { return configuration().defaultWAVPath(); }
  // Strips the default WAV folder off the front of `path` (after turning '\\' into '/').
  void simplifyPath(std::string& path) const;
  // Where load failures are reported; null shows nothing.
  void setMessageBox(IMessageBox* messageBox) { messageBox_ = messageBox; }

  // The editor, reached through the framework's editor interface (ZorqEditorHooks.cpp).
  // Every parameter's value goes into the editor's controls, then the editor refreshes
  // its views; only control values and flags change, on the caller's thread.
  void RedrawParamControls() override;
  // Host idle or the editor's idle ticks: the editor's level meter reads the engine.
  // Editor or host thread; takes the plug-in mutex.
  void OnIdle() override;
  const Sampler& sampler() const { return sampler_; }
  // Note hooks: audio thread at a control tick, plug-in mutex held.
  void restartSample();  // a note-on restarts the file
  void stopSample();     // the last key (and the pedal) up starts the release

  // Finishes a program change made by MIDI (ZorqProgramChange.cpp): the program's
  // sample file name becomes the live one and the file is loaded, and a never-used
  // program slot gets its name and state. User-interface thread (idle); a host call of
  // its own (takes the plug-in mutex, reads files after releasing it).
  void completeProgramChange();

 protected:
  // Control tick: runs once per sub-block, right after the MIDI events are dispatched.
  void update();
  void handleMidiEvents();
  // A MIDI event waits for this tick.
  bool midiDueAtTick();
  // Applies the host's parameter changes due before frame `limit` of the block.
  void applyParamChanges(int limit);
  // Stage by stage (ZorqProcess.cpp): each slice's modulator into the working buffers
  // from frame `at` on, and its voices into the mixer's plan; then, once per run, the
  // carriers of the run's first n frames, and each slice's level for the meter, after
  // the meter's decay at the slice's tick.
  void loadModulator(double** inputs, int at, int n);
  void planKeyboard(int n);
  bool loadKeyboard(int n);
  bool loadNoise(int n, bool carriersHold);
  void loadExternal(int n, bool carriersHold);
  void measureLevel(int at, int n);
  void tickMeter();
  // The band bank over the first n frames of the working buffers; the level sum the
  // accent bend reads restarts at frame sumFrom, a control tick (none: n) (ZorqBands.cpp).
  void vocode(int n, int sumFrom);
  void mixOutputs(double* outL, double* outR, int n);
  // The pending slices' band bank, output mix, ensemble and sleep check, into the host's
  // buffers at pendingOut_ (ZorqBlockLoop.h).
  template <class Stages>
  void runPendingSlices(Stages& stages);
  bool runEndsAfterThisSlice() const;
  // The accent bend acts: each tick reads the level sum of the slice before it.
  bool accentBends() const { return keyboardOn_ && accentAmount_ > 0.0; }
  // Sleep (ZorqSleep.cpp). Nothing but the inputs keeps the engine awake.
  bool atRestButForInput() const;
  // The first of n frames at which an input the engine listens to is not 0, or n.
  int firstSoundingFrame(double** inputs, int n) const;
  void wake();
  // The control tick of a sleeping engine: what depends on time alone.
  void sleepingTick();
  // Parts of every control tick, awake or asleep: the ensembles' sweeps (coasting while
  // off), and the meter's decay.
  void advanceEnsembles();
  void decayMeter();
  // n frames asleep: zeros out, the ensemble's sweep moves on.
  void rest(double* outL, double* outR, int n);
  // After n frames awake: falls asleep when it has been quiet long enough. quietInput:
  // nothing but the inputs kept it awake, and they were silent.
  void noteQuiet(bool quietInput, const double* outL, const double* outR, int n);
  // How many quiet frames in a row put the engine to sleep.
  double quietFramesToSleep() const;
  void cleanup();
  void refreshInputConnections();
  // Which modulator channels carry signal: both in "File" mode, else the connected ones.
  void refreshModulatorActive();
  // MIDI program change at its control tick; audio thread, plug-in mutex held; no
  // allocation, no file access (ZorqProgramChange.cpp).
  void restoreProgram(int program);
  // Plug-in mutex held (ZorqSample.cpp). The sample file name of a program changed to
  // by MIDI becomes the live one (before the live state is stored anywhere) and is
  // read at the next idle; true when it did.
  bool adoptProgramSampleFile();
  int chooseVoice(int note) const;

  // Sub-block grid.
  uint32_t subBlockLength_ = 0;
  uint32_t allocatedLength_ = 0;  // the sub-block length the buffers were sized for
  // Frames the working buffers hold: a host block of kRunFrames in one run, however it
  // meets the ticks.
  uint32_t runCapacity() const { return allocatedLength_ + kRunFrames; }
  uint32_t remainder_ = 0;
  double reciprocal_ = 0.0;
  uint64_t controlTicks_ = 0;
  ParamChangeQueue paramChanges_;

  bool inputConnected_[kNumInputs] = {};
  bool modulatorActive_[2] = {};
  double meterAccumulator_ = 0.0;

  // Levels and switches set by OnParamChange.
  double finalVolume_ = 0.25;
  double micMix_ = 0.0;
  double vocoderMix_ = 1.0;
  double micLevel_ = 1.0;
  double keyboardLevel_ = 1.0;
  double noiseLevel_ = 0.0;
  double externalLevel_ = 1.0;
  bool keyboardOn_ = true;
  bool inputFromFile_ = false;
  bool ensembleOn_ = false;
  bool meterShowsSignal_ = false;
  bool sampleLegato_ = true;

  // The instruction set the kernels run with, chosen at reset.
  SimdKernel kernel_ = SimdKernel::kScalar;

  // Sleep when silent.
  bool sleepEnabled_ = true;
  bool asleep_ = false;
  uint32_t quietFrames_ = 0;  // frames of quiet output in a row

  // Band bank.
  BandBank bank_;
  int vocoderMode_ = 0;
  double bias_ = 0.0;
  double limit_ = 10.0;
  double modulatorLevelSum_ = 0.0;  // since the last control tick

  // Pitch control: accent bend lowers every voice when the summed band envelope rises.
  double pitchBendRange_ = 2.0 * 128.0;
  double accentAmount_ = 0.0;
  double pitchWheel_ = 0.0;
  Lowpass accentLowpass_;
  Highpass accentHighpass_;
  bool sustain_ = false;
  uint32_t noteCounter_ = 0;

  // Keyboard carrier and output chorus.
  PhaseIncrementTable phaseIncrements_;
  Voice voices_[kNumVoices];
  Voice* voiceList_[kNumVoices];  // the voices in order, for the mixer
  VoiceMixer voiceMixer_;
  LFO vibratoLFOs_[kNumVibratoLFOs];
  Ensemble ensembles_[2];

  // Sample player and the name of its file.
  Sampler sampler_;
  std::string sampleFileName_;
  std::string loadedFileName_;
  bool sampleLoadFailed_ = false;
  uint64_t sampleLoadGeneration_ = 0;
  SampleFileSchedule sampleFileSchedule_;  // what a program change or restore left
  IMessageBox* messageBox_ = nullptr;

  // Awake slices loaded into the working buffers whose band bank has not run yet.
  struct PendingSlice {
    int frames;
    bool tick;        // it began with a control tick: the level sum restarts
    bool awakeTick;   // it began with an awake control tick: the ensembles step first
    bool quietInput;  // for the sleep check: see noteQuiet
  };
  static constexpr int kMaxPendingSlices = 64;
  PendingSlice pendingSlices_[kMaxPendingSlices] = {};
  int pendingSliceCount_ = 0;
  int pendingFrames_ = 0;
  // The first pending slice's output, and its external carrier.
  double* pendingOut_[2] = {nullptr, nullptr};
  const double* pendingExternal_[2] = {nullptr, nullptr};

  // Working buffers, runCapacity() frames long, allocated by Reset.
  std::unique_ptr<double[]> modulator_[2];
  std::unique_ptr<double[]> carrier_[2];
  std::unique_ptr<double[]> noise_[2];
  std::unique_ptr<double[]> vocoderOut_[2];
};
