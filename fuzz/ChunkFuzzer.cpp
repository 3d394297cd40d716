// Host state chunks through effSetChunk on the real dispatcher. Input: one mode
// byte, then the chunk. Mode bit 0: the host is a program-chunks-only vendor;
// bit 1: the chunk is handed in under the program index (1) instead of the bank
// index (0); bit 2: double-precision processing afterwards.
// A chunk the plug-in accepts must come back through effGetChunk in a form it
// accepts again, and processing afterwards must stay finite and in bounds.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/ZORQ.h"
#include "fuzz/FuzzSupport.h"

namespace {

constexpr float kSampleRate = 44100.0f;
constexpr int kBlockSize = 64;

// One instance per host vendor mode; its whole bank is put back after each input.
struct ModeInstance {
  std::unique_ptr<fuzz::FuzzPlugin> plugin;
  ByteChunk initialBank;
};

ModeInstance& instance(bool programChunksOnly) {
  static ModeInstance instances[2];
  ModeInstance& mode = instances[programChunksOnly ? 1 : 0];
  if (!mode.plugin) {
    mode.plugin = std::make_unique<fuzz::FuzzPlugin>(programChunksOnly ? "Native Instruments"
                                                                       : "Fuzz Host Maker");
    mode.plugin->start(kSampleRate, kBlockSize);
    mode.plugin->plug().serializeBankChunk(&mode.initialBank);
  }
  return mode;
}

void restore(ModeInstance& mode) {
  mode.plugin->plug().unserializeBankChunk(&mode.initialBank);
  mode.plugin->dispatch(effMainsChanged, 0, 0);
  mode.plugin->dispatch(effMainsChanged, 0, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  ModeInstance& target = instance(mode & 1);
  fuzz::FuzzPlugin& plugin = *target.plugin;
  const VstInt32 index = (mode & 2) ? 1 : 0;
  const bool doublePrecision = (mode & 4) != 0;

  // The host's buffer belongs to the host: hand in a copy of exactly the input bytes.
  std::vector<uint8_t> chunk(data + 1, data + size);
  const VstIntPtr accepted =
      plugin.dispatch(effSetChunk, index, static_cast<VstIntPtr>(chunk.size()),
                      chunk.empty() ? nullptr : chunk.data());
  plugin.process(37, doublePrecision, true);
  if (accepted) {
    void* saved = nullptr;
    const VstIntPtr savedSize = plugin.dispatch(effGetChunk, index, 0, &saved);
    std::vector<char> again(static_cast<const char*>(saved),
                            static_cast<const char*>(saved) + savedSize);
    if (savedSize <= 0 || !plugin.dispatch(effSetChunk, index, savedSize, again.data())) {
      std::fprintf(stderr, "zorq fuzz: an accepted chunk does not survive a save and reload\n");
      std::abort();
    }
    plugin.process(17, doublePrecision, true);
  }
  restore(target);
  return 0;
}
