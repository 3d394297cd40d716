#pragma once

// A gain that moves in a straight line to its target, one step per sample, reaching it
// kRampSeconds after the target changed: a bypass crossfade, or a fade-in after the
// instrument was reset while running, so that neither can click. Every format uses
// this one ramp and its length.
//
// Life: SetSampleRate (any thread, before processing), then SetTarget / JumpTo and the
// processing calls from the audio thread, or from a thread that holds the lock the
// audio thread takes. Nothing allocates or blocks.
class GainRamp {
 public:
  static constexpr double kRampSeconds = 0.01;

  explicit GainRamp(double gain = 1.0) : gain_(gain), target_(gain) {}

  void SetSampleRate(double sampleRate);
  // Moves toward `target` from where the gain stands now.
  void SetTarget(double target) { target_ = target; }
  // Stands at `gain` at once, with nothing left to move.
  void JumpTo(double gain) { gain_ = target_ = gain; }
  double Gain() const { return gain_; }
  double Target() const { return target_; }
  bool Moving() const { return gain_ != target_; }

  // Multiplies nFrames samples of each channel by the gain, which moves one step
  // before each sample; null channels are skipped.
  void Scale(float* const* channels, int nChannels, int nFrames);
  // out = g * out + (1 - g) * dry per sample, g stepping as in Scale: g = 1 keeps the
  // processed signal, g = 0 passes the dry one. Channels from nDry on mix with silence.
  void Crossfade(float* const* out, int nOut, const float* const* dry, int nDry, int nFrames);
  // The same for 64-bit samples (a host that processes in double precision).
  void Crossfade(double* const* out, int nOut, const double* const* dry, int nDry, int nFrames);

 private:
  // The gain `steps` samples from now.
  double gainAfter(int steps) const;
  void advance(int nFrames);
  template <typename Sample>
  void crossfade(Sample* const* out, int nOut, const Sample* const* dry, int nDry, int nFrames);

  double gain_;
  double target_;
  double step_ = 1.0 / (kRampSeconds * 44100.0);
};
