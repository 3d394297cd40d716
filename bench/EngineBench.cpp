// Whole-engine throughput, each case once per kernel (chosen through ZORQ_SIMD at reset,
// as tests and users can). realtime_factor: seconds of audio rendered per CPU second on
// one core; compare each kernel with the scalar one from the same run.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "EngineCases.h"

namespace {

using namespace bench;

// Processes blocks of noise at the given amplitude on all four inputs; reports the
// real-time factor.
void measureBlocks(benchmark::State& state, ZORQ& plug, double amplitude, int block) {
  Blocks blocks(block, amplitude);
  for (auto _ : state) {
    plug.ProcessDoubleReplacing(blocks.inputs, blocks.outputs, block);
    benchmark::DoNotOptimize(blocks.outputs[0]);
  }
  state.counters["realtime_factor"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * block / plug.GetSampleRate(),
                         benchmark::Counter::kIsRate);
}

void engine(benchmark::State& state, const EngineCase& c, SimdKernel kernel) {
  ZORQ plug;
  if (startCase(state, plug, c, kernel)) measureBlocks(state, plug, c.amplitude, c.block);
}

const bool registered = [] {
  for (const EngineCase& c : kEngineCases)
    for (SimdKernel kernel : simd::kKernels)
      benchmark::RegisterBenchmark(
          (std::string("BM_Engine/") + c.name + "/" + simd::name(kernel)).c_str(), engine, c,
          kernel);
  return true;
}();

// Full bands, eight voices and the ensemble: ordinary signal, and silence after a second
// at full scale with the notes held (the vocoder is silent but the carrier is not, so
// the engine keeps computing: its filters must never reach the slow subnormal range).
// BM_Engine/SilenceAfterBurst releases the notes: the engine sleeps.
void BM_SignalBlock(benchmark::State& state) {
  ZORQ plug;
  activate(plug, kRate, simd::best());
  fullBandsChord(plug);
  measureBlocks(state, plug, 0.5, kBlock);
}
BENCHMARK(BM_SignalBlock);

void BM_SilentVoiceHeldChord(benchmark::State& state) {
  ZORQ plug;
  activate(plug, kRate, simd::best());
  burstThenSilence(plug, false);
  measureBlocks(state, plug, 0.0, kBlock);
}
BENCHMARK(BM_SilentVoiceHeldChord);

}  // namespace
