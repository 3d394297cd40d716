#include "formats/jack/JackPortNames.h"

#include <gtest/gtest.h>

namespace {
struct Case {
  const char* label;
  int index;
  bool input;
  const char* name;
  const char* prettyName;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class JackPortNames : public testing::TestWithParam<Case> {};

TEST_P(JackPortNames, ComeFromTheChannelLabel) {
  const Case& c = GetParam();
  const JackPortName port = jackAudioPortName(c.label, c.index, c.input);
  EXPECT_EQ(port.name, c.name);
  EXPECT_EQ(port.prettyName, c.prettyName);
}

INSTANTIATE_TEST_SUITE_P(Labels, JackPortNames,
                         testing::Values(Case{"MIC Left ", 0, true, "mic_left", "MIC Left"},
                                         Case{"  Side: chain (L) ", 2, true, "side_chain_l",
                                              "Side: chain (L)"},
                                         Case{"", 1, true, "in_2", "Input 2"},
                                         Case{" :: ", 0, false, "out_1", "Output 1"},
                                         Case{nullptr, 4, false, "out_5", "Output 5"}));

}  // namespace
