#include "formats/vst2/IPlugVST.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "framework/IMidiMsg.h"

namespace {
void fillSpeakerArrangement(VstSpeakerArrangement* arrangement, int nChannels) {
  arrangement->numChannels = nChannels;
  arrangement->type = nChannels == 0   ? kSpeakerArrEmpty
                      : nChannels == 1 ? kSpeakerArrMono
                      : nChannels == 2 ? kSpeakerArrStereo
                                       : kSpeakerArrUserDefined;
}
}  // namespace

IPlugVST::IPlugVST(IPlugBase* plug, VstHostCallback hostCallback, bool ownsPlug)
    : plug_(plug), ownedPlug_(ownsPlug ? plug : nullptr), hostCallback_(hostCallback) {
  aEffect_.magic = kVstEffectMagic;
  aEffect_.dispatcher = dispatcherProc;
  aEffect_.process = processProc;
  aEffect_.setParameter = setParameterProc;
  aEffect_.getParameter = getParameterProc;
  aEffect_.processReplacing = processReplacingProc;
  aEffect_.processDoubleReplacing = processDoubleReplacingProc;
  aEffect_.numPrograms = plug_->NPresets();
  aEffect_.numParams = plug_->NParams();
  aEffect_.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (plug_->DoesStateChunks()) aEffect_.flags |= effFlagsProgramChunks;
  if (plug_->LegalIO(1, -1)) aEffect_.flags |= effFlagsCanMono;
  if (plug_->IsInst()) aEffect_.flags |= effFlagsIsSynth;
  aEffect_.initialDelay = plug_->GetLatency();
  aEffect_.ioRatio = 1.0f;
  aEffect_.object = this;
  aEffect_.uniqueID = plug_->GetUniqueID();
  aEffect_.version = plug_->GetEffectVersion(true);
  updateChannelCounts();
  // Hosts may process before they announce a block size.
  if (plug_->GetBlockSize() <= 0) plug_->SetBlockSize(kDefaultBlockSize);
  // The scale is asked for when the host asks for the rectangle: finding the screen's
  // may mean talking to the display, which a plug-in scan must not wait for.
  if (IPlugGUI* gui = plug_->GetGUI()) {
    if (gui->CanOpenWindow()) aEffect_.flags |= effFlagsHasEditor;
    editorRect_ = ERect{0, 0, int16_t(gui->Height()), int16_t(gui->Width())};
  }
  plug_->SetHost(this);
}

// The plug-in goes while still attached: its editor may report a last change. A
// borrowed one is detached (an owned one is gone by then and must not be touched).
IPlugVST::~IPlugVST() {
  if (ownedPlug_) {
    ownedPlug_.reset();
    return;
  }
  if (plug_ && plug_->GetHost() == this) plug_->SetHost(nullptr);
}

IPlugVST* IPlugVST::FromAEffect(AEffect* effect) {
  return effect ? static_cast<IPlugVST*>(effect->object) : nullptr;
}

void IPlugVST::updateChannelCounts() {
  aEffect_.numInputs = plug_->NInChannels();
  aEffect_.numOutputs = plug_->NOutChannels();
  fillSpeakerArrangement(&inputSpeakers_, plug_->NInChannels());
  fillSpeakerArrangement(&outputSpeakers_, plug_->NOutChannels());
}

VstIntPtr IPlugVST::hostCall(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) {
  return hostCallback_ ? hostCallback_(&aEffect_, opcode, index, value, ptr, opt) : 0;
}

void IPlugVST::InformHostOfParamChange(int paramIdx, double normalized) {
  hostCall(audioMasterAutomate, paramIdx, 0, nullptr, static_cast<float>(normalized));
}

void IPlugVST::BeginInformHostOfParamChange(int paramIdx) {
  hostCall(audioMasterBeginEdit, paramIdx);
}

void IPlugVST::EndInformHostOfParamChange(int paramIdx) { hostCall(audioMasterEndEdit, paramIdx); }

void IPlugVST::InformHostOfProgramChange() { hostCall(audioMasterUpdateDisplay); }

void IPlugVST::SendMidiMsg(const IMidiMsg& msg) {
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = msg.mOffset;
  event.midiData[0] = static_cast<char>(msg.mStatus);
  event.midiData[1] = static_cast<char>(msg.mData1);
  event.midiData[2] = static_cast<char>(msg.mData2);
  VstEvents events{};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<VstEvent*>(&event);
  hostCall(audioMasterProcessEvents, 0, 0, &events);
}

bool IPlugVST::SendSysEx(ISysEx* msg) {
  if (!msg) return false;
  VstMidiSysexEvent event{};
  event.type = kVstSysExType;
  event.byteSize = sizeof(VstMidiSysexEvent);
  event.deltaFrames = msg->mOffset;
  event.dumpBytes = msg->mSize;
  event.sysexDump = const_cast<char*>(reinterpret_cast<const char*>(msg->mData));
  VstEvents events{};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<VstEvent*>(&event);
  return hostCall(audioMasterProcessEvents, 0, 0, &events) == 1;
}

void IPlugVST::SetLatency(int samples) { aEffect_.initialDelay = samples; }

bool IPlugVST::IsRenderingOffline() {
  return hostCall(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline;
}

const VstTimeInfo* IPlugVST::hostTime(VstInt32 filter) {
  return reinterpret_cast<const VstTimeInfo*>(hostCall(audioMasterGetTime, 0, filter));
}

int IPlugVST::GetSamplePos() {
  const VstTimeInfo* time = hostTime(0);
  if (time && time->samplePos >= 0.0 && time->samplePos < 2147483647.0)
    return static_cast<int>(std::lround(time->samplePos));
  return 0;
}

double IPlugVST::GetTempo() {
  const VstTimeInfo* time = hostTime(kVstTempoValid);
  if (time && (time->flags & kVstTempoValid) && time->tempo >= 0.0) return time->tempo;
  return 0.0;
}

void IPlugVST::GetTimeSig(int* numerator, int* denominator) {
  *numerator = *denominator = 0;
  const VstTimeInfo* time = hostTime(kVstTimeSigValid);
  if (time && (time->flags & kVstTimeSigValid) && time->timeSigNumerator >= 0 &&
      time->timeSigDenominator >= 0) {
    *numerator = time->timeSigNumerator;
    *denominator = time->timeSigDenominator;
  }
}

void IPlugVST::GetTime(ITimeInfo* info) {
  const VstInt32 wanted =
      kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;
  const VstTimeInfo* time = hostTime(wanted);
  if (!time || !(time->flags & wanted)) return;
  info->mSamplePos = time->samplePos;
  if ((time->flags & kVstPpqPosValid) && time->ppqPos >= 0.0) info->mPPQPos = time->ppqPos;
  if ((time->flags & kVstTempoValid) && time->tempo > 0.0) info->mTempo = time->tempo;
  if ((time->flags & kVstBarsValid) && time->barStartPos >= 0.0) info->mLastBar = time->barStartPos;
  if ((time->flags & kVstCyclePosValid) && time->cycleStartPos >= 0.0 && time->cycleEndPos >= 0.0) {
    info->mCycleStart = time->cycleStartPos;
    info->mCycleEnd = time->cycleEndPos;
  }
  if ((time->flags & kVstTimeSigValid) && time->timeSigNumerator > 0 &&
      time->timeSigDenominator > 0) {
    info->mNumerator = time->timeSigNumerator;
    info->mDenominator = time->timeSigDenominator;
  }
  info->mTransportIsRunning = (time->flags & kVstTransportPlaying) != 0;
  info->mTransportLoopEnabled = (time->flags & kVstTransportCycleActive) != 0;
}

EHost IPlugVST::GetHost() {
  if (host_ == kHostUninit) {
    char product[256] = {};
    hostCall(audioMasterGetProductString, 0, 0, product);
    product[sizeof product - 1] = '\0';
    int version = 0;
    if (product[0]) {
      const VstIntPtr decimal = hostCall(audioMasterGetVendorVersion);
      version = static_cast<int>(((decimal / 10000) << 16) + (((decimal % 10000) / 100) << 8) +
                                 decimal % 100);
    }
    setHost(product, version);
  }
  return static_cast<EHost>(host_);
}

void IPlugVST::setHost(const char* productString, int version) {
  host_ = productString && productString[0] ? LookUpHost(productString) : kHostUnknown;
  hostVersion_ = version;
}

int IPlugVST::GetHostVersion(bool decimal) {
  GetHost();
  if (!decimal) return hostVersion_;
  return ((hostVersion_ >> 16) & 0xFFFF) * 10000 + ((hostVersion_ >> 8) & 0xFF) * 100 +
         (hostVersion_ & 0xFF);
}

void IPlugVST::limitToStereoIO() {
  const int nIn = plug_->NInChannels(), nOut = plug_->NOutChannels();
  if (nIn > 2) plug_->SetInputChannelConnections(2, nIn - 2, false);
  if (nOut > 2) plug_->SetOutputChannelConnections(2, nOut - 2, true);
}

void IPlugVST::HostSpecificInit() {
  if (hostSpecificInitDone_) return;
  hostSpecificInitDone_ = true;
  const EHost host = GetHost();
  if (host == kHostForte || host == kHostAudition || host == kHostOrion || host == kHostSAWStudio)
    limitToStereoIO();
  updateChannelCounts();
}

// Hosts may hand a process call more frames than the block size they announced, and
// the channels' scratch buffers hold at most one block of kMaxProcessFrames: such a
// call runs in pieces. Nothing may leave a host callback as an exception; a call that
// ends early leaves silence in the host's outputs rather than what they held.
template <typename Sample>
void IPlugVST::processGuarded(Sample** inputs, Sample** outputs, int nFrames, bool accumulate) {
  try {
    processBlock(inputs, outputs, nFrames, accumulate);
  } catch (...) {
    if (!accumulate) silenceHostOutputs(outputs, 0, nFrames);
  }
}

// Replacing calls only: an accumulating call adds silence by adding nothing.
template <typename Sample>
void IPlugVST::silenceHostOutputs(Sample** outputs, int first, int nFrames) {
  if (!outputs || nFrames <= 0) return;
  for (int c = std::max(first, 0); c < aEffect_.numOutputs; ++c)
    if (outputs[c]) std::fill(outputs[c], outputs[c] + nFrames, Sample(0));
}

template <typename Sample>
void IPlugVST::processBlock(Sample** inputs, Sample** outputs, int nFrames, bool accumulate) {
  IPlugBase& plug = *plug_;
  IMutexLock lock(plug.Mutex());
  if (plug.DoesMIDI()) hostCall(audioMasterWantMidi);
  if (nFrames <= 0) return;
  const int nIn = std::min(plug.NInChannels(), aEffect_.numInputs);
  const int nOut = std::min(plug.NOutChannels(), aEffect_.numOutputs);
  if (nIn > IPlugBase::kMaxBlockChannels || nOut > IPlugBase::kMaxBlockChannels) {
    if (!accumulate) silenceHostOutputs(outputs, 0, nFrames);
    return;
  }
  // Host buffers go to the connected channels in order; with a smaller speaker
  // arrangement the host's buffers beyond them are silenced below.
  int hostOutputsUsed = 0;
  for (int c = 0; c < nOut; ++c) hostOutputsUsed += plug.IsOutChannelConnected(c) ? 1 : 0;
  if constexpr (std::is_same_v<Sample, float>)
    plug.ProcessBlock(inputs, nIn, outputs, nOut, nFrames, accumulate);
  else
    plug.ProcessBlock(inputs, nIn, outputs, nOut, nFrames);
  if (!accumulate) silenceHostOutputs(outputs, hostOutputsUsed, nFrames);
}

void IPlugVST::processProc(AEffect* effect, float** inputs, float** outputs, VstInt32 nFrames) {
  if (IPlugVST* plug = FromAEffect(effect)) plug->processGuarded(inputs, outputs, nFrames, true);
}

void IPlugVST::processReplacingProc(AEffect* effect, float** inputs, float** outputs,
                                    VstInt32 nFrames) {
  if (IPlugVST* plug = FromAEffect(effect)) plug->processGuarded(inputs, outputs, nFrames, false);
}

void IPlugVST::processDoubleReplacingProc(AEffect* effect, double** inputs, double** outputs,
                                          VstInt32 nFrames) {
  if (IPlugVST* plug = FromAEffect(effect)) plug->processGuarded(inputs, outputs, nFrames, false);
}

void IPlugVST::setParameterProc(AEffect* effect, VstInt32 index, float value) {
  IPlugVST* vst = FromAEffect(effect);
  if (!vst) return;
  IPlugBase* plug = vst->plug_;
  try {
    plug->SetParameterFromHost(index, value);
  } catch (...) {
  }
}

float IPlugVST::getParameterProc(AEffect* effect, VstInt32 index) {
  IPlugVST* vst = FromAEffect(effect);
  if (!vst) return 0.0f;
  const IPlugBase* plug = vst->plug_;
  try {
    IMutexLock lock(plug->Mutex());
    const IParam* param = plug->GetParam(index);
    return param ? static_cast<float>(param->GetNormalized()) : 0.0f;
  } catch (...) {
    return 0.0f;
  }
}
