#include "framework/IPlugBase.h"

#include "framework/IMidiMsg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <type_traits>

IPlugBase::IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
                     int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
                     bool plugIsInst, int plugAPI)
    : uniqueID_(uniqueID),
      mfrID_(mfrID),
      version_(vendorVersion),
      api_(plugAPI),
      doesMidi_(plugDoesMidi),
      doesChunks_(plugDoesChunks),
      isInst_(plugIsInst),
      latency_(latency),
      params_(static_cast<size_t>(std::max(nParams, 0))),
      presets_(static_cast<size_t>(std::max(nPresets, 0))),
      nPresets_(std::max(nPresets, 0)) {
  copyFixedText(effectName_, effectName, kMaxEffectName);
  copyFixedText(productName_, productName, kMaxEffectName);
  copyFixedText(mfrName_, mfrName, kMaxEffectName);

  // "2-2 4-2": configurations separated by single spaces, each "%d-%d".
  int maxIn = 0, maxOut = 0;
  const char* cursor = channelIOStr ? channelIOStr : "";
  while (*cursor) {
    int nIn = 0, nOut = 0;
    if (std::sscanf(cursor, "%d-%d", &nIn, &nOut) < 2) nOut = 0;
    nIn = std::max(nIn, 0);
    nOut = std::max(nOut, 0);
    channelIO_.push_back({nIn, nOut});
    maxIn = std::max(maxIn, nIn);
    maxOut = std::max(maxOut, nOut);
    const char* space = std::strchr(cursor, ' ');
    if (!space) break;
    cursor = space + 1;
  }
  inChannels_.resize(static_cast<size_t>(maxIn));
  outChannels_.resize(static_cast<size_t>(maxOut));
  inData_.assign(inChannels_.size(), nullptr);
  outData_.assign(outChannels_.size(), nullptr);
}

// The editor goes first: its controls refer to the parameters.
IPlugBase::~IPlugBase() { graphics_.reset(); }

void IPlugBase::Reset() { IMutexLock lock(mutex_); }

void IPlugBase::ResetToSilence() {
  IMutexLock lock(mutex_);
  Reset();
  OnParamReset();
}

void IPlugBase::OnParamChange(int) { IMutexLock lock(mutex_); }

void IPlugBase::OnActivate(bool) { IMutexLock lock(mutex_); }

void IPlugBase::ProcessMidiMsg(IMidiMsg* msg) { SendMidiMsg(msg); }

void IPlugBase::ScheduleParamChange(int paramIdx, double value, int) {
  SetParameterValueFromHost(paramIdx, value);
}

void IPlugBase::SetParameterValueFromHost(int paramIdx, double value) {
  IMutexLock lock(mutex_);
  IParam* param = GetParam(paramIdx);
  if (!param || std::isnan(value)) return;
  value = param->Constrain(value);
  param->Set(value);
  if (graphics_) graphics_->SetParameterFromPlug(paramIdx, value, false);
  OnParamChange(paramIdx);
}

void IPlugBase::SendMidiMsg(IMidiMsg* msg) {
  if (host_ && msg) host_->SendMidiMsg(*msg);
}

void IPlugBase::InformHostOfParamChange(int paramIdx, double normalized) {
  if (host_) host_->InformHostOfParamChange(paramIdx, normalized);
}

void IPlugBase::BeginInformHostOfParamChange(int paramIdx) {
  if (host_) host_->BeginInformHostOfParamChange(paramIdx);
}

void IPlugBase::EndInformHostOfParamChange(int paramIdx) {
  if (host_) host_->EndInformHostOfParamChange(paramIdx);
}

void IPlugBase::InformHostOfProgramChange() {
  if (host_) host_->InformHostOfProgramChange();
}

void IPlugBase::ResizeGraphics(int width, int height) {
  if (host_) host_->ResizeGraphics(width, height);
}

void IPlugBase::SetLatency(int samples) {
  latency_ = samples;
  if (host_) host_->SetLatency(samples);
}

void IPlugBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  const int nIn = NInChannels(), nOut = NOutChannels();
  for (int i = 0; i < nOut; ++i) {
    if (i < nIn)
      std::copy(inputs[i], inputs[i] + nFrames, outputs[i]);
    else
      std::fill(outputs[i], outputs[i] + nFrames, 0.0);
  }
}

void IPlugBase::SetSampleRate(double sampleRate) { sampleRate_ = sampleRate; }

void IPlugBase::SetBlockSize(int blockSize) {
  if (blockSize == blockSize_ || blockSize < 0) return;
  blockSize_ = blockSize;
  const size_t frames = static_cast<size_t>(ProcessFrames());
  for (InChannel& channel : inChannels_) channel.scratch.assign(frames, 0.0);
  for (OutChannel& channel : outChannels_) channel.scratch.assign(frames, 0.0);
  // Unconnected channels keep pointing at their (reallocated) scratch buffers.
  for (size_t i = 0; i < inChannels_.size(); ++i)
    if (!inChannels_[i].connected) inData_[i] = inChannels_[i].scratch.data();
  for (size_t i = 0; i < outChannels_.size(); ++i)
    if (!outChannels_[i].connected) outData_[i] = outChannels_[i].scratch.data();
}

void IPlugBase::SetParameterFromGUI(int paramIdx, double normalized) {
  IMutexLock lock(mutex_);
  IParam* param = GetParam(paramIdx);
  if (!param || !IParam::ClampNormalized(&normalized)) return;
  param->SetNormalized(normalized);
  InformHostOfParamChange(paramIdx, normalized);
  OnParamChange(paramIdx);
}

void IPlugBase::SetParameterFromHost(int paramIdx, float normalized) {
  double value = normalized;
  if (!IParam::ClampNormalized(&value)) return;
  IMutexLock lock(mutex_);
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  // A kept value leaves the controls where the value puts them.
  if (!param->SetNormalizedFromHost(normalized)) value = param->GetNormalized();
  if (graphics_) graphics_->SetParameterFromPlug(paramIdx, value, true);
  OnParamChange(paramIdx);
}

void IPlugBase::AttachGraphics(IPlugGUI* graphics) {
  if (!graphics) return;
  IMutexLock lock(mutex_);
  for (int i = 0; i < NParams(); ++i)
    graphics->SetParameterFromPlug(i, params_[static_cast<size_t>(i)].GetNormalized(), true);
  graphics->PrepDraw();
  if (graphics != graphics_.get()) graphics_.reset(graphics);
}

void IPlugBase::RedrawParamControls() {
  if (!graphics_) return;
  for (int i = 0; i < NParams(); ++i)
    graphics_->SetParameterFromPlug(i, params_[static_cast<size_t>(i)].Value(), false);
}

void IPlugBase::OnParamReset() {
  for (int i = 0; i < NParams(); ++i) OnParamChange(i);
}

IParam* IPlugBase::GetParam(int paramIdx) {
  if (paramIdx < 0 || paramIdx >= NParams()) return nullptr;
  return &params_[static_cast<size_t>(paramIdx)];
}

const IParam* IPlugBase::GetParam(int paramIdx) const {
  if (paramIdx < 0 || paramIdx >= NParams()) return nullptr;
  return &params_[static_cast<size_t>(paramIdx)];
}

int IPlugBase::GetEffectVersion(bool decimal) const {
  if (!decimal) return version_;
  return ((version_ >> 16) & 0xFFFF) * 10000 + ((version_ >> 8) & 0xFF) * 100 + (version_ & 0xFF);
}

bool IPlugBase::LegalIO(int nIn, int nOut) const {
  for (const ChannelIO& io : channelIO_)
    if ((nIn < 0 || nIn == io.nIn) && (nOut < 0 || nOut == io.nOut)) return true;
  return false;
}

bool IPlugBase::IsInChannelConnected(int chIdx) const {
  return chIdx >= 0 && chIdx < NInChannels() && inChannels_[static_cast<size_t>(chIdx)].connected;
}

bool IPlugBase::IsOutChannelConnected(int chIdx) const {
  return chIdx >= 0 && chIdx < NOutChannels() && outChannels_[static_cast<size_t>(chIdx)].connected;
}

void IPlugBase::SetInputChannelConnections(int first, int count, bool connected) {
  for (int i = std::max(first, 0); i < first + count && i < NInChannels(); ++i) {
    InChannel& channel = inChannels_[static_cast<size_t>(i)];
    // The scratch may hold the last float block copied in: cleared, so that an input
    // the host disconnects reads silence.
    if (channel.connected && !connected)
      std::fill(channel.scratch.begin(), channel.scratch.end(), 0.0);
    channel.connected = connected;
    if (!connected) inData_[static_cast<size_t>(i)] = channel.scratch.data();
  }
}

void IPlugBase::SetOutputChannelConnections(int first, int count, bool connected) {
  for (int i = std::max(first, 0); i < first + count && i < NOutChannels(); ++i) {
    OutChannel& channel = outChannels_[static_cast<size_t>(i)];
    channel.connected = connected;
    if (!connected) outData_[static_cast<size_t>(i)] = channel.scratch.data();
  }
}

void IPlugBase::SetInputLabel(int chIdx, const char* label) {
  if (chIdx >= 0 && chIdx < NInChannels())
    inChannels_[static_cast<size_t>(chIdx)].label = label ? label : "";
}

void IPlugBase::SetOutputLabel(int chIdx, const char* label) {
  if (chIdx >= 0 && chIdx < NOutChannels())
    outChannels_[static_cast<size_t>(chIdx)].label = label ? label : "";
}

const char* IPlugBase::GetInputLabel(int chIdx) const {
  return chIdx >= 0 && chIdx < NInChannels() ? inChannels_[static_cast<size_t>(chIdx)].label.c_str()
                                             : "";
}

const char* IPlugBase::GetOutputLabel(int chIdx) const {
  return chIdx >= 0 && chIdx < NOutChannels()
             ? outChannels_[static_cast<size_t>(chIdx)].label.c_str()
             : "";
}

// Host buffers are consumed in order by connected channels only.
void IPlugBase::AttachInputBuffers(int first, int count, double** buffers, int) {
  for (int i = std::max(first, 0); i < first + count && i < NInChannels(); ++i)
    if (inChannels_[static_cast<size_t>(i)].connected) inData_[static_cast<size_t>(i)] = *buffers++;
}

void IPlugBase::AttachInputBuffers(int first, int count, float** buffers, int nFrames) {
  for (int i = std::max(first, 0); i < first + count && i < NInChannels(); ++i) {
    InChannel& channel = inChannels_[static_cast<size_t>(i)];
    if (!channel.connected) continue;
    const float* source = *buffers++;
    const int n = std::min(nFrames, static_cast<int>(channel.scratch.size()));
    std::copy(source, source + n, channel.scratch.begin());
    inData_[static_cast<size_t>(i)] = channel.scratch.data();
  }
}

void IPlugBase::AttachOutputBuffers(int first, int count, double** buffers) {
  for (int i = std::max(first, 0); i < first + count && i < NOutChannels(); ++i) {
    OutChannel& channel = outChannels_[static_cast<size_t>(i)];
    if (!channel.connected) continue;
    channel.hostBuffer = nullptr;
    outData_[static_cast<size_t>(i)] = *buffers++;
  }
}

void IPlugBase::AttachOutputBuffers(int first, int count, float** buffers) {
  for (int i = std::max(first, 0); i < first + count && i < NOutChannels(); ++i) {
    OutChannel& channel = outChannels_[static_cast<size_t>(i)];
    if (!channel.connected) continue;
    channel.hostBuffer = *buffers++;
    outData_[static_cast<size_t>(i)] = channel.scratch.data();
  }
}

void IPlugBase::ProcessBuffers(double, int nFrames) {
  ProcessDoubleReplacing(inData_.data(), outData_.data(), nFrames);
}

void IPlugBase::ProcessBuffers(float, int nFrames) {
  ProcessDoubleReplacing(inData_.data(), outData_.data(), nFrames);
  processFloatOutputs(nFrames, false);
}

void IPlugBase::ProcessBuffersAccumulating(float, int nFrames) {
  ProcessDoubleReplacing(inData_.data(), outData_.data(), nFrames);
  processFloatOutputs(nFrames, true);
}

void IPlugBase::ProcessBlock(float** inputs, int nIn, float** outputs, int nOut, int nFrames,
                             bool accumulate) {
  processBlock(inputs, nIn, outputs, nOut, nFrames, accumulate);
}

void IPlugBase::ProcessBlock(double** inputs, int nIn, double** outputs, int nOut, int nFrames) {
  processBlock(inputs, nIn, outputs, nOut, nFrames, false);
}

template <typename Sample>
void IPlugBase::processBlock(Sample** inputs, int nIn, Sample** outputs, int nOut, int nFrames,
                             bool accumulate) {
  nIn = std::clamp(nIn, 0, NInChannels());
  nOut = std::clamp(nOut, 0, NOutChannels());
  int inBuffers = 0, outBuffers = 0;
  for (int c = 0; c < nIn; ++c) inBuffers += IsInChannelConnected(c) ? 1 : 0;
  for (int c = 0; c < nOut; ++c) outBuffers += IsOutChannelConnected(c) ? 1 : 0;
  if (inBuffers > kMaxBlockChannels || outBuffers > kMaxBlockChannels) return;
  Sample* in[kMaxBlockChannels];
  Sample* out[kMaxBlockChannels];
  const int piece = ProcessFrames();
  for (int done = 0; done < nFrames; done += piece) {
    const int n = std::min(piece, nFrames - done);
    for (int c = 0; c < inBuffers; ++c) in[c] = inputs[c] + done;
    for (int c = 0; c < outBuffers; ++c) out[c] = outputs[c] + done;
    AttachInputBuffers(0, nIn, in, n);
    AttachOutputBuffers(0, nOut, out);
    if constexpr (std::is_same_v<Sample, float>) {
      if (accumulate) {
        ProcessBuffersAccumulating(Sample(0), n);
        continue;
      }
    }
    ProcessBuffers(Sample(0), n);
  }
}

void IPlugBase::ProcessMidiBytes(int offset, const uint8_t* bytes, int size) {
  if (bytes == nullptr || size <= 0 || bytes[0] < 0x80) return;
  if (bytes[0] == 0xF0) {
    ISysEx sysex(offset, bytes, size);
    ProcessSysEx(&sysex);
    return;
  }
  IMidiMsg msg(offset, bytes[0], size > 1 ? bytes[1] : 0, size > 2 ? bytes[2] : 0);
  ProcessMidiMsg(&msg);
}

void IPlugBase::processFloatOutputs(int nFrames, bool accumulate) {
  for (OutChannel& channel : outChannels_) {
    if (!channel.connected || !channel.hostBuffer) continue;
    const int n = std::min(nFrames, static_cast<int>(channel.scratch.size()));
    for (int s = 0; s < n; ++s) {
      const float value = static_cast<float>(channel.scratch[static_cast<size_t>(s)]);
      channel.hostBuffer[s] = accumulate ? channel.hostBuffer[s] + value : value;
    }
  }
}
