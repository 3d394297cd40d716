#include "zorq-bank/Fft.h"

#include <cmath>

Fft::Fft(int length) : length_(length), reversed_(length), twiddles_(length / 2), work_(length) {
  int bits = 0;
  while ((1 << bits) < length) ++bits;
  for (int i = 0; i < length; ++i) {
    int r = 0;
    for (int b = 0; b < bits; ++b) r |= ((i >> b) & 1) << (bits - 1 - b);
    reversed_[i] = r;
  }
  for (int k = 0; k < length / 2; ++k) twiddles_[k] = std::polar(1.0, -2.0 * M_PI * k / length);
}

void Fft::powerSpectrum(const double* frame, std::vector<double>& power) {
  for (int i = 0; i < length_; ++i) work_[reversed_[i]] = frame[i];
  for (int size = 2; size <= length_; size *= 2) {
    const int half = size / 2, stride = length_ / size;
    for (int start = 0; start < length_; start += size)
      for (int k = 0; k < half; ++k) {
        const std::complex<double> odd = work_[start + k + half] * twiddles_[k * stride];
        work_[start + k + half] = work_[start + k] - odd;
        work_[start + k] += odd;
      }
  }
  power.resize(length_ / 2 + 1);
  for (int k = 0; k <= length_ / 2; ++k) power[k] = std::norm(work_[k]);
}
