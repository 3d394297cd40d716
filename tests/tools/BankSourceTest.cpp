#include "zorq-bank/BankSource.h"

#include <gtest/gtest.h>

#include "zorq-render/RenderError.h"

namespace {

TEST(BankSource, ReadsProgramsInOrderWithTheirLines) {
  const std::vector<BankProgram> programs = BankSource::parse(
      "# comment\n"
      "program  Plain\n"
      "  purpose  The defaults\n"
      "\n"
      "program\tExt Robot\r\n"
      "  purpose   Vocodes inputs 3-4  \n"
      "  carrier  external\n"
      "  set      Vocoder Mode=VE-10 Full Bands\n"
      "  set Final Volume = -6 dB\n",
      "bank.txt");
  ASSERT_EQ(programs.size(), 2u);
  EXPECT_EQ(programs[0].name, "Plain");
  EXPECT_EQ(programs[0].purpose, "The defaults");
  EXPECT_FALSE(programs[0].externalCarrier);
  EXPECT_TRUE(programs[0].settings.empty());
  EXPECT_EQ(programs[1].name, "Ext Robot");
  EXPECT_EQ(programs[1].line, 5);
  EXPECT_EQ(programs[1].purpose, "Vocodes inputs 3-4");
  EXPECT_TRUE(programs[1].externalCarrier);
  ASSERT_EQ(programs[1].settings.size(), 2u);
  EXPECT_EQ(programs[1].settings[0].assignment, "Vocoder Mode=VE-10 Full Bands");
  EXPECT_EQ(programs[1].settings[1].assignment, "Final Volume = -6 dB");
  EXPECT_EQ(programs[1].settings[1].line, 9);
}

struct Refusal {
  const char* text;
  const char* where;   // origin and line the message starts with
  const char* reason;  // part of the message
  friend void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.reason; }
};

class BankSourceRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(BankSourceRefuses, NamingTheLine) {
  try {
    BankSource::parse(GetParam().text, "bank.txt");
    FAIL() << "accepted";
  } catch (const RenderError& e) {
    const std::string message = e.what();
    EXPECT_EQ(message.rfind(GetParam().where, 0), 0u) << message;
    EXPECT_NE(message.find(GetParam().reason), std::string::npos) << message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, BankSourceRefuses,
    ::testing::Values(
        Refusal{"program 1234567890123456789012345\npurpose p\n", "bank.txt:1:", "longer than 24"},
        Refusal{"program Caf\xc3\xa9\npurpose p\n", "bank.txt:1:", "printable ASCII"},
        Refusal{"program Robot\npurpose p\nprogram ROBOT\npurpose q\n",
                "bank.txt:3:", "already used on line 1"},
        Refusal{"program\npurpose p\n", "bank.txt:1:", "needs a name"},
        Refusal{"program A\n\nprogram B\npurpose p\n", "bank.txt:1:", "has no purpose"},
        Refusal{"program A\npurpose p\npurpose q\n", "bank.txt:3:", "a second purpose"},
        Refusal{"program A\npurpose\n", "bank.txt:2:", "one line of 1 to 100"},
        Refusal{"set Bias=0.5\n", "bank.txt:1:", "before the first 'program'"},
        Refusal{"program A\npurpose p\nset Bias 0.5\n", "bank.txt:3:", "needs \"Name=value\""},
        Refusal{"program A\npurpose p\ncarrier internal\n", "bank.txt:3:", "only 'external'"},
        Refusal{"program A\npurpose p\nvalue Bias=1\n", "bank.txt:3:", "unknown keyword 'value'"}));

}  // namespace
