// Shared pieces of the libFuzzer targets: a private scratch folder per process
// (HOME points into it before any plug-in exists, so the per-user INI file is
// created there), input files written atomically into it, a reader that takes
// bounded values off the front of an input, and a plug-in driven through its
// AEffect record the way hosts drive it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/vst2/IPlugVST.h"
#include "framework/ByteChunk.h"

class ZORQ;

namespace fuzz {

// Creates the process's scratch folder and points HOME at "<scratch>/home" (once;
// later calls return the same folder). The folder is removed at exit.
const std::string& scratchFolder();

// Writes bytes to "<scratch>/<name>" through a temporary file and a rename, so the
// path names a new file each time (readers that cache by file identity notice).
// Returns the path.
std::string writeScratchFile(const std::string& name, const uint8_t* data, size_t size);

// Takes values off the front of a fuzz input; an exhausted input gives zeros.
class InputReader {
 public:
  InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t byte();
  uint16_t u16();
  int32_t i32();
  // A value in 0 .. count - 1 (count > 0).
  unsigned pick(unsigned count) { return byte() % count; }
  // Up to `wanted` bytes; *taken receives how many are left for it.
  const uint8_t* take(size_t wanted, size_t* taken);
  const uint8_t* rest() const { return data_ + position_; }
  size_t remaining() const { return size_ - position_; }
  bool empty() const { return position_ >= size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

// What a refused input must leave as it was: the live state's bytes, the current
// program, then each stored program's name and record.
struct PluginSnapshot {
  std::string live;
  int program = 0;
  std::vector<std::string> presets;
  bool operator==(const PluginSnapshot& o) const {
    return live == o.live && program == o.program && presets == o.presets;
  }
  bool operator!=(const PluginSnapshot& o) const { return !(*this == o); }
};

// One plug-in instance created the way the exported entry point creates it, with
// a host that answers the vendor string it is given. Destroyed through effClose.
class FuzzPlugin {
 public:
  explicit FuzzPlugin(const char* hostVendor = "Fuzz Host Maker");
  ~FuzzPlugin();
  FuzzPlugin(const FuzzPlugin&) = delete;
  FuzzPlugin& operator=(const FuzzPlugin&) = delete;

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  // Open, sample rate, block size, switch on.
  void start(float sampleRate, int blockSize);
  // Float or double processing of n frames (n <= kMaxFrames) with a quiet tone on
  // every input; aborts when a guard word around an output is overwritten or an
  // output sample is not finite while requireFinite holds.
  void process(int nFrames, bool doublePrecision, bool requireFinite);

  // Keeps the whole bank as it is now; restoreBank() puts it back and switches the
  // plug-in off and on, so that every input starts from the same state.
  void keepBank();
  void restoreBank();
  PluginSnapshot snapshot();

  ZORQ& plug() { return *plug_; }
  AEffect* effect() { return effect_; }
  // How often the plug-in told the host to refresh its display (a program change does).
  int displayUpdates() const { return displayUpdates_; }

  static constexpr int kMaxFrames = 1024;

 private:
  static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                void* ptr, float opt);

  std::string vendor_;
  ZORQ* plug_ = nullptr;  // owned by the adapter, which effClose deletes
  AEffect* effect_ = nullptr;
  double phase_ = 0.0;
  ByteChunk keptBank_;
  int displayUpdates_ = 0;
};

}  // namespace fuzz
