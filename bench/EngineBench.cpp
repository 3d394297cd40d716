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
  if (startCase(state, plug, c, kernel)) measureBlocks(state, plug, 1.0, c.block);
}

const bool registered = [] {
  for (const EngineCase& c : kEngineCases)
    for (SimdKernel kernel : simd::kKernels)
      benchmark::RegisterBenchmark(
          (std::string("BM_Engine/") + c.name + "/" + simd::name(kernel)).c_str(), engine, c,
          kernel);
  return true;
}();

// Full bands, eight voices and the ensemble: ordinary signal, then silence after a
// second at full scale. SilentVoiceHeldChord keeps the notes held (the vocoder is silent
// but the carrier is not: the engine keeps computing); SilenceAfterLoudBurst releases
// them, and after 30 s the engine is asleep. Neither may reach the slow subnormal range.
void prepareDecayCase(ZORQ& plug) {
  activate(plug, kRate, simd::best());
  setParam(plug, kVocoderMode, 1);
  setParam(plug, kEnsemble, 1);
  holdNotes(plug, {36, 43, 48, 52, 55, 60, 64, 67});
}

void BM_SignalBlock(benchmark::State& state) {
  ZORQ plug;
  prepareDecayCase(plug);
  measureBlocks(state, plug, 0.5, kBlock);
}
BENCHMARK(BM_SignalBlock);

void silenceAfterBurst(benchmark::State& state, bool releaseNotesAfterBurst) {
  ZORQ plug;
  prepareDecayCase(plug);
  Blocks loud(kBlock, 2.0), quiet(kBlock, 0.0);
  for (int b = 0; b < static_cast<int>(kRate) / kBlock; ++b)
    plug.ProcessDoubleReplacing(loud.inputs, loud.outputs, kBlock);
  if (releaseNotesAfterBurst) releaseNotes(plug, {36, 43, 48, 52, 55, 60, 64, 67});
  for (int b = 0; b < 30 * static_cast<int>(kRate) / kBlock; ++b)
    plug.ProcessDoubleReplacing(quiet.inputs, quiet.outputs, kBlock);
  measureBlocks(state, plug, 0.0, kBlock);
}

void BM_SilentVoiceHeldChord(benchmark::State& state) { silenceAfterBurst(state, false); }
BENCHMARK(BM_SilentVoiceHeldChord);

void BM_SilenceAfterLoudBurst(benchmark::State& state) { silenceAfterBurst(state, true); }
BENCHMARK(BM_SilenceAfterLoudBurst);

}  // namespace
