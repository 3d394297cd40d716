#include <gtest/gtest.h>

#include "shell/Synth.h"

namespace {

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
