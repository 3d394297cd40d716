#include <gtest/gtest.h>

#include <climits>

#include "EngineHarness.h"
#include "shell/MTSClient.h"

namespace {

int activeVoices(const EngineHarness& h) {
  int n = 0;
  for (int i = 0; i < ZORQ::kNumVoices; ++i) n += h.plug->voice(i).isActive();
  return n;
}

class ZorqMidi : public ::testing::Test {
 protected:
  void noteOn(int note, int velocity = 100, int offset = 0) {
    h.midi(0x90, note, velocity, offset);
  }
  const Voice& voice(int i) const { return h.plug->voice(i); }

  EngineHarness h;
};

// At 44.1 kHz a tick is 44 samples: offset 30 plays at once, 60 moves to 82 (tick at
// sample 44), 70 moves to 92 (tick at sample 88); 66 lies halfway and goes to the earlier tick.
// Offsets before the block (a host's mistake, down to INT_MIN) play at once.
TEST(ZorqMidiTiming, EventLandsOnTheNearestTick) {
  const std::pair<int, int> cases[] = {{0, 0},   {30, 0},  {44, 0}, {60, 44},    {70, 88},
                                       {66, 44}, {67, 88}, {-5, 0}, {INT_MIN, 0}};
  for (const auto& [offset, dispatchSample] : cases) {  // the tick that dispatches it
    EngineHarness h;
    h.midi(0x90, 60, 100, offset);
    h.process(dispatchSample);
    EXPECT_FALSE(h.plug->voice(0).isActive()) << offset;
    h.process(1);
    EXPECT_TRUE(h.plug->voice(0).isActive()) << offset;
  }
}

TEST_F(ZorqMidi, RepeatedNoteReusesItsVoiceAndVelocityZeroReleases) {
  for (int strike = 0; strike < 2; ++strike) {
    noteOn(64);
    h.process(44);
  }
  EXPECT_EQ(activeVoices(h), 1);
  EXPECT_EQ(h.plug->pressedKeyCount(), 1);
  noteOn(64, 0);
  h.process(1);
  EXPECT_FALSE(voice(0).gate());
  EXPECT_EQ(h.plug->pressedKeyCount(), 0);
}

TEST_F(ZorqMidi, SixtyFifthNoteStealsTheOldestVoice) {
  for (int note = 0; note < 64; ++note) noteOn(note + 1);
  h.process(1);
  ASSERT_EQ(activeVoices(h), 64);
  noteOn(100);
  h.process(44);
  EXPECT_EQ(voice(0).note(), 100);
  EXPECT_EQ(voice(1).note(), 2);
}

TEST_F(ZorqMidi, ReleasedVoiceKeepsItsNoteForTheNextStrike) {
  for (int note : {61, 62, 63}) noteOn(note);
  h.process(1);
  for (int note : {61, 62}) h.midi(0x80, note);
  h.process(44 * 100);  // well past the 5 ms release
  ASSERT_FALSE(voice(0).isActive());
  ASSERT_FALSE(voice(1).isActive());
  noteOn(62);
  h.process(44);
  EXPECT_TRUE(voice(1).isActive());
  EXPECT_FALSE(voice(0).isActive());
}

TEST_F(ZorqMidi, PedalValueOnePresses) {
  noteOn(60);
  h.midi(0xB0, 64, 1);
  h.midi(0x80, 60);
  h.process(44 * 50);
  EXPECT_TRUE(voice(0).isActive());
  EXPECT_GT(voice(0).envelope(), 0.99);
  h.midi(0xB0, 64, 0);
  h.process(44 * 50);
  EXPECT_FALSE(voice(0).isActive());
}

TEST(ZorqMidiAllNotesOff, ModeControllersActAtOnceOrNotAtAll) {
  for (const int index : {120, 121, 122, 123, 124, 127}) {
    const bool releases = index == 120 || index == 123;
    EngineHarness h;
    for (int note : {60, 72}) h.midi(0x90, note, 100);
    h.midi(0xB0, 64, 127);
    h.process(1);
    h.midi(0xB0, index, 0, 500);
    EXPECT_EQ(h.plug->voice(0).gate(), !releases) << index;
    EXPECT_EQ(h.plug->voice(1).sustained(), !releases) << index;
    EXPECT_EQ(h.plug->pressedKeyCount(), releases ? 0 : 2) << index;
    h.process(44 * 20);
    EXPECT_EQ(activeVoices(h), releases ? 0 : 2) << index;
  }
}

// The wheel's position times "Pitch Bend" moves the voices. (Reading the wheel's 14 bits
// is the MIDI record's job, holding a bent pitch inside the table the voice's.)
TEST_F(ZorqMidi, WheelBendsTheVoicesByTheRange) {
  h.setParam(kPitchBend, 12);
  h.midi(0xE0, 0, 0);  // fully down
  noteOn(69);
  h.process(1);
  EXPECT_EQ(voice(0).pitchIndex(), 57 * 128);
}

TEST_F(ZorqMidi, OtherMessagesAndNotesWithTheKeyboardOffAreIgnored) {
  h.midi(0xF8, 0, 0);    // clock
  h.midi(0x45, 60, 1);   // stray data byte
  h.midi(0xB0, 7, 100);  // unlearned controller
  h.process(44);
  EXPECT_EQ(activeVoices(h), 0);
  h.setParam(kKeyboard, 0);
  noteOn(60);
  h.process(44);
  EXPECT_EQ(activeVoices(h), 0);
  EXPECT_EQ(h.plug->pressedKeyCount(), 0);
}

TEST_F(ZorqMidi, ResetKeepsPendingEventsAndCentresTheWheel) {
  h.midi(0xE0, 0, 0);
  h.process(1);
  noteOn(60, 100, 300);
  h.plug->Reset();
  EXPECT_EQ(h.plug->pitchWheel(), 0.0);
  h.process(400);
  EXPECT_TRUE(voice(0).isActive());
}

}  // namespace

// With a tuning master connected, a note sounds at the pitch the master gives it and
// notes the master filters are not played.
TEST(ZorqTuning, NotesFollowAConnectedMaster) {
  ASSERT_TRUE(mts::reloadMasterForTesting(FAKE_MTS_MASTER_PATH));
  {
    EngineHarness h;
    for (int note : {60, 121}) h.midi(0x90, note, 100);
    h.process(44);
    // The test master plays every note a semitone up and filters notes from 120 on.
    EXPECT_EQ(h.plug->voice(0).pitch(), 61 * 128);
    EXPECT_EQ(h.plug->voice(0).pitchIndex(), 61 * 128);
    EXPECT_FALSE(h.plug->voice(1).isActive());
    EXPECT_EQ(h.plug->pressedKeyCount(), 1);
  }
  mts::reloadMasterForTesting(nullptr);
}
