#pragma once

// The two channels' ensembles as the stereo kernels read them, and the kernels: each
// runs the left and right channel side by side, frame by frame, with the operations of
// Ensemble::process in the same order per channel, so the output is the same bit for
// bit. Included by translation units built for wider instruction sets: plain data and
// declarations only, no inline functions.

struct EnsembleLane {
  // The 7 kHz input filter: coefficients, history, alternating offset (Filter.h).
  double a1, a2, b0, b1;
  double x1, x2, y1, y2, offset;
  double* line;  // `length` samples of the filtered input
  int length;
  int writePosition;
  double delay[2], delayStep[2];  // taps A and B, in samples
};

void runEnsemblesSse2(EnsembleLane (&lanes)[2], double* const out[2], int n) noexcept;
void runEnsemblesAvx2(EnsembleLane (&lanes)[2], double* const out[2], int n) noexcept;
void runEnsemblesAvx512(EnsembleLane (&lanes)[2], double* const out[2], int n) noexcept;
