// Host state chunks through effSetChunk on the real dispatcher. Input: one mode
// byte, then the chunk. Mode bit 0: the host is a program-chunks-only vendor;
// bit 1: the chunk is handed in under the program index (1) instead of the bank
// index (0); bit 2: double-precision processing afterwards.
// A chunk the plug-in accepts must come back through effGetChunk in a form it
// accepts again. A program chunk refused under an ordinary host leaves the live
// values (edited since the program was stored), the current program and every
// stored program as they were. (A cut bank keeps the programs read in full.) A
// program-chunks-only host gets the current program for the bank index too.
// Processing afterwards must stay finite and in bounds.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/ZORQ.h"
#include "fuzz/FuzzSupport.h"

namespace {

constexpr float kSampleRate = 44100.0f;
constexpr int kBlockSize = 64;

// One instance per host vendor mode; its whole bank is put back after each input,
// then the live state takes an edit the stored program lacks.
fuzz::FuzzPlugin& instance(bool programChunksOnly) {
  static std::unique_ptr<fuzz::FuzzPlugin> instances[2];
  std::unique_ptr<fuzz::FuzzPlugin>& plugin = instances[programChunksOnly ? 1 : 0];
  if (!plugin) {
    plugin = std::make_unique<fuzz::FuzzPlugin>(programChunksOnly ? "Native Instruments"
                                                                  : "Fuzz Host Maker");
    plugin->start(kSampleRate, kBlockSize);
    plugin->keepBank();
  }
  return *plugin;
}

// What effGetChunk hands the host for the index, copied out of the plug-in's buffer.
std::vector<char> savedChunk(fuzz::FuzzPlugin& plugin, VstInt32 index) {
  void* saved = nullptr;
  const VstIntPtr size = plugin.dispatch(effGetChunk, index, 0, &saved);
  return size > 0 ? std::vector<char>(static_cast<const char*>(saved),
                                      static_cast<const char*>(saved) + size)
                  : std::vector<char>();
}

void restore(fuzz::FuzzPlugin& plugin) {
  plugin.restoreBank();
  plugin.plug().GetParam(kFinalVolume)->SetNormalized(0.3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  fuzz::FuzzPlugin& plugin = instance(mode & 1);
  const VstInt32 index = (mode & 2) ? 1 : 0;
  const bool doublePrecision = (mode & 4) != 0;

  // The host's buffer belongs to the host: hand in a copy of exactly the input bytes.
  std::vector<uint8_t> chunk(data + 1, data + size);
  const fuzz::PluginSnapshot before = plugin.snapshot();
  const VstIntPtr accepted =
      plugin.dispatch(effSetChunk, index, static_cast<VstIntPtr>(chunk.size()),
                      chunk.empty() ? nullptr : chunk.data());
  if (!accepted && index == 1 && !(mode & 1) && plugin.snapshot() != before) {
    std::fprintf(stderr, "zorq fuzz: a refused chunk changed the plug-in\n");
    std::abort();
  }
  plugin.process(37, doublePrecision, true);
  if (accepted) {
    std::vector<char> again = savedChunk(plugin, index);
    if (again.empty() ||
        !plugin.dispatch(effSetChunk, index, static_cast<VstIntPtr>(again.size()), again.data())) {
      std::fprintf(stderr, "zorq fuzz: an accepted chunk does not survive a save and reload\n");
      std::abort();
    }
    plugin.process(17, doublePrecision, true);
  }
  if ((mode & 1) && savedChunk(plugin, 0) != savedChunk(plugin, 1)) {
    std::fprintf(stderr, "zorq fuzz: a program-chunks-only host got a bank chunk\n");
    std::abort();
  }
  restore(plugin);
  return 0;
}
