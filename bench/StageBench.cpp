// The stage table: for every engine case and SIMD kernel, the share of the block loop's
// time in each stage, in percent, as counters of one benchmark row. The block loop runs
// with a clock (ZORQ::processBlock) that reads the time-stamp counter as each stage ends;
// the clock itself adds about two percent, spread over the stages. The band bank runs
// its analysis and synthesis sides fused, so its share is split between "analysis"
// (resonators, followers, band gains) and "synthesis" (resonators, output sum) in
// proportion to what the two sides take alone (bench/BandBankParts.h).
#include <benchmark/benchmark.h>
#include <x86intrin.h>

#include <map>
#include <string>
#include <utility>

#include "BandBankParts.h"
#include "EngineCases.h"
#include "engine/ZorqBlockLoop.h"

namespace {

using namespace bench;

struct StageClock {
  uint64_t last = __rdtsc();
  uint64_t ticks[static_cast<int>(EngineStage::kCount)] = {};
  void mark(EngineStage stage) {
    const uint64_t now = __rdtsc();
    ticks[static_cast<int>(stage)] += now - last;
    last = now;
  }
};

// The analysis side's part of the band bank's time, per kernel and slice length.
double analysisShare(SimdKernel kernel, double rate, int slice) {
  static std::map<std::pair<int, int>, double> known;
  const auto key = std::make_pair(static_cast<int>(kernel), slice);
  if (known.count(key) == 0) {
    const BandBankPartTimes t = timeBandBankParts(kernel, rate, slice);
    known[key] = t.analysis / (t.analysis + t.synthesis);
  }
  return known[key];
}

void stages(benchmark::State& state, const EngineCase& c, SimdKernel kernel) {
  ZORQ plug;
  if (!startCase(state, plug, c, kernel)) return;
  Blocks blocks(c.block, c.amplitude);
  StageClock clock;
  for (auto _ : state) {
    clock.last = __rdtsc();
    plug.processBlock(blocks.inputs, blocks.outputs, c.block, clock);
  }
  double total = 0.0;
  for (uint64_t t : clock.ticks) total += static_cast<double>(t);
  auto percent = [&](EngineStage s) {
    return benchmark::Counter(100.0 * static_cast<double>(clock.ticks[static_cast<int>(s)]) /
                              total);
  };
  const double bank = 100.0 * static_cast<double>(clock.ticks[int(EngineStage::kBandBank)]) / total;
  const double analysis = analysisShare(kernel, c.rate, static_cast<int>(plug.subBlockLength()));
  state.counters["analysis"] = bank * analysis;
  state.counters["synthesis"] = bank * (1.0 - analysis);
  state.counters["voices"] = percent(EngineStage::kVoices);
  state.counters["noise"] = percent(EngineStage::kNoise);
  state.counters["ensemble"] = percent(EngineStage::kEnsemble);
  state.counters["tick"] = percent(EngineStage::kControlTick);
  state.counters["output"] = percent(EngineStage::kOutput);
  state.counters["inputs"] =
      benchmark::Counter(100.0 *
                         static_cast<double>(clock.ticks[int(EngineStage::kModulator)] +
                                             clock.ticks[int(EngineStage::kExternal)] +
                                             clock.ticks[int(EngineStage::kMeter)]) /
                         total);
  state.counters["block"] = percent(EngineStage::kBlock);
  state.counters["asleep"] = percent(EngineStage::kAsleep);
}

const bool registered = [] {
  for (const EngineCase& c : kEngineCases)
    for (SimdKernel kernel : {SimdKernel::kSse2, SimdKernel::kAvx2, SimdKernel::kAvx512})
      benchmark::RegisterBenchmark(
          (std::string("BM_Stages/") + c.name + "/" + simd::name(kernel)).c_str(), stages, c,
          kernel);
  return true;
}();

}  // namespace
