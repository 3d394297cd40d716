// The signal path: the bands, the carrier and vibrato, and extreme settings and inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

#include "EngineHarness.h"
#include "dsp/Noise.h"

namespace {
constexpr int kSeconds = 44100 / 2;
const std::vector<double> kCarrier = whiteNoise(kSeconds, 3);

// Only the external carrier (no voice), keyboard off: the left output's RMS over the
// second half of the render, which is what the given fixed bands pass.
double fixedBandOutput(int vocoderMode, double inBalance, int firstFixed, int lastFixed,
                       const std::vector<double>& carrier = kCarrier) {
  EngineHarness h;
  h.setParam(kKeyboard, 0.0);
  h.setParam(kVocoderMode, vocoderMode);
  h.setParam(kInBalance, inBalance);
  for (int b = firstFixed; b <= lastFixed; ++b) h.setParam(kSynthesisFixed1 + b, 1.0);
  h.process(kSeconds, {{}, {}, carrier, carrier});
  return h.rms(0, kSeconds / 2, kSeconds);
}
}  // namespace

// The standard mode skips the noise bands without noise, even when they are fixed. With a
// little noise they run, and a fixed one passes the external carrier too, which is far
// louder than the noise alone here.
TEST(ZorqBands, NoiseBandsRunWithNoiseOrAllBandsAndFixedOnesFilterTheMainCarrier) {
  EXPECT_LT(fixedBandOutput(0, 0.0, 16, 19), 1e-9);
  EXPECT_GT(fixedBandOutput(1, 0.0, 16, 19), 1e-3);
  EXPECT_GT(fixedBandOutput(0, 0.0, 0, 0), 1e-3);
  EXPECT_GT(fixedBandOutput(0, 0.01, 16, 19), 10.0 * fixedBandOutput(0, 0.01, 16, 19, {}));
}

TEST(ZorqBands, MicLevelZeroClosesEveryBand) {
  EngineHarness h;
  h.setParam(kKeyboard, 0.0);
  h.setParam(kMicLevel, 0.0);
  const auto voice = whiteNoise(kSeconds, 8);
  h.process(kSeconds, {voice, voice, kCarrier, kCarrier});
  EXPECT_EQ(h.rms(0, 0, kSeconds), 0.0);
  EXPECT_EQ(h.plug->modulatorLevelSum(), 0.0);
}

namespace {

// Vocoder with a loud noise modulator so the carrier shows in the output.
class ZorqCarrier : public ::testing::Test {
 protected:
  void run(int frames) { h.process(frames, {modulator, modulator}); }

  EngineHarness h;
  std::vector<double> modulator = whiteNoise(44100, 7);
};

TEST_F(ZorqCarrier, SilentWithoutNotesNoiseOrExternalCarrierAndHeldNotesSoundInBoth) {
  run(4410);
  EXPECT_LT(h.rms(0, 0, 4410), 1e-9);  // only the filters' anti-denormal offset
  for (int note : {48, 55, 60}) h.midi(0x90, note, 100);
  run(4410);
  EXPECT_GT(h.rms(1, 2205, 4410), 1e-4);
  EXPECT_TRUE(h.guardsIntact(4410));
}

TEST_F(ZorqCarrier, ResetMidNoteKeepsReadsSafe) {
  h.midi(0x90, 60, 100);
  h.setParam(kEnsemble, 1);
  run(100);
  h.plug->SetSampleRate(48000.0);
  h.plug->Reset();
  run(999);
  for (int i = 0; i < 999; ++i) ASSERT_TRUE(std::isfinite(h.out[0][i]));
  EXPECT_TRUE(h.guardsIntact(999));
}

TEST(ZorqVibrato, LfosRestWhileTheKeyboardIsOff) {
  EngineHarness h;
  h.setParam(kKeyboard, 0);
  h.process(440);
  EXPECT_EQ(h.plug->vibratoLFO(0).phase(), 0.0);
}

// Extremes: parameters at the ends of their ranges never make the output
// non-finite, and infinite or NaN input samples make it non-finite at most while
// they last: 50 ms after the input is finite again, so is every output sample.
// (Low sample rates are the filter design's: every centre and corner is held below
// 0.45 x the rate, which the dsp tests check, and the parity suite renders at 1 kHz.)
constexpr double kRate = 44100.0;
constexpr int kBlock = 256;

// Feeds continuous test signals block by block: a voice-like tone into the
// microphone inputs, noise into the external carrier inputs.
class SignalRun {
 public:
  explicit SignalRun(EngineHarness& harness) : h_(harness), noise_(whiteNoise(1 << 17)) {}

  // Processes `frames`; samples from badFrom (inclusive) to badTo (exclusive), counted
  // from the start of the run, carry `bad` on input `badInput`. Returns the index of
  // the last non-finite output sample, or -1.
  long run(long frames, int badInput = -1, double bad = 0.0, long badFrom = 0, long badTo = 0) {
    long lastBad = -1;
    for (long done = 0; done < frames; done += kBlock) {
      const int n = static_cast<int>(std::min<long>(kBlock, frames - done));
      std::vector<std::vector<double>> in(4, std::vector<double>(static_cast<size_t>(n)));
      for (int i = 0; i < n; ++i) {
        const long t = position_ + i;
        in[0][i] = in[1][i] =
            0.5 * std::sin(2.0 * M_PI * 180.0 * t / kRate) * (1.0 + std::sin(t * 44.1 / kRate));
        in[2][i] = in[3][i] = 0.2 * noise_[t % noise_.size()];
        if (badInput >= 0 && done + i >= badFrom && done + i < badTo) in[badInput][i] = bad;
      }
      h_.process(n, in);
      for (int c = 0; c < 2; ++c)
        for (int i = 0; i < n; ++i)
          if (!std::isfinite(h_.out[c][i])) lastBad = std::max(lastBad, done + i);
      position_ += n;
    }
    return lastBad;
  }

 private:
  EngineHarness& h_;
  long position_ = 0;
  std::vector<double> noise_;
};

// Everything that runs at once: a held chord, noise and the external inputs in the
// carrier, the dry microphone in the mix, accent bend and the ensemble.
void playEverything(EngineHarness& h) {
  h.setParam(kInBalance, 0.4);
  h.setParam(kOutBalance, 0.3);
  h.setParam(kAccentBend, 1.0);
  h.setParam(kEnsemble, 1.0);
  for (int note : {36, 48, 55, 64, 71}) h.midi(0x90, note, 100);
}

class ParameterCombinations : public ::testing::TestWithParam<uint32_t> {};

// Every parameter at 0, at 1 or anywhere between, chosen at random (each end of every
// parameter comes up in several seeds); changed again halfway through.
TEST_P(ParameterCombinations, RandomSettingsKeepOutputFinite) {
  std::mt19937 random(GetParam());
  std::uniform_real_distribution<double> anywhere(0.0, 1.0);
  EngineHarness h;
  playEverything(h);
  SignalRun run(h);
  for (int round = 0; round < 2; ++round) {
    for (int p = 0; p < kNumParams; ++p) {
      const unsigned pick = random() % 3;
      h.plug->GetParam(p)->SetNormalized(pick == 2 ? anywhere(random) : pick);
      h.plug->OnParamChange(p);
    }
    ASSERT_EQ(run.run(4410), -1) << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ParameterCombinations, ::testing::Range(1u, 25u));

// The input that goes bad, its value, and whether the ensemble runs.
class NonFiniteInput : public ::testing::TestWithParam<std::tuple<int, double, bool>> {};

TEST_P(NonFiniteInput, OutputIsFiniteAgainWithin50ms) {
  const auto [input, value, ensemble] = GetParam();
  for (int mode = 0; mode < 2; ++mode) {
    EngineHarness h;
    playEverything(h);
    h.setParam(kVocoderMode, mode);
    h.setParam(kEnsemble, ensemble ? 1.0 : 0.0);
    SignalRun run(h);
    ASSERT_EQ(run.run(4410), -1);

    // 10 ms of bad samples starting inside a host block, then 200 ms of good ones.
    const long badFrom = 1000, badTo = 1441, total = badTo + 8820;
    const long lastBad = run.run(total, input, value, badFrom, badTo);
    EXPECT_LT(lastBad, badTo + 2205) << "mode " << mode;
    EXPECT_EQ(run.run(4410), -1) << "mode " << mode;
  }
}

INSTANTIATE_TEST_SUITE_P(
    InputsAndValues, NonFiniteInput,
    ::testing::Combine(::testing::Range(0, 4),
                       ::testing::Values(std::numeric_limits<double>::quiet_NaN(),
                                         std::numeric_limits<double>::infinity(),
                                         -std::numeric_limits<double>::infinity(), 1e300),
                       ::testing::Bool()));

}  // namespace

// However the host cuts the stream into blocks, the same samples come out: the band bank
// runs over several slices at once, and the accent bend reads the level of the whole
// sub-block before its tick even when a block boundary cuts it. Changes scheduled inside
// blocks turn the accent bend, the ensemble and the noise carrier on at their ticks.
TEST(ZorqRender, TheSameSamplesWhateverTheHostBlockSize) {
  constexpr int kTotal = 20000;
  std::vector<double> voice = whiteNoise(kTotal, 5);
  for (int i = 0; i < kTotal; ++i) voice[size_t(i)] *= 0.5 + 0.5 * std::sin(i * 0.002);
  const std::vector<double> carrier = whiteNoise(kTotal, 6);
  const std::vector<std::vector<double>> inputs = {voice, voice, carrier, carrier};
  // (frame, parameter, value) of the changes, each at a tick (every 44 frames), so that
  // whatever the block it falls in, it takes effect there
  const std::tuple<int, int, double> changes[] = {{2992, kAccentBend, 1.0},
                                                  {7040, kEnsemble, 1.0},
                                                  {9020, kInBalance, 0.3},
                                                  {15004, kAccentBend, 0.4}};
  auto render = [&](int block, bool accentFromStart) {
    resetNoiseSeed();  // one noise generator per process
    EngineHarness h;
    if (accentFromStart) h.setParam(kAccentBend, 0.7);
    // Levels other than 0 dB and a bias, where a kernel's rounding could depend on how
    // runs are cut.
    h.setParam(kMicLevel, 1.5);
    h.setParam(kBias, 0.1);
    for (int band : {2, 11}) h.setParam(kSynthesisLevel1 + band, 0.55);
    for (int key : {48, 55, 60}) h.midi(0x90, key, 100);
    std::vector<double> out(2 * kTotal);  // left, then right
    for (int at = 0; at < kTotal; at += block) {
      const int n = std::min(block, kTotal - at);
      for (const auto& [frame, param, value] : changes)
        if (frame >= at && frame < at + n) h.plug->ScheduleParamChange(param, value, frame - at);
      h.process(n, inputs, at);
      for (int c = 0; c < 2; ++c) std::copy_n(h.out[c].begin(), n, out.begin() + c * kTotal + at);
    }
    return out;
  };
  for (bool accentFromStart : {false, true}) {
    const std::vector<double> reference = render(44, accentFromStart);
    for (int block : {1, 32, 333, 512, 4096}) {
      const std::vector<double> out = render(block, accentFromStart);
      const auto differ = std::mismatch(out.begin(), out.end(), reference.begin()).first;
      EXPECT_EQ(differ - out.begin(), out.end() - out.begin())
          << "first sample that differs, in blocks of " << block
          << (accentFromStart ? ", accent from the start" : "");
    }
  }
}
