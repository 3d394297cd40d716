#include <gtest/gtest.h>

#include "shell/MTSClient.h"
#include "shell/Synth.h"

namespace {

TEST(Synth, MasterRetunesAndFiltersThroughTheClient) {
  ASSERT_TRUE(mts::reloadMasterForTesting(FAKE_MTS_MASTER_PATH));
  {
    Synth synth;
    EXPECT_TRUE(synth.hasMTSMaster());
    EXPECT_EQ(synth.getFrequency(60), 61 * 128);  // the test master plays a semitone up
    EXPECT_EQ(synth.getFrequency(68), 69 * 128);
    EXPECT_TRUE(synth.noteShouldBeSkipped(120));
    EXPECT_FALSE(synth.noteShouldBeSkipped(60));
  }
  mts::reloadMasterForTesting(nullptr);
}

TEST(Synth, KeyBufferCountsDistinctHeldNotesUntilReset) {
  Synth synth;
  synth.addPressedKey(60, 100);
  synth.addPressedKey(60, 90);
  synth.addPressedKey(64, 1);
  EXPECT_EQ(synth.pressedKeyCount(), 2);
  EXPECT_EQ(synth.pressedKeyVelocity(60), 90);
  synth.addPressedKey(64, 0);
  EXPECT_EQ(synth.pressedKeyCount(), 1);
  synth.removePressedKey(61);
  synth.removePressedKey(60);
  EXPECT_EQ(synth.pressedKeyCount(), 0);
  for (int note : {-1, 128, 100000}) synth.addPressedKey(note, 100);  // outside MIDI: ignored
  EXPECT_EQ(synth.pressedKeyCount(), 0);
  synth.addPressedKey(10, 20);
  synth.Reset();
  EXPECT_EQ(synth.pressedKeyCount(), 0);
}

}  // namespace
