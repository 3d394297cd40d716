#include "zorq-live/LiveOptions.h"

#include <gtest/gtest.h>

namespace {
struct Refused {
  std::vector<std::string> arguments;
  const char* says;
};
void PrintTo(const Refused& r, std::ostream* os) {
  for (size_t i = 0; i < r.arguments.size(); ++i) *os << (i ? " " : "") << r.arguments[i];
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
                                         Refused{{"--program", "-1"}, "0 to 63"},
                                         Refused{{"--name"}, "--name needs a value"},
                                         Refused{{"--state", ""}, "--state needs a value"},
                                         Refused{{"--bogus"}, "unknown argument '--bogus'"}));

}  // namespace
