#pragma once

// White noise for the noise carrier: a multiplicative congruential generator
// (seed x 16807, 32-bit wrap-around) scaled to -1..1. One state per process.

// Audio thread of any instance.
double getNoise() noexcept;
// The next n values of getNoise, in order.
void fillNoise(double* out, int n) noexcept;
// Tests: restarts the sequence from the initial seed 1.
void resetNoiseSeed();
