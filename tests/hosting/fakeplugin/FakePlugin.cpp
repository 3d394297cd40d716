// A tiny VST 2 effect for the offline host's tests. Four inputs, two outputs:
//   out[c] = factor * (in[c] + in[c + 2]),  factor = Gain * 10^(Level / 20) * Mode sign.
// Parameters: "Gain" 0..2 (display "%.2f", label "x", no text conversion),
// "Mode" Pass/Invert/Mute (display texts, no text conversion), "Level" -60..0 dB
// (display "%.1f", converts text itself). Two programs, program and bank chunks.
// A call with more frames than the announced block size outputs NaN, so tests see
// a host that breaks the block-size promise. Built with FAKE_PLUGIN_BLANK it shows
// no display texts at all.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "formats/vst2/VstAbi.h"

namespace {

constexpr int kParams = 3;
constexpr int kPrograms = 2;
constexpr int kGain = 0, kMode = 1, kLevel = 2;
const char* const kParamNames[kParams] = {"Gain", "Mode", "Level"};
const char* const kModeNames[3] = {"Pass", "Invert", "Mute"};

struct FakePlugin {
  AEffect effect{};
  float values[kPrograms][kParams] = {{0.5f, 0.0f, 1.0f}, {0.25f, 1.0f, 1.0f}};
  char programNames[kPrograms][32] = {"First", "Second"};
  int program = 0;
  int blockSize = 1024;
  unsigned char chunk[4 + 4 * kParams * kPrograms] = {};
};

FakePlugin* self(AEffect* effect) { return static_cast<FakePlugin*>(effect->object); }

int modeOf(float value) { return value >= 1.0f ? 2 : int(value * 3.0f); }

void displayOf(const FakePlugin& p, int index, char* text) {
#ifdef FAKE_PLUGIN_BLANK
  text[0] = '\0';
  return;
#endif
  const float v = p.values[p.program][index];
  if (index == kGain) std::snprintf(text, 8, "%.2f", 2.0 * v);
  if (index == kMode) std::snprintf(text, 8, "%s", kModeNames[modeOf(v)]);
  if (index == kLevel) std::snprintf(text, 8, "%.1f", -60.0 + 60.0 * v);
}

VstIntPtr dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float) {
  FakePlugin& p = *self(effect);
  char* text = static_cast<char*>(ptr);
  const bool validParam = index >= 0 && index < kParams;
  switch (opcode) {
    case effClose: delete &p; return 0;
    case effSetProgram:
      if (value >= 0 && value < kPrograms) p.program = int(value);
      return 0;
    case effGetProgram: return p.program;
    case effSetProgramName: std::snprintf(p.programNames[p.program], 32, "%s", text); return 0;
    case effGetProgramName: std::snprintf(text, 24, "%.23s", p.programNames[p.program]); return 0;
    case effGetProgramNameIndexed:
      if (index < 0 || index >= kPrograms) return 0;
      std::snprintf(text, 24, "%.23s", p.programNames[index]);
      return 1;
    case effGetParamName:
      if (validParam) std::snprintf(text, 8, "%s", kParamNames[index]);
      return 0;
    case effGetParamLabel:
      if (validParam)
        std::snprintf(text, 8, "%s", index == kGain ? "x" : index == kLevel ? "dB" : "");
      return 0;
    case effGetParamDisplay:
      if (validParam) displayOf(p, index, text);
      return 0;
    case effString2Parameter: {
      if (index != kLevel || !text) return 0;
      const double db = std::atof(text);
      p.values[p.program][kLevel] = float(std::fmin(1.0, std::fmax(0.0, (db + 60.0) / 60.0)));
      return 1;
    }
    case effSetBlockSize: p.blockSize = int(value); return 0;
    case effGetChunk:
    case effSetChunk: {
      const bool bank = index == 0;
      const char* tag = bank ? "FAKB" : "FAKE";
      float* values = bank ? &p.values[0][0] : p.values[p.program];
      const size_t size = 4 + 4 * size_t(kParams) * (bank ? kPrograms : 1);
      if (opcode == effGetChunk) {
        std::memcpy(p.chunk, tag, 4);
        std::memcpy(p.chunk + 4, values, size - 4);
        *static_cast<void**>(ptr) = p.chunk;
        return VstIntPtr(size);
      }
      if (!ptr || size_t(value) != size || std::memcmp(ptr, tag, 4) != 0) return 0;
      std::memcpy(values, text + 4, size - 4);
      return 1;
    }
    default: return 0;
  }
}

void processReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
  FakePlugin& p = *self(effect);
  const float* v = p.values[p.program];
  const int mode = modeOf(v[kMode]);
  const float factor = float(2.0 * v[kGain] * std::pow(10.0, (-60.0 + 60.0 * v[kLevel]) / 20.0)) *
                       (mode == 0   ? 1.0f
                        : mode == 1 ? -1.0f
                                    : 0.0f);
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < frames; ++i)
      outputs[c][i] = frames > p.blockSize ? NAN : factor * (inputs[c][i] + inputs[c + 2][i]);
}

void setParameter(AEffect* effect, VstInt32 index, float value) {
  if (index >= 0 && index < kParams) self(effect)->values[self(effect)->program][index] = value;
}

float getParameter(AEffect* effect, VstInt32 index) {
  return index >= 0 && index < kParams ? self(effect)->values[self(effect)->program][index] : 0.0f;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(VstHostCallback host) {
  if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  FakePlugin* p = new (std::nothrow) FakePlugin;
  if (!p) return nullptr;
  AEffect& e = p->effect;
  e.magic = kVstEffectMagic;
  e.dispatcher = dispatcher;
  e.setParameter = setParameter;
  e.getParameter = getParameter;
  e.processReplacing = processReplacing;
  e.numPrograms = kPrograms;
  e.numParams = kParams;
  e.numInputs = 4;
  e.numOutputs = 2;
  e.flags = effFlagsCanReplacing | effFlagsProgramChunks;
  e.ioRatio = 1.0f;
  e.object = p;
  e.uniqueID = ('Z' << 24) | ('f' << 16) | ('A' << 8) | 'k';
  e.version = 1;
#ifdef FAKE_PLUGIN_REFUSES
  delete p;  // a plug-in that fails to start
  return nullptr;
#else
  return &e;
#endif
}
