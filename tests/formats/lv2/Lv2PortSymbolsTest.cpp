// The LV2 port symbols against the pinned list: hosts save port values by symbol, so a
// renamed port loses the user's setting.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "plugin/lv2/ZorqLv2Description.h"

TEST(Lv2Ports, SymbolsAreThePinnedOnes) {
  const Lv2Description description = zorqLv2Description();
  std::ifstream pinned(std::string(std::getenv("ZORQ_TEST_DATA")) + "/port-symbols.txt");
  std::vector<std::string> expected;
  for (std::string line; std::getline(pinned, line);) expected.push_back(line);
  ASSERT_EQ(expected.size(), description.paramPorts.size());
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(description.paramPorts[i].symbol, expected[i]) << i;
}
