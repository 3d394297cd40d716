#include "dsp/VoiceMixer.h"

#include <algorithm>
#include <cassert>

#include "dsp/Voice.h"

namespace {

void (*kernelFunction(SimdKernel kernel))(const VoiceRun*, int, double*) noexcept {
  switch (kernel) {
    case SimdKernel::kSse2: return mixVoicesSse2;
    case SimdKernel::kAvx2: return mixVoicesAvx2;
    case SimdKernel::kAvx512: return mixVoicesAvx512;
    default: return mixVoicesScalar;
  }
}

}  // namespace

void VoiceMixer::prepare(int maxVoices, int maxFrames, int maxSlices, SimdKernel kernel) {
  maxVoices = std::max(maxVoices, 0);
  maxFrames = std::max(maxFrames, 1);
  maxSlices = std::max(maxSlices, 1);
  discard();
  if (maxVoices != maxVoices_ || maxFrames != maxFrames_ || maxSlices != maxSlices_) {
    const size_t voices = static_cast<size_t>(maxVoices) + 1;
    runs_.reset(new VoiceRun[voices * static_cast<size_t>(maxSlices)]);
    ordered_.reset(new VoiceRun[voices * static_cast<size_t>(maxSlices)]);
    runCount_.reset(new int[voices]());
    moving_.reset(new Voice*[voices]);
    movingLevels_.reset(new double*[voices]);
    levels_.reset(new double[voices * static_cast<size_t>(maxFrames)]);
    ones_.reset(new double[static_cast<size_t>(maxFrames)]);
    std::fill(ones_.get(), ones_.get() + maxFrames, 1.0);
    maxVoices_ = maxVoices;
    maxFrames_ = maxFrames;
    maxSlices_ = maxSlices;
  }
  kernel_ = simd::orBest(kernel);
  mix_ = kernelFunction(kernel_);
}

// Inline: plan calls it for every voice at every slice.
inline void VoiceMixer::addRun(int v, const VoiceRun& run) noexcept {
  int& count = runCount_[v];
  if (count > 0) {
    VoiceRun& last = runs_[runIndex(count - 1, v)];
    const uint64_t phaseAfter =
        (last.phase + uint64_t{last.increment} * static_cast<uint64_t>(last.frames)) &
        kVoicePhaseMask;
    // A moving voice's levels go on in its own row as the frames go on.
    if (last.at + last.frames == run.at && phaseAfter == run.phase && last.table == run.table &&
        last.increment == run.increment && last.amplitude == run.amplitude &&
        last.held == run.held) {
      last.frames += run.frames;
      return;
    }
  }
  assert(count < maxSlices_);
  if (count < maxSlices_) runs_[runIndex(count++, v)] = run;
}

void VoiceMixer::plan(Voice* const* voices, int count, int n) noexcept {
  // The voices playing at the start of the slice play through all of it, as each would
  // alone; one that falls silent on the way becomes inactive at the end.
  count = std::clamp(count, 0, maxVoices_);
  const int at = plannedFrames_;
  assert(n <= maxFrames_ - at);
  const int frames = std::clamp(n, 0, maxFrames_ - at);
  plannedVoices_ = std::max(plannedVoices_, count);
  int moving = 0;
  for (int v = 0; v < count; ++v) {
    Voice& voice = *voices[v];
    if (!voice.isPlaying()) continue;
    const bool held = voice.isHeldAtFullLevel();
    // x 1 is exact: sample x 1 x amplitude = sample x amplitude.
    const double* levels = ones_.get();
    if (!held) {
      double* own = levels_.get() + static_cast<size_t>(v) * static_cast<size_t>(maxFrames_) + at;
      moving_[moving] = &voice;
      movingLevels_[moving++] = own;
      levels = own;
    }
    if (frames > 0) {
      if (held) voice.previousEnvelope_ = 1.0;
      addRun(v, voice.run(levels, held, at, frames));
    }
    voice.advancePhase(frames);
  }
  Voice::stepEnvelopes(moving_.get(), movingLevels_.get(), moving, frames);
  // A held voice stays at 1, and active.
  for (int k = 0; k < moving; ++k) moving_[k]->active_ = moving_[k]->envelope_ > 0.0;
  plannedFrames_ += frames;
}

void VoiceMixer::mix(double* out) noexcept {
  int count = 0;
  for (int v = 0; v < plannedVoices_; ++v) {
    for (int r = 0; r < runCount_[v]; ++r) ordered_[count++] = runs_[runIndex(r, v)];
    runCount_[v] = 0;
  }
  mix_(ordered_.get(), count, out);
  plannedVoices_ = 0;
  plannedFrames_ = 0;
}

void VoiceMixer::discard() noexcept {
  for (int v = 0; v < plannedVoices_; ++v) runCount_[v] = 0;
  plannedVoices_ = 0;
  plannedFrames_ = 0;
}
