// Ports and latency. The plug-in's channels form stereo ports in order: inputs 1-2
// are the main input, 3-4 the auxiliary one that hosts offer as a side chain; outputs
// 1-2 the main output. A port is named after its channels' labels ("MIC Left " and
// "MIC Right " make "MIC"). Notes and MIDI come in on one port; MIDI the plug-in sends
// (its "MIDI Thru") goes out on another. Main thread.
#include <algorithm>
#include <cstring>
#include <string>

#include "formats/clap/IPlugCLAP.h"
#include "framework/BusName.h"

namespace {
constexpr uint32_t kChannelsPerPort = 2;

uint32_t portsFor(int channels) {
  return (static_cast<uint32_t>(std::max(channels, 0)) + 1) / kChannelsPerPort;
}

void copyName(char* dest, const std::string& name, size_t size) {
  const size_t length = std::min(name.size(), size - 1);
  std::memcpy(dest, name.data(), length);
  dest[length] = '\0';
}
}  // namespace

const clap_plugin_audio_ports_t IPlugCLAP::kAudioPorts = {
    [](const clap_plugin_t* p, bool isInput) {
      return clapCall(p, 0u, [&](IPlugCLAP& self) {
        return portsFor(isInput ? self.plug_->NInChannels() : self.plug_->NOutChannels());
      });
    },
    [](const clap_plugin_t* p, uint32_t index, bool isInput, clap_audio_port_info_t* info) {
      return clapCall(p, false,
                      [&](IPlugCLAP& self) { return self.audioPortInfo(index, isInput, info); });
    },
};

const clap_plugin_note_ports_t IPlugCLAP::kNotePorts = {
    [](const clap_plugin_t* p, bool) {
      return clapCall(p, 0u, [](IPlugCLAP& self) { return self.plug_->DoesMIDI() ? 1u : 0u; });
    },
    [](const clap_plugin_t* p, uint32_t index, bool isInput, clap_note_port_info_t* info) {
      return clapCall(p, false, [&](IPlugCLAP& self) {
        if (!self.plug_->DoesMIDI() || index != 0 || !info) return false;
        *info = clap_note_port_info_t{};
        info->id = 0;
        // Notes arrive as CLAP notes or MIDI; MIDI also brings the controllers, pitch
        // wheel and program changes the plug-in answers.
        info->supported_dialects =
            isInput ? kClapNoteDialectClap | kClapNoteDialectMidi : kClapNoteDialectMidi;
        info->preferred_dialect = kClapNoteDialectMidi;
        copyName(info->name, isInput ? "MIDI In" : "MIDI Out", sizeof info->name);
        return true;
      });
    },
};

const clap_plugin_latency_t IPlugCLAP::kLatency = {
    [](const clap_plugin_t* p) {
      return clapCall(p, 0u, [](IPlugCLAP& self) {
        IMutexLock lock(self.plug_->Mutex());
        return static_cast<uint32_t>(std::max(self.plug_->GetLatency(), 0));
      });
    },
};

bool IPlugCLAP::audioPortInfo(uint32_t index, bool isInput, clap_audio_port_info_t* info) const {
  const int channels = isInput ? plug_->NInChannels() : plug_->NOutChannels();
  if (!info || index >= portsFor(channels)) return false;
  const int left = static_cast<int>(index * kChannelsPerPort);
  const int count = std::min(channels - left, static_cast<int>(kChannelsPerPort));
  const char* leftLabel = isInput ? plug_->GetInputLabel(left) : plug_->GetOutputLabel(left);
  const char* rightLabel =
      count > 1 ? (isInput ? plug_->GetInputLabel(left + 1) : plug_->GetOutputLabel(left + 1))
                : leftLabel;
  *info = clap_audio_port_info_t{};
  info->id = index;
  copyName(info->name, busName(leftLabel, rightLabel), sizeof info->name);
  info->flags = index == 0 ? kClapAudioPortIsMain : 0;
  info->channel_count = static_cast<uint32_t>(count);
  info->port_type = count == 2 ? kClapPortStereo : kClapPortMono;
  // The main input and output may share their buffers.
  info->in_place_pair = index == 0 ? 0 : kClapInvalidId;
  return true;
}
