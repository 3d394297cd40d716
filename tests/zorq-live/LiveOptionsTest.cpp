#include "zorq-live/LiveOptions.h"

#include <gtest/gtest.h>

#include "zorq-live/LiveWindow.h"

namespace {
TEST(LiveOptions, ReadsEveryOption) {
  const LiveOptions o = parseLiveArguments({"--name", "Vox", "--autoconnect", "--program", "63",
                                            "--preset", "a.fxp", "--state", "s.fxb", "--no-gui"},
                                           64);
  EXPECT_EQ(o.name, "Vox");
  EXPECT_TRUE(o.autoconnect);
  EXPECT_EQ(o.program, 63);
  EXPECT_EQ(o.preset, "a.fxp");
  EXPECT_EQ(o.state, "s.fxb");
  EXPECT_TRUE(o.noGui);
  EXPECT_FALSE(o.help || o.version);
  const LiveOptions defaults = parseLiveArguments({}, 64);
  EXPECT_EQ(defaults.name, "ZORQ");
  EXPECT_FALSE(defaults.autoconnect || defaults.noGui);
  EXPECT_EQ(defaults.program, LiveOptions::kNoProgram);
}

struct Refused {
  std::vector<std::string> arguments;
  const char* says;
};
void PrintTo(const Refused& r, std::ostream* os) {
  *os << (r.arguments.empty() ? "" : r.arguments[0]);
}
class LiveOptionsRefused : public testing::TestWithParam<Refused> {};

TEST_P(LiveOptionsRefused, WithAReason) {
  try {
    parseLiveArguments(GetParam().arguments, 64);
    FAIL() << "accepted";
  } catch (const LiveUsageError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().says), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(CommandLines, LiveOptionsRefused,
                         testing::Values(Refused{{"--program", "64"}, "0 to 63"},
                                         Refused{{"--program", "3x"}, "0 to 63"},
                                         Refused{{"--name"}, "--name needs a value"},
                                         Refused{{"--state", ""}, "--state needs a value"},
                                         Refused{{"--bogus"}, "unknown argument '--bogus'"}));

struct Key {
  uint32_t character;
  IKeyPress::ENamedKey named;
  bool control, shift, alt;
  LiveCommand command;
};
void PrintTo(const Key& k, std::ostream* os) {
  *os << int(k.command) << "_" << k.character << "_" << int(k.named);
}
class LiveKeys : public testing::TestWithParam<Key> {};

TEST_P(LiveKeys, AskForTheirCommand) {
  const Key& k = GetParam();
  IKeyPress key;
  key.character = k.character;
  key.key = k.named;
  key.control = k.control;
  key.shift = k.shift;
  key.alt = k.alt;
  EXPECT_EQ(liveCommandForKey(key), k.command);
}

constexpr auto kChar = IKeyPress::kNoNamedKey;
INSTANTIATE_TEST_SUITE_P(
    Table, LiveKeys,
    testing::Values(Key{'o', kChar, true, false, false, LiveCommand::kLoadProgram},
                    Key{'O', kChar, true, true, false, LiveCommand::kLoadBank},
                    Key{0, IKeyPress::kPageUp, false, false, false, LiveCommand::kPreviousProgram},
                    // Without Control, or with Alt, letters are not commands.
                    Key{'o', kChar, false, false, false, LiveCommand::kNone},
                    Key{'q', kChar, true, false, true, LiveCommand::kNone},
                    Key{'x', kChar, true, false, false, LiveCommand::kNone},
                    Key{0, IKeyPress::kPageUp, true, false, false, LiveCommand::kNone}));
}  // namespace
