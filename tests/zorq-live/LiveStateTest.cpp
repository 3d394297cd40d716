// The state file on the instrument itself: the bank and the current program survive a
// round trip, and a file that is not a whole bank is refused without being touched.
#include "zorq-live/LiveState.h"

#include <gtest/gtest.h>

#include "engine/ZORQ.h"
#include "support/TempFolder.h"

namespace {
class LiveStateFiles : public testing::Test {
 protected:
  void SetUp() override { plug.EnsureDefaultPreset(); }
  TempFolder folder;
  ZORQ plug;
};

TEST_F(LiveStateFiles, KeepTheBankTheCurrentProgramAndItsLiveEdits) {
  ASSERT_TRUE(LiveState::selectProgram(plug, 9));
  plug.SetParameterFromGUI(kFinalVolume, 0.75);  // an edit not yet stored in program 10
  std::string error;
  ASSERT_TRUE(LiveState::save(plug, folder / "state.fxb", &error)) << error;
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"state.fxb"});  // no temporary left

  ZORQ other;
  other.EnsureDefaultPreset();
  ASSERT_TRUE(LiveState::load(other, folder / "state.fxb", &error)) << error;
  EXPECT_EQ(other.GetCurrentPresetIdx(), 9);
  EXPECT_DOUBLE_EQ(other.GetParam(kFinalVolume)->GetNormalized(), 0.75);
  for (int i = 0; i < plug.NPresets(); ++i)
    EXPECT_STREQ(other.GetPresetName(i), plug.GetPresetName(i));
}

TEST_F(LiveStateFiles, RefuseAFileThatIsNotAWholeBankAndLeaveItAlone) {
  std::string error;
  ASSERT_TRUE(LiveState::save(plug, folder / "state.fxb", &error));
  std::string bytes = readText(folder / "state.fxb");
  bytes.resize(bytes.size() / 2);
  writeText(folder / "state.fxb", bytes);
  EXPECT_FALSE(LiveState::load(plug, folder / "state.fxb", &error));
  EXPECT_NE(error.find("not a complete ZORQ bank"), std::string::npos) << error;
  EXPECT_EQ(readText(folder / "state.fxb"), bytes);
  EXPECT_FALSE(LiveState::load(plug, folder / "missing.fxb", &error));
  EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
}

TEST_F(LiveStateFiles, LoadAProgramFileIntoTheCurrentProgram) {
  plug.SetParameterFromGUI(kOutBalance, 1.0);
  ASSERT_TRUE(plug.SaveProgramAsFXP(folder / "dry.fxp"));
  plug.SetParameterFromGUI(kOutBalance, 0.0);
  std::string error;
  ASSERT_TRUE(LiveState::loadProgramFile(plug, folder / "dry.fxp", &error)) << error;
  EXPECT_DOUBLE_EQ(plug.GetParam(kOutBalance)->Value(), 1.0);
  EXPECT_FALSE(LiveState::loadProgramFile(plug, folder / "state.fxb", &error));
  EXPECT_FALSE(LiveState::selectProgram(plug, plug.NPresets()));
}
}  // namespace
