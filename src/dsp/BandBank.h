#pragma once

// DSP core: the signal units of the vocoder, free of any plug-in framework. Every
// unit has the same life: set up for a sample rate and the largest slice it will be
// given (`prepare`, may allocate), cleared (`reset`), and run (`process`, noexcept,
// never allocates, never blocks).
//
// The band bank is the vocoder proper. Per band and channel (40 band-channels) an
// analysis resonator splits the modulator, an envelope follower (two-pole low-pass of
// the rectified band) follows its level, bias and limit turn the level into a gain,
// and a synthesis resonator filters the carrier, weighted by that gain:
//   modulator -> analysis -> |.| -> follower x mic level = e;  gain = clamp(bias + e, 0, limit)
//   out[channel] = sum over bands, in band order, of synthesis(carrier) x level x gain
// A fixed band passes the main carrier through its synthesis filter at gain 1 while its
// analysis side rests. In "VE-10 Standard" the top four bands articulate the noise
// carrier alone, and run only while there is noise.
//
// The state lives as structure-of-arrays (BandBankLanes.h) and runs through one of
// four kernels chosen at prepare time (SimdKernel.h): the scalar reference, SSE2, AVX2
// or AVX-512. All keep the same filter histories and level sums, bit for bit, and all but
// AVX-512 give the reference's output bit for bit; AVX-512 sums the bands in another
// order with fused multiply-adds: per sample within 1e-12 of the larger of the sample
// and the output's peak over the 64 frames around it.

#include <cassert>
#include <memory>

#include "dsp/BandBankLanes.h"
#include "dsp/SimdKernel.h"

class BandBank {
 public:
  // What the slice's carriers and controls are.
  struct Settings {
    bool fullBands = false;      // "VE-10 Full Bands"
    bool noiseBandsRun = false;  // "VE-10 Standard" only: "In Balance" above 0
    double bias = 0.0;           // 2 x "Bias"
    double limit = 10.0;         // 10 - 9 sqrt("Limit")
    double micLevel = 1.0;       // "Mic Level"
  };

  BandBank();

  // Longer slices run in pieces of this many frames, so the scratch stays small.
  static constexpr int kMaxPieceFrames = 4096;

  // Host thread: slices of up to maxFrames; an unsupported kernel falls back to the best.
  void prepare(double sampleRate, int maxFrames, SimdKernel kernel);
  // Every band at its default frequency and level 1, followers at their default
  // corners, histories cleared. Fixed flags stay.
  void reset();

  // Parameter changes keep the filter histories.
  void setAnalysisFrequency(int band, double hz);
  void setSynthesisFrequency(int band, double hz);
  void setSynthesisLevel(int band, double level);
  void setFixed(int band, bool fixed);
  // Follower corners = default corner x scale ("Speed": 0.25 .. 4).
  void setFollowerSpeed(double scale);

  // Audio thread: writes the vocoder output of n frames into out[0] and out[1] and
  // returns the sum of every running band-channel's envelope (the modulator level that
  // the accent bend reads) from frame `sumFrom` of the slice on; when sumFrom >= n, the
  // sum goes on from the slices before. Each band-channel's sum is taken frame by frame
  // and the band-channels are added in order, so a sum is the same however its frames
  // are cut into slices. Slices longer than maxFrames run in pieces.
  double process(const double* const modulator[2], const double* const carrier[2],
                 const double* const noise[2], double* const out[2], int n,
                 const Settings& settings, int sumFrom = 0) noexcept;

  // Every filter history (analysis and synthesis resonators, followers) lies within
  // +-level.
  bool isAtRest(double level) const noexcept;

  SimdKernel kernel() const { return kernel_; }
  double sampleRate() const { return sampleRate_; }
  double analysisFrequency(int band) const { return analysisHz_[checked(band)]; }
  double synthesisFrequency(int band) const { return synthesisHz_[checked(band)]; }
  double synthesisLevel(int band) const { return lanes_->synthesisLevel.v[2 * checked(band)]; }
  double followerSpeed() const { return followerScale_; }
  bool fixed(int band) const { return lanes_->fixedMask[2 * checked(band)] != 0; }

 private:
  static int checked(int band) {
    assert(band >= 0 && band < kNumBands);
    return band;
  }
  void processPiece(const double* const modulator[2], const double* const carrier[2],
                    const double* const noise[2], double* const out[2], int n,
                    const Settings& settings, int sumFrom) noexcept;

  std::unique_ptr<BandBankLanes> lanes_;
  std::unique_ptr<double[]> scratchStorage_;
  double* scratch_ = nullptr;  // inside scratchStorage_, 64-byte aligned
  int maxFrames_ = 0;
  double sampleRate_ = 0.0;
  SimdKernel kernel_ = SimdKernel::kScalar;
  BandBankKernel run_ = runBandBankScalar;
  double analysisHz_[kNumBands] = {};
  double synthesisHz_[kNumBands] = {};
  double followerScale_ = 1.0;
};
