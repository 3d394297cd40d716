// Processing: the host's events become MIDI messages and parameter changes with their
// frame offsets, the audio ports become the plug-in's channels, and what the plug-in
// says meanwhile goes out as events. Audio thread, plug-in mutex held throughout; no
// allocation.
#include <algorithm>
#include <cmath>

#include "formats/clap/IPlugCLAP.h"
#include "framework/IMidiMsg.h"

namespace {
constexpr int kMaxChannels = 8;
constexpr uint8_t kNoteOff = 0x80, kNoteOn = 0x90, kControlChange = 0xB0;
constexpr uint8_t kAllNotesOffController = 123;

// CLAP velocities are 0..1; MIDI's note-on needs 1..127, since 0 would mean note-off.
uint8_t midiVelocity(double velocity, bool noteOn) {
  const double scaled = std::isfinite(velocity) ? std::round(velocity * 127.0) : 0.0;
  return static_cast<uint8_t>(std::min(std::max(scaled, noteOn ? 1.0 : 0.0), 127.0));
}

uint8_t midiChannel(int16_t channel) {
  return static_cast<uint8_t>(channel >= 0 ? channel & 0x0F : 0);
}

// The channel pointers of one port, or null where the host gives none.
float* portChannel(const clap_audio_buffer_t* buffers, uint32_t count, uint32_t port,
                   uint32_t channel) {
  if (port >= count || !buffers) return nullptr;
  const clap_audio_buffer_t& buffer = buffers[port];
  return buffer.data32 && channel < buffer.channel_count ? buffer.data32[channel] : nullptr;
}
}  // namespace

void IPlugCLAP::beginOutput(const clap_output_events_t* out) {
  outEvents_ = out;
  outTime_ = 0;
  editorEvents_.drain([&](const HostEditQueue::Edit& edit) { clapevents::pushEdit(out, 0, edit); });
}

int32_t IPlugCLAP::process(const clap_process_t* process) {
  if (!process) return kClapProcessError;
  IMutexLock lock(plug_->Mutex());
  outFrames_ = process->frames_count;
  beginOutput(process->out_events);
  if (process->in_events) deliverEvents(process->in_events, process->frames_count);
  processAudio(process);
  endOutput();
  return kClapProcessContinue;
}

// Events come sorted by time; each is delivered with its offset inside the block (an
// offset beyond the block counts as its last frame).
void IPlugCLAP::deliverEvents(const clap_input_events_t* in, uint32_t frames) {
  const uint32_t count = in->size ? in->size(in) : 0;
  const uint32_t lastFrame = frames > 0 ? frames - 1 : 0;
  for (uint32_t i = 0; i < count; ++i) {
    const clap_event_header_t* event = clapevents::coreEvent(in, i);
    if (!event) continue;
    const int offset = static_cast<int>(std::min(event->time, lastFrame));
    if (const auto* value = clapevents::as<clap_event_param_value_t>(event, kClapEventParamValue)) {
      if (param(value->param_id))
        plug_->ScheduleParamChange(static_cast<int>(value->param_id), value->value, offset);
    } else if (const auto* note = clapevents::asNote(event)) {
      deliverNote(*note, offset);
    } else if (const auto* midi = clapevents::as<clap_event_midi_t>(event, kClapEventMidi)) {
      IMidiMsg msg(offset, midi->data[0], midi->data[1], midi->data[2]);
      plug_->ProcessMidiMsg(&msg);
    } else if (const auto* sysex =
                   clapevents::as<clap_event_midi_sysex_t>(event, kClapEventMidiSysex)) {
      const uint32_t size = sysex->buffer ? std::min<uint32_t>(sysex->size, INT32_MAX) : 0;
      ISysEx msg(offset, sysex->buffer, static_cast<int32_t>(size));
      plug_->ProcessSysEx(&msg);
    }
    // Modulation, note expressions, transport and MIDI 2 are not used.
  }
}

// A note becomes the MIDI message the plug-in knows. A note-on of velocity 0 stays a
// note-on; a note-off or choke for any key releases every note.
void IPlugCLAP::deliverNote(const clap_event_note_t& note, int offset) {
  const uint8_t channel = midiChannel(note.channel);
  IMidiMsg msg;
  if (note.header.type == kClapEventNoteOn) {
    if (note.key < 0 || note.key > 127) return;
    msg = IMidiMsg(offset, kNoteOn | channel, static_cast<uint8_t>(note.key),
                   midiVelocity(note.velocity, true));
  } else if (note.key < 0) {
    msg = IMidiMsg(offset, kControlChange | channel, kAllNotesOffController, 0);
  } else if (note.key <= 127) {
    msg = IMidiMsg(offset, kNoteOff | channel, static_cast<uint8_t>(note.key),
                   midiVelocity(note.velocity, false));
  } else {
    return;
  }
  plug_->ProcessMidiMsg(&msg);
}

// Port 0 in: the voice (channels 0, 1); port 1 in: the carrier (channels 2, 3); port 0
// out: channels 0, 1. A channel the host gives no buffer for counts as unconnected
// (silent in, thrown away out).
void IPlugCLAP::processAudio(const clap_process_t* process) {
  IPlugBase& plug = *plug_;
  const int frames = static_cast<int>(std::min<uint32_t>(process->frames_count, INT32_MAX));
  const int nIn = std::min(plug.NInChannels(), kMaxChannels);
  const int nOut = std::min(plug.NOutChannels(), kMaxChannels);
  float* inputs[kMaxChannels] = {};
  float* outputs[kMaxChannels] = {};
  for (int c = 0; c < nIn; ++c) {
    inputs[c] = portChannel(process->audio_inputs, process->audio_inputs_count, uint32_t(c / 2),
                            uint32_t(c % 2));
    plug.SetInputChannelConnections(c, 1, inputs[c] != nullptr);
  }
  for (int c = 0; c < nOut; ++c) {
    outputs[c] = portChannel(process->audio_outputs, process->audio_outputs_count, uint32_t(c / 2),
                             uint32_t(c % 2));
    plug.SetOutputChannelConnections(c, 1, outputs[c] != nullptr);
  }
  // The plug-in takes the connected channels' buffers in order.
  float* in[kMaxChannels];
  float* out[kMaxChannels];
  int connectedIn = 0, connectedOut = 0;
  for (int c = 0; c < nIn; ++c)
    if (inputs[c]) in[connectedIn++] = inputs[c];
  for (int c = 0; c < nOut; ++c)
    if (outputs[c]) out[connectedOut++] = outputs[c];
  plug.ProcessBlock(in, nIn, out, nOut, frames);
  // Output channels beyond the plug-in's are silent.
  for (uint32_t port = 0; port < process->audio_outputs_count && process->audio_outputs; ++port) {
    clap_audio_buffer_t& buffer = process->audio_outputs[port];
    buffer.constant_mask = 0;
    for (uint32_t c = 0; buffer.data32 && c < buffer.channel_count; ++c)
      if (buffer.data32[c] && int(port * 2 + c) >= nOut)
        std::fill(buffer.data32[c], buffer.data32[c] + frames, 0.0f);
  }
}

// Parameter values between blocks (or while not processing) apply at once.
void IPlugCLAP::flush(const clap_input_events_t* in, const clap_output_events_t* out) {
  IMutexLock lock(plug_->Mutex());
  outFrames_ = 0;
  beginOutput(out);
  const uint32_t count = in && in->size ? in->size(in) : 0;
  for (uint32_t i = 0; i < count; ++i) {
    const auto* value = clapevents::as<clap_event_param_value_t>(clapevents::coreEvent(in, i),
                                                                 kClapEventParamValue);
    if (value && param(value->param_id))
      plug_->SetParameterValueFromHost(static_cast<int>(value->param_id), value->value);
  }
  endOutput();
}
