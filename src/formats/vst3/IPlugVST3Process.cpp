// Processing: the host's parameter changes and events become parameter changes and
// MIDI messages at their sample offsets, the buses become the plug-in's channels, and
// bypass crossfades to the voice. A block of no samples only delivers its parameter
// changes. Audio thread (process), plug-in mutex held throughout; nothing allocates.
#include <algorithm>
#include <cmath>

#include "formats/vst3/IPlugVST3.h"
#include "framework/IMidiMsg.h"

namespace {
constexpr uint8_t kNoteOff = 0x80, kNoteOn = 0x90, kControlChange = 0xB0, kProgramChange = 0xC0,
                  kPitchWheel = 0xE0;
constexpr int kVoiceChannels = 2, kInputChannels = 4, kOutputChannels = 2;

// VST 3 velocities are 0..1; a note-on of velocity 0 is a note-off, any other reaches
// at least 1.
uint8_t midiVelocity(float velocity, bool noteOn) {
  if (!(velocity > 0.0f)) return 0;
  const float scaled = std::round(std::min(velocity, 1.0f) * 127.0f);
  return static_cast<uint8_t>(std::max(scaled, noteOn ? 1.0f : 0.0f));
}

vst3::Sample32** channels32(vst3::AudioBusBuffers& bus) { return bus.channelBuffers32; }
vst3::Sample64** channels64(vst3::AudioBusBuffers& bus) { return bus.channelBuffers64; }

// Output bus 0's channels for a block the plug-in does not run.
template <typename Sample>
void silence(vst3::ProcessData& data, int frames, Sample** (*channelsOf)(vst3::AudioBusBuffers&)) {
  if (data.numOutputs < 1 || !data.outputs || !channelsOf(data.outputs[0])) return;
  for (int c = 0; c < data.outputs[0].numChannels; ++c)
    if (Sample* channel = channelsOf(data.outputs[0])[c])
      std::fill(channel, channel + frames, Sample(0));
}
}  // namespace

template <>
float* IPlugVST3::dryBuffer<float>(int channel) {
  return dry32_[channel].data();
}

template <>
double* IPlugVST3::dryBuffer<double>(int channel) {
  return dry64_[channel].data();
}

vst3::tresult IPlugVST3::setupProcessing(vst3::ProcessSetup& setup) {
  if (canProcessSampleSize(setup.symbolicSampleSize) != vst3::kResultTrue ||
      !(setup.sampleRate > 0.0) || !std::isfinite(setup.sampleRate))
    return vst3::kResultFalse;
  IMutexLock lock(plug_->Mutex());
  setup_ = setup;
  setup_.maxSamplesPerBlock = std::max(setup.maxSamplesPerBlock, 1);
  bypass_.SetSampleRate(setup_.sampleRate);
  if (active_) applySetup();
  return vst3::kResultOk;
}

// The engine runs in double precision: 64-bit samples cost nothing.
vst3::tresult IPlugVST3::canProcessSampleSize(vst3::int32 symbolicSampleSize) {
  return symbolicSampleSize == vst3::kSample32 || symbolicSampleSize == vst3::kSample64
             ? vst3::kResultTrue
             : vst3::kResultFalse;
}

vst3::uint32 IPlugVST3::getLatencySamples() {
  IMutexLock lock(plug_->Mutex());
  return static_cast<vst3::uint32>(std::max(plug_->GetLatency(), 0));
}

// UI or audio thread: starting again begins from rest (voices, filters, envelopes).
vst3::tresult IPlugVST3::setProcessing(vst3::TBool state) {
  const bool start = state != 0;
  if (start && !processing_ && active_) plug_->ResetToSilence();
  processing_ = start;
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3::process(vst3::ProcessData& data) {
  try {
    IMutexLock lock(plug_->Mutex());
    const int frames = std::max(data.numSamples, 0);
    // Before activation (some hosts call early) nothing is set up: values only.
    const bool run = active_ && frames > 0;
    outChanges_ = data.outputParameterChanges;
    valuesChangedByPlug_ = false;
    deliverParameterChanges(data.inputParameterChanges, run ? frames : 0);
    if (active_) deliverEvents(data.inputEvents, frames);
    const bool wide = data.symbolicSampleSize == vst3::kSample64;
    if (run && wide)
      processAudio<vst3::Sample64>(data, frames, channels64);
    else if (run)
      processAudio<vst3::Sample32>(data, frames, channels32);
    else if (wide)
      silence<vst3::Sample64>(data, frames, channels64);
    else
      silence<vst3::Sample32>(data, frames, channels32);
    if (valuesChangedByPlug_) reportValuesChangedByPlug();
    outChanges_ = nullptr;
    return vst3::kResultOk;
  } catch (...) {
    outChanges_ = nullptr;
    return vst3::kInternalError;
  }
}

// With `frames` 0 every value applies at once; otherwise at the tick of its offset.
void IPlugVST3::deliverParameterChanges(vst3::IParameterChanges* changes, int frames) {
  const vst3::int32 queues = changes ? changes->getParameterCount() : 0;
  for (vst3::int32 q = 0; q < queues; ++q) {
    vst3::IParamValueQueue* queue = changes->getParameterData(q);
    const int slot = queue ? slotOf(queue->getParameterId()) : -1;
    if (slot < 0) continue;
    const vst3::int32 points = queue->getPointCount();
    for (vst3::int32 p = 0; p < points; ++p) {
      vst3::int32 offset = 0;
      vst3::ParamValue value = 0.0;
      if (queue->getPoint(p, offset, value) != vst3::kResultOk || std::isnan(value)) continue;
      value = std::min(std::max(value, 0.0), 1.0);
      controllerValues_[slot] = value;
      deliverPoint(slot, value, std::min(std::max(offset, 0), std::max(frames - 1, 0)),
                   frames == 0);
    }
  }
}

void IPlugVST3::deliverPoint(int slot, double normalized, int offset, bool now) {
  const IParam* param = paramAt(slot);
  const double plain = param->Constrain(param->GetNonNormalized(normalized));
  const int own = slot - plug_->NParams();
  IMidiMsg msg;
  if (own < 0) {
    if (now)
      plug_->SetParameterValueFromHost(slot, plain);
    else
      plug_->ScheduleParamChange(slot, plain, offset);
    return;
  } else if (own == 0) {  // bypass
    bypassed_ = plain >= 0.5;
    const double gain = bypassed_ ? 0.0 : 1.0;
    now ? bypass_.JumpTo(gain) : bypass_.SetTarget(gain);
    return;
  } else if (own == 1) {
    // The plug-in's MIDI program change, at its tick. The program already current is
    // kept as it is (hosts set the parameter again when they restore a session).
    if (static_cast<int>(plain) == plug_->GetCurrentPresetIdx()) return;
    msg = IMidiMsg(offset, kProgramChange, static_cast<uint8_t>(plain), 0);
  } else if (idAt(slot) == kMidiControllerId + vst3::kPitchBend) {
    const int bend = static_cast<int>(plain);
    msg = IMidiMsg(offset, kPitchWheel, static_cast<uint8_t>(bend & 0x7F),
                   static_cast<uint8_t>(bend >> 7));
  } else {
    msg = IMidiMsg(offset, kControlChange, static_cast<uint8_t>(idAt(slot) - kMidiControllerId),
                   static_cast<uint8_t>(plain));
  }
  plug_->ProcessMidiMsg(&msg);
}

// Events come sorted by offset; each reaches the plug-in's MIDI queue at its offset
// (one beyond the block counts as its last sample).
void IPlugVST3::deliverEvents(vst3::IEventList* events, int frames) {
  const vst3::int32 count = events ? events->getEventCount() : 0;
  for (vst3::int32 i = 0; i < count; ++i) {
    vst3::Event event{};
    if (events->getEvent(i, event) != vst3::kResultOk || event.busIndex != 0) continue;
    const int offset = std::min(std::max(event.sampleOffset, 0), std::max(frames - 1, 0));
    if (event.type == vst3::kNoteOnEvent || event.type == vst3::kNoteOffEvent) {
      const bool on = event.type == vst3::kNoteOnEvent;
      const vst3::int16 pitch = on ? event.noteOn.pitch : event.noteOff.pitch;
      const vst3::int16 channel = on ? event.noteOn.channel : event.noteOff.channel;
      if (pitch < 0 || pitch > 127) continue;
      IMidiMsg msg(offset, static_cast<uint8_t>((on ? kNoteOn : kNoteOff) | (channel & 0x0F)),
                   static_cast<uint8_t>(pitch),
                   midiVelocity(on ? event.noteOn.velocity : event.noteOff.velocity, on));
      plug_->ProcessMidiMsg(&msg);
    } else if (event.type == vst3::kDataEvent && event.data.type == vst3::kDataTypeMidiSysEx &&
               event.data.bytes) {
      ISysEx msg(offset, event.data.bytes,
                 static_cast<int32_t>(std::min<vst3::uint32>(event.data.size, INT32_MAX)));
      plug_->ProcessSysEx(&msg);
    }
    // Poly pressure, note expressions, chords and scales are not used.
  }
}

// Input bus 0: the voice (channels 0, 1); bus 1: the carrier (2, 3), read only while
// the host has it on; output bus 0: channels 0, 1. A mono bus feeds both sides; a
// channel without a buffer counts as unconnected. Long blocks run in pieces of the
// dry buffers' length.
template <typename Sample>
void IPlugVST3::processAudio(vst3::ProcessData& data, int frames,
                             Sample** (*channelsOf)(vst3::AudioBusBuffers&)) {
  Sample* inputs[kInputChannels] = {};
  Sample* outputs[kOutputChannels] = {};
  for (int bus = 0; bus < std::min(data.numInputs, 2) && data.inputs; ++bus) {
    vst3::AudioBusBuffers& buffers = data.inputs[bus];
    Sample** channels = channelsOf(buffers);
    if (!inputActive_[bus] || buffers.numChannels < 1 || !channels) continue;
    inputs[2 * bus] = channels[0];
    inputs[2 * bus + 1] = buffers.numChannels > 1 ? channels[1] : channels[0];
  }
  if (data.numOutputs > 0 && data.outputs) {
    vst3::AudioBusBuffers& buffers = data.outputs[0];
    Sample** channels = channelsOf(buffers);
    for (int c = 0; c < std::min(buffers.numChannels, kOutputChannels) && channels; ++c)
      outputs[c] = channels[c];
    buffers.silenceFlags = 0;
  }
  for (int c = 0; c < kInputChannels; ++c)
    plug_->SetInputChannelConnections(c, 1, inputs[c] != nullptr);
  for (int c = 0; c < kOutputChannels; ++c)
    plug_->SetOutputChannelConnections(c, 1, outputs[c] != nullptr);

  for (int done = 0; done < frames;) {
    const int n = std::min(frames - done, IPlugBase::kMaxProcessFrames);
    Sample* in[kInputChannels];
    Sample* out[kOutputChannels];
    Sample* piece[kOutputChannels] = {};
    int nIn = 0, nOut = 0;
    for (Sample* channel : inputs)
      if (channel) in[nIn++] = channel + done;
    for (int c = 0; c < kOutputChannels; ++c)
      if (outputs[c]) out[nOut++] = piece[c] = outputs[c] + done;
    // The voice before processing (input and output may share buffers).
    const bool mixing = bypass_.Moving() || bypass_.Gain() != 1.0;
    Sample* dry[kVoiceChannels] = {};
    for (int c = 0; c < kVoiceChannels && mixing; ++c) {
      dry[c] = dryBuffer<Sample>(c);
      if (inputs[c])
        std::copy(inputs[c] + done, inputs[c] + done + n, dry[c]);
      else
        std::fill(dry[c], dry[c] + n, Sample(0));
    }
    plug_->ProcessBlock(in, kInputChannels, out, kOutputChannels, n);
    if (mixing) bypass_.Crossfade(piece, kOutputChannels, dry, kVoiceChannels, n);
    done += n;
  }
}

// After a program change inside the block: every value that moved goes to the host
// (at the block's start, as hosts expect), and the controller takes it.
void IPlugVST3::reportValuesChangedByPlug() {
  if (!outChanges_) {
    syncControllerValues();
    return;
  }
  const int count = plug_->NParams();
  const auto report = [&](int slot, double normalized) {
    if (controllerValues_[slot] == normalized) return;
    controllerValues_[slot] = normalized;
    vst3::int32 index = 0;
    if (vst3::IParamValueQueue* queue = outChanges_->addParameterData(idAt(slot), index))
      queue->addPoint(0, normalized, index);
  };
  for (int i = 0; i < count; ++i) report(i, plug_->GetParam(i)->GetNormalized());
  report(count + 1, ownParams_[1].GetNormalized(plug_->GetCurrentPresetIdx()));
}
