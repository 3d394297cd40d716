#pragma once

// Builds WAV files byte by byte for tests, and temporary folders to hold them.

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace wavtest {

using Bytes = std::vector<uint8_t>;

inline void putU16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

inline void putU32(Bytes& b, uint32_t v) {
  putU16(b, v & 0xFFFF);
  putU16(b, v >> 16);
}

// One chunk; odd bodies get the pad byte.
inline Bytes chunk(const char* id, const Bytes& body) {
  Bytes b(id, id + 4);
  putU32(b, static_cast<uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  if (body.size() % 2) b.push_back(0);
  return b;
}

// A data chunk header that declares `size` bytes, followed by `body`.
inline Bytes dataChunkDeclaring(uint32_t size, const Bytes& body) {
  Bytes b{'d', 'a', 't', 'a'};
  putU32(b, size);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

inline Bytes fmtBody(uint32_t tag, uint32_t channels, uint32_t rate, uint32_t bits) {
  Bytes b;
  putU16(b, tag);
  putU16(b, channels);
  putU32(b, rate);
  putU32(b, rate * channels * bits / 8);
  putU16(b, channels * bits / 8);
  putU16(b, bits);
  return b;
}

inline Bytes riff(std::initializer_list<Bytes> chunks) {
  Bytes body{'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  Bytes b{'R', 'I', 'F', 'F'};
  putU32(b, static_cast<uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

// Encodes interleaved samples in [-1, 1] as tag 1 (16/24/32 bits) or 3 (32 bits).
inline Bytes encode(uint32_t tag, uint32_t bits, const std::vector<double>& samples) {
  Bytes b;
  for (double s : samples) {
    if (tag == 3) {
      const float f = static_cast<float>(s);
      uint32_t u;
      std::memcpy(&u, &f, 4);
      putU32(b, u);
    } else {
      const double full = std::ldexp(1.0, static_cast<int>(bits) - 1);
      const int64_t v = std::llround(std::fmin(s * full, full - 1));
      for (uint32_t k = 0; k < bits / 8; ++k) b.push_back(static_cast<uint8_t>(v >> (8 * k)));
    }
  }
  return b;
}

// A plain WAV file: fmt then data.
inline Bytes wav(uint32_t tag, uint32_t bits, uint32_t channels, uint32_t rate,
                 const std::vector<double>& samples) {
  return riff({chunk("fmt ", fmtBody(tag, channels, rate, bits)),
               chunk("data", encode(tag, bits, samples))});
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
