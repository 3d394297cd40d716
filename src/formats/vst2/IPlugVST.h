// VST 2 format adapter: the one place that knows the VST 2 binary interface. It owns
// the AEffect record the host drives, answers the dispatcher, parameter and
// processing callbacks by calling the format-neutral plug-in (IPlugBase), and is the
// plug-in's IPlugHost: automation, MIDI output, program changes and editor sizes go
// back to the host through its callback. Every callback except effClose and the
// editor's opcodes holds the plug-in mutex for its whole run; no exception leaves one.
#pragma once

#include <memory>

#include "formats/vst2/VstAbi.h"
#include "framework/ByteChunk.h"
#include "framework/Hosts.h"
#include "framework/IPlugBase.h"
#include "framework/ITimeInfo.h"

struct ISysEx;

class IPlugVST : public IPlugHost {
 public:
  static constexpr int kDefaultBlockSize = 1024;

  // Hosts `plug` (owned when `ownsPlug`): the record takes its identity, channels,
  // parameters and programs, and the editor flag when an editor that can open a window
  // is attached. Construction thread.
  IPlugVST(IPlugBase* plug, VstHostCallback hostCallback, bool ownsPlug = true);
  ~IPlugVST() override;
  IPlugVST(const IPlugVST&) = delete;
  IPlugVST& operator=(const IPlugVST&) = delete;

  AEffect* GetAEffect() { return &aEffect_; }
  static IPlugVST* FromAEffect(AEffect* effect);
  IPlugBase* Plug() const { return plug_; }

  // IPlugHost: threads as the interface states them.
  void InformHostOfParamChange(int paramIdx, double normalized) override;
  void BeginInformHostOfParamChange(int paramIdx) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  void InformHostOfProgramChange() override;
  // Audio thread: one MIDI event back to the host.
  void SendMidiMsg(const IMidiMsg& msg) override;
  // The editor's size changed: the rectangle follows, and an open window's host is
  // asked to resize (audioMasterSizeWindow).
  void ResizeGraphics(int width, int height) override;
  void SetLatency(int samples) override;

  // Audio thread: one system-exclusive message to the host; true when it accepted it.
  bool SendSysEx(ISysEx* msg);
  bool IsRenderingOffline();
  int GetSamplePos();
  double GetTempo();
  void GetTimeSig(int* numerator, int* denominator);
  void GetTime(ITimeInfo* timeInfo);
  // Identifies the host from its product string on first use.
  EHost GetHost();
  int GetHostVersion(bool decimal);
  // Hosts that cannot take more than two inputs and two outputs get stereo pins only.
  void HostSpecificInit();

 private:
  // Disconnects inputs from the third on, connects outputs from the third on.
  void limitToStereoIO();
  VstIntPtr hostCall(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
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

  static VstIntPtr dispatcherProc(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt);
  static void processProc(AEffect* effect, float** inputs, float** outputs, VstInt32 nFrames);
  static void processReplacingProc(AEffect* effect, float** inputs, float** outputs,
                                   VstInt32 nFrames);
  static void processDoubleReplacingProc(AEffect* effect, double** inputs, double** outputs,
                                         VstInt32 nFrames);
  static void setParameterProc(AEffect* effect, VstInt32 index, float value);
  static float getParameterProc(AEffect* effect, VstInt32 index);

  IPlugBase* plug_;
  std::unique_ptr<IPlugBase> ownedPlug_;
  VstHostCallback hostCallback_;
  AEffect aEffect_{};
  ERect editorRect_{};
  VstSpeakerArrangement inputSpeakers_{};
  VstSpeakerArrangement outputSpeakers_{};
  bool hostSpecificInitDone_ = false;
  int hostExtensions_ = 0;  // bit 0 "hasCockosExtensions", bit 1 "hasCockosViewAsConfig"
  ByteChunk programChunk_;
  ByteChunk bankChunk_;
  bool vendorQueried_ = false;
  bool programChunksOnly_ = false;
  int host_ = kHostUninit;
  int hostVersion_ = 0;
};
