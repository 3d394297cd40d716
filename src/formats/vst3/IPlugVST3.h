// VST 3 format adapter: the one object a host creates, which is the component, the
// audio processor and the edit controller at once (the controller cannot live apart).
// It answers the host's calls by calling the format-neutral plug-in (IPlugBase), and is
// the plug-in's IPlugHost: parameter changes, gestures, program changes and editor
// sizes go back to the host. Every method holds the plug-in mutex while it touches the
// plug-in, calls the host with no lock held, and lets no exception out.
//
// Parameters: the plug-in's parameters keep their index as id; a bypass and a program
// parameter follow, then one hidden parameter per MIDI controller and pitch bend (the
// host turns those MIDI messages into parameter changes, which become MIDI messages
// again here). Values cross the interface normalised; the controller side keeps the
// last value of each parameter the host or the plug-in set, the processor side applies
// changes at the control tick their offset falls in.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "formats/vst3/Vst3Abi.h"
#include "framework/GainRamp.h"
#include "framework/HostEditQueue.h"
#include "framework/IPlugBase.h"

class Vst3View;

// Runs `call`; `fallback` when it throws: nothing crosses the interface as an exception.
template <typename Result, typename Call>
Result guarded(Result fallback, Call&& call) noexcept {
  try {
    return call();
  } catch (...) {
    return fallback;
  }
}

namespace vst3detail {
// The component's and the controller's state methods share their names: each side
// gets a name of its own here.
class ComponentSide : public vst3::IComponent {
 public:
  vst3::tresult ZORQ_VST3_API setState(vst3::IBStream* state) final { return loadState(state); }
  vst3::tresult ZORQ_VST3_API getState(vst3::IBStream* state) final { return saveState(state); }

 protected:
  ~ComponentSide() = default;
  virtual vst3::tresult loadState(vst3::IBStream* state) = 0;
  virtual vst3::tresult saveState(vst3::IBStream* state) = 0;
};

class ControllerSide : public vst3::IEditController {
 public:
  vst3::tresult ZORQ_VST3_API setState(vst3::IBStream* state) final {
    return loadControllerState(state);
  }
  vst3::tresult ZORQ_VST3_API getState(vst3::IBStream* state) final {
    return saveControllerState(state);
  }

 protected:
  ~ControllerSide() = default;
  virtual vst3::tresult loadControllerState(vst3::IBStream* state) = 0;
  virtual vst3::tresult saveControllerState(vst3::IBStream* state) = 0;
};
}  // namespace vst3detail

class IPlugVST3 final : public vst3detail::ComponentSide,
                        public vst3::IAudioProcessor,
                        public vst3::IProcessContextRequirements,
                        public vst3detail::ControllerSide,
                        public vst3::IMidiMapping,
                        public vst3::IUnitInfo,
                        public IPlugHost {
 public:
  // Parameter ids beyond the plug-in's own; fixed forever (hosts store them).
  static constexpr vst3::ParamID kBypassId = 0x10000;
  static constexpr vst3::ParamID kProgramId = 0x10001;
  // MIDI controller n (0..127) and pitch bend (129) are kMidiControllerId + n.
  static constexpr vst3::ParamID kMidiControllerId = 0x20000;
  static constexpr vst3::UnitID kProgramUnitId = vst3::kRootUnitId;
  static constexpr vst3::ProgramListID kProgramListId = 1;
  static constexpr int kMidiControllers = 128;

  // Hosts `plug`, with a reference count of one for the creator. Any thread.
  explicit IPlugVST3(std::unique_ptr<IPlugBase> plug);
  ~IPlugVST3() override;
  IPlugVST3(const IPlugVST3&) = delete;
  IPlugVST3& operator=(const IPlugVST3&) = delete;

  IPlugBase* Plug() const { return plug_.get(); }

  // FUnknown; any thread.
  vst3::tresult ZORQ_VST3_API queryInterface(const vst3::TUID interfaceId, void** obj) override;
  vst3::uint32 ZORQ_VST3_API addRef() override;
  vst3::uint32 ZORQ_VST3_API release() override;

  // IPluginBase (IPlugVST3.cpp): initialize and terminate pair up; only the outer pair
  // works (a host may initialise the object as component and again as controller).
  vst3::tresult ZORQ_VST3_API initialize(vst3::FUnknown* context) override;
  vst3::tresult ZORQ_VST3_API terminate() override;

  // IComponent (buses in IPlugVST3Buses.cpp, state in IPlugVST3State.cpp); UI thread.
  vst3::tresult ZORQ_VST3_API getControllerClassId(vst3::TUID classId) override;
  vst3::tresult ZORQ_VST3_API setIoMode(vst3::IoMode) override { return vst3::kResultOk; }
  vst3::int32 ZORQ_VST3_API getBusCount(vst3::MediaType type, vst3::BusDirection dir) override;
  vst3::tresult ZORQ_VST3_API getBusInfo(vst3::MediaType type, vst3::BusDirection dir,
                                         vst3::int32 index, vst3::BusInfo& bus) override;
  vst3::tresult ZORQ_VST3_API getRoutingInfo(vst3::RoutingInfo& inInfo,
                                             vst3::RoutingInfo& outInfo) override;
  vst3::tresult ZORQ_VST3_API activateBus(vst3::MediaType type, vst3::BusDirection dir,
                                          vst3::int32 index, vst3::TBool state) override;
  vst3::tresult ZORQ_VST3_API setActive(vst3::TBool state) override;

  // IAudioProcessor (IPlugVST3Process.cpp, arrangements in IPlugVST3Buses.cpp).
  // UI thread except process (audio thread) and setProcessing (either).
  vst3::tresult ZORQ_VST3_API setBusArrangements(vst3::SpeakerArrangement* inputs,
                                                 vst3::int32 numIns,
                                                 vst3::SpeakerArrangement* outputs,
                                                 vst3::int32 numOuts) override;
  vst3::tresult ZORQ_VST3_API getBusArrangement(vst3::BusDirection dir, vst3::int32 index,
                                                vst3::SpeakerArrangement& arrangement) override;
  vst3::tresult ZORQ_VST3_API canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
  vst3::uint32 ZORQ_VST3_API getLatencySamples() override;
  vst3::tresult ZORQ_VST3_API setupProcessing(vst3::ProcessSetup& setup) override;
  vst3::tresult ZORQ_VST3_API setProcessing(vst3::TBool state) override;
  vst3::tresult ZORQ_VST3_API process(vst3::ProcessData& data) override;
  vst3::uint32 ZORQ_VST3_API getTailSamples() override { return vst3::kInfiniteTail; }
  vst3::uint32 ZORQ_VST3_API getProcessContextRequirements() override { return 0; }

  // IEditController (IPlugVST3Params.cpp; the editor in IPlugVST3Editor.cpp); UI thread.
  vst3::tresult ZORQ_VST3_API setComponentState(vst3::IBStream* state) override;
  vst3::int32 ZORQ_VST3_API getParameterCount() override;
  vst3::tresult ZORQ_VST3_API getParameterInfo(vst3::int32 index,
                                               vst3::ParameterInfo& info) override;
  vst3::tresult ZORQ_VST3_API getParamStringByValue(vst3::ParamID id, vst3::ParamValue normalized,
                                                    vst3::String128 string) override;
  vst3::tresult ZORQ_VST3_API getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                                    vst3::ParamValue& normalized) override;
  vst3::ParamValue ZORQ_VST3_API normalizedParamToPlain(vst3::ParamID id,
                                                        vst3::ParamValue normalized) override;
  vst3::ParamValue ZORQ_VST3_API plainParamToNormalized(vst3::ParamID id,
                                                        vst3::ParamValue plain) override;
  vst3::ParamValue ZORQ_VST3_API getParamNormalized(vst3::ParamID id) override;
  vst3::tresult ZORQ_VST3_API setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
  vst3::tresult ZORQ_VST3_API setComponentHandler(vst3::IComponentHandler* handler) override;
  vst3::IPlugView* ZORQ_VST3_API createView(vst3::FIDString name) override;

  // IMidiMapping (IPlugVST3Params.cpp); UI thread.
  vst3::tresult ZORQ_VST3_API getMidiControllerAssignment(vst3::int32 busIndex, vst3::int16 channel,
                                                          vst3::CtrlNumber controller,
                                                          vst3::ParamID& id) override;

  // IUnitInfo (IPlugVST3Units.cpp): one unit with the program list; UI thread.
  vst3::int32 ZORQ_VST3_API getUnitCount() override { return 1; }
  vst3::tresult ZORQ_VST3_API getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info) override;
  vst3::int32 ZORQ_VST3_API getProgramListCount() override { return 1; }
  vst3::tresult ZORQ_VST3_API getProgramListInfo(vst3::int32 listIndex,
                                                 vst3::ProgramListInfo& info) override;
  vst3::tresult ZORQ_VST3_API getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                             vst3::String128 name) override;
  vst3::tresult ZORQ_VST3_API getProgramInfo(vst3::ProgramListID, vst3::int32, const char*,
                                             vst3::String128) override {
    return vst3::kResultFalse;
  }
  vst3::tresult ZORQ_VST3_API hasProgramPitchNames(vst3::ProgramListID, vst3::int32) override {
    return vst3::kResultFalse;
  }
  vst3::tresult ZORQ_VST3_API getProgramPitchName(vst3::ProgramListID, vst3::int32, vst3::int16,
                                                  vst3::String128) override {
    return vst3::kResultFalse;
  }
  vst3::UnitID ZORQ_VST3_API getSelectedUnit() override { return vst3::kRootUnitId; }
  vst3::tresult ZORQ_VST3_API selectUnit(vst3::UnitID) override { return vst3::kResultOk; }
  vst3::tresult ZORQ_VST3_API getUnitByBus(vst3::MediaType, vst3::BusDirection, vst3::int32,
                                           vst3::int32, vst3::UnitID& unitId) override;
  vst3::tresult ZORQ_VST3_API setUnitProgramData(vst3::int32, vst3::int32,
                                                 vst3::IBStream*) override {
    return vst3::kNotImplemented;
  }

  // IPlugHost: threads as the interface states them. From the audio thread inside
  // process, values go out as output parameter changes; from the editor they wait for
  // the end of its call, when no lock is held (FlushToHost).
  void InformHostOfParamChange(int paramIdx, double normalized) override;
  void BeginInformHostOfParamChange(int paramIdx) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  void InformHostOfProgramChange() override;
  void SendMidiMsg(const IMidiMsg&) override {}  // no event output bus
  void ResizeGraphics(int width, int height) override;
  void SetLatency(int samples) override;

  // UI thread, no lock held: the editor's gestures and values go to the host, and the
  // host reads every value again when the plug-in changed many. Called after each of
  // the editor's run-loop callbacks and after host calls that change values.
  void FlushToHost();
  // The editor's view closed (Vst3View); UI thread.
  void ViewClosed(Vst3View* view);

 private:
  // Processing (IPlugVST3Process.cpp); audio thread, plug-in mutex held.
  void deliverEvents(vst3::IEventList* events, int frames);
  void deliverParameterChanges(vst3::IParameterChanges* changes, int frames);
  // One point of a queue: the value `normalized` for `slot`, due at `offset`.
  void deliverPoint(int slot, double normalized, int offset, bool now);
  template <typename Sample>
  void processAudio(vst3::ProcessData& data, int frames,
                    Sample** (*channelsOf)(vst3::AudioBusBuffers&));
  // The voice of a piece, kept for the bypass crossfade.
  template <typename Sample>
  Sample* dryBuffer(int channel);
  // Values the plug-in changed itself go to the host's output list and the controller.
  void reportValuesChangedByPlug();
  void applySetup();

  // Parameters (IPlugVST3Params.cpp). A slot is a parameter's place in the host's
  // list: the plug-in's parameters, bypass, program, the MIDI controllers, pitch bend.
  int slotOf(vst3::ParamID id) const;
  vst3::ParamID idAt(int slot) const;
  // The parameter of a slot (the plug-in's or one of the adapter's own), or null.
  const IParam* paramAt(int slot) const;
  int parameterCount() const { return plug_->NParams() + static_cast<int>(ownParams_.size()); }
  void initOwnParams();
  // The controller's value of every parameter the plug-in holds, from the plug-in;
  // plug-in mutex held.
  void syncControllerValues();
  // A host's value for `slot` while no block runs (no tick to wait for). UI thread.
  void applyOutsideProcess(int slot, double normalized);

  // State (IPlugVST3State.cpp).
  vst3::tresult loadState(vst3::IBStream* state) override;
  vst3::tresult saveState(vst3::IBStream* state) override;
  vst3::tresult loadControllerState(vst3::IBStream* state) override;
  vst3::tresult saveControllerState(vst3::IBStream* state) override;
  // Loads a session chunk whole or not at all; then the host reads every value again.
  bool loadChunk(const ByteChunk& chunk);

  // A program's name as hosts show it (IPlugVST3Units.cpp); plug-in mutex held.
  std::string programName(int program) const;

  std::unique_ptr<IPlugBase> plug_;
  std::atomic<vst3::uint32> references_{1};
  int initializations_ = 0;  // initialize calls not yet paired with terminate
  vst3::FUnknown* hostContext_ = nullptr;
  vst3::IComponentHandler* handler_ = nullptr;
  vst3::IUnitHandler* unitHandler_ = nullptr;

  // Processing set-up and state.
  vst3::ProcessSetup setup_{0, vst3::kSample32, 1024, 44100.0};
  std::atomic<bool> active_{false};
  std::atomic<bool> processing_{false};

  // Buses: input 0 the voice, input 1 the carrier (side chain), output 0.
  vst3::SpeakerArrangement inputArrangement_[2] = {vst3::kSpeakerArrStereo,
                                                   vst3::kSpeakerArrStereo};
  std::atomic<bool> inputActive_[2] = {true, false};

  // The adapter's own parameters (slots from the plug-in's count on) and the
  // controller's value of every slot, normalised.
  std::vector<IParam> ownParams_;
  std::unique_ptr<std::atomic<double>[]> controllerValues_;
  // Bypass as the processor last received it, and its crossfade (1 processing, 0 the
  // voice alone) with the voice of the piece being processed.
  std::atomic<bool> bypassed_{false};
  GainRamp bypass_;
  std::vector<float> dry32_[2];
  std::vector<double> dry64_[2];

  // Inside process: the host's output list; else null. Plug-in mutex held.
  vst3::IParameterChanges* outChanges_ = nullptr;
  bool valuesChangedByPlug_ = false;  // a program change inside the block

  // The state the component last loaded or saved; plug-in mutex held.
  ByteChunk lastState_;

  // What goes to the host at the next FlushToHost; plug-in mutex held to change it.
  HostEditQueue edits_;
  std::atomic<vst3::int32> restartFlags_{0};  // restartComponent flags still to send

  Vst3View* view_ = nullptr;  // the open editor's view, not held
};
