// Every factory program through ZORQ.so as a host plays it: chosen by a MIDI program
// change, rendered from the bundled voice and chords (and carrier), finite, sounding,
// inside the loudness window and measuring as the committed figure table says.
#include <gtest/gtest.h>

#include <cmath>

#include "ToolsTestSupport.h"
#include "zorq-bank/BankSource.h"
#include "zorq-bank/FigureTable.h"
#include "zorq-bank/ProgramMeter.h"

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

}  // namespace
