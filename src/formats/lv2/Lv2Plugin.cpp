// The instance: features, ports, activation and run().
#include "formats/lv2/Lv2Plugin.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include "formats/lv2/Lv2Features.h"
#include "framework/IMidiMsg.h"
#include "framework/PortValue.h"

namespace {
// The block length the host announces (options), or 0 when it says none.
int hostBlockLength(const LV2_Feature* const* features, const Lv2Uris& uris) {
  const auto* options =
      static_cast<const LV2_Options_Option*>(lv2Feature(features, LV2_OPTIONS__options));
  int length = 0;
  for (int i = 0; options && options[i].key; ++i) {
    const bool wanted = options[i].key == uris.bufMaxBlockLength ||
                        (options[i].key == uris.bufNominalBlockLength && length == 0);
    if (wanted && options[i].type == uris.atomInt && options[i].size == sizeof(int32_t))
      length = *static_cast<const int32_t*>(options[i].value);
  }
  return length;
}

constexpr int kMaxAudioPorts = 64;
}  // namespace

Lv2Plugin::Lv2Plugin(const Lv2Description& description, std::unique_ptr<IPlugBase> plug,
                     double sampleRate, const LV2_Feature* const* features)
    : description_(description), plug_(std::move(plug)), sampleRate_(sampleRate) {
  map_ = static_cast<LV2_URID_Map*>(const_cast<void*>(lv2Feature(features, LV2_URID__map)));
  if (!map_ || !plug_) {
    map_ = nullptr;
    return;
  }
  schedule_ = static_cast<LV2_Worker_Schedule*>(
      const_cast<void*>(lv2Feature(features, LV2_WORKER__schedule)));
  uris_ = std::make_unique<Lv2Uris>(map_, description_.pluginUri);
  messages_ = std::make_unique<Lv2Messages>(*uris_, map_);

  audio_.assign(description_.audioPortCount(), nullptr);
  paramPorts_.assign(description_.paramPorts.size(), nullptr);
  // A fresh instance has seen the ports' declared defaults: the plug-in keeps its
  // own values (its current program) until the host moves a port away from them.
  for (int i = 0; i < plug_->NParams(); ++i)
    lastSeen_.push_back(static_cast<float>(portvalue::Default(*plug_->GetParam(i))));
  silence_.assign(IPlugBase::kMaxProcessFrames, 0.0f);
  discard_.assign(IPlugBase::kMaxProcessFrames, 0.0f);
  dry_.assign(2, std::vector<float>(IPlugBase::kMaxProcessFrames, 0.0f));
  workerBuffer_.resize(kLv2AtomPortMinimumSize);
  pendingOut_.reserve(kLv2AtomPortMinimumSize);

  const int blockLength = hostBlockLength(features, *uris_);
  bypass_.SetSampleRate(sampleRate);
  IMutexLock lock(plug_->Mutex());
  plug_->SetHost(this);
  plug_->OnParamReset();
  plug_->SetSampleRate(sampleRate);
  plug_->Reset();
  plug_->SetBlockSize(blockLength > 0 ? std::min(blockLength, IPlugBase::kMaxProcessFrames)
                                      : IPlugBase::kMaxProcessFrames);
  plug_->Reset();
}

// The plug-in goes while still attached: it may report a last change.
Lv2Plugin::~Lv2Plugin() { plug_.reset(); }

void Lv2Plugin::connectPort(uint32_t port, void* data) {
  if (port < description_.audioPortCount()) {
    audio_[port] = static_cast<float*>(data);
  } else if (port == description_.controlInPort()) {
    controlIn_ = static_cast<const LV2_Atom_Sequence*>(data);
  } else if (port == description_.notifyPort()) {
    notify_ = static_cast<LV2_Atom_Sequence*>(data);
  } else if (port == description_.enabledPort()) {
    enabled_ = static_cast<const float*>(data);
  } else if (port == description_.latencyPort()) {
    latency_ = static_cast<float*>(data);
  } else {
    const int param = description_.paramOfPort(port);
    if (param >= 0) paramPorts_[static_cast<size_t>(param)] = static_cast<const float*>(data);
  }
}

void Lv2Plugin::activate() {
  IMutexLock lock(plug_->Mutex());
  plug_->OnActivate(true);
  bypass_.JumpTo(bypassTarget());
}

void Lv2Plugin::deactivate() {
  IMutexLock lock(plug_->Mutex());
  plug_->OnActivate(false);
  plug_->Reset();
}

double Lv2Plugin::bypassTarget() const { return enabled_ && *enabled_ < 0.5f ? 0.0 : 1.0; }

// A port last seen as NaN (a restored state of an older port layout) takes the value
// it holds now as seen, without applying it.
void Lv2Plugin::applyControlPorts() {
  const int nParams = std::min(plug_->NParams(), static_cast<int>(paramPorts_.size()));
  for (int i = 0; i < nParams; ++i) {
    const float* port = paramPorts_[static_cast<size_t>(i)];
    if (!port) continue;
    const float value = *port;
    float& seen = lastSeen_[static_cast<size_t>(i)];
    if (value == seen || std::isnan(value)) continue;
    const bool adopt = std::isnan(seen);
    seen = value;
    const IParam& param = *plug_->GetParam(i);
    if (adopt || static_cast<float>(portvalue::FromPlain(param, param.Value())) == value) continue;
    plug_->SetParameterValueFromHost(i, portvalue::ToPlain(param, value));
  }
}

// MIDI goes to the plug-in before the block it belongs to, each message with its
// frame as offset (the instrument queues it for the control tick it falls in);
// messages from the editor go to the worker.
void Lv2Plugin::readControlInput(uint32_t nFrames) {
  if (!controlIn_) return;
  LV2_ATOM_SEQUENCE_FOREACH(controlIn_, event) {
    const LV2_Atom& body = event->body;
    const int offset = static_cast<int>(
        std::min<int64_t>(std::max<int64_t>(event->time.frames, 0), nFrames ? nFrames - 1 : 0));
    if (body.type == uris_->midiEvent) {
      plug_->ProcessMidiBytes(offset, static_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&body)),
                              static_cast<int>(std::min<uint32_t>(body.size, INT32_MAX)));
    } else if (body.type == uris_->atomObject || body.type == uris_->atomBlank) {
      if (schedule_ && toWorker_.push(&body, static_cast<uint32_t>(sizeof(LV2_Atom) + body.size)))
        messagesWaiting_.store(true, std::memory_order_release);
    }
  }
}

void Lv2Plugin::processAudio(uint32_t nFrames) {
  for (uint32_t done = 0; done < nFrames;) {
    const uint32_t piece = std::min<uint32_t>(nFrames - done, IPlugBase::kMaxProcessFrames);
    processPiece(done, piece);
    done += piece;
  }
}

// Unconnected inputs (an optional side chain) read silence. With bypass on or fading,
// the voice inputs are kept first, as a host may hand the same buffer for in and out.
void Lv2Plugin::processPiece(uint32_t offset, uint32_t frames) {
  float* in[kMaxAudioPorts];
  float* out[kMaxAudioPorts];
  int nIn = 0, nOut = 0;
  for (uint32_t p = 0; p < description_.audioPortCount() && p < kMaxAudioPorts; ++p) {
    float* buffer = audio_[p];
    if (description_.audioPorts[p].input)
      in[nIn++] = buffer ? buffer + offset : silence_.data();
    else
      out[nOut++] = buffer ? buffer + offset : discard_.data();
  }
  bypass_.SetTarget(bypassTarget());
  const bool mixing = bypass_.Moving() || bypass_.Gain() != 1.0;
  const int nDry = std::min({nIn, nOut, 2});
  const float* dry[2] = {dry_[0].data(), dry_[1].data()};
  if (mixing)
    for (int c = 0; c < nDry; ++c)
      std::copy(in[c], in[c] + frames, dry_[static_cast<size_t>(c)].data());
  plug_->ProcessBlock(in, nIn, out, nOut, static_cast<int>(frames));
  if (mixing) bypass_.Crossfade(out, nOut, dry, nDry, static_cast<int>(frames));
}

bool Lv2Plugin::notifyEventHeader(uint32_t frame) {
  if (!notifyOpen_) return false;
  frame = std::max(frame, lastEventFrame_);
  lastEventFrame_ = frame;
  return lv2_atom_forge_frame_time(&forge_, frame) != 0;
}

void Lv2Plugin::SendMidiMsg(const IMidiMsg& msg) {
  if (!running_) return;
  const uint8_t bytes[3] = {msg.mStatus, msg.mData1, msg.mData2};
  const uint32_t size =
      msg.StatusMsg() == IMidiMsg::kProgramChange || msg.StatusMsg() == IMidiMsg::kChannelAftertouch
          ? 2
          : 3;
  if (notifyEventHeader(static_cast<uint32_t>(std::max(msg.mOffset, 0))) &&
      lv2_atom_forge_atom(&forge_, size, uris_->midiEvent))
    lv2_atom_forge_write(&forge_, bytes, size);
}

void Lv2Plugin::InformHostOfParamChange(int paramIdx, double) {
  if (paramIdx < 0 || paramIdx >= 128) return;
  dirtyParams_[paramIdx / 64].fetch_or(uint64_t(1) << (paramIdx % 64), std::memory_order_acq_rel);
}

void Lv2Plugin::InformHostOfProgramChange() {
  programChanged_.store(true, std::memory_order_release);
}

// Plug-in mutex held: the values read here are the ones just played.
void Lv2Plugin::writeNotifications(uint32_t nFrames) {
  const uint32_t last = nFrames ? nFrames - 1 : 0;
  if (framesToMeter_ <= nFrames) {
    framesToMeter_ = static_cast<uint64_t>(kMeterPeriodSeconds * sampleRate_) + 1;
    if (editorAsked_.load(std::memory_order_acquire) && notifyEventHeader(last))
      messages_->writeMeter(&forge_, static_cast<float>(plug_->EditorMeterLevel()));
  } else {
    framesToMeter_ -= nFrames;
  }
  for (int word = 0; word < 2; ++word) {
    uint64_t dirty = dirtyParams_[word].exchange(0, std::memory_order_acq_rel);
    for (int bit = 0; dirty; ++bit, dirty >>= 1) {
      const int index = word * 64 + bit;
      if (!(dirty & 1) || index >= plug_->NParams()) continue;
      if (notifyEventHeader(last))
        messages_->writeParamChange(&forge_, index, plug_->GetParam(index)->Value());
    }
  }
  if (programChanged_.exchange(false, std::memory_order_acq_rel)) {
    double values[512];
    const int count = std::min(plug_->NParams(), 512);
    for (int i = 0; i < count; ++i) values[i] = plug_->GetParam(i)->Value();
    if (notifyEventHeader(last))
      messages_->writeCurrent(&forge_, plug_->GetCurrentPresetIdx(), values, count);
    framesToIdle_ = 0;  // the worker completes the change (a sample file, a new slot)
  }
}

// The worker's answers, as far as the atom output and the budget allow; a message
// that does not fit now waits for the next run.
void Lv2Plugin::forwardWorkerMessages(uint32_t nFrames) {
  if (framesToBudget_ <= nFrames) {
    framesToBudget_ = static_cast<uint64_t>(kNotifyBudgetSeconds * sampleRate_) + 1;
    budgetLeft_ = kNotifyBudgetBytes;
  } else {
    framesToBudget_ -= nFrames;
  }
  const uint32_t last = nFrames ? nFrames - 1 : 0;
  while (notifyOpen_) {
    if (pendingOut_.empty()) {
      const uint32_t size = fromWorker_.nextSize();
      if (size == 0) break;
      if (size > pendingOut_.capacity()) {  // the worker never queues one this large
        fromWorker_.clear();
        break;
      }
      pendingOut_.resize(size);
      fromWorker_.pop(pendingOut_.data(), size);
    }
    const uint32_t size = static_cast<uint32_t>(pendingOut_.size());
    const uint32_t room = forge_.size - forge_.offset;
    if (size > budgetLeft_ || size + sizeof(LV2_Atom_Event) + 8 > room) break;
    if (!notifyEventHeader(last) || !lv2_atom_forge_write(&forge_, pendingOut_.data(), size)) break;
    budgetLeft_ -= size;
    pendingOut_.clear();
  }
}

void Lv2Plugin::scheduleWorkIfDue(uint32_t nFrames) {
  if (!schedule_) return;
  bool due = messagesWaiting_.load(std::memory_order_acquire) ||
             filesPending_.load(std::memory_order_acquire);
  if (framesToIdle_ <= nFrames) {
    framesToIdle_ = static_cast<uint64_t>(kIdlePeriodSeconds * sampleRate_) + 1;
    due = true;
  } else {
    framesToIdle_ -= nFrames;
  }
  if (!due || workScheduled_.exchange(true, std::memory_order_acq_rel)) return;
  const uint32_t job = 1;
  if (schedule_->schedule_work(schedule_->handle, sizeof job, &job) != LV2_WORKER_SUCCESS)
    workScheduled_.store(false, std::memory_order_release);
}

void Lv2Plugin::run(uint32_t nFrames) {
  notifyOpen_ = false;
  lastEventFrame_ = 0;
  if (notify_) {
    const uint32_t capacity = notify_->atom.size;
    messages_->startForge(&forge_, notify_, capacity);
    notifyOpen_ = capacity >= sizeof(LV2_Atom_Sequence) &&
                  lv2_atom_forge_sequence_head(&forge_, &sequenceFrame_, 0) != 0;
  }
  {
    IMutexLock lock(plug_->Mutex());
    running_ = true;
    applyControlPorts();
    readControlInput(nFrames);
    processAudio(nFrames);
    writeNotifications(nFrames);
    running_ = false;
  }
  if (latency_) *latency_ = static_cast<float>(plug_->GetLatency());
  forwardWorkerMessages(nFrames);
  if (notifyOpen_) lv2_atom_forge_pop(&forge_, &sequenceFrame_);
  scheduleWorkIfDue(nFrames);
}
