// MIDI: notes and controllers on the voices, the tuning master, and program change. A
// program change is applied at the control tick of the message, on the audio
// thread without allocating or reading files; the program's sample file follows at
// the next idle call of the user-interface thread.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "EngineHarness.h"
#include "engine/SampleFileSchedule.h"
#include "shell/MTSClient.h"
#include "support/AllocationCounter.h"

namespace {

constexpr int kBlock = 512;
constexpr int kSoft = 0;  // current at the start: "Final Volume" 0.25, sample a.wav (1 s)
constexpr int kLoud = 5;  // "Final Volume" 0.8, sample b.wav (0.5 s)

// Two programs that differ only in "Final Volume" and sample file, in "File" input mode.
struct TwoPrograms {
  TwoPrograms() {
    sampleA =
        dir.write("a.wav", wavtest::wav(1, 16, 1, 44100, wavtest::sine(44100, 220.0, 44100.0)));
    sampleB =
        dir.write("b.wav", wavtest::wav(1, 16, 1, 44100, wavtest::sine(22050, 330.0, 44100.0)));
    for (const auto& [index, name, volume, sample] :
         {std::tuple{kLoud, "Loud", 0.8, sampleB}, std::tuple{kSoft, "Soft", 0.25, sampleA}}) {
      h.plug->RestorePreset(index);
      h.setParam(kFinalVolume, volume);
      h.setParam(kInputMode, 1.0);
      h.plug->setSampleFileName(sample.c_str());
      h.plug->loadSampleFile(false);
      h.plug->ModifyCurrentPreset(name);
    }
  }
  void programChange(int program, int offset = 0) { h.midi(0xC0, program, 0, offset); }
  // Four blocks of a held note, with a change to kLoud at offset 100 of the third when
  // asked; the left output, and the allocations of that third block.
  std::vector<double> renderHeldNote(bool change, size_t* allocations = nullptr) {
    std::vector<double> left;
    h.midi(0x90, 60, 100);
    for (int block = 0; block < 4; ++block) {
      if (change && block == 2) programChange(kLoud, 100);
      const size_t before = allocationCount();
      h.process(kBlock);
      if (block == 2 && allocations) *allocations = allocationCount() - before;
      left.insert(left.end(), h.out[0].begin(), h.out[0].begin() + kBlock);
    }
    return left;
  }

  wavtest::TempDir dir;
  std::string sampleA, sampleB;
  EngineHarness h;
};

class ProgramChange : public ::testing::Test, public TwoPrograms {};

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

// With a tuning master connected, a note sounds at the pitch the master gives it and
// notes the master filters are not played.
TEST(ZorqTuning, NotesFollowAConnectedMaster) {
  ASSERT_TRUE(mts::reloadMasterForTesting(FAKE_MTS_MASTER_PATH));
  {
    EngineHarness h;
    for (int note : {60, 121}) h.midi(0x90, note, 100);
    h.process(44);
    // The test master plays every note a semitone up and filters notes from 120 on.
    EXPECT_EQ(h.plug->voice(0).pitchIndex(), 61 * 128);
    EXPECT_FALSE(h.plug->voice(1).isActive());
    EXPECT_EQ(h.plug->pressedKeyCount(), 1);
  }
  mts::reloadMasterForTesting(nullptr);
}

}  // namespace

TEST_F(ProgramChange, SwitchesAtItsTickInTheMiddleOfANoteWithoutAllocating) {
  const uint32_t lengthA = h.plug->sampler().outputLength();
  const std::vector<double> expected = TwoPrograms().renderHeldNote(false);
  size_t allocations = 1;
  const std::vector<double> rendered = renderHeldNote(true, &allocations);
  EXPECT_EQ(allocations, 0u) << (countsMalloc() ? "" : "(operator new only)");

  // Identical up to the tick that takes the message (within one tick of its offset),
  // then louder by the ratio of the programs' "Final Volume", without a restart.
  size_t first = 0;
  while (first < rendered.size() && rendered[first] == expected[first]) ++first;
  const size_t offset = 2 * kBlock + 100, tick = h.plug->subBlockLength();
  ASSERT_TRUE(first + tick >= offset && first <= offset + tick) << first;
  for (size_t i = first; i < rendered.size(); ++i)
    ASSERT_NEAR(rendered[i], expected[i] * 0.8 / 0.25, 1e-12 + 1e-9 * std::fabs(expected[i])) << i;

  EXPECT_STREQ(h.plug->GetPresetName(h.plug->GetCurrentPresetIdx()), "Loud");
  // The old sample plays on until the user-interface thread's idle call loads b.wav.
  EXPECT_EQ(h.plug->sampleFileName(), sampleA);
  EXPECT_EQ(h.plug->sampler().outputLength(), lengthA);
  h.plug->OnIdle();
  EXPECT_EQ(h.plug->sampleFileName(), sampleB);
  EXPECT_EQ(h.plug->sampler().outputLength(), lengthA / 2);
}

TEST_F(ProgramChange, StoringTheStateBeforeIdleKeepsTheProgramsSampleFile) {
  programChange(kLoud);
  h.process(kBlock);
  h.plug->changePreset(kSoft);  // stores the live state into "Loud" first
  h.plug->changePreset(kLoud);
  EXPECT_EQ(h.plug->sampleFileName(), sampleB);
}

TEST_F(ProgramChange, NeverUsedSlotKeepsTheLiveStateAndIsNamedAtIdle) {
  programChange(9);
  h.process(kBlock);
  EXPECT_EQ(h.plug->GetCurrentPresetIdx(), 9);
  EXPECT_STREQ(h.plug->GetPresetName(9), "empty");
  h.plug->OnIdle();
  EXPECT_STREQ(h.plug->GetPresetName(9), "user preset 1");
}

// Ignored when the setting says so, and for programs past the 64th.
TEST_F(ProgramChange, IgnoredCasesLeaveEverythingAsItWas) {
  for (const auto& [ignore, program] :
       {std::pair{true, kLoud}, std::pair{false, 64}, std::pair{false, 127}}) {
    h.plug->configuration().setIgnoreProgramChange(ignore);
    programChange(program);
    h.process(kBlock);
    h.plug->OnIdle();
    EXPECT_EQ(h.plug->GetCurrentPresetIdx(), kSoft) << program;
    EXPECT_EQ(h.plug->GetParam(kFinalVolume)->Value(), 0.25) << program;
    EXPECT_EQ(h.plug->sampleFileName(), sampleA) << program;
  }
}

// The sample file's schedule: a read asked for sooner survives one asked for later, and
// what a run of MIDI program changes leaves is what the last of them implies.

using Read = SampleFileSchedule::Read;

TEST(SampleFileSchedule, ASoonerReadIsNeitherPutOffNorTakenByALaterOne) {
  SampleFileSchedule schedule;
  schedule.readBy(Read::kWhenMutexFree);  // a host call restored a state
  schedule.readBy(Read::kAtNextIdle);     // then stored it, adopting a program's file
  EXPECT_FALSE(schedule.takeRead(Read::kAtNextIdle));
  EXPECT_TRUE(schedule.takeRead(Read::kWhenMutexFree));
  EXPECT_FALSE(schedule.takeRead(Read::kWhenMutexFree));
  EXPECT_EQ(schedule.read(), Read::kNothingToRead);
}

TEST(SampleFileSchedule, TheLastProgramChangeDecidesWhatIsLeft) {
  constexpr int kNone = SampleFileSchedule::kNone;
  SampleFileSchedule schedule;
  // Into an unused slot after a program with another file: the live state, that
  // program's file included, goes into the slot.
  schedule.programChanged(5, false);
  schedule.unusedSlotSelected(9);
  EXPECT_EQ(schedule.takeProgramFile(), 5);
  EXPECT_EQ(schedule.takeUnusedSlot(), 9);
  EXPECT_EQ(schedule.takeProgramFile(), kNone);
  EXPECT_EQ(schedule.takeUnusedSlot(), kNone);

  schedule.unusedSlotSelected(9);
  schedule.programChanged(5, false);  // a stored program: the slot is no longer current
  schedule.programChanged(6, true);   // back to the live file
  EXPECT_EQ(schedule.takeUnusedSlot(), kNone);
  EXPECT_EQ(schedule.takeProgramFile(), kNone);

  schedule.programChanged(5, false);
  schedule.stateRestored();  // a restored state names its own file
  EXPECT_EQ(schedule.takeProgramFile(), kNone);
}
