#include "framework/IPlugVST.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

IPlugVST::IPlugVST(VstHostCallback hostCallback, int nParams, const char* channelIOStr,
                   int nPresets, const char* effectName, const char* productName,
                   const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency,
                   bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, 0),
      hostCallback_(hostCallback) {
  aEffect_.magic = kVstEffectMagic;
  aEffect_.dispatcher = dispatcherProc;
  aEffect_.process = processProc;
  aEffect_.setParameter = setParameterProc;
  aEffect_.getParameter = getParameterProc;
  aEffect_.processReplacing = processReplacingProc;
  aEffect_.processDoubleReplacing = processDoubleReplacingProc;
  aEffect_.numPrograms = NPresets();
  aEffect_.numParams = NParams();
  aEffect_.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (plugDoesChunks) aEffect_.flags |= effFlagsProgramChunks;
  if (LegalIO(1, -1)) aEffect_.flags |= effFlagsCanMono;
  if (plugIsInst) aEffect_.flags |= effFlagsIsSynth;
  aEffect_.initialDelay = latency;
  aEffect_.ioRatio = 1.0f;
  aEffect_.object = this;
  aEffect_.uniqueID = uniqueID;
  aEffect_.version = GetEffectVersion(true);
  updateChannelCounts();
  SetInputChannelConnections(0, NInChannels(), true);
  SetOutputChannelConnections(0, NOutChannels(), true);
  SetBlockSize(kDefaultBlockSize);
}

IPlugVST* IPlugVST::FromAEffect(AEffect* effect) {
  return effect ? static_cast<IPlugVST*>(effect->object) : nullptr;
}

void IPlugVST::updateChannelCounts() {
  aEffect_.numInputs = NInChannels();
  aEffect_.numOutputs = NOutChannels();
  fillSpeakerArrangement(&inputSpeakers_, NInChannels());
  fillSpeakerArrangement(&outputSpeakers_, NOutChannels());
}

VstIntPtr IPlugVST::hostCall(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) {
  return hostCallback_ ? hostCallback_(&aEffect_, opcode, index, value, ptr, opt) : 0;
}

void IPlugVST::InformHostOfParamChange(int paramIdx, double normalized) {
  hostCall(audioMasterAutomate, paramIdx, 0, nullptr, static_cast<float>(normalized));
}

void IPlugVST::BeginInformHostOfParamChange(int paramIdx) { hostCall(audioMasterBeginEdit, paramIdx); }

void IPlugVST::EndInformHostOfParamChange(int paramIdx) { hostCall(audioMasterEndEdit, paramIdx); }

void IPlugVST::InformHostOfProgramChange() { hostCall(audioMasterUpdateDisplay); }

void IPlugVST::SendMidiMsg(IMidiMsg* msg) {
  if (!msg) return;
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = msg->mOffset;
  event.midiData[0] = static_cast<char>(msg->mStatus);
  event.midiData[1] = static_cast<char>(msg->mData1);
  event.midiData[2] = static_cast<char>(msg->mData2);
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

void IPlugVST::SetLatency(int samples) {
  aEffect_.initialDelay = samples;
  IPlugBase::SetLatency(samples);
}

bool IPlugVST::IsRenderingOffline() {
  return hostCall(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline;
}

const VstTimeInfo* IPlugVST::hostTime(VstInt32 filter) {
  return reinterpret_cast<const VstTimeInfo*>(hostCall(audioMasterGetTime, 0, filter));
}

int IPlugVST::GetSamplePos() {
  const VstTimeInfo* time = hostTime(0);
  if (time && time->samplePos >= 0.0 && time->samplePos < 2147483647.0)
    return static_cast<int>(time->samplePos + 0.5);
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

void IPlugVST::LimitToStereoIO() {
  if (NInChannels() > 2) SetInputChannelConnections(2, NInChannels() - 2, false);
  if (NOutChannels() > 2) SetOutputChannelConnections(2, NOutChannels() - 2, true);
}

void IPlugVST::HostSpecificInit() {
  if (hostSpecificInitDone_) return;
  hostSpecificInitDone_ = true;
  const EHost host = GetHost();
  if (host == kHostForte || host == kHostAudition || host == kHostOrion || host == kHostSAWStudio)
    LimitToStereoIO();
  updateChannelCounts();
  OnHostIdentified();
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
  IMutexLock lock(Mutex());
  if (DoesMIDI()) hostCall(audioMasterWantMidi);
  if (nFrames <= 0) return;
  const int nIn = std::min(NInChannels(), aEffect_.numInputs);
  const int nOut = std::min(NOutChannels(), aEffect_.numOutputs);
  if (nIn > 64 || nOut > 64) {
    if (!accumulate) silenceHostOutputs(outputs, 0, nFrames);
    return;
  }
  // Host buffers go to the connected channels in order; with a smaller speaker
  // arrangement the host's buffers beyond them are silenced below.
  int hostOutputsUsed = 0;
  for (int c = 0; c < nOut; ++c) hostOutputsUsed += IsOutChannelConnected(c) ? 1 : 0;
  const int piece = ProcessFrames();
  Sample* in[64];
  Sample* out[64];
  for (int done = 0; done < nFrames; done += piece) {
    const int n = std::min(piece, nFrames - done);
    for (int c = 0; c < nIn; ++c) in[c] = inputs[c] + done;
    for (int c = 0; c < nOut; ++c) out[c] = outputs[c] + done;
    AttachInputBuffers(0, nIn, in, n);
    AttachOutputBuffers(0, nOut, out);
    if (accumulate)
      ProcessBuffersAccumulating(Sample(0), n);
    else
      ProcessBuffers(Sample(0), n);
  }
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
  IPlugVST* plug = FromAEffect(effect);
  if (!plug) return;
  try {
    plug->SetParameterFromHost(index, value);
  } catch (...) {
  }
}

float IPlugVST::getParameterProc(AEffect* effect, VstInt32 index) {
  IPlugVST* plug = FromAEffect(effect);
  if (!plug) return 0.0f;
  try {
    IMutexLock lock(plug->Mutex());
    const IParam* param = plug->GetParam(index);
    return param ? static_cast<float>(param->GetNormalized()) : 0.0f;
  } catch (...) {
    return 0.0f;
  }
}
