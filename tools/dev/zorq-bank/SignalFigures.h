#pragma once

#include <vector>

// What one rendered program sounds like, in figures that can be compared without
// listening. Computed from the stereo output and the modulator (the voice) that drove
// it, both at the same rate, over Hann-windowed frames of kFrameLength samples every
// kHopLength samples.
//
//  level            RMS of both channels, dBFS
//  peak             largest sample magnitude, dBFS
//  centroid         power-weighted mean frequency of the mid signal, Hz
//  bandwidth        power-weighted standard deviation around the centroid, Hz
//  intelligibility  how closely the output's spectral shape follows the voice's: in
//                   half-octave bands from 200 Hz to 12.8 kHz, each band's level minus
//                   the frame's mean band level, correlated (Pearson) between voice and
//                   output over the frames where the voice sounds, averaged over bands;
//                   1 follows every formant, 0 follows none, below 0 inverts them
//  noisiness        spectral flatness (geometric over arithmetic mean of the power,
//                   100 Hz to 10 kHz) averaged over those frames: 0 pure tones, 1 noise
//  width            RMS of the side signal over RMS of the mid signal: 0 mono
//  dynamics         the output's frame levels over those frames (none counted below
//                   80 dB under the loudest), 90th minus 10th percentile, dB: how much
//                   the output follows the voice's loudness
//
// A voice frame "sounds" when its energy lies within kActiveRangeDb of the loudest.
struct SignalFigures {
  static constexpr int kFrameLength = 2048;
  static constexpr int kHopLength = 512;
  static constexpr double kActiveRangeDb = 40.0;
  static constexpr double kSilentDb = -200.0;  // level and peak of digital silence

  double levelDb = kSilentDb;
  double peakDb = kSilentDb;
  double centroidHz = 0.0;
  double bandwidthHz = 0.0;
  double intelligibility = 0.0;
  double noisiness = 0.0;
  double width = 0.0;
  double dynamicsDb = 0.0;
  bool finite = true;  // false when the output held a NaN or an infinity
};

// The voice's analysis, made once, against which any number of outputs are measured.
class SignalAnalyser {
 public:
  SignalAnalyser(const std::vector<float>& voice, double sampleRate);
  // The output may be longer or shorter than the voice; frames beyond the voice count
  // as frames where it is silent.
  SignalFigures measure(const std::vector<float>& left, const std::vector<float>& right) const;

  static constexpr int kBands = 12;  // half-octave bands, 200 Hz to 12.8 kHz

 private:
  // Energy per band of one frame's power spectrum.
  std::vector<double> bandEnergies(const std::vector<double>& power) const;

  double sampleRate_;
  std::vector<std::vector<double>> voiceShape_;  // per frame: band level minus the frame's mean
  std::vector<bool> active_;                     // per frame: the voice sounds
  std::vector<int> bandOfBin_;                   // -1 outside every band
};
