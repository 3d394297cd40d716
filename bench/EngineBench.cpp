// Block-loop throughput. The real-time factor counter is seconds of audio
// rendered per CPU second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "engine/ZORQ.h"

namespace {
constexpr double kRate = 44100.0;
constexpr int kBlock = 512;

std::vector<double> noise(int n, uint32_t seed) {
  std::vector<double> s(static_cast<size_t>(n));
  for (auto& v : s) {
    seed = seed * 1664525u + 1013904223u;
    v = 0.5 * (static_cast<double>(seed) / 2147483648.0 - 1.0);
  }
  return s;
}

void setParam(ZORQ& plug, int index, double value) {
  plug.GetParam(index)->Set(value);
  plug.OnParamChange(index);
}

void BM_FullBandsNoiseModulatorExternalCarrier(benchmark::State& state) {
  ZORQ plug;
  plug.SetSampleRate(kRate);
  plug.Reset();
  plug.OnActivate(true);
  setParam(plug, kVocoderMode, 1);
  setParam(plug, kKeyboard, 0);

  std::vector<double> in[4] = {noise(kBlock, 1), noise(kBlock, 2), noise(kBlock, 3), noise(kBlock, 4)};
  std::vector<double> out[2] = {std::vector<double>(kBlock), std::vector<double>(kBlock)};
  double* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  double* outs[2] = {out[0].data(), out[1].data()};
  for (auto _ : state) {
    plug.ProcessDoubleReplacing(ins, outs, kBlock);
    benchmark::DoNotOptimize(out[0].data());
  }
  state.counters["realtime_factor"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kBlock / kRate,
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullBandsNoiseModulatorExternalCarrier);
}  // namespace
