#pragma once

#include <cstdint>
#include <vector>

#include "zorq-render/TempoMap.h"

// A short MIDI channel message at a time in seconds from the start of the render.
struct TimedMidiEvent {
  double seconds = 0.0;
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

// What the render plays: channel messages in time order and the tempo they were
// written in (reported to the plug-in as the host's tempo and beat position).
struct MidiSequence {
  std::vector<TimedMidiEvent> events;
  TempoMap tempo;

  double endSeconds() const { return events.empty() ? 0.0 : events.back().seconds; }
};
