#pragma once

#include <memory>
#include <vector>

// Sample-rate converter for interleaved double frames (1 to 64 channels).
// Modes: linear interpolation or point sampling, optionally followed
// (upsampling) or preceded (downsampling) by a cascade of up to four
// two-pole low-pass sections; or windowed-sinc interpolation.
//
// Per block: ResamplePrepare hands out the input area and the number of frames
// to put there; ResampleOut converts, given how many frames were written.
class WDL_Resampler {
 public:
  static constexpr int kMaxChannels = 64;
  static constexpr int kMaxFilterCount = 4;
  static constexpr int kMaxSincSize = 8192;
  static constexpr int kMaxSincOversampling = 8192;

  WDL_Resampler();
  ~WDL_Resampler();
  WDL_Resampler(const WDL_Resampler&) = delete;
  WDL_Resampler& operator=(const WDL_Resampler&) = delete;

  void SetMode(bool interpolate, int filterCount, bool sinc, int sincSize = 64,
               int sincOversampling = 32);
  void setFilterPosition(float position) { filterPosition_ = position; }
  void setFilterQ(float q) { filterQ_ = q; }
  // Feed mode: the prepare count is the number of input frames the caller
  // supplies; otherwise it is the number of output frames wanted.
  void setFeedMode(bool feed) { feedMode_ = feed; }
  void SetRates(double inputRate, double outputRate);
  void Reset(double fraction = 0.0);

  double GetCurrentLatency() const;
  double ratio() const { return ratio_; }

  // Ensures the input buffer holds a block of `outputFrames` output frames at
  // the current ratio (with tail padding) without growing. Not for the audio thread.
  void reserveInput(int channels, int outputFrames);
  std::size_t inputCapacity() const { return inputBuffer_.size(); }

  int ResamplePrepare(int count, int channels, double** inputArea);
  int ResampleOut(double* output, int suppliedFrames, int wantedFrames, int channels);

 private:
  struct LowPass;

  bool growInput(std::size_t doubles);
  void buildSincTable();
  double sincCutoff() const;
  int produceInterpolated(double* output, int wanted, int channels, int available, double& p);
  int produceSinc(double* output, int wanted, int channels, int available, double& p);

  double inputRate_ = 44100.0;
  double outputRate_ = 44100.0;
  double fractionalPosition_ = 0.0;
  double ratio_ = 1.0;
  double filterRatio_ = -1.0;
  float filterQ_ = 0.707f;
  float filterPosition_ = 0.693f;
  std::vector<double> inputBuffer_;
  std::vector<float> sincTable_;
  std::unique_ptr<LowPass> lowPass_;
  int sincTableSize_ = 0;
  int lastRequested_ = 0;
  int filterLatency_ = 0;
  int framesBuffered_ = 0;
  int tableOversamplingInUse_ = 1;
  int sincSize_ = 0;
  int filterCount_ = 1;
  int sincOversampling_ = 0;
  bool interpolate_ = true;
  bool feedMode_ = false;
};
