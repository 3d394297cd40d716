#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zorq-render/MidiSequence.h"

// Reads Standard MIDI Files of type 0 and 1: every channel message of every track,
// merged in time order, with tempo changes from any track honoured. System
// exclusive messages and meta events other than tempo are skipped. Damaged files
// raise RenderError; nothing is read outside the given bytes.
class MidiFile {
 public:
  static MidiSequence parse(const std::vector<uint8_t>& bytes);
  static MidiSequence read(const std::string& path);
};
