#include "shell/MidiLearn.h"
#include "shell/Synth.h"

#include <gtest/gtest.h>

namespace {
class SwitchSpy : public LearnSwitchView {
 public:
  void showOff() override { ++turnedOff; }
  int turnedOff = 0;
};

class MidiLearnFixture : public ::testing::Test {
 protected:
  MidiLearnFixture() { learn.setSwitchView(&view); }
  Configuration config{107};
  MidiLearn learn{config};
  SwitchSpy view;
};
}  // namespace

// Parameter then controller assigns and ends the phase; the remembered parameter moves
// to the next controller learned, and a controller drives one parameter only.
TEST_F(MidiLearnFixture, AParameterHasOneControllerAndAControllerOneParameter) {
  learn.doMidiLearn(true);
  learn.setMidiLearnParam(4);
  EXPECT_TRUE(learn.isLearning());
  learn.setMidiLearnCC(7);
  EXPECT_EQ(config.controllerParameter(7), 4);
  EXPECT_FALSE(learn.isLearning());
  EXPECT_EQ(view.turnedOff, 1);
  learn.doMidiLearn(true);
  learn.setMidiLearnCC(8);
  EXPECT_EQ(config.controllerParameter(7), -1);
  EXPECT_EQ(config.controllerParameter(8), 4);
  learn.doMidiLearn(true);
  learn.setMidiLearnParam(5);
  learn.setMidiLearnCC(8);
  EXPECT_EQ(config.controllerParameter(8), 5);
}

TEST_F(MidiLearnFixture, UnlearnByControllerOrByParameter) {
  config.setControllerParameter(7, 4);
  config.setControllerParameter(9, 6);
  learn.doMidiUnlearn(true);
  learn.setMidiLearnCC(7);
  EXPECT_EQ(config.controllerParameter(7), -1);
  EXPECT_FALSE(learn.isLearning());
  learn.doMidiUnlearn(true);
  learn.setMidiLearnParam(6);
  EXPECT_EQ(config.controllerParameter(9), -1);
  EXPECT_EQ(view.turnedOff, 2);
}

TEST_F(MidiLearnFixture, NothingHappensWhileIdleOrHalfway) {
  learn.setMidiLearnParam(3);
  learn.setMidiLearnCC(2);
  EXPECT_EQ(config.controllerParameter(2), -1);
  learn.doMidiLearn(true);
  learn.doMidiLearn(false);
  learn.setMidiLearnCC(2);
  EXPECT_EQ(config.controllerParameter(2), -1);
  learn.doMidiUnlearn(true);  // no controller and the remembered parameter is unassigned
  EXPECT_TRUE(learn.isLearning());
  learn.stop();
  EXPECT_FALSE(learn.isLearning());
  EXPECT_EQ(view.turnedOff, 0);  // a reset ends the phase silently
}

// Another instance's phase taken over: ending it shows the switch off, once.
TEST_F(MidiLearnFixture, PhaseTakenOverFromAnotherInstance) {
  learn.setPhase(true, false);
  EXPECT_TRUE(learn.isLearning());
  EXPECT_EQ(view.turnedOff, 0);
  learn.setPhase(false, false);
  learn.setPhase(false, false);
  EXPECT_FALSE(learn.isLearning());
  EXPECT_EQ(view.turnedOff, 1);
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
