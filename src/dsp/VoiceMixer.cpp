#include "dsp/VoiceMixer.h"

#include <algorithm>

#include "dsp/Voice.h"

namespace {

void (*kernelFunction(SimdKernel kernel))(const VoiceRun*, int, double*, int) noexcept {
  switch (kernel) {
    case SimdKernel::kSse2: return mixVoicesSse2;
    case SimdKernel::kAvx2: return mixVoicesAvx2;
    case SimdKernel::kAvx512: return mixVoicesAvx512;
    default: return mixVoicesScalar;
  }
}

}  // namespace

void VoiceMixer::prepare(int maxVoices, int maxFrames, SimdKernel kernel) {
  maxVoices = std::max(maxVoices, 0);
  maxFrames = std::clamp(maxFrames, 1, kMaxPieceFrames);
  if (maxVoices != maxVoices_ || maxFrames != maxFrames_) {
    runs_.reset(new VoiceRun[static_cast<size_t>(maxVoices) + 1]);
    playing_.reset(new Voice*[static_cast<size_t>(maxVoices) + 1]);
    moving_.reset(new Voice*[static_cast<size_t>(maxVoices) + 1]);
    movingLevels_.reset(new double*[static_cast<size_t>(maxVoices) + 1]);
    levels_.reset(new double[static_cast<size_t>(maxVoices) * static_cast<size_t>(maxFrames) + 1]);
    ones_.reset(new double[static_cast<size_t>(maxFrames)]);
    std::fill(ones_.get(), ones_.get() + maxFrames, 1.0);
    maxVoices_ = maxVoices;
    maxFrames_ = maxFrames;
  }
  kernel_ = simd::orBest(kernel);
  mix_ = kernelFunction(kernel_);
}

void VoiceMixer::process(Voice* const* voices, int count, double* out, int n) noexcept {
  // The voices playing at the start of the slice play through all of it, as each would
  // alone; one that falls silent on the way becomes inactive at the end.
  int playing = 0;
  for (int v = 0; v < count && playing < maxVoices_; ++v)
    if (voices[v]->isPlaying()) playing_[playing++] = voices[v];
  for (int done = 0; done < n || (n <= 0 && done == 0); done += maxFrames_) {
    const int frames = std::clamp(n - done, 0, maxFrames_);
    // Moving envelopes first, then every voice's run.
    int moving = 0;
    for (int k = 0; k < playing; ++k) {
      Voice& voice = *playing_[k];
      double* levels = ones_.get();  // x 1 is exact: sample x 1 x amplitude = sample x amplitude
      if (!voice.isHeldAtFullLevel()) {
        levels = levels_.get() + static_cast<size_t>(k) * static_cast<size_t>(maxFrames_);
        moving_[moving] = &voice;
        movingLevels_[moving++] = levels;
      } else if (frames > 0) {
        voice.previousEnvelope_ = 1.0;
      }
      runs_[k] = voice.run(levels);
    }
    Voice::stepEnvelopes(moving_.get(), movingLevels_.get(), moving, frames);
    mix_(runs_.get(), playing, out + done, frames);
    for (int k = 0; k < playing; ++k) playing_[k]->advancePhase(frames);
  }
  for (int k = 0; k < playing; ++k) playing_[k]->active_ = playing_[k]->envelope_ > 0.0;
}
