// Program and bank files. Input: one mode byte, then the file. Mode % 3 picks the
// reader: 0 LoadProgramFromFXP and 1 LoadBankFromFXB on a file holding the bytes,
// 2 Synth::loadFXBfromBlob on the bytes in memory. A program file that is refused
// must leave the live state exactly as it was; processing afterwards must stay
// finite and in bounds.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "engine/ZORQ.h"
#include "fuzz/FuzzSupport.h"

namespace {

struct Instance {
  std::unique_ptr<fuzz::FuzzPlugin> plugin;
  ByteChunk initialBank;
};

Instance& instance() {
  static Instance shared;
  if (!shared.plugin) {
    shared.plugin = std::make_unique<fuzz::FuzzPlugin>();
    shared.plugin->start(44100.0f, 64);
    shared.plugin->plug().serializeBankChunk(&shared.initialBank);
  }
  return shared;
}

ByteChunk liveState(ZORQ& plug) {
  ByteChunk state;
  plug.SerializeState(&state);
  return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  Instance& shared = instance();
  ZORQ& plug = shared.plugin->plug();
  const uint8_t* file = data + 1;
  const size_t fileSize = size - 1;

  switch (data[0] % 3) {
    case 0: {
      const ByteChunk before = liveState(plug);
      const std::string path = fuzz::writeScratchFile("input.fxp", file, fileSize);
      if (!plug.LoadProgramFromFXP(path) && !(liveState(plug) == before)) {
        std::fprintf(stderr, "zorq fuzz: a refused program file changed the live state\n");
        std::abort();
      }
      break;
    }
    case 1: plug.LoadBankFromFXB(fuzz::writeScratchFile("input.fxb", file, fileSize)); break;
    default: plug.loadFXBfromBlob(fileSize ? file : nullptr, static_cast<int>(fileSize)); break;
  }
  shared.plugin->process(41, (data[0] & 0x80) != 0, true);

  plug.unserializeBankChunk(&shared.initialBank);
  shared.plugin->dispatch(effMainsChanged, 0, 0);
  shared.plugin->dispatch(effMainsChanged, 0, 1);
  return 0;
}
