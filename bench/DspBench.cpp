// The band bank alone, one benchmark per kernel, fed 44-frame slices (one control
// tick at 44.1 kHz) of noise in "VE-10 Full Bands", so all 40 band-channels run.
// realtime_factor: seconds of audio per CPU second; compare each kernel with
// BM_BandBank/scalar from the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dsp/BandBank.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kSlice = 44;

void bandBank(benchmark::State& state, BandBank::Kernel kernel) {
  if (!BandBank::isSupported(kernel)) {
    state.SkipWithError("this processor lacks the kernel's instruction set");
    return;
  }
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
  state.counters["realtime_factor"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kSlice / kRate, benchmark::Counter::kIsRate);
}

const bool registered = [] {
  for (BandBank::Kernel kernel : BandBank::kKernels)
    benchmark::RegisterBenchmark((std::string("BM_BandBank/") + BandBank::name(kernel)).c_str(),
                                 bandBank, kernel);
  return true;
}();

}  // namespace
