#include "shell/MidiLearn.h"
#include "shell/Synth.h"

#include <gtest/gtest.h>

#include <cmath>

#include "shell/MTSClient.h"
#include "system/DynamicLibrary.h"

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

double twelveTet(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// Loads the fake master for one test and restores "no master" afterwards.
class MTSClientWithMaster : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(mts::reloadMasterForTesting(FAKE_MTS_MASTER_PATH));
    handle_ = openLibrary(FAKE_MTS_MASTER_PATH);  // the loaded one, counted once more
    ASSERT_NE(handle_, nullptr);
    setConnected_ =
        reinterpret_cast<void (*)(bool)>(librarySymbol(handle_, "FakeMaster_SetConnected"));
    clientCount_ = reinterpret_cast<int (*)()>(librarySymbol(handle_, "FakeMaster_ClientCount"));
    ASSERT_NE(setConnected_, nullptr);
    ASSERT_NE(clientCount_, nullptr);
    setConnected_(true);
    client_ = MTS_RegisterClient();
  }
  void TearDown() override {
    MTS_DeregisterClient(client_);
    closeLibrary(handle_);
    mts::reloadMasterForTesting(nullptr);
  }

  void* handle_ = nullptr;
  void (*setConnected_)(bool) = nullptr;
  int (*clientCount_)() = nullptr;
  MTSClient* client_ = nullptr;
};

// Without a master, or without a client, notes sound in 12-TET and none is filtered.
// Notes are taken modulo 128, so negative chars never index outside the tables.
TEST(MTSClient, WithoutMasterOrClientFallsBackToTwelveTet) {
  EXPECT_FALSE(mts::reloadMasterForTesting("/nonexistent/libMTS.so"));
  MTSClient* client = MTS_RegisterClient();
  ASSERT_NE(client, nullptr);
  EXPECT_STREQ(client->scaleName, "12-TET");
  for (MTSClient* c : {static_cast<MTSClient*>(nullptr), client}) {
    EXPECT_FALSE(MTS_HasMaster(c));
    for (int note : {0, 60, 69, 127, -59}) {
      EXPECT_NEAR(MTS_NoteToFrequency(c, static_cast<char>(note), -1), twelveTet(note & 127), 1e-9);
      EXPECT_FALSE(MTS_ShouldFilterNote(c, static_cast<char>(note), -1));
    }
  }
  MTS_DeregisterClient(nullptr);
  MTS_DeregisterClient(client);
}

// The global table until a note filter query names a valid channel; then that
// channel's table, for that channel only. The filter follows the global or channel rule.
// Registration reaches the master, which is asked anew at every query.
TEST_F(MTSClientWithMaster, FrequenciesAndFiltersComeFromTheMasterWhileItIsThere) {
  EXPECT_TRUE(MTS_HasMaster(client_));
  EXPECT_DOUBLE_EQ(MTS_NoteToFrequency(client_, 68, -1), 440.0);
  EXPECT_DOUBLE_EQ(MTS_NoteToFrequency(client_, 60, 1), 277.183);
  EXPECT_FALSE(MTS_ShouldFilterNote(client_, 60, 1));
  EXPECT_DOUBLE_EQ(MTS_NoteToFrequency(client_, 69, 1), 880.0);
  EXPECT_DOUBLE_EQ(MTS_NoteToFrequency(client_, 68, 2), 440.0);
  EXPECT_FALSE(MTS_ShouldFilterNote(client_, 60, -1));
  EXPECT_DOUBLE_EQ(MTS_NoteToFrequency(client_, 68, 1), 440.0);
  EXPECT_TRUE(MTS_ShouldFilterNote(client_, 120, -1));
  EXPECT_FALSE(MTS_ShouldFilterNote(client_, 5, -1));
  EXPECT_TRUE(MTS_ShouldFilterNote(client_, 5, 1));
  EXPECT_FALSE(MTS_ShouldFilterNote(client_, 120, 1));

  MTS_DeregisterClient(MTS_RegisterClient());
  EXPECT_EQ(clientCount_(), 1);
  setConnected_(false);
  EXPECT_FALSE(MTS_HasMaster(client_));
  EXPECT_NEAR(MTS_NoteToFrequency(client_, 69, -1), 440.0, 1e-9);
  EXPECT_FALSE(MTS_ShouldFilterNote(client_, 120, -1));
  setConnected_(true);
  EXPECT_TRUE(MTS_HasMaster(client_));
}

}  // namespace

// Parameter then controller assigns and ends the phase; the remembered parameter moves
// to the next controller learned, and a controller drives one parameter only. Unlearning
// ends the phase too.
TEST_F(MidiLearnFixture, LearnGivesAParameterOneControllerAndAControllerOneParameter) {
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

  // Unlearning, by controller or by parameter.
  config.setControllerParameter(9, 6);
  learn.doMidiUnlearn(true);
  learn.setMidiLearnCC(8);
  EXPECT_EQ(config.controllerParameter(8), -1);
  EXPECT_FALSE(learn.isLearning());
  learn.doMidiUnlearn(true);
  learn.setMidiLearnParam(6);
  EXPECT_EQ(config.controllerParameter(9), -1);
  EXPECT_EQ(view.turnedOff, 5);
}

// Nothing is assigned while idle or halfway, and a reset ends a phase silently; another
// instance's phase taken over: ending it shows the switch off, once.
TEST_F(MidiLearnFixture, NothingHappensWhileIdleOrHalfwayAndAPhaseTakenOverEndsOnce) {
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
