#include "zorq-render/NoteList.h"

#include <gtest/gtest.h>

#include "zorq-render/RenderError.h"

struct NoteCase {
  const char* text;
  int note;
};

void PrintTo(const NoteCase& c, std::ostream* os) { *os << c.text; }

class NoteListNames : public ::testing::TestWithParam<NoteCase> {};

TEST_P(NoteListNames, ParseToMidiNumbers) {
  EXPECT_EQ(NoteList::parseNote(GetParam().text), GetParam().note);
}

INSTANTIATE_TEST_SUITE_P(Names, NoteListNames,
                         ::testing::Values(NoteCase{"C4", 60}, NoteCase{"c4", 60}, NoteCase{"A4", 69},
                                           NoteCase{"F#3", 54}, NoteCase{"Bb2", 46},
                                           NoteCase{"C-1", 0}, NoteCase{"G9", 127},
                                           NoteCase{"Cb4", 59}, NoteCase{"64", 64},
                                           NoteCase{" 0 ", 0}));

class NoteListBadNames : public ::testing::TestWithParam<const char*> {};

TEST_P(NoteListBadNames, AreRejected) { EXPECT_THROW(NoteList::parseNote(GetParam()), RenderError); }

INSTANTIATE_TEST_SUITE_P(Names, NoteListBadNames,
                         ::testing::Values("", "H4", "C", "C#", "G#9", "128", "-1", "60.5", "C4.5",
                                           "C4x", "Cb-1"));

TEST(NoteList, ChordsFollowEachOtherWithDefaults) {
  const MidiSequence s = NoteList::parse("C3+E3:2, G3");
  ASSERT_EQ(s.events.size(), 6u);
  // Note-ons of the chord at 0, their note-offs at 2, then G3 from 2 to 3.
  EXPECT_EQ(s.events[0].status, 0x90);
  EXPECT_EQ(s.events[0].data1, 48);
  EXPECT_EQ(s.events[0].data2, 100);
  EXPECT_EQ(s.events[1].data1, 52);
  EXPECT_DOUBLE_EQ(s.events[2].seconds, 2.0);
  EXPECT_EQ(s.events[2].status, 0x80);
  EXPECT_EQ(s.events[3].status, 0x80);
  EXPECT_EQ(s.events[4].status, 0x90);
  EXPECT_EQ(s.events[4].data1, 55);
  EXPECT_DOUBLE_EQ(s.events[4].seconds, 2.0);
  EXPECT_DOUBLE_EQ(s.events[5].seconds, 3.0);
  EXPECT_DOUBLE_EQ(s.endSeconds(), 3.0);
}

TEST(NoteList, ExplicitStartRestAndVelocity) {
  const MidiSequence s = NoteList::parse("r:0.5, 60:0.25/7, 62@3:1");
  ASSERT_EQ(s.events.size(), 4u);
  EXPECT_DOUBLE_EQ(s.events[0].seconds, 0.5);
  EXPECT_EQ(s.events[0].data2, 7);
  EXPECT_DOUBLE_EQ(s.events[1].seconds, 0.75);
  EXPECT_DOUBLE_EQ(s.events[2].seconds, 3.0);
  EXPECT_EQ(s.events[2].data1, 62);
}

TEST(NoteList, RepeatedNoteIsReleasedBeforeItStartsAgain) {
  const MidiSequence s = NoteList::parse("C4:1, C4:1");
  ASSERT_EQ(s.events.size(), 4u);
  EXPECT_EQ(s.events[1].status, 0x80);
  EXPECT_EQ(s.events[2].status, 0x90);
  EXPECT_DOUBLE_EQ(s.events[1].seconds, s.events[2].seconds);
}

class NoteListBadEntries : public ::testing::TestWithParam<const char*> {};

TEST_P(NoteListBadEntries, AreRejected) { EXPECT_THROW(NoteList::parse(GetParam()), RenderError); }

INSTANTIATE_TEST_SUITE_P(Entries, NoteListBadEntries,
                         ::testing::Values("", "C4,", "C4:0", "C4:-1", "C4@-1", "C4/0", "C4/128",
                                           "C4/1.5", "C4+", "C4:x", "C4@nan", "C4:inf", "X9"));
