// Block-loop throughput. The real-time factor counter is seconds of audio
// rendered per CPU second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "engine/ZORQ.h"
#include "framework/IMidiMsg.h"

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

// What a host does before the first block.
void activate(ZORQ& plug) {
  plug.SetSampleRate(kRate);
  plug.Reset();
  plug.OnActivate(true);
}

// Processes noise blocks of the given amplitude on all four inputs; reports the
// real-time factor.
void measureBlocks(benchmark::State& state, ZORQ& plug, double amplitude = 1.0) {
  std::vector<double> in[4] = {noise(kBlock, 1), noise(kBlock, 2), noise(kBlock, 3), noise(kBlock, 4)};
  for (auto& channel : in)
    for (double& v : channel) v *= amplitude;
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

void BM_FullBandsNoiseModulatorExternalCarrier(benchmark::State& state) {
  ZORQ plug;
  activate(plug);
  setParam(plug, kVocoderMode, 1);
  setParam(plug, kKeyboard, 0);

  measureBlocks(state, plug);
}
BENCHMARK(BM_FullBandsNoiseModulatorExternalCarrier);

// Keyboard carrier at work: eight held voices with noise and the ensemble,
// "VE-10 Standard", "In Balance" 0.3.
void BM_EightVoicesStandardEnsemble(benchmark::State& state) {
  ZORQ plug;
  activate(plug);
  setParam(plug, kVocoderMode, 0);
  setParam(plug, kInBalance, 0.3);
  setParam(plug, kEnsemble, 1);
  for (int note : {36, 43, 48, 52, 55, 60, 64, 67}) {
    IMidiMsg msg(0, 0x90, static_cast<uint8_t>(note), 100);
    plug.ProcessMidiMsg(&msg);
  }

  measureBlocks(state, plug);
}
BENCHMARK(BM_EightVoicesStandardEnsemble);

// Silence after a loud burst against ordinary signal, both with full bands, eight
// held voices and the ensemble. The decaying filter histories, envelopes and
// delay lines must never reach the slow subnormal range: the silent block may cost
// at most 1.5 x the ordinary one.
void prepareDecayCase(ZORQ& plug) {
  activate(plug);
  setParam(plug, kVocoderMode, 1);
  setParam(plug, kEnsemble, 1);
  for (int note : {36, 43, 48, 52, 55, 60, 64, 67}) {
    IMidiMsg msg(0, 0x90, static_cast<uint8_t>(note), 100);
    plug.ProcessMidiMsg(&msg);
  }
}

void BM_SignalBlock(benchmark::State& state) {
  ZORQ plug;
  prepareDecayCase(plug);
  measureBlocks(state, plug, 0.5);
}
BENCHMARK(BM_SignalBlock);

void BM_SilenceAfterLoudBurst(benchmark::State& state) {
  ZORQ plug;
  prepareDecayCase(plug);
  // One second at full scale, then 30 s of silence, before the silent blocks are timed.
  std::vector<double> loud = noise(kBlock, 5), quiet(kBlock, 0.0);
  for (double& v : loud) v *= 2.0;
  std::vector<double> out[2] = {std::vector<double>(kBlock), std::vector<double>(kBlock)};
  double* outs[2] = {out[0].data(), out[1].data()};
  double* loudIns[4] = {loud.data(), loud.data(), loud.data(), loud.data()};
  double* quietIns[4] = {quiet.data(), quiet.data(), quiet.data(), quiet.data()};
  for (int b = 0; b < static_cast<int>(kRate) / kBlock; ++b) plug.ProcessDoubleReplacing(loudIns, outs, kBlock);
  for (int b = 0; b < 30 * static_cast<int>(kRate) / kBlock; ++b)
    plug.ProcessDoubleReplacing(quietIns, outs, kBlock);
  measureBlocks(state, plug, 0.0);
}
BENCHMARK(BM_SilenceAfterLoudBurst);
}  // namespace
