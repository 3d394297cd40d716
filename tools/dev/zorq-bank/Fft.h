#pragma once

#include <complex>
#include <vector>

// Power spectrum of a real frame by an iterative radix-2 FFT; no allocation per call
// beyond the first. Single-threaded per object.
class Fft {
 public:
  // length: a power of two, at least 2.
  explicit Fft(int length);
  int length() const { return length_; }
  // |X[k]|^2 for k = 0 .. length / 2 of the `length` samples at `frame`.
  void powerSpectrum(const double* frame, std::vector<double>& power);

 private:
  int length_;
  std::vector<int> reversed_;
  std::vector<std::complex<double>> twiddles_;
  std::vector<std::complex<double>> work_;
};
