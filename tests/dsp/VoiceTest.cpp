#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>
#include <utility>
#include <vector>

#include "dsp/LFO.h"
#include "dsp/Noise.h"
#include "dsp/PhaseIncrementTable.h"
#include "dsp/PitchTables.h"
#include "dsp/Voice.h"
#include "dsp/VoiceMixer.h"
#include "dsp/Wavetables.h"

namespace {

class VoiceAt44k : public ::testing::Test {
 protected:
  void SetUp() override {
    table_.build(44100.0);
    voice_.setSampleRate(table_);
  }

  // Samples until the envelope first reaches the level (or limit samples).
  int samplesUntil(bool rising, double level, int limit) {
    double out[1];
    for (int i = 1; i <= limit; ++i) {
      out[0] = 0.0;
      voice_.process(out, 1);
      if (rising ? voice_.envelope() >= level : voice_.envelope() <= level) return i;
      if (i % 44 == 0) voice_.update(0.0);
    }
    return -1;
  }

  PhaseIncrementTable table_;
  Voice voice_;
};

// Indices outside the table read its ends; any rate keeps steps within the phase width.
TEST(PhaseIncrementTable, ClampsIndicesAndRates) {
  PhaseIncrementTable table;
  for (double rate : {44100.0, 1000.0, 1.0, 0.0, -3.0, double(NAN)}) {
    table.build(rate);
    EXPECT_EQ(table.at(-5), table.at(0));
    EXPECT_EQ(table.at(999999), table.at(17280));
    EXPECT_LE(table.at(17280), PhaseIncrementTable::kPhaseMask);
    EXPECT_GE(table.sampleRate(), 1.0);
  }
  table.build(44100.0);  // every entry is built, the last one too: the steps rise to the end
  EXPECT_GT(table.at(PhaseIncrementTable::kMaxIndex), table.at(PhaseIncrementTable::kMaxIndex - 1));
}

TEST(Voice, PitchIndexStaysInsideTheTable) {
  PhaseIncrementTable table;
  table.build(44100.0);
  using Row = std::tuple<const char*, int, double, double, double, double, double, int>;
  for (const auto& [name, note, tune, octave, vibratoDepth, vibrato, offset, expectedIndex] :
       {Row{"Note0BendDown24", 0, 0, 0, 0, 0, -24 * 128, 0},
        Row{"TopEverythingUp", 127, 1200, 1, 1, 1, 24 * 128 + 256, 17280},
        Row{"HugeOffset", 60, 0, 0, 0, 0, 1e300, 17280}, Row{"NanOffset", 60, 0, 0, 0, 0, NAN, 0},
        Row{"HalfTuneRoundsAway", 60, 2.5, 1, 0, 0, 0, 60 * 128 + 1536 + 3},
        Row{"VibratoHalfDepth", 60, 0, 0, 0.5, 1, 0, 60 * 128 + 448}}) {
    Voice voice;
    voice.setSampleRate(table);
    voice.setParam(kTune, tune);
    voice.setParam(kOctaveUp, octave);
    voice.setParam(kVibratoDepth, vibratoDepth);
    voice.setNoteOn(note, 100, 1, &vibrato);
    voice.update(offset);
    EXPECT_EQ(voice.pitchIndex(), expectedIndex) << name;
    EXPECT_EQ(voice.phaseIncrement(), table.at(expectedIndex)) << name;
  }
}

// Over every pitch at three rates, a voice reads the table with the most harmonics whose
// highest one stays at or below Nyquist: table k is made for 2048 / sqrt(2)^k harmonics
// (rounded), the next richer one would pass Nyquist, and the last table takes the rest.
TEST(Voice, EveryPitchReadsTheRichestTableBelowNyquist) {
  for (double rate : {8000.0, 44100.0, 192000.0}) {
    PhaseIncrementTable table;
    table.build(rate);
    Voice voice;
    voice.setSampleRate(table);
    voice.setNoteOn(0, 100, 1, nullptr);
    auto designed = [](int k) { return 2048.0 / std::pow(std::sqrt(2.0), k); };
    for (int pitch = 0; pitch <= PhaseIncrementTable::kMaxIndex; ++pitch) {
      voice.update(pitch);
      const int k = voice.wavetableIndex();
      // Cycles per sample, as the table is read: whole table steps per sample over 4096.
      const double cycles = (voice.phaseIncrement() >> 16) / 4096.0;
      if (k < wavetables::kCount - 1) {
        ASSERT_LE(designed(k) * cycles, 0.5 * (1 + 1e-12)) << rate << " Hz, " << pitch;
      }
      if (k > 0) {
        ASSERT_GT(designed(k - 1) * cycles, 0.5 * (1 - 1e-12)) << rate << " Hz, " << pitch;
      }
    }
  }
}

// Attack and release differ in each row, so each phase is seen to use its own setting.
TEST_F(VoiceAt44k, AttackAndReleaseTakeTheListedTime) {
  const double fastest = std::pow(10.0, -2.3), middle = std::pow(10.0, 2.25 - 2.3);
  for (const auto& [attack, release, attackSeconds, releaseSeconds] :
       {std::tuple{0.0, 0.5, fastest, middle}, std::tuple{0.5, 0.0, middle, fastest}}) {
    voice_ = Voice();
    voice_.setSampleRate(table_);
    voice_.setParam(kAttack, attack);
    voice_.setParam(kRelease, release);
    voice_.setNoteOn(60, 127, 1, nullptr);
    voice_.update(0.0);
    const int limit = 44100 * 3;
    EXPECT_NEAR(samplesUntil(true, 1.0, limit), attackSeconds * 44100, attackSeconds * 882);
    voice_.setNoteOff();
    EXPECT_NEAR(samplesUntil(false, 0.0, limit), releaseSeconds * 44100, releaseSeconds * 882);
    EXPECT_FALSE(voice_.isActive());
  }
}

TEST_F(VoiceAt44k, PlaysAtItsPitchByZeroCrossings) {
  voice_.setNoteOn(69, 127, 1, nullptr);
  std::vector<double> out(44100, 0.0);
  for (int i = 0; i < 44100; i += 44) {
    voice_.update(0.0);
    voice_.process(out.data() + i, std::min(44, 44100 - i));
  }
  int rising = 0;
  for (size_t i = 4410; i + 1 < out.size(); ++i) rising += out[i] < 0.0 && out[i + 1] >= 0.0;
  EXPECT_NEAR(rising, 440 * 0.9, 2);
}

}  // namespace

// The mixer gives each frame the same sum, term for term, as the voices one after the
// other slice by slice, with every kernel: held, attacking, releasing and silent voices
// mixed, slices of awkward lengths planned together and mixed at once (the pitch moving
// between some of them, so runs break and join) or alone, voices falling silent within a
// slice and played again.
class VoiceMixerKernels : public ::testing::TestWithParam<SimdKernel> {};

TEST_P(VoiceMixerKernels, MatchVoiceByVoice) {
  if (!simd::isSupported(GetParam())) GTEST_SKIP() << "kernel not run on this processor";
  PhaseIncrementTable table;
  table.build(44100.0);
  std::vector<Voice> voices(11);
  for (size_t v = 0; v < voices.size(); ++v) {
    Voice& voice = voices[v];
    voice.setSampleRate(table);
    voice.setParam(kAttack, v % 3 == 0 ? 0.0 : 0.3);
    voice.setParam(kRelease, v % 2 ? 0.0 : 0.2);
    if (v == 4) continue;  // never played
    voice.setNoteOn(20 + 9 * static_cast<int>(v), 90, static_cast<uint32_t>(v), nullptr);
    voice.update(0.0);
  }
  double warmUp[4410] = {};
  for (Voice& voice : voices) voice.process(warmUp, 4410);  // the fast attacks reach full level
  voices[6].setNoteOff();
  voices[9].setNoteOff();
  for (Voice& voice : voices) voice.update(0.0);

  std::vector<Voice> mixed = voices;
  std::vector<Voice*> pointers;
  for (Voice& voice : mixed) pointers.push_back(&voice);
  const int count = static_cast<int>(pointers.size());
  VoiceMixer mixer;
  mixer.prepare(count, 1000, 4, GetParam());
  ASSERT_EQ(mixer.kernel(), GetParam());
  int slice = 0;
  for (const std::vector<int>& run : {std::vector<int>{44, 1, 17, 0}, {999}, {7, 300, 44}, {15}}) {
    int frames = 0;
    for (int n : run) frames += n;
    std::vector<double> expected(static_cast<size_t>(frames), 0.25), out(expected);
    int at = 0;
    for (int n : run) {
      SCOPED_TRACE(testing::Message() << "slice " << slice << " of " << n << " frames");
      if (slice == 4)
        voices[1].setNoteOff(), mixed[1].setNoteOff();  // the fast release: silent soon
      if (slice == 6)  // a voice silent since the last slice plays again
        voices[1].setNoteOn(70, 100, 99, nullptr), mixed[1].setNoteOn(70, 100, 99, nullptr);
      const double bend = slice == 2 || slice == 7 ? 40.0 : 0.0;  // the runs break there
      for (size_t v = 0; v < voices.size(); ++v) {
        if (voices[v].isActive()) voices[v].update(bend), mixed[v].update(bend);
        voices[v].process(expected.data() + at, n);
      }
      mixer.plan(pointers.data(), count, n);
      for (size_t v = 0; v < voices.size(); ++v) {
        ASSERT_EQ(mixed[v].envelope(), voices[v].envelope()) << v;
        ASSERT_EQ(mixed[v].isActive(), voices[v].isActive()) << v;
      }
      at += n;
      ++slice;
    }
    EXPECT_EQ(mixer.plannedFrames(), frames);
    mixer.mix(out.data());
    ASSERT_EQ(out, expected) << "the run ending at slice " << slice - 1;
  }
}

INSTANTIATE_TEST_SUITE_P(Kernels, VoiceMixerKernels, ::testing::ValuesIn(simd::kKernels),
                         [](const auto& paramInfo) {
                           return std::string(simd::name(paramInfo.param));
                         });

TEST(LFO, PhaseRestartsAtZeroInsteadOfWrapping) {
  LFO lfo;
  lfo.setRate(300.0);  // 0.6 pi per tick
  for (int i = 0; i < 3; ++i) lfo.update();
  EXPECT_NEAR(lfo.phase(), 1.8 * M_PI, 1e-12);
  lfo.update();
  EXPECT_EQ(lfo.phase(), 0.0);
}

TEST(Noise, SequenceStaysInRangeAroundZeroAndRepeatsAfterReset) {
  resetNoiseSeed();
  std::vector<double> one(100000);
  for (double& v : one) v = getNoise();
  for (double v : one) ASSERT_TRUE(v >= -1.0 && v <= 1.0) << v;
  EXPECT_NEAR(std::accumulate(one.begin(), one.end(), 0.0) / one.size(), 0.0, 0.02);

  // After a reset, slices of any length give the sequence of one value at a time.
  std::vector<double> slices(300);
  resetNoiseSeed();
  const int lengths[] = {1, 4, 7, 44, 3, 45, 8};
  for (int at = 0, k = 0; at < 300; ++k) {
    const int n = std::min(300 - at, lengths[k % 7]);
    fillNoise(slices.data() + at, n);
    at += n;
  }
  EXPECT_TRUE(std::equal(slices.begin(), slices.end(), one.begin()));
}

// Between semitones the frequency is linear in Hz (pitches 64 and -64), not in cents.
// Back from Hz, semitones are found within the bisection's resolution, inside the range.
TEST(PitchTables, ToHzGivesListedFrequenciesAndFromHzFindsSemitones) {
  const std::pair<int, double> points[] = {{-64, (8.176 + 7.7171163805) / 2},
                                           {64, (8.176 + 8.662) / 2},
                                           {1 << 30, 19912.127},
                                           {-(1 << 30), 0.0033570162}};
  for (const auto& [pitchIndex, hz] : points)
    EXPECT_DOUBLE_EQ(pitch::toHz(pitchIndex), hz) << pitchIndex;
  for (int note : {24, 60, 61, 69, 127})
    EXPECT_EQ(pitch::fromHz(pitch::kMidiToHz[note]), note * 128) << note;
  // Fourteen halvings of 8640 cannot reach the very ends of the range exactly.
  EXPECT_NEAR(pitch::fromHz(pitch::kMidiToHz[0]), 0, 8);
  EXPECT_NEAR(pitch::fromHz(pitch::kMidiToHz[135]), 17280, 8);
  EXPECT_GE(pitch::fromHz(-1.0), 0);
  EXPECT_LE(pitch::fromHz(1e9), 17280);
  EXPECT_GE(pitch::fromHz(NAN), 0);
}

TEST(PitchTables, TablesStayWithinFiveMillihertzOfEqualTemperament) {
  for (int i = 0; i < pitch::kTableSize; ++i) {
    EXPECT_NEAR(pitch::kMidiToHz[i], 440.0 * std::pow(2.0, (i - 69) / 12.0), 0.005) << i;
    EXPECT_NEAR(pitch::kBelowMidiToHz[i], 8.176 * std::pow(2.0, -i / 12.0), 1e-9) << i;
  }
}
