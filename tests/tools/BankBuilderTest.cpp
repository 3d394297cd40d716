#include "zorq-bank/BankBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "support/TempFolder.h"
#include "engine/ZORQ.h"
#include "zorq-bank/BankApp.h"
#include "zorq-render/RenderError.h"

namespace {

const std::string kFactorySource = ZORQ_SOURCE_DIR "/resources/factory-bank.txt";

std::vector<BankProgram> programs(const std::string& text) {
  return BankSource::parse(text, "bank.txt");
}

TEST(BankBuilder, WritesNamesAndValuesThroughTheInstrumentAndDefaultsTheRest) {
  TempFolder temp;
  BankBuilder::build(programs("program First\npurpose a\n"
                              "program Second\npurpose b\n"
                              "  set Vocoder Mode=VE-10 Full Bands\n"
                              "  set Final Volume=-6 dB\n"
                              "  set Synthesis Freq 3=400\n"
                              "  set In Balance=70:30\n"),
                     "bank.txt", temp / "bank.fxb");
  // Loaded into an instrument of its own, as a user's bank file would be.
  ZORQ bank, defaults;
  ASSERT_TRUE(bank.LoadBankFromFXB(temp / "bank.fxb"));
  EXPECT_STREQ(bank.GetPresetName(0), "First");
  EXPECT_STREQ(bank.GetPresetName(1), "Second");
  for (int i = 2; i < Synth::kNumPresets; ++i) EXPECT_STREQ(bank.GetPresetName(i), "Init") << i;
  EXPECT_EQ(bank.GetCurrentPresetIdx(), 0);
  const auto value = [&](int program, int param) {
    bank.RestorePreset(program);
    return bank.GetParam(param)->Value();
  };
  EXPECT_EQ(value(1, kVocoderMode), 1.0);
  EXPECT_NEAR(20.0 * std::log10(value(1, kFinalVolume)), -6.0, 0.05);
  EXPECT_NEAR(value(1, kSynthesisFreq1 + 2), 400.0, 0.5);
  EXPECT_NEAR(value(1, kInBalance), 0.3, 0.005);
  for (int param = 0; param < kNumParams; ++param) {
    EXPECT_EQ(value(0, param), defaults.GetParam(param)->Value()) << param;
    EXPECT_EQ(value(63, param), defaults.GetParam(param)->Value()) << param;
  }
}

TEST(BankSource, ReadsProgramsInOrderWithTheirLines) {
  const std::vector<BankProgram> read = programs(
      "# comment\n"
      "program  Plain\n"
      "  purpose  The defaults\n"
      "\n"
      "program\tExt Robot\r\n"
      "  purpose   Vocodes inputs 3-4  \n"
      "  carrier  external\n"
      "  set      Vocoder Mode=VE-10 Full Bands\n"
      "  set Final Volume = -6 dB\n");
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].name, "Plain");
  EXPECT_EQ(read[0].purpose, "The defaults");
  EXPECT_FALSE(read[0].externalCarrier);
  EXPECT_TRUE(read[0].settings.empty());
  EXPECT_EQ(read[1].name, "Ext Robot");
  EXPECT_EQ(read[1].line, 5);
  EXPECT_EQ(read[1].purpose, "Vocodes inputs 3-4");
  EXPECT_TRUE(read[1].externalCarrier);
  ASSERT_EQ(read[1].settings.size(), 2u);
  EXPECT_EQ(read[1].settings[0].assignment, "Vocoder Mode=VE-10 Full Bands");
  EXPECT_EQ(read[1].settings[1].assignment, "Final Volume = -6 dB");
  EXPECT_EQ(read[1].settings[1].line, 9);
}

// A source the reader refuses, or settings (or more programs) the builder cannot take:
// the message starts with the origin and line and gives the reason, and no bank is
// written.
TEST(BankSource, MistakesAreRefusedNamingTheLineAndWriteNothing) {
  std::string tooMany;
  for (int i = 0; i <= Synth::kNumPresets; ++i)
    tooMany += "program P" + std::to_string(i) + "\npurpose p\n";
  const std::tuple<std::string, const char*, const char*> refused[] = {
      {"program 1234567890123456789012345\npurpose p\n", "bank.txt:1:", "longer than 24"},
      {"program Caf\xc3\xa9\npurpose p\n", "bank.txt:1:", "printable ASCII"},
      {"program Robot\npurpose p\nprogram ROBOT\npurpose q\n",
       "bank.txt:3:", "already used on line 1"},
      {"program\npurpose p\n", "bank.txt:1:", "needs a name"},
      {"program A\n\nprogram B\npurpose p\n", "bank.txt:1:", "has no purpose"},
      {"program A\npurpose p\npurpose q\n", "bank.txt:3:", "a second purpose"},
      {"program A\npurpose\n", "bank.txt:2:", "one line of 1 to 100"},
      {"set Bias=0.5\n", "bank.txt:1:", "before the first 'program'"},
      {"program A\npurpose p\nset Bias 0.5\n", "bank.txt:3:", "needs \"Name=value\""},
      {"program A\npurpose p\ncarrier internal\n", "bank.txt:3:", "only 'external'"},
      {"program A\npurpose p\nvalue Bias=1\n", "bank.txt:3:", "unknown keyword 'value'"},
      {"program A\npurpose p\n  set Loudness=3\n", "bank.txt:3:", "unknown parameter"},
      {"program A\npurpose p\n  set Bias=7\n", "bank.txt:3:", "parameter 'Bias' takes no"},
      {"program A\npurpose p\n  set Final Volume=-12 dB\n",
       "bank.txt:3:", "'Final Volume=-12 dB' shows as the default"},
      {"program A\npurpose p\n  set Ensemble=off\n",
       "bank.txt:3:", "'Ensemble=off' shows as the default"},
      {"program A\npurpose p\n  set Bias=0.5\n  set bias=0.2\n",
       "bank.txt:4:", "'bias' is set twice"},
      {tooMany, "bank.txt: ", "65 programs, but the instrument has 64"}};
  for (const auto& [text, where, reason] : refused) {
    TempFolder temp;
    try {
      BankBuilder::build(programs(text), "bank.txt", temp / "bank.fxb");
      ADD_FAILURE() << "accepted: " << reason;
    } catch (const RenderError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind(where, 0), 0u) << message;
      EXPECT_NE(message.find(reason), std::string::npos) << message;
    }
    EXPECT_TRUE(temp.entries().empty()) << reason;
  }
}

// The factory source fills every slot and starts from the plain defaults; the README
// lists it as it stands. (The build makes the plug-in's bank of it, whose names the
// factory bank's figure and lookup tests read through ZORQ.so.)
TEST(FactoryBankSource, SixtyFourProgramsFromAPlainStartAndTheReadmeListsThem) {
  const std::vector<BankProgram> factory = BankSource::read(kFactorySource);
  ASSERT_EQ(factory.size(), size_t(Synth::kNumPresets));
  EXPECT_TRUE(factory[0].settings.empty()) << "program 0 stays the plain starting point";

  const std::string readme = readText(ZORQ_SOURCE_DIR "/README.md");
  EXPECT_NE(readme.find(BankApp::markdownTable(kFactorySource)), std::string::npos)
      << "README.md's program table differs from `zorq-bank table resources/factory-bank.txt`";
}

}  // namespace
