// The format-neutral core of the plug-in object: identity, legal channel
// configurations and channels with their buffers, sample rate and block size, the
// parameter list and presets, and the recursive mutex that serialises every host call,
// every audio block and every parameter or state change. A format adapter (VST 2,
// LV2, CLAP, a standalone host) owns the plug-in, translates its host's calls into
// these operations and attaches itself as the IPlugHost that the plug-in talks back to.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/ByteChunk.h"
#include "framework/IParam.h"
#include "framework/IPlugGUI.h"
#include "framework/IPlugHost.h"
#include "framework/IPreset.h"

struct IMidiMsg;
struct ISysEx;

class IPlugBase {
 public:
  static constexpr int kMaxEffectName = 128;
  // The channels' scratch buffers hold at most this many frames, whatever block size
  // a host announces; longer blocks are processed in pieces.
  static constexpr int kMaxProcessFrames = 8192;

  IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
            const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
            int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
            int plugAPI);
  virtual ~IPlugBase();
  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // Hooks the instrument overrides. Each runs under the plug-in mutex.
  virtual void Reset();
  // The host asks for silence at the same rate (a jump in the timeline): voices,
  // buffers, filters and envelopes start from rest, parameter values stay. The base
  // resets and applies every parameter again. Audio or host thread; takes the mutex;
  // no allocation while the rate and block size are unchanged.
  virtual void ResetToSilence();
  virtual void OnParamChange(int paramIdx);
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  virtual void OnActivate(bool active);
  virtual void ProcessMidiMsg(IMidiMsg* msg);
  // A system-exclusive message from the host; audio thread, plug-in mutex held.
  virtual void ProcessSysEx(ISysEx*) {}
  // A host's change of a parameter to a plain value, due `offset` frames into the next
  // block processed. The base applies it at once (SetParameterValueFromHost); an
  // instrument with a control grid applies it at the control tick whose window holds
  // the offset. Audio thread (host thread while not processing), plug-in mutex held;
  // no allocation.
  virtual void ScheduleParamChange(int paramIdx, double value, int offset);
  // A host sets a parameter to a plain value (formats whose hosts exchange plain
  // values): NaN is ignored, the value is held in range and, for a parameter that is
  // not a double, on its step; the editor's control follows, then OnParamChange. The
  // host is not informed back. Any thread; takes the mutex.
  void SetParameterValueFromHost(int paramIdx, double value);
  virtual void SetSampleRate(double sampleRate);
  virtual void SetBlockSize(int blockSize);
  virtual void SetLatency(int samples);

  // Calls back to the host, forwarded to the attached IPlugHost (dropped without one);
  // threads and locks as IPlugHost states them.
  virtual void SendMidiMsg(IMidiMsg* msg);
  virtual void InformHostOfParamChange(int paramIdx, double normalized);
  virtual void BeginInformHostOfParamChange(int paramIdx);
  virtual void EndInformHostOfParamChange(int paramIdx);

  // The format adapter that hosts this plug-in, or null. Set by the adapter when it
  // takes the plug-in and cleared before it lets go; construction or host thread.
  void SetHost(IPlugHost* host) { host_ = host; }
  IPlugHost* GetHost() const { return host_; }

  // A host call in progress. An adapter opens one, under the plug-in mutex, around
  // every host call that may restore state; when the outermost one has ended and the
  // mutex is released, it calls OnHostCallReturned, where the instrument does the file
  // work the call left (such as reading a sample file that a restored state names).
  class HostCall {
   public:
    explicit HostCall(IPlugBase& plug) : depth_(plug.hostCallDepth_) { ++depth_; }
    ~HostCall() { --depth_; }
    HostCall(const HostCall&) = delete;
    HostCall& operator=(const HostCall&) = delete;
    bool Outermost() const { return depth_ == 1; }

   private:
    int& depth_;
  };
  // Host thread, plug-in mutex released: work a host call left for after it.
  virtual void OnHostCallReturned() {}
  // Runs f() under the plug-in mutex as one host call; when it was the outermost one,
  // the work it left follows with the mutex released. Host or editor thread.
  template <typename F>
  auto RunHostCall(F f) -> decltype(f()) {
    if constexpr (std::is_void_v<decltype(f())>) {
      RunHostCall([&] {
        f();
        return true;
      });
    } else {
      bool outermost = false;
      decltype(f()) result{};
      {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        HostCall call(*this);
        result = f();
        outermost = call.Outermost();
      }
      if (outermost) OnHostCallReturned();
      return result;
    }
  }

  // State and presets (IPlugBasePresets.cpp). Every one runs under the plug-in mutex,
  // on the host's or the editor's thread.
  virtual bool SerializeState(ByteChunk* chunk);
  virtual int UnserializeState(const ByteChunk* chunk, int startPos);
  virtual int UnserializePresets(const ByteChunk* chunk, int startPos);
  virtual void ModifyCurrentPreset(const char* name = nullptr);
  virtual void PresetsChangedByHost() {}
  // Pushes every parameter's plain value into the attached editor's controls.
  virtual void RedrawParamControls();
  virtual void InformHostOfProgramChange();
  bool SerializeParams(ByteChunk* chunk);
  int UnserializeParams(const ByteChunk* chunk, int startPos);
  bool SerializePresets(ByteChunk* chunk);
  void EnsureDefaultPreset();
  bool RestorePreset(int idx);
  bool RestorePreset(const char* name);
  const char* GetPresetName(int idx) const;
  int NPresets() const { return static_cast<int>(presets_.size()); }
  int GetCurrentPresetIdx() const { return currentPresetIdx_; }
  // Informs the host of every parameter's current value (automation).
  void DirtyParameters();
  // The two chunk kinds the host stores: the live program (version marker, state,
  // current preset name) and the whole bank (version marker, every preset).
  bool serializeProgramChunk(ByteChunk* chunk);
  int unserializeProgramChunk(const ByteChunk* chunk);
  bool serializeBankChunk(ByteChunk* chunk);
  int unserializeBankChunk(const ByteChunk* chunk);
  // The whole state for hosts that keep no program number of their own: the bank
  // chunk, then a tag and the current preset's index. Reading also takes a bank chunk
  // without the tag (the current preset stays). A chunk without the version marker or
  // one that cannot be read to its end is refused and changes nothing (the state as it
  // was is put back). Host thread; takes the mutex.
  bool serializeSessionChunk(ByteChunk* chunk);
  bool unserializeSessionChunk(const ByteChunk* chunk);

  // A bank chunk (or a program chunk) restored whole or not at all: when it cannot be
  // read completely, the presets, the current preset and the live state are put back as
  // they were. Returns the final position, or -1. Host thread; takes the mutex.
  int unserializeBankChunkWhole(const ByteChunk* chunk);

  // For an editor that runs apart from the plug-in (in a host's own UI process) and keeps
  // a copy of the plug-in in step with it (RemoteSync.h). Plug-in mutex held by the
  // caller; the getters allocate nothing.
  //
  // Preset idx as stored, or null outside the list.
  const IPreset* GetPreset(int idx) const;
  // Stores a preset as given (name and state kept as they are, not passed through the
  // live plug-in); false outside the list.
  bool SetPreset(int idx, const IPreset& preset);
  // Makes idx the current preset without applying its state; false outside the list.
  bool SelectPreset(int idx) { return selectPreset(idx); }
  // The live state beyond parameter values and presets that an editor shows and
  // changes (for this instrument: its sample file and user settings), as one record.
  // Applying a record that does not read completely changes nothing and gives false.
  virtual void SerializeEditorState(ByteChunk*) {}
  virtual bool UnserializeEditorState(const ByteChunk*) { return true; }
  // The level the editor's meter shows (linear, 1.0 = 0 dB), and a copy showing
  // another instance's level; audio or editor thread, no lock.
  virtual double EditorMeterLevel() const { return 0.0; }
  virtual void SetEditorMeterLevel(double) {}
  // The file the live state plays from (an absolute path when it can be found; "" for
  // none), and a replacement for it, read once the host call ends (OnHostCallReturned),
  // for hosts that store such files apart and move them between machines.
  virtual std::string LiveStateFile() const { return ""; }
  virtual void SetLiveStateFile(const std::string&) {}

  // Program (.fxp) and bank (.fxb) files (IPlugBaseFiles.cpp); editor or host thread,
  // under the plug-in mutex. Chunk form when the plug-in does chunks, parameter form
  // otherwise; loading accepts both.
  bool SaveProgramAsFXP(const std::string& path);
  bool SaveBankAsFXB(const std::string& path);
  bool LoadProgramFromFXP(const std::string& path);
  bool LoadBankFromFXB(const std::string& path);
  // The same from a file already read (the caller did the file work).
  bool LoadProgramFromBytes(const ByteChunk& file);
  bool LoadBankFromBytes(const ByteChunk& file);

  // Any thread; takes the mutex.
  void SetParameterFromGUI(int paramIdx, double normalized);
  // A host sets a parameter to a normalised value it keeps as a 32-bit float (every
  // plug-in format's set-parameter call): the float of the current value keeps the
  // value, NaN is ignored, values beyond 0..1 count as the nearer end. The editor's
  // controls follow, then OnParamChange; the host is not informed back.
  // Host thread; takes the mutex.
  void SetParameterFromHost(int paramIdx, float normalized);
  // Calls OnParamChange for every parameter in index order.
  void OnParamReset();

  // The editor (graphics context); the plug-in owns it from here on. Pushes every
  // parameter's normalised value into its controls, then lets it create its drawing
  // bitmaps. Construction or editor thread; takes the mutex. Null is ignored.
  virtual void AttachGraphics(IPlugGUI* graphics);
  IPlugGUI* GetGUI() const { return graphics_.get(); }
  // The editor asks for another size; the host adapter tells the host.
  virtual void ResizeGraphics(int width, int height);
  // Idle time: from the host, or from the editor after a run of clean redraw ticks.
  virtual void OnIdle() {}
  // The editor's window has opened, or is about to close; plug-in mutex held.
  virtual void OnGUIOpen() {}
  virtual void OnGUIClose() {}

  IParam* GetParam(int paramIdx);
  const IParam* GetParam(int paramIdx) const;
  int NParams() const { return static_cast<int>(params_.size()); }

  double GetSampleRate() const { return sampleRate_; }
  int GetBlockSize() const { return blockSize_; }
  // Frames per call of the processing hooks: the block size, held within 1 .. 8192.
  int ProcessFrames() const { return blockSize_ < 1 ? 1 : std::min(blockSize_, kMaxProcessFrames); }
  int GetLatency() const { return latency_; }
  int GetUniqueID() const { return uniqueID_; }
  int GetEffectVersion(bool decimal) const;
  const char* GetEffectName() const { return effectName_; }
  const char* GetProductName() const { return productName_; }
  const char* GetMfrName() const { return mfrName_; }
  bool DoesMIDI() const { return doesMidi_; }
  bool DoesStateChunks() const { return doesChunks_; }
  bool IsInst() const { return isInst_; }
  int GetAPI() const { return api_; }

  // Channels.
  bool LegalIO(int nIn, int nOut) const;
  int NInChannels() const { return static_cast<int>(inChannels_.size()); }
  int NOutChannels() const { return static_cast<int>(outChannels_.size()); }
  bool IsInChannelConnected(int chIdx) const;
  bool IsOutChannelConnected(int chIdx) const;
  void SetInputChannelConnections(int first, int count, bool connected);
  void SetOutputChannelConnections(int first, int count, bool connected);
  void SetInputLabel(int chIdx, const char* label);
  void SetOutputLabel(int chIdx, const char* label);
  const char* GetInputLabel(int chIdx) const;
  const char* GetOutputLabel(int chIdx) const;

  // Audio block path; audio thread, plug-in mutex held by the caller.
  void AttachInputBuffers(int first, int count, double** buffers, int nFrames);
  void AttachInputBuffers(int first, int count, float** buffers, int nFrames);
  void AttachOutputBuffers(int first, int count, double** buffers);
  void AttachOutputBuffers(int first, int count, float** buffers);
  void ProcessBuffers(double sampleType, int nFrames);
  void ProcessBuffers(float sampleType, int nFrames);
  void ProcessBuffersAccumulating(float sampleType, int nFrames);
  // A host block of any length, run through the buffers above in pieces of at most
  // ProcessFrames() frames. `inputs` and `outputs` hold one buffer for each connected
  // channel among the first nIn and nOut, in order (as AttachInputBuffers takes them);
  // MIDI offsets keep counting from the block's start. More than kMaxBlockChannels
  // buffers on a side process nothing.
  static constexpr int kMaxBlockChannels = 64;
  void ProcessBlock(float** inputs, int nIn, float** outputs, int nOut, int nFrames,
                    bool accumulate = false);
  void ProcessBlock(double** inputs, int nIn, double** outputs, int nOut, int nFrames);
  // One MIDI message as a byte-stream format delivers it: system exclusive goes to
  // ProcessSysEx, any other message with a status byte to ProcessMidiMsg (its first
  // three bytes); bytes without a status are dropped. Audio thread, mutex held.
  void ProcessMidiBytes(int offset, const uint8_t* bytes, int size);

  std::recursive_mutex& Mutex() const { return mutex_; }

 protected:
  // Plug-in mutex held: whether this thread is inside a host call (see HostCall).
  bool InHostCall() const { return hostCallDepth_ > 0; }

  // Sets a parameter from a stored plain value, clamped to its range (no step
  // rounding); a value that is not a number counts as 0.
  void setParamClamped(int paramIdx, double value);
  // Reads one double per parameter from pos, as stored states hold them. A value that
  // does not fit sets its parameter to 0 clamped and ends the reading with -1.
  int readParamValues(const ByteChunk* chunk, int pos);
  // Plug-in mutex held; any thread, no allocation. The state stored in preset idx,
  // or null for an index outside the list or a preset never initialised.
  const ByteChunk* storedPresetState(int idx) const;
  // Plug-in mutex held; any thread. Makes idx the current preset and changes nothing
  // else (for a caller that applies the stored state itself); false outside the list.
  bool selectPreset(int idx);
  // Reads the presets of a chunk-form bank file image (header, chunk size, version
  // marker, preset list) and informs the host; returns the final position or -1.
  // No header field is checked here.
  int loadBankChunkForm(const ByteChunk& file);

 protected:
  struct InChannel {
    bool connected = true;
    std::vector<double> scratch;  // one block long; used when unconnected or for float input
    std::string label;
  };
  struct OutChannel {
    bool connected = true;
    float* hostBuffer = nullptr;  // non-null while a float block is being processed
    std::vector<double> scratch;
    std::string label;
  };
  struct ChannelIO {
    int nIn;
    int nOut;
  };

 private:
  void processFloatOutputs(int nFrames, bool accumulate);
  template <typename Sample>
  void processBlock(Sample** inputs, int nIn, Sample** outputs, int nOut, int nFrames,
                    bool accumulate);
  // Runs `read` (a chunk's reading, returning its final position or -1); when it fails,
  // the presets, the current preset and the live state are put back as they were.
  template <typename Read>
  int wholeOrNothing(Read read);

  std::vector<ChannelIO> channelIO_;
  mutable std::recursive_mutex mutex_;
  char effectName_[kMaxEffectName] = {};
  char productName_[kMaxEffectName] = {};
  char mfrName_[kMaxEffectName] = {};
  int uniqueID_;
  int mfrID_;
  int version_;
  int api_;
  bool doesMidi_;
  bool doesChunks_;
  bool isInst_;
  double sampleRate_ = 44100.0;
  int blockSize_ = 0;
  int latency_;
  std::vector<IParam> params_;
  std::vector<IPreset> presets_;
  int currentPresetIdx_ = 0;
  std::vector<double*> inData_;
  std::vector<double*> outData_;
  std::vector<InChannel> inChannels_;
  std::vector<OutChannel> outChannels_;
  std::unique_ptr<IPlugGUI> graphics_;
  IPlugHost* host_ = nullptr;
  int hostCallDepth_ = 0;  // host calls in progress; changed under the mutex

 protected:
  int nPresets_;
};

// Holds a plug-in's recursive mutex for the scope.
using IMutexLock = std::lock_guard<std::recursive_mutex>;
