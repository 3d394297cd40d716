// The state file on the instrument itself: the bank, the current program and its live
// edits survive a round trip (a damaged file is refused by zorq-live's own test), and
// a program file loads into the current program; command lines refused with a reason.
#include "zorq-live/LiveState.h"

#include <gtest/gtest.h>

#include "zorq-live/LiveOptions.h"

#include "engine/ZORQ.h"
#include "support/TempFolder.h"

namespace {
TEST(LiveStateFiles, KeepTheBankTheCurrentProgramAndItsLiveEditsOrLoadAProgram) {
  TempFolder folder;
  ZORQ plug;
  plug.EnsureDefaultPreset();
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

  // A program file loads into the current program; a bank is none, nor a program past the
  // last.
  plug.SetParameterFromGUI(kOutBalance, 1.0);
  ASSERT_TRUE(plug.SaveProgramAsFXP(folder / "dry.fxp"));
  plug.SetParameterFromGUI(kOutBalance, 0.0);
  ASSERT_TRUE(LiveState::loadProgramFile(plug, folder / "dry.fxp", &error)) << error;
  EXPECT_DOUBLE_EQ(plug.GetParam(kOutBalance)->Value(), 1.0);
  EXPECT_FALSE(LiveState::loadProgramFile(plug, folder / "state.fxb", &error));
  EXPECT_FALSE(LiveState::selectProgram(plug, plug.NPresets()));
}
TEST(LiveOptions, CommandLinesAreRefusedWithAReason) {
  const std::pair<std::vector<std::string>, const char*> refused[] = {
      {{"--program", "64"}, "0 to 63"},
      {{"--program", "-1"}, "0 to 63"},
      {{"--name"}, "--name needs a value"},
      {{"--state", ""}, "--state needs a value"},
      {{"--bogus"}, "unknown argument '--bogus'"}};
  for (const auto& [arguments, says] : refused) {
    try {
      parseLiveArguments(arguments, 64);
      ADD_FAILURE() << "accepted: " << says;
    } catch (const LiveUsageError& e) {
      EXPECT_NE(std::string(e.what()).find(says), std::string::npos) << e.what();
    }
  }
}
}  // namespace
