// The band bank alone, one benchmark per kernel and slice length, fed slices of noise in
// "VE-10 Full Bands", so all 40 band-channels run: 44 frames (one control tick at 44.1 kHz,
// nearly every slice of a long host block) and 20 (about the average slice of 32-frame host
// blocks, which cut the ticks). The two give the bank's cost per slice and per frame.
// realtime_factor: seconds of audio per CPU second; compare each kernel with
// BM_BandBank/scalar from the same run.
//
// The bound: per band-channel and frame the bank does 68 double-precision operations
// (each resonator 4 offset additions, 6 multiplies, 5 additions and 4 clamps, twice; the
// follower 6 additions, 4 multiplies and 3 additions and an absolute value; the band gain
// 5; the output 3), 2720 per frame. ops_per_cycle is what the kernel achieves, cycles
// counted with the core clock measured in the same run (CoreClock.h);
// bound_ops_per_cycle is the most this core issues with the kernel's instructions,
// measured too (IssueRate.h): 16 with four-double registers on a core with two add and two
// multiply units, so 170 cycles per frame at best, and twice that with eight-double ones
// where the core issues them whole.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "CoreClock.h"
#include "IssueRate.h"
#include "dsp/BandBank.h"
#include "dsp/PhaseIncrementTable.h"
#include "dsp/Voice.h"
#include "dsp/VoiceMixer.h"

namespace {

constexpr double kRate = 44100.0;
constexpr double kOperationsPerFrame = 68.0 * 2 * kNumBands;

// Marks the benchmark skipped where the processor lacks the kernel's instruction set.
bool skipsKernel(benchmark::State& state, SimdKernel kernel) {
  if (simd::isSupported(kernel)) return false;
  state.SkipWithError("this processor lacks the kernel's instruction set");
  return true;
}

void bandBank(benchmark::State& state, SimdKernel kernel) {
  if (skipsKernel(state, kernel)) return;
  static const double ghz = coreClockGHz();
  static double bound[std::size(simd::kKernels)] = {};
  double& kernelBound = bound[static_cast<int>(kernel)];
  if (kernelBound == 0.0) kernelBound = issueRateOpsPerCycle(kernel, ghz);
  const int kSlice = static_cast<int>(state.range(0));
  BandBank bank;
  bank.prepare(kRate, kSlice, kernel);
  bank.reset();
  std::vector<double> in[6];
  uint32_t seed = 1;
  for (auto& v : in) {
    v.resize(kSlice);
    for (double& x : v) {
      seed = seed * 1664525u + 1013904223u;
      x = 0.5 * (static_cast<double>(seed) / 2147483648.0 - 1.0);
    }
  }
  std::vector<double> out[2] = {std::vector<double>(kSlice), std::vector<double>(kSlice)};
  const double* modulator[2] = {in[0].data(), in[1].data()};
  const double* carrier[2] = {in[2].data(), in[3].data()};
  const double* noise[2] = {in[4].data(), in[5].data()};
  double* outputs[2] = {out[0].data(), out[1].data()};
  BandBank::Settings settings;
  settings.fullBands = true;
  for (auto _ : state) {
    benchmark::DoNotOptimize(bank.process(modulator, carrier, noise, outputs, kSlice, settings));
    benchmark::ClobberMemory();
  }
  const double frames = static_cast<double>(state.iterations()) * kSlice;
  state.counters["realtime_factor"] =
      benchmark::Counter(frames / kRate, benchmark::Counter::kIsRate);
  // Cycles per frame and operations per cycle need the CPU time: rates invert it.
  state.counters["frames_per_cycle"] =
      benchmark::Counter(frames / (ghz * 1e9), benchmark::Counter::kIsRate);
  state.counters["ops_per_cycle"] =
      benchmark::Counter(frames * kOperationsPerFrame / (ghz * 1e9), benchmark::Counter::kIsRate);
  state.counters["bound_ops_per_cycle"] = kernelBound;
  state.counters["GHz"] = ghz;
}

// The keyboard voices alone: 64 held notes (MIDI 30 to 93, the engine case's chord),
// after their attack, planned in slices of 44 frames (a control tick at 44.1 kHz) and
// mixed by one kernel after every slice (1) or every 12 (a host block of 512 frames).
void voiceMixer(benchmark::State& state, SimdKernel kernel) {
  if (skipsKernel(state, kernel)) return;
  constexpr int kSlice = 44;
  const int slices = static_cast<int>(state.range(0));
  PhaseIncrementTable phases;
  phases.build(kRate);
  std::vector<Voice> voices(64);
  std::vector<Voice*> order;
  for (int k = 0; k < 64; ++k) {
    voices[k].setSampleRate(phases);
    voices[k].setNoteOn(30 + k, 127, static_cast<uint32_t>(k), nullptr);
    voices[k].update(0.0);
    order.push_back(&voices[k]);
  }
  VoiceMixer mixer;
  mixer.prepare(64, kSlice * slices, slices, kernel);
  std::vector<double> out(static_cast<size_t>(kSlice * slices));
  auto mixRun = [&] {
    for (int s = 0; s < slices; ++s) mixer.plan(order.data(), 64, kSlice);
    mixer.mix(out.data());
  };
  for (int i = 0; i < static_cast<int>(kRate) / kSlice / slices; ++i) mixRun();
  for (auto _ : state) {
    mixRun();
    benchmark::ClobberMemory();
  }
  const double frames = static_cast<double>(state.iterations()) * kSlice * slices;
  state.counters["realtime_factor"] =
      benchmark::Counter(frames / kRate, benchmark::Counter::kIsRate);
  state.counters["voice_frames_per_cycle"] =
      benchmark::Counter(frames * 64 / (coreClockGHz() * 1e9), benchmark::Counter::kIsRate);
}

const bool registered = [] {
  for (SimdKernel kernel : simd::kKernels) {
    const std::string name = simd::name(kernel);
    benchmark::RegisterBenchmark(("BM_BandBank/" + name).c_str(), bandBank, kernel)
        ->Arg(44)
        ->Arg(20);
    benchmark::RegisterBenchmark(("BM_VoiceMixer/" + name).c_str(), voiceMixer, kernel)
        ->Arg(1)
        ->Arg(12);
  }
  return true;
}();

}  // namespace
