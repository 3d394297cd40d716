#include "framework/IPreset.h"

#include <gtest/gtest.h>

TEST(IPreset, StartsEmptyAndUninitialised) {
  IPreset preset;
  EXPECT_FALSE(preset.initialized);
  EXPECT_EQ(preset.name, "empty");
  EXPECT_EQ(preset.chunk.Size(), 0);
}

TEST(IPreset, LongNamesAreCut) {
  IPreset preset;
  preset.setName(std::string(300, 'x').c_str());
  EXPECT_EQ(preset.name.size(), IPreset::kMaxNameLength);
  preset.setName(nullptr);
  EXPECT_EQ(preset.name, "");
}
