// Every factory program through ZORQ.so as a host plays it: chosen by a MIDI program
// change, rendered from the bundled voice and chords (and carrier), finite, sounding,
// inside the loudness window and measuring as the committed figure table says; the
// figures of known signals, and the table's text and rules.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "support/TempFolder.h"
#include "zorq-bank/BankSource.h"
#include "zorq-bank/FigureTable.h"
#include "zorq-bank/ProgramMeter.h"
#include "zorq-bank/SignalFigures.h"
#include "support/TestSignals.h"

namespace {

constexpr int kShards = 4;  // the 64 renders split so that the suite runs them side by side

#ifdef ZORQ_SANITIZED_BUILD
// Under the sanitizers every program plays one second, enough for them to watch all of
// its code run; the ordinary build renders each in full and compares the figures.
constexpr double kExcerptSeconds = 1.0;
#else
constexpr double kExcerptSeconds = 0.0;
#endif

const std::string kSource = ZORQ_SOURCE_DIR "/resources/factory-bank.txt";
const std::string kTable = ZORQ_SOURCE_DIR "/resources/factory-bank-figures.txt";

std::vector<FigureRow> committedTable() { return FigureTable::parse(readText(kTable)); }

TEST(FactoryBankFigures, CommittedTableListsTheSourceAndKeepsTheRules) {
  const std::vector<BankProgram> programs = BankSource::read(kSource);
  const std::vector<FigureRow> rows = committedTable();
  ASSERT_EQ(rows.size(), programs.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].program, int(i));
    EXPECT_EQ(rows[i].name, programs[i].name) << "run `make bank-figures` after changing the bank";
  }
  for (const std::string& problem : FigureTable::problems(rows)) ADD_FAILURE() << problem;
}

class FactoryBankPrograms : public ::testing::TestWithParam<int> {};

TEST_P(FactoryBankPrograms, MidiProgramChangeReachesEachAndItMeasuresAsCommitted) {
  const std::vector<BankProgram> programs = BankSource::read(kSource);
  const std::vector<FigureRow> committed = committedTable();
  ASSERT_EQ(committed.size(), programs.size());
  const double reference = committed[0].figures.levelDb;
  ProgramMeter::Setup setup{ZORQ_PLUGIN, ZORQ_SOURCE_DIR "/demo/voice.wav",
                            ZORQ_SOURCE_DIR "/demo/chords.mid",
                            ZORQ_SOURCE_DIR "/demo/carrier.wav"};
  setup.excerptSeconds = kExcerptSeconds;
  const ProgramMeter meter(setup);
  for (size_t i = size_t(GetParam()); i < programs.size(); i += kShards) {
    const ProgramMeter::Result result = meter.measure(int(i), programs[i].externalCarrier);
    const SignalFigures& f = result.figures;
    SCOPED_TRACE(FigureTable::formatRow({int(i), result.name, f}));
    EXPECT_EQ(result.programAfter, int(i));
    EXPECT_EQ(result.name, programs[i].name);
    ASSERT_TRUE(f.finite);
    EXPECT_GT(f.levelDb, FigureTable::kSilentDb);
    EXPECT_LT(f.peakDb, FigureTable::kClipDb);
    if (kExcerptSeconds > 0.0) continue;
    EXPECT_LE(std::fabs(f.levelDb - reference), FigureTable::kLoudnessWindowDb);
    for (const std::string& difference :
         FigureTable::differences(committed[i], {int(i), result.name, f}))
      ADD_FAILURE() << difference << " (run `make bank-figures` after an intended change)";
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFourth, FactoryBankPrograms, ::testing::Range(0, kShards));
constexpr double kRate = 44100.0;
constexpr size_t kLength = 44100;

std::vector<float> signal(const std::function<double(size_t)>& sample) {
  std::vector<float> out(kLength);
  for (size_t i = 0; i < kLength; ++i) out[i] = float(sample(i));
  return out;
}

// A voice-like modulator: noise whose loudness and brightness move over the second.
std::vector<float> voice() {
  const std::vector<float> hiss = noise(kLength, 1, 1.0f);
  return signal([&](size_t i) {
    const double t = double(i) / kRate;
    return 0.3 * std::sin(2 * M_PI * 3 * t) *
           (hiss[i] * 0.5 + std::sin(2 * M_PI * (300 + 2000 * t) * t));
  });
}

TEST(SignalFigures, KnownSignals) {
  const std::vector<float> modulator = voice();
  const SignalAnalyser analyser(modulator, kRate);

  const SignalFigures dry = analyser.measure(modulator, modulator);  // the voice itself, centred
  EXPECT_NEAR(dry.intelligibility, 1.0, 1e-9);
  EXPECT_EQ(dry.width, 0.0);

  const std::vector<float> tone =
      signal([](size_t i) { return 0.5 * std::sin(2 * M_PI * 1000.0 * double(i) / kRate); });
  const SignalFigures sine = analyser.measure(tone, tone);
  EXPECT_NEAR(sine.levelDb, 20 * std::log10(0.5 / std::sqrt(2.0)), 0.01);
  EXPECT_NEAR(sine.peakDb, 20 * std::log10(0.5), 0.01);
  EXPECT_NEAR(sine.centroidHz, 1000.0, 15.0);
  EXPECT_LT(sine.bandwidthHz, 50.0);
  EXPECT_LT(sine.noisiness, 0.01);
  EXPECT_LT(std::fabs(sine.intelligibility), 0.2);  // a steady tone follows no formant
  EXPECT_LT(sine.dynamicsDb, 1.0);

  const SignalFigures hiss = analyser.measure(noise(kLength, 2, 1.0f), noise(kLength, 3, 1.0f));
  EXPECT_GT(hiss.noisiness, 0.4);
  EXPECT_NEAR(hiss.width, 1.0, 0.05);  // independent channels: side as strong as mid
  EXPECT_GT(hiss.centroidHz, 9000.0);

  const std::vector<float> silence(kLength, 0.0f);
  EXPECT_EQ(analyser.measure(silence, silence).levelDb, SignalFigures::kSilentDb);
  std::vector<float> broken = tone;
  broken[100] = NAN;
  EXPECT_FALSE(analyser.measure(broken, tone).finite);
}

SignalFigures figures(double level, double centroid, double intelligibility = 0.5,
                      double width = 0.0) {
  SignalFigures f;
  f.levelDb = level;
  f.peakDb = level + 15.0;
  f.centroidHz = centroid;
  f.bandwidthHz = 400.0;
  f.intelligibility = intelligibility;
  f.width = width;
  f.dynamicsDb = 20.0;
  return f;
}

TEST(FigureTable, TextRoundTripsAndTheRulesNameEachProblem) {
  std::vector<FigureRow> rows = {{0, "Plain", figures(-27.0, 500.0)},
                                 {1, "Too Quiet", figures(-30.2, 800.0)},
                                 {2, "Same As Plain", figures(-26.0, 510.0)},
                                 {3, "Wide Twin", figures(-26.0, 510.0, 0.5, 0.4)},
                                 {4, "Loud Clipper", figures(-14.0, 900.0)},
                                 {5, "Silent", figures(SignalFigures::kSilentDb, 0.0)}};
  rows[5].figures.peakDb = SignalFigures::kSilentDb;
  const std::vector<FigureRow> parsed = FigureTable::parse(FigureTable::format(rows));
  ASSERT_EQ(parsed.size(), rows.size());
  EXPECT_EQ(parsed[3].name, "Wide Twin");
  EXPECT_EQ(parsed[3].figures.width, 0.4);
  EXPECT_TRUE(FigureTable::differences(rows[1], parsed[1]).empty());

  EXPECT_EQ(FigureTable::problems(rows),
            (std::vector<std::string>{
                "program 1 'Too Quiet' is -3.2 dB from program 0 (window +-3 dB)",
                "program 4 'Loud Clipper' is +13.0 dB from program 0 (window +-3 dB)",
                "program 4 'Loud Clipper' clips (peak +1.0 dBFS)", "program 5 'Silent' is silent",
                "program 0 'Plain' and program 2 'Same As Plain' measure alike"}));

  FigureRow drifted = rows[0];
  drifted.figures.centroidHz = 540.0;
  drifted.figures.intelligibility = 0.45;
  EXPECT_EQ(FigureTable::differences(rows[0], drifted),
            (std::vector<std::string>{"program 0 'Plain': centroid was 500.00, is 540.00",
                                      "program 0 'Plain': intelligibility was 0.50, is 0.45"}));
}

}  // namespace
