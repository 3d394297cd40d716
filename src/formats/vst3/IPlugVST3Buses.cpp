// Buses: the plug-in's channels as stereo buses. Input 0 is the voice (main), input 1
// the carrier (auxiliary, which hosts offer as a side chain; off until the host turns
// it on), output 0 the main output; notes and MIDI come in on one event bus. An input
// bus may be mono: its one channel feeds both sides. The output stays stereo.
// UI thread (Ardour also calls activateBus and setBusArrangements from its audio
// thread between blocks).
#include <bitset>

#include "formats/vst3/IPlugVST3.h"
#include "formats/vst3/Vst3Text.h"
#include "framework/BusName.h"

namespace {
constexpr vst3::int32 kAudioInputs = 2;
constexpr vst3::int32 kMidiChannels = 16;

// Channels are counted by the speakers set: hosts send low-bit masks as well as the
// named arrangements.
int channelsOf(vst3::SpeakerArrangement arrangement) {
  return static_cast<int>(std::bitset<64>(arrangement).count());
}

bool fillBus(vst3::BusInfo& bus, vst3::MediaType type, vst3::BusDirection dir, int channels,
             const std::string& name, vst3::BusType busType, bool defaultActive) {
  bus = vst3::BusInfo{};
  bus.mediaType = type;
  bus.direction = dir;
  bus.channelCount = channels;
  vst3text::toUtf16(name.c_str(), bus.name, 128);
  bus.busType = busType;
  bus.flags = defaultActive ? vst3::uint32{vst3::kDefaultActive} : 0u;
  return true;
}
}  // namespace

vst3::int32 IPlugVST3::getBusCount(vst3::MediaType type, vst3::BusDirection dir) {
  if (type == vst3::kAudio) return dir == vst3::kInput ? kAudioInputs : 1;
  if (type == vst3::kEvent) return dir == vst3::kInput && plug_->DoesMIDI() ? 1 : 0;
  return 0;
}

vst3::tresult IPlugVST3::getBusInfo(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                    vst3::BusInfo& bus) {
  if (index < 0 || index >= getBusCount(type, dir)) return vst3::kInvalidArgument;
  if (type == vst3::kEvent) {
    fillBus(bus, type, dir, kMidiChannels, "MIDI In", vst3::kMain, true);
  } else if (dir == vst3::kInput) {
    const std::string name =
        busName(plug_->GetInputLabel(2 * index), plug_->GetInputLabel(2 * index + 1));
    fillBus(bus, type, dir, channelsOf(inputArrangement_[index]), name,
            index == 0 ? vst3::kMain : vst3::kAux, index == 0);
  } else {
    fillBus(bus, type, dir, 2, busName(plug_->GetOutputLabel(0), plug_->GetOutputLabel(1)),
            vst3::kMain, true);
  }
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3::getRoutingInfo(vst3::RoutingInfo&, vst3::RoutingInfo&) {
  return vst3::kResultFalse;
}

vst3::tresult IPlugVST3::activateBus(vst3::MediaType type, vst3::BusDirection dir,
                                     vst3::int32 index, vst3::TBool state) {
  if (index < 0 || index >= getBusCount(type, dir)) return vst3::kInvalidArgument;
  if (type == vst3::kAudio && dir == vst3::kInput) inputActive_[index] = state != 0;
  return vst3::kResultOk;
}

// Adopts what the instrument runs (each input mono, stereo or, for the carrier, empty;
// the output stereo) and the nearest of that for the rest.
vst3::tresult IPlugVST3::setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                            vst3::SpeakerArrangement* outputs,
                                            vst3::int32 numOuts) {
  if ((numIns > 0 && !inputs) || (numOuts > 0 && !outputs)) return vst3::kInvalidArgument;
  bool taken = numIns >= 1 && numIns <= kAudioInputs && numOuts == 1 &&
               outputs[0] == vst3::kSpeakerArrStereo;
  for (vst3::int32 i = 0; i < numIns && i < kAudioInputs; ++i) {
    const int channels = channelsOf(inputs[i]);
    const bool runs = channels == 1 || channels == 2 || (i > 0 && channels == 0);
    inputArrangement_[i] = runs ? inputs[i] : vst3::kSpeakerArrStereo;
    taken = taken && runs;
  }
  return taken ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult IPlugVST3::getBusArrangement(vst3::BusDirection dir, vst3::int32 index,
                                           vst3::SpeakerArrangement& arrangement) {
  if (index < 0 || index >= getBusCount(vst3::kAudio, dir)) return vst3::kInvalidArgument;
  arrangement = dir == vst3::kInput ? inputArrangement_[index] : vst3::kSpeakerArrStereo;
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3::getUnitByBus(vst3::MediaType, vst3::BusDirection, vst3::int32, vst3::int32,
                                      vst3::UnitID& unitId) {
  unitId = vst3::kRootUnitId;
  return vst3::kResultOk;
}
