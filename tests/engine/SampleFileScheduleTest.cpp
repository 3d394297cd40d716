// The sample file's schedule: a read asked for sooner survives one asked for later, and
// what a run of MIDI program changes leaves is what the last of them implies.
#include "engine/SampleFileSchedule.h"

#include <gtest/gtest.h>

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
