#pragma once

// Builds WAV files byte by byte for tests, and temporary folders to hold them.

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace wavtest {

using Bytes = std::vector<uint8_t>;

// Appends the low `bytes` bytes of v, little-endian.
inline void put(Bytes& b, uint64_t v, int bytes = 4) {
  for (int k = 0; k < bytes; ++k) b.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

// A WAV file, fmt then data: interleaved samples in [-1, 1] as tag 1 (16 bits) or 3
// (32-bit float). A data chunk declaring `declaredDataBytes` (when not 0) holds only
// the samples given.
inline Bytes wav(uint32_t tag, uint32_t bits, uint32_t channels, uint32_t rate,
                 const std::vector<double>& samples, uint32_t declaredDataBytes = 0) {
  Bytes data;
  for (double s : samples) {
    const float f = static_cast<float>(s);
    uint32_t u;
    std::memcpy(&u, &f, 4);
    put(data, tag == 3 ? u : static_cast<uint64_t>(std::llround(std::fmin(s * 32768, 32767))),
        bits / 8);
  }
  Bytes b{'R', 'I', 'F', 'F'};
  put(b, 4 + 8 + 16 + 8 + data.size());
  for (const char* text : {"WAVE", "fmt "}) b.insert(b.end(), text, text + 4);
  put(b, 16);
  put(b, tag, 2);
  put(b, channels, 2);
  put(b, rate);
  put(b, rate * channels * bits / 8);
  put(b, channels * bits / 8, 2);
  put(b, bits, 2);
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  put(b, declaredDataBytes ? declaredDataBytes : data.size());
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

inline Bytes floatWav(uint32_t channels, uint32_t rate, const std::vector<double>& samples) {
  return wav(3, 32, channels, rate, samples);
}

inline std::vector<double> sine(size_t frames, double hz, double rate, double amplitude = 0.5) {
  std::vector<double> s(frames);
  for (size_t i = 0; i < frames; ++i) s[i] = amplitude * std::sin(2 * M_PI * hz * i / rate);
  return s;
}

// Zero crossings (sign changes) per second over a run of samples.
inline double crossingRate(const double* s, size_t n, double rate) {
  size_t crossings = 0;
  for (size_t i = 1; i < n; ++i)
    if ((s[i - 1] < 0) != (s[i] < 0)) ++crossings;
  return crossings * rate / n / 2.0;
}

inline double rms(const double* s, size_t n) {
  double sum = 0;
  for (size_t i = 0; i < n; ++i) sum += s[i] * s[i];
  return n ? std::sqrt(sum / n) : 0.0;
}

// A temporary folder that also writes files, creating their subfolders.
class TempDir : public TempFolder {
 public:
  std::string write(const std::string& name, const Bytes& bytes) const {
    const std::string full = *this / name;
    std::filesystem::create_directories(std::filesystem::u8path(full).parent_path());
    writeBytes(full, bytes);
    return full;
  }
};

}  // namespace wavtest
