// Whole-engine throughput, each case once per band-bank kernel (chosen through
// ZORQ_SIMD at reset, as tests and users can). realtime_factor: seconds of audio
// rendered per CPU second on one core; compare each kernel with the scalar one.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "dsp/BandBank.h"
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

// What a host does before the first block; the kernel is read at reset.
void activate(ZORQ& plug, double rate = kRate, const char* kernel = nullptr) {
  if (kernel) setenv("ZORQ_SIMD", kernel, 1);
  plug.SetSampleRate(rate);
  plug.Reset();
  plug.OnActivate(true);
  unsetenv("ZORQ_SIMD");
}

void holdNotes(ZORQ& plug, std::initializer_list<int> notes) {
  for (int note : notes) {
    IMidiMsg msg(0, 0x90, static_cast<uint8_t>(note), 100);
    plug.ProcessMidiMsg(&msg);
  }
}

// Processes noise blocks of the given amplitude on all four inputs; reports the
// real-time factor.
void measureBlocks(benchmark::State& state, ZORQ& plug, double amplitude = 1.0,
                   int block = kBlock) {
  std::vector<double> in[4] = {noise(block, 1), noise(block, 2), noise(block, 3), noise(block, 4)};
  for (auto& channel : in)
    for (double& v : channel) v *= amplitude;
  std::vector<double> out[2] = {std::vector<double>(block), std::vector<double>(block)};
  double* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  double* outs[2] = {out[0].data(), out[1].data()};
  for (auto _ : state) {
    plug.ProcessDoubleReplacing(ins, outs, block);
    benchmark::DoNotOptimize(out[0].data());
  }
  state.counters["realtime_factor"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * block / plug.GetSampleRate(),
                         benchmark::Counter::kIsRate);
}

struct EngineCase {
  const char* name;
  double rate;
  int block;
  void (*setup)(ZORQ&);
};

// "VE-10 Full Bands", the noise inputs as modulator and external carrier.
void fullBands(ZORQ& plug) {
  setParam(plug, kVocoderMode, 1);
  setParam(plug, kKeyboard, 0);
}

// Eight held voices with noise and the ensemble, "VE-10 Standard", "In Balance" 0.3.
void eightVoices(ZORQ& plug) {
  setParam(plug, kVocoderMode, 0);
  setParam(plug, kInBalance, 0.3);
  setParam(plug, kEnsemble, 1);
  holdNotes(plug, {36, 43, 48, 52, 55, 60, 64, 67});
}

// Every voice held (the default program).
void sixtyFourVoices(ZORQ& plug) {
  for (int note = 30; note < 94; ++note) holdNotes(plug, {note});
}

const EngineCase kEngineCases[] = {
    {"FullBands", kRate, kBlock, fullBands},
    {"EightVoicesStandardEnsemble", kRate, kBlock, eightVoices},
    {"SixtyFourVoices", kRate, kBlock, sixtyFourVoices},
    {"FullBands48k", 48000.0, kBlock, fullBands},
    {"FullBands96k", 96000.0, kBlock, fullBands},
    {"FullBandsBlock32", kRate, 32, fullBands},
    {"FullBandsBlock1024", kRate, 1024, fullBands},
};

void engine(benchmark::State& state, const EngineCase& c, BandBank::Kernel kernel) {
  if (!BandBank::isSupported(kernel)) {
    state.SkipWithError("this processor lacks the kernel's instruction set");
    return;
  }
  ZORQ plug;
  activate(plug, c.rate, BandBank::name(kernel));
  c.setup(plug);
  measureBlocks(state, plug, 1.0, c.block);
}

const bool registered = [] {
  for (const EngineCase& c : kEngineCases)
    for (BandBank::Kernel kernel : BandBank::kKernels)
      benchmark::RegisterBenchmark(
          (std::string("BM_Engine/") + c.name + "/" + BandBank::name(kernel)).c_str(), engine, c,
          kernel);
  return true;
}();

// Silence after a loud burst against ordinary signal, both with full bands, eight
// held voices and the ensemble. The decaying filter histories, envelopes and
// delay lines must never reach the slow subnormal range: the silent block may cost
// at most 1.5 x the ordinary one.
void prepareDecayCase(ZORQ& plug) {
  activate(plug);
  setParam(plug, kVocoderMode, 1);
  setParam(plug, kEnsemble, 1);
  holdNotes(plug, {36, 43, 48, 52, 55, 60, 64, 67});
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
  for (int b = 0; b < static_cast<int>(kRate) / kBlock; ++b)
    plug.ProcessDoubleReplacing(loudIns, outs, kBlock);
  for (int b = 0; b < 30 * static_cast<int>(kRate) / kBlock; ++b)
    plug.ProcessDoubleReplacing(quietIns, outs, kBlock);
  measureBlocks(state, plug, 0.0);
}
BENCHMARK(BM_SilenceAfterLoudBurst);
}  // namespace
