#include "zorq-bank/SignalFigures.h"

#include <algorithm>
#include <cmath>

#include "zorq-bank/Fft.h"

namespace {

constexpr int kFrame = SignalFigures::kFrameLength;
constexpr int kHop = SignalFigures::kHopLength;
constexpr double kLowestBandHz = 200.0;
constexpr double kFlatnessLowHz = 100.0;
constexpr double kFlatnessHighHz = 10000.0;
// Band energies below the loudest band energy by more than this count as this far down.
constexpr double kBandFloor = 1e-8;
// Frame levels below the loudest frame by more than this count as this far down.
constexpr double kFrameFloorDb = 80.0;

int frameCount(size_t samples) { return static_cast<int>((samples + kHop - 1) / kHop); }

const std::vector<double>& hannWindow() {
  static const std::vector<double> window = [] {
    std::vector<double> w(kFrame);
    for (int i = 0; i < kFrame; ++i) w[i] = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / kFrame);
    return w;
  }();
  return window;
}

// Frame t of a signal (silence beyond its end) through the window.
template <class Sample>
void windowedFrame(const Sample& sample, size_t length, int t, std::vector<double>& out) {
  const std::vector<double>& window = hannWindow();
  out.resize(kFrame);
  const size_t start = static_cast<size_t>(t) * kHop;
  for (int i = 0; i < kFrame; ++i)
    out[i] = start + i < length ? window[i] * sample(start + i) : 0.0;
}

double decibels(double power) { return 10.0 * std::log10(power); }

// Each frame's band levels in dB, less the frame's mean band level: the spectral shape.
std::vector<std::vector<double>> shapes(const std::vector<std::vector<double>>& energies) {
  double loudest = 0.0;
  for (const std::vector<double>& frame : energies)
    for (double e : frame) loudest = std::max(loudest, e);
  const double floor = loudest > 0.0 ? loudest * kBandFloor : 1e-30;
  std::vector<std::vector<double>> result;
  for (const std::vector<double>& frame : energies) {
    std::vector<double> levels;
    double mean = 0.0;
    for (double e : frame) {
      levels.push_back(decibels(e + floor));
      mean += levels.back();
    }
    mean /= static_cast<double>(levels.size());
    for (double& level : levels) level -= mean;
    result.push_back(levels);
  }
  return result;
}

double correlation(const std::vector<double>& a, const std::vector<double>& b) {
  const double n = static_cast<double>(a.size());
  if (a.size() < 2) return 0.0;
  double meanA = 0.0, meanB = 0.0;
  for (size_t i = 0; i < a.size(); ++i) meanA += a[i], meanB += b[i];
  meanA /= n;
  meanB /= n;
  double ab = 0.0, aa = 0.0, bb = 0.0;
  for (size_t i = 0; i < a.size(); ++i) {
    ab += (a[i] - meanA) * (b[i] - meanB);
    aa += (a[i] - meanA) * (a[i] - meanA);
    bb += (b[i] - meanB) * (b[i] - meanB);
  }
  return aa > 0.0 && bb > 0.0 ? ab / std::sqrt(aa * bb) : 0.0;
}

double percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const double position = fraction * static_cast<double>(values.size() - 1);
  const size_t below = static_cast<size_t>(position);
  const size_t above = std::min(below + 1, values.size() - 1);
  return values[below] + (values[above] - values[below]) * (position - static_cast<double>(below));
}

}  // namespace

SignalAnalyser::SignalAnalyser(const std::vector<float>& voice, double sampleRate)
    : sampleRate_(sampleRate), bandOfBin_(kFrame / 2 + 1, -1) {
  for (int k = 1; k <= kFrame / 2; ++k) {
    const double hz = k * sampleRate / kFrame;
    const int band = static_cast<int>(std::floor(2.0 * std::log2(hz / kLowestBandHz)));
    if (band >= 0 && band < kBands) bandOfBin_[k] = band;
  }
  Fft fft(kFrame);
  std::vector<double> frame, power;
  std::vector<std::vector<double>> energies;
  std::vector<double> frameEnergy;
  for (int t = 0; t < frameCount(voice.size()); ++t) {
    windowedFrame([&](size_t i) { return double(voice[i]); }, voice.size(), t, frame);
    fft.powerSpectrum(frame.data(), power);
    energies.push_back(bandEnergies(power));
    double total = 0.0;
    for (double p : power) total += p;
    frameEnergy.push_back(total);
  }
  voiceShape_ = shapes(energies);
  const double loudest =
      frameEnergy.empty() ? 0.0 : *std::max_element(frameEnergy.begin(), frameEnergy.end());
  for (double e : frameEnergy)
    active_.push_back(e > 0.0 && decibels(e) > decibels(loudest) - SignalFigures::kActiveRangeDb);
}

std::vector<double> SignalAnalyser::bandEnergies(const std::vector<double>& power) const {
  std::vector<double> energies(kBands, 0.0);
  for (size_t k = 0; k < power.size(); ++k)
    if (bandOfBin_[k] >= 0) energies[bandOfBin_[k]] += power[k];
  return energies;
}

SignalFigures SignalAnalyser::measure(const std::vector<float>& left,
                                      const std::vector<float>& right) const {
  SignalFigures figures;
  const size_t length = std::min(left.size(), right.size());
  double sumSquares = 0.0, mid = 0.0, side = 0.0, peak = 0.0;
  for (size_t i = 0; i < length; ++i) {
    const double l = left[i], r = right[i];
    if (!std::isfinite(l) || !std::isfinite(r)) {
      figures.finite = false;
      return figures;
    }
    sumSquares += l * l + r * r;
    mid += (l + r) * (l + r) * 0.25;
    side += (l - r) * (l - r) * 0.25;
    peak = std::max({peak, std::fabs(l), std::fabs(r)});
  }
  if (length == 0 || sumSquares == 0.0) return figures;
  figures.levelDb = decibels(sumSquares / (2.0 * static_cast<double>(length)));
  figures.peakDb = 20.0 * std::log10(peak);
  figures.width = std::sqrt(side / mid);

  Fft fft(kFrame);
  std::vector<double> frame, power, spectrum(kFrame / 2 + 1, 0.0);
  std::vector<std::vector<double>> energies, voiceShapes;
  std::vector<double> flatness, frameLevels;
  const int lowBin = static_cast<int>(std::ceil(kFlatnessLowHz * kFrame / sampleRate_));
  const int highBin =
      std::min(kFrame / 2, static_cast<int>(kFlatnessHighHz * kFrame / sampleRate_));
  for (int t = 0; t < frameCount(length); ++t) {
    windowedFrame([&](size_t i) { return 0.5 * (double(left[i]) + double(right[i])); }, length, t,
                  frame);
    fft.powerSpectrum(frame.data(), power);
    for (size_t k = 0; k < power.size(); ++k) spectrum[k] += power[k];
    if (static_cast<size_t>(t) >= active_.size() || !active_[t]) continue;
    energies.push_back(bandEnergies(power));
    voiceShapes.push_back(voiceShape_[t]);
    double logSum = 0.0, sum = 0.0;
    for (int k = lowBin; k <= highBin; ++k) {
      logSum += std::log(power[k] + 1e-30);
      sum += power[k];
    }
    const double bins = highBin - lowBin + 1;
    flatness.push_back(sum > 0.0 ? std::exp(logSum / bins) / (sum / bins) : 0.0);
    double frameSum = 0.0;
    for (double p : power) frameSum += p;
    frameLevels.push_back(decibels(frameSum + 1e-30));
  }

  double weight = 0.0, weightedHz = 0.0;
  for (int k = 1; k <= kFrame / 2; ++k) {
    weight += spectrum[k];
    weightedHz += spectrum[k] * k * sampleRate_ / kFrame;
  }
  figures.centroidHz = weight > 0.0 ? weightedHz / weight : 0.0;
  double spread = 0.0;
  for (int k = 1; k <= kFrame / 2; ++k) {
    const double offset = k * sampleRate_ / kFrame - figures.centroidHz;
    spread += spectrum[k] * offset * offset;
  }
  figures.bandwidthHz = weight > 0.0 ? std::sqrt(spread / weight) : 0.0;

  const std::vector<std::vector<double>> outputShapes = shapes(energies);
  double total = 0.0;
  for (int b = 0; b < kBands; ++b) {
    std::vector<double> voiceBand, outputBand;
    for (size_t t = 0; t < outputShapes.size(); ++t) {
      voiceBand.push_back(voiceShapes[t][b]);
      outputBand.push_back(outputShapes[t][b]);
    }
    total += correlation(voiceBand, outputBand);
  }
  figures.intelligibility = total / kBands;
  double flat = 0.0;
  for (double f : flatness) flat += f;
  figures.noisiness = flatness.empty() ? 0.0 : flat / static_cast<double>(flatness.size());
  const double loudestFrame =
      frameLevels.empty() ? 0.0 : *std::max_element(frameLevels.begin(), frameLevels.end());
  for (double& level : frameLevels) level = std::max(level, loudestFrame - kFrameFloorDb);
  figures.dynamicsDb = percentile(frameLevels, 0.9) - percentile(frameLevels, 0.1);
  return figures;
}
