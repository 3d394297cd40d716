#include "sampler/SampleData.h"

#include <algorithm>
#include <cassert>
#include <new>

#include "sampler/WaveReader.h"

namespace {
constexpr unsigned kChunkFrames = 16384;
}

std::unique_ptr<SampleData> SampleData::load(const char* path) noexcept {
  try {
    WaveReader reader;
    if (!reader.Open(path)) return nullptr;
    std::unique_ptr<SampleData> data(new SampleData);
    data->length_ = reader.length();
    data->channelCount_ = reader.channelCount();
    data->sampleRate_ = reader.sampleRate();
    const int arrays = data->isStereo() ? 2 : 1;
    std::vector<double> chunk[2] = {std::vector<double>(kChunkFrames),
                                    std::vector<double>(kChunkFrames)};
    double* to[2] = {chunk[0].data(), chunk[1].data()};
    for (;;) {
      const unsigned got = reader.ReadDoublesNI(to, 0, kChunkFrames, arrays);
      if (got > 0 && !data->append(to, got)) return nullptr;
      if (got < kChunkFrames) break;
    }
    return data;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

bool SampleData::append(const double* const* chunk, unsigned frames) {
  const int channels = isStereo() ? 2 : 1;
  if (frames > UINT32_MAX - frames_) return false;
  if (!wide_) {
    bool exact = true;
    for (int c = 0; c < channels && exact; ++c)
      for (unsigned i = 0; i < frames && exact; ++i)
        exact = static_cast<double>(static_cast<float>(chunk[c][i])) == chunk[c][i];
    if (!exact) {
      // From here on in doubles; the floats so far widen exactly.
      for (int c = 0; c < channels; ++c) {
        doubles_[c].assign(floats_[c].begin(), floats_[c].end());
        std::vector<float>().swap(floats_[c]);
      }
      wide_ = true;
    }
  }
  for (int c = 0; c < channels; ++c) {
    if (wide_)
      doubles_[c].insert(doubles_[c].end(), chunk[c], chunk[c] + frames);
    else
      floats_[c].insert(floats_[c].end(), chunk[c], chunk[c] + frames);
  }
  frames_ += frames;
  return true;
}

template <typename T>
void SampleData::copy(const std::vector<T>& from, uint32_t position, unsigned count, double* to) {
  assert(static_cast<size_t>(position) + count <= from.size());
  std::copy(from.begin() + position, from.begin() + position + count, to);
}

unsigned SampleData::read(uint32_t position, unsigned count, double* left,
                          double* right) const noexcept {
  if (position >= frames_) return 0;
  const unsigned n = std::min<uint32_t>(count, frames_ - position);
  for (int c = 0; c < (isStereo() ? 2 : 1); ++c) {
    double* to = c == 0 ? left : right;
    if (wide_)
      copy(doubles_[c], position, n, to);
    else
      copy(floats_[c], position, n, to);
  }
  return n;
}
