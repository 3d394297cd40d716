// Program and bank files. Input: one mode byte, then the file. Mode % 3 picks the
// reader: 0 LoadProgramFromFXP and 1 LoadBankFromFXB on a file holding the bytes,
// 2 Synth::loadFXBfromBlob on the bytes in memory. A program file that is refused
// must leave the live state, the current program and every stored program exactly
// as they were and tell the host of no program change. Another plug-in's program
// file (its id at bytes 16..19) is refused. An accepted file cut by its last byte,
// loaded into the same starting state, is refused or gives what the whole file gave
// (the byte was left over). Processing afterwards must stay finite and in bounds.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/ZORQ.h"
#include "fuzz/FuzzSupport.h"

namespace {

fuzz::FuzzPlugin& instance() {
  static std::unique_ptr<fuzz::FuzzPlugin> shared;
  if (!shared) {
    shared = std::make_unique<fuzz::FuzzPlugin>();
    shared->start(44100.0f, 64);
    shared->keepBank();
  }
  return *shared;
}

void fail(const char* what) {
  std::fprintf(stderr, "zorq fuzz: %s\n", what);
  std::abort();
}

// A refused file also tells the host of no program change.
bool loadProgram(fuzz::FuzzPlugin& plugin, const uint8_t* file, size_t size) {
  const fuzz::PluginSnapshot before = plugin.snapshot();
  const int displayUpdates = plugin.displayUpdates();
  const bool accepted =
      plugin.plug().LoadProgramFromFXP(fuzz::writeScratchFile("input.fxp", file, size));
  if (!accepted && (plugin.snapshot() != before || plugin.displayUpdates() != displayUpdates))
    fail("a refused program file changed the plug-in");
  return accepted;
}

bool ownId(fuzz::FuzzPlugin& plugin, const uint8_t* file, size_t size) {
  const uint32_t id = static_cast<uint32_t>(plugin.effect()->uniqueID);
  return size >= 20 && file[16] == (id >> 24 & 0xff) && file[17] == (id >> 16 & 0xff) &&
         file[18] == (id >> 8 & 0xff) && file[19] == (id & 0xff);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  fuzz::FuzzPlugin& plugin = instance();
  ZORQ& plug = plugin.plug();
  const uint8_t* file = data + 1;
  const size_t fileSize = size - 1;

  switch (data[0] % 3) {
    case 0:
      if (loadProgram(plugin, file, fileSize)) {
        if (!ownId(plugin, file, fileSize)) fail("another plug-in's program file was accepted");
        const std::string whole = plugin.snapshot().live;
        plugin.restoreBank();
        if (loadProgram(plugin, file, fileSize - 1) && plugin.snapshot().live != whole)
          fail("a program file cut short was taken in part");
      }
      break;
    case 1: plug.LoadBankFromFXB(fuzz::writeScratchFile("input.fxb", file, fileSize)); break;
    default: plug.loadFXBfromBlob(fileSize ? file : nullptr, static_cast<int>(fileSize)); break;
  }
  plugin.process(41, (data[0] & 0x80) != 0, true);
  plugin.restoreBank();
  return 0;
}
