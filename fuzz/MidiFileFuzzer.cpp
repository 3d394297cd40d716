// Standard MIDI files through zorq-render's reader: every input is read into a sequence
// or refused with RenderError; anything else (a crash, a read past the data, another
// exception) is a fault.
#include <cstdint>
#include <vector>

#include "zorq-render/MidiFile.h"
#include "zorq-render/RenderError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    MidiFile::parse(std::vector<uint8_t>(data, data + size));
  } catch (const RenderError&) {
  }
  return 0;
}
