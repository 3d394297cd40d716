#include "fuzz/FuzzSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "engine/ZORQ.h"

namespace fuzz {

namespace {

class ScratchFolder {
 public:
  ScratchFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/zorq-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) {
      std::perror("zorq fuzz: mkdtemp");
      std::abort();
    }
    path_ = pattern;
    const std::string home = path_ + "/home";
    mkdir(home.c_str(), 0700);
    setenv("HOME", home.c_str(), 1);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

const std::string& scratchFolder() {
  static const ScratchFolder folder;
  return folder.path();
}

std::string writeScratchFile(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = scratchFolder() + "/" + name;
  const std::string temporary = path + ".writing";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file || (size > 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0 ||
      std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::perror("zorq fuzz: writing the input file");
    std::abort();
  }
  return path;
}

uint8_t InputReader::byte() { return position_ < size_ ? data_[position_++] : 0; }

uint16_t InputReader::u16() {
  const uint16_t low = byte();
  return static_cast<uint16_t>(low | (byte() << 8));
}

int32_t InputReader::i32() {
  const uint32_t low = u16();
  return static_cast<int32_t>(low | (static_cast<uint32_t>(u16()) << 16));
}

const uint8_t* InputReader::take(size_t wanted, size_t* taken) {
  *taken = std::min(wanted, remaining());
  const uint8_t* start = data_ + position_;
  position_ += *taken;
  return start;
}

FuzzPlugin::FuzzPlugin(const char* hostVendor) : vendor_(hostVendor) {
  scratchFolder();  // HOME first: the instrument creates its INI file there
  // As the exported entry point does it.
  plug_ = new ZORQ();
  plug_->EnsureDefaultPreset();
  effect_ = (new IPlugVST(plug_, &FuzzPlugin::hostCallback))->GetAEffect();
  effect_->user = this;
}

FuzzPlugin::~FuzzPlugin() { dispatch(effClose); }

VstIntPtr FuzzPlugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void FuzzPlugin::start(float sampleRate, int blockSize) {
  dispatch(effOpen);
  dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
  dispatch(effSetBlockSize, 0, blockSize);
  dispatch(effMainsChanged, 0, 1);
}

void FuzzPlugin::keepBank() {
  keptBank_.Clear();
  plug_->serializeBankChunk(&keptBank_);
}

void FuzzPlugin::restoreBank() {
  plug_->unserializeBankChunk(&keptBank_);
  dispatch(effMainsChanged, 0, 0);
  dispatch(effMainsChanged, 0, 1);
}

PluginSnapshot FuzzPlugin::snapshot() {
  const auto bytes = [](const ByteChunk& chunk) {
    return std::string(reinterpret_cast<const char*>(chunk.GetBytes()), size_t(chunk.Size()));
  };
  PluginSnapshot s;
  ByteChunk live;
  plug_->SerializeState(&live);
  s.live = bytes(live);
  s.program = plug_->GetCurrentPresetIdx();
  for (int i = 0; i < plug_->NPresets(); ++i) {
    const IPreset& preset = *plug_->GetPreset(i);
    s.presets.push_back(preset.name);
    s.presets.push_back(bytes(preset.chunk));
  }
  return s;
}

namespace {

constexpr double kGuard = 12345.0;

template <typename Sample>
void runBlock(AEffect* effect, int nFrames, double* phase, bool requireFinite) {
  static std::vector<Sample> in[4], out[2];
  for (auto& channel : in) channel.assign(nFrames, Sample(0));
  for (int i = 0; i < nFrames; ++i) {
    const Sample value = static_cast<Sample>(0.3 * std::sin(*phase));
    *phase = std::fmod(*phase + 0.0627, 2.0 * M_PI);
    for (auto& channel : in) channel[i] = value;
  }
  // One guard word before and after each output.
  for (auto& channel : out) channel.assign(nFrames + 2, Sample(kGuard));
  Sample* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  Sample* outs[2] = {out[0].data() + 1, out[1].data() + 1};
  if constexpr (sizeof(Sample) == sizeof(double))
    effect->processDoubleReplacing(effect, ins, outs, nFrames);
  else
    effect->processReplacing(effect, ins, outs, nFrames);
  for (auto& channel : out) {
    if (channel.front() != Sample(kGuard) || channel.back() != Sample(kGuard)) {
      std::fprintf(stderr, "zorq fuzz: output guard word overwritten\n");
      std::abort();
    }
    for (int i = 1; requireFinite && i <= nFrames; ++i)
      if (!std::isfinite(channel[i])) {
        std::fprintf(stderr, "zorq fuzz: non-finite output sample %d\n", i - 1);
        std::abort();
      }
  }
}

}  // namespace

void FuzzPlugin::process(int nFrames, bool doublePrecision, bool requireFinite) {
  if (nFrames < 0 || nFrames > kMaxFrames) return;
  if (doublePrecision)
    runBlock<double>(effect_, nFrames, &phase_, requireFinite);
  else
    runBlock<float>(effect_, nFrames, &phase_, requireFinite);
}

VstIntPtr FuzzPlugin::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr,
                                   float) {
  FuzzPlugin* host = effect ? static_cast<FuzzPlugin*>(effect->user) : nullptr;
  switch (opcode) {
    case audioMasterVersion: return kVstVersion2400;
    case audioMasterGetVendorString:
      if (!host || !ptr) return 0;
      std::snprintf(static_cast<char*>(ptr), kVstMaxVendorStrLen, "%s", host->vendor_.c_str());
      return 1;
    case audioMasterGetProductString:
      if (!ptr) return 0;
      std::snprintf(static_cast<char*>(ptr), kVstMaxProductStrLen, "%s", "Fuzz Host");
      return 1;
    case audioMasterProcessEvents: return 1;
    case audioMasterUpdateDisplay:
      if (host) ++host->displayUpdates_;
      return 0;
    default: return 0;
  }
}

}  // namespace fuzz
