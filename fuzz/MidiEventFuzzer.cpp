// MIDI event streams through effProcessEvents, each list followed by a block of
// processing. Input: a header byte (bit 0 double precision, bits 1-2 sample
// rate), then records. Each record: an event count (0..31) and a block-size
// choice, then per event a type byte, a 32-bit offset, a 32-bit byte size and
// three MIDI bytes (status, data 1, data 2); a system-exclusive event instead
// takes a 16-bit dump length and points its dump into the input itself.
// Outputs must stay finite and inside the host's buffers.
#include <cstring>
#include <memory>
#include <vector>

#include "engine/ZORQ.h"
#include "fuzz/FuzzSupport.h"

namespace {

constexpr float kSampleRates[4] = {44100.0f, 48000.0f, 96000.0f, 22050.0f};
constexpr int kBlockSizes[8] = {1, 15, 17, 64, 99, 128, 333, 0};
constexpr int kMaxBlockSize = 512;
constexpr int kMaxEventsPerList = 31;
constexpr int kMaxBlocks = 24;

// Room for either record, so an event whose type says sysex never reads past its storage.
union EventSlot {
  VstMidiEvent midi;
  VstMidiSysexEvent sysex;
};

struct EventList {
  VstInt32 numEvents = 0;
  VstIntPtr reserved = 0;
  VstEvent* events[kMaxEventsPerList + 1] = {};
};

fuzz::FuzzPlugin& plugin(float sampleRate) {
  static std::unique_ptr<fuzz::FuzzPlugin> shared;
  static float currentRate = 0.0f;
  if (!shared) shared = std::make_unique<fuzz::FuzzPlugin>();
  if (sampleRate != currentRate) {
    shared->start(sampleRate, kMaxBlockSize);
    currentRate = sampleRate;
  }
  return *shared;
}

// Back to program 0 with every voice, the pedal, the wheel and the queue cleared.
void resetInstance(fuzz::FuzzPlugin& instance) {
  instance.dispatch(effMainsChanged, 0, 0);
  instance.dispatch(effSetProgram, 0, 0);
  instance.dispatch(effMainsChanged, 0, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::InputReader input(data, size);
  const uint8_t header = input.byte();
  const bool doublePrecision = header & 1;
  fuzz::FuzzPlugin& instance = plugin(kSampleRates[(header >> 1) & 3]);

  EventSlot slots[kMaxEventsPerList];
  for (int block = 0; block < kMaxBlocks && !input.empty(); ++block) {
    const uint8_t shape = input.byte();
    EventList list;
    list.numEvents = shape & kMaxEventsPerList;
    for (int i = 0; i < list.numEvents; ++i) {
      const uint8_t type = input.byte();
      const VstInt32 offset = input.i32();
      const VstInt32 byteSize = input.i32();
      std::memset(&slots[i], 0, sizeof slots[i]);
      if ((type & 7) == 7) {
        VstMidiSysexEvent& sysex = slots[i].sysex;
        sysex.type = kVstSysExType;
        sysex.byteSize = byteSize;
        sysex.deltaFrames = offset;
        size_t length = 0;
        const uint16_t declared = input.u16();
        const uint8_t* dump = input.take(declared, &length);
        sysex.dumpBytes = static_cast<VstInt32>(length);
        sysex.sysexDump = length ? reinterpret_cast<char*>(const_cast<uint8_t*>(dump)) : nullptr;
      } else {
        VstMidiEvent& midi = slots[i].midi;
        // Mostly MIDI events; sometimes another type, which must be skipped.
        midi.type = (type & 7) == 6 ? type : kVstMidiType;
        midi.byteSize = byteSize;
        midi.deltaFrames = offset;
        midi.midiData[0] = static_cast<char>(input.byte());
        midi.midiData[1] = static_cast<char>(input.byte());
        midi.midiData[2] = static_cast<char>(input.byte());
      }
      list.events[i] = reinterpret_cast<VstEvent*>(&slots[i]);
    }
    if (list.numEvents > 0 || (shape & 0x20))
      instance.dispatch(effProcessEvents, 0, 0, reinterpret_cast<VstEvents*>(&list));
    instance.process(kBlockSizes[shape >> 5], doublePrecision, true);
  }
  resetInstance(instance);
  return 0;
}
