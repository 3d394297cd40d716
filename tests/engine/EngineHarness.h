#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/ZORQ.h"
#include "formats/vst2/IPlugVST.h"
#include "framework/IMidiMsg.h"
#include "sampler/WavTestFile.h"

// Drives a ZORQ the way a host does: set the rate, reset, activate, then process
// blocks of four inputs and two outputs. Output buffers carry guard words after
// the frames so overruns show.
class EngineHarness {
 public:
  static constexpr double kGuard = 12345.678;
  static constexpr int kGuardWords = 8;

  explicit EngineHarness(double sampleRate = 44100.0)
      : plug(std::make_unique<ZORQ>()),
        vst(std::make_unique<IPlugVST>(plug.get(), nullptr, false)) {
    plug->SetSampleRate(sampleRate);
    plug->Reset();
    plug->OnActivate(true);
  }

  void setParam(int index, double plain) {
    plug->GetParam(index)->Set(plain);
    plug->OnParamChange(index);
  }

  // One MIDI message, as the host's event call delivers it.
  void midi(uint8_t status, int data1, int data2 = 0, int offset = 0) {
    IMidiMsg msg(offset, status, static_cast<uint8_t>(data1), static_cast<uint8_t>(data2));
    plug->ProcessMidiMsg(&msg);
  }

  // Processes nFrames with the given input signals (empty vector = silence), read
  // from their frame `from` on, and repeated where they end.
  void process(int nFrames, const std::vector<std::vector<double>>& inputs = {}, int from = 0) {
    for (int c = 0; c < 4; ++c) {
      in[c].assign(static_cast<size_t>(nFrames), 0.0);
      if (c < static_cast<int>(inputs.size()) && !inputs[c].empty())
        for (int i = 0; i < nFrames; ++i)
          in[c][i] = inputs[c][static_cast<size_t>(from + i) % inputs[c].size()];
      inPtr[c] = in[c].data();
    }
    for (int c = 0; c < 2; ++c) {
      out[c].assign(static_cast<size_t>(nFrames) + kGuardWords, kGuard);
      outPtr[c] = out[c].data();
    }
    plug->ProcessDoubleReplacing(inPtr, outPtr, nFrames);
  }

  bool guardsIntact(int nFrames) const {
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < kGuardWords; ++i)
        if (out[c][static_cast<size_t>(nFrames) + size_t(i)] != kGuard) return false;
    return true;
  }

  double rms(int channel, int from, int to) const {
    if (to <= from) return 0.0;
    return wavtest::rms(out[channel].data() + from, static_cast<size_t>(to - from));
  }

  std::unique_ptr<ZORQ> plug;
  std::unique_ptr<IPlugVST> vst;  // the VST 2 adapter around it, for tests that drive its AEffect
  std::vector<double> in[4];
  std::vector<double> out[2];
  double* inPtr[4] = {};
  double* outPtr[2] = {};
};

// Deterministic white noise in -1..1.
inline std::vector<double> whiteNoise(int n, uint32_t seed = 1) {
  std::vector<double> s(static_cast<size_t>(n));
  for (auto& v : s) {
    seed = seed * 1664525u + 1013904223u;
    v = static_cast<double>(seed) / 2147483648.0 - 1.0;
  }
  return s;
}
