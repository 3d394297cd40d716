#pragma once

// The engine cases the engine benchmark and the stage table share: what a host does
// before the first block, and each case's settings and notes.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "dsp/SimdKernel.h"
#include "engine/ZORQ.h"

namespace bench {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;

// Deterministic noise in -0.5 .. 0.5.
std::vector<double> noise(int n, uint32_t seed);
void setParam(ZORQ& plug, int index, double value);
// Rate, reset, activation; the kernel is read at reset (through ZORQ_SIMD).
void activate(ZORQ& plug, double rate, SimdKernel kernel);
void holdNotes(ZORQ& plug, std::initializer_list<int> notes);
void releaseNotes(ZORQ& plug, std::initializer_list<int> notes);

struct EngineCase {
  const char* name;
  double rate;
  int block;
  void (*setup)(ZORQ&);
  double amplitude = 1.0;  // of the noise on the four inputs
};
extern const EngineCase kEngineCases[8];

// Full bands, eight held voices and the ensemble (the decay cases).
void fullBandsChord(ZORQ& plug);
// A second of full-scale noise through fullBandsChord, then silence: with the notes
// released the engine falls asleep.
void burstThenSilence(ZORQ& plug, bool releaseNotes);

// Activates the engine for the case with the kernel and applies its settings; false (and
// the benchmark skipped) when this processor lacks the kernel's instruction set.
bool startCase(benchmark::State& state, ZORQ& plug, const EngineCase& c, SimdKernel kernel);

// Four noise inputs of one block at the given amplitude, and two outputs.
struct Blocks {
  Blocks(int frames, double amplitude);
  std::vector<double> in[4], out[2];
  double* inputs[4];
  double* outputs[2];
};

}  // namespace bench
