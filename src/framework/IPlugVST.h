#pragma once

#include "framework/ByteChunk.h"
#include "framework/Hosts.h"
#include "framework/IPlugBase.h"
#include "framework/ITimeInfo.h"
#include "framework/VstAbi.h"

struct ISysEx;

// The VST 2 host adapter: fills the AEffect record the host drives, answers the
// dispatcher, parameter and processing callbacks, and calls the host back for
// automation, MIDI output, time and identity. Every callback except effClose
// holds the plug-in mutex for its whole run; no exception leaves a callback.
class IPlugVST : public IPlugBase {
 public:
  static constexpr int kDefaultBlockSize = 1024;

  IPlugVST(VstHostCallback hostCallback, int nParams, const char* channelIOStr, int nPresets,
           const char* effectName, const char* productName, const char* mfrName,
           int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
           bool plugDoesChunks, bool plugIsInst);

  AEffect* GetAEffect() { return &aEffect_; }
  static IPlugVST* FromAEffect(AEffect* effect);

  // Host calls; any thread.
  void InformHostOfParamChange(int paramIdx, double normalized) override;
  void BeginInformHostOfParamChange(int paramIdx) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  void InformHostOfProgramChange() override;
  // Audio thread: one MIDI event back to the host; true when it accepted it.
  void SendMidiMsg(IMidiMsg* msg) override;
  bool SendSysEx(ISysEx* msg);
  void SetLatency(int samples) override;
  // Base attach, then the has-editor flag (when the editor can show a window) and
  // the editor rectangle.
  void AttachGraphics(IPlugGUI* graphics) override;
  // The editor's size changed: the rectangle follows, and an open window's host is
  // asked to resize (audioMasterSizeWindow).
  void ResizeGraphics(int width, int height) override;
  bool IsRenderingOffline();
  int GetSamplePos();
  double GetTempo();
  void GetTimeSig(int* numerator, int* denominator);
  void GetTime(ITimeInfo* timeInfo);
  // Identifies the host from its product string on first use.
  EHost GetHost();
  int GetHostVersion(bool decimal);

  virtual void HostSpecificInit();
  virtual void OnHostIdentified() {}
  // Host thread, after a dispatcher call has released the plug-in mutex: work that
  // must not hold it (such as reading a file that a restored state names).
  virtual void OnHostCallReturned() {}
  virtual void ProcessSysEx(ISysEx*) {}
  virtual bool MidiNoteName(int, char* name) {
    name[0] = '\0';
    return false;
  }

 protected:
  // Disconnects inputs from the third on, connects outputs from the third on.
  void LimitToStereoIO();
  // Plug-in mutex held: whether this thread is inside a dispatcher call, which
  // releases the mutex before OnHostCallReturned.
  bool InHostCall() const { return hostCallDepth_ > 0; }

 private:
  VstIntPtr hostCall(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                     void* ptr = nullptr, float opt = 0.0f);
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  // The editor's opcodes, on the host's editor thread without the plug-in mutex.
  static bool isEditorCall(VstInt32 opcode, VstInt32 index, VstIntPtr value);
  VstIntPtr dispatchEditor(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  // The editor rectangle from the editor's size and scale; true when it changed.
  bool refreshEditorRect();
  VstIntPtr getChunk(void** data, bool isBank);
  VstIntPtr setChunk(const void* data, VstIntPtr size, bool isBank);
  bool wantsBank(VstInt32 index);
  VstIntPtr processEvents(const VstEvents* events);
  VstIntPtr string2Parameter(int paramIdx, const char* text);
  VstIntPtr pinProperties(VstPinProperties* properties, int index, bool input);
  void setSpeakerArrangement(const VstSpeakerArrangement* arrangement, bool input);
  void updateChannelCounts();
  void setHost(const char* productString, int version);
  const VstTimeInfo* hostTime(VstInt32 filter);
  template <typename Sample>
  void processBlock(Sample** inputs, Sample** outputs, int nFrames, bool accumulate);
  template <typename Sample>
  void processGuarded(Sample** inputs, Sample** outputs, int nFrames, bool accumulate);
  template <typename Sample>
  void silenceHostOutputs(Sample** outputs, int first, int nFrames);

  static VstIntPtr dispatcherProc(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                              VstIntPtr value, void* ptr, float opt);
  static void processProc(AEffect* effect, float** inputs, float** outputs,
                                      VstInt32 nFrames);
  static void processReplacingProc(AEffect* effect, float** inputs, float** outputs,
                                               VstInt32 nFrames);
  static void processDoubleReplacingProc(AEffect* effect, double** inputs,
                                                     double** outputs, VstInt32 nFrames);
  static void setParameterProc(AEffect* effect, VstInt32 index, float value);
  static float getParameterProc(AEffect* effect, VstInt32 index);

  VstHostCallback hostCallback_;
  AEffect aEffect_{};
  ERect editorRect_{};
  VstSpeakerArrangement inputSpeakers_{};
  VstSpeakerArrangement outputSpeakers_{};
  bool hostSpecificInitDone_ = false;
  int hostCallDepth_ = 0;  // dispatcher calls in progress; changed under the mutex
  int hostExtensions_ = 0;  // bit 0 "hasCockosExtensions", bit 1 "hasCockosViewAsConfig"
  ByteChunk programChunk_;
  ByteChunk bankChunk_;
  bool vendorQueried_ = false;
  bool programChunksOnly_ = false;
  int host_ = kHostUninit;
  int hostVersion_ = 0;
};
