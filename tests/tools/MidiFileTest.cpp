// The notes zorq-render reads: Standard MIDI files and note lists; and the numbers in
// note lists and the figure table whatever locale a hosted plug-in leaves the process in.
#include "zorq-render/MidiFile.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/CommaLocale.h"
#include "support/TempFolder.h"
#include "zorq-bank/FigureTable.h"
#include "zorq-render/NoteList.h"
#include "zorq-render/RenderError.h"

namespace {

// A sequence's events as (seconds, status, data 1, data 2), for whole-sequence comparisons.
using EventRow = std::tuple<double, int, int, int>;
std::vector<EventRow> rowsOf(const MidiSequence& sequence) {
  std::vector<EventRow> rows;
  for (const TimedMidiEvent& e : sequence.events)
    rows.emplace_back(e.seconds, e.status, e.data1, e.data2);
  return rows;
}

std::vector<uint8_t> bytesOf(const std::string& path) {
  const std::string text = readText(ZORQ_SOURCE_DIR + path);
  return {text.begin(), text.end()};
}

// Files in tests/tools/data, read into events at their seconds.
TEST(MidiFile, ReadsTempoChangesRunningStatusTracksAndSmpteTime) {
  const std::pair<const char*, std::vector<EventRow>> files[] = {
      // Type 0 at 120 bpm, 480 ticks a beat: a note at beat 0, a tempo of 60 bpm from
      // beat 1, the note's end there, another note one beat later and its end half a
      // beat after that in running status.
      {"type0-tempo-change.mid",
       {{0.0, 0x90, 60, 100}, {0.5, 0x80, 60, 0}, {1.5, 0x90, 62, 90}, {2.0, 0x90, 62, 0}}},
      // Type 1: a tempo track (240 bpm), an unknown chunk, a track with a note at beat 2, a
      // system exclusive message (skipped) and a program change (one data byte) a beat
      // later, and a track with a controller at beat 1.
      {"type1-three-tracks.mid", {{0.25, 0xB2, 7, 100}, {0.5, 0x91, 64, 80}, {0.75, 0xC1, 5, 0}}},
      // 25 frames a second of 40 ticks: a note at tick 250, a tempo (ignored under SMPTE
      // time), the note's end 1000 ticks later.
      {"smpte-25fps.mid", {{0.25, 0x90, 60, 1}, {1.25, 0x80, 60, 0}}}};
  for (const auto& [name, rows] : files)
    EXPECT_EQ(rowsOf(MidiFile::parse(bytesOf("/tests/tools/data/" + std::string(name)))), rows)
        << name;
  const MidiSequence sequence =
      MidiFile::parse(bytesOf("/tests/tools/data/type0-tempo-change.mid"));
  EXPECT_DOUBLE_EQ(sequence.tempo.beatsAtSeconds(1.5), 2.0);
  EXPECT_DOUBLE_EQ(sequence.tempo.beatsPerMinuteAtSeconds(1.0), 60.0);
}

// A length that runs past the file or past its track (a text event one byte longer than
// its track, the byte after the track in the file) is refused with RenderError, never
// read beyond. Both are regression inputs of the fuzz target too, with the other
// damaged files it refuses.
TEST(MidiFile, LengthsBeyondTheDataAreRefused) {
  for (const char* name : {"track-length-beyond-the-file", "text-one-byte-beyond-its-track"})
    EXPECT_THROW(MidiFile::parse(bytesOf("/fuzz/regressions/midi_file/" + std::string(name))),
                 RenderError)
        << name;
}

// Note-ons then their note-offs in time order; a repeated note is released before it
// starts again. Bad entries are refused, a note above 127 (G#9) among them.
TEST(NoteList, GivesNoteOnsAndOffsInTimeOrderOrRefusesBadEntries) {
  const std::pair<const char*, std::vector<EventRow>> cases[] = {
      {"C3+E3:2, G3",  // defaults: velocity 100, one second, one after the other
       {{0, 0x90, 48, 100},
        {0, 0x90, 52, 100},
        {2, 0x80, 48, 0},
        {2, 0x80, 52, 0},
        {2, 0x90, 55, 100},
        {3, 0x80, 55, 0}}},
      {"r:0.5, 60:0.25/7, 62@3:1",
       {{0.5, 0x90, 60, 7}, {0.75, 0x80, 60, 0}, {3, 0x90, 62, 100}, {4, 0x80, 62, 0}}},
      {"C4:1, C4:1", {{0, 0x90, 60, 100}, {1, 0x80, 60, 0}, {1, 0x90, 60, 100}, {2, 0x80, 60, 0}}},
  };
  for (const auto& [text, rows] : cases) EXPECT_EQ(rowsOf(NoteList::parse(text)), rows) << text;
  for (const char* bad :
       {"", "C4,", "C4:0", "C4@-1", "C4/0", "C4/128", "C4/1.5", "C4+", "C4@nan", "C4:inf", "G#9"})
    EXPECT_THROW(NoteList::parse(bad), RenderError) << bad;
}

TEST(ToolNumbers, FigureTableAndNoteListsReadTheSameInACommaDecimalLocale) {
  const std::string committed = readText(ZORQ_SOURCE_DIR "/resources/factory-bank-figures.txt");
  const char* const notes = "r:0.5, 60:0.25/7, 62@3.5:1";
  const std::vector<EventRow> events = rowsOf(NoteList::parse(notes));
  const CommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << comma.reason();
  EXPECT_EQ(FigureTable::format(FigureTable::parse(committed)), committed);
  EXPECT_EQ(rowsOf(NoteList::parse(notes)), events);
}

}  // namespace
