#include "zorq-render/MidiFile.h"

#include <gtest/gtest.h>

#include "ToolsTestSupport.h"
#include "zorq-render/RenderError.h"

namespace {

std::vector<uint8_t> bytesOf(const std::string& path) {
  const std::string text = readText(path);
  return {text.begin(), text.end()};
}

}  // namespace

// Files in tests/tools/data at 480 ticks a beat. Type 0 at 120 bpm: a note at beat 0, a
// tempo of 60 bpm from beat 1, the note's end there, another note one beat later and
// its end half a beat after that in running status.
TEST(MidiFile, TypeZeroHonoursTempoChangesAndRunningStatus) {
  const MidiSequence sequence =
      MidiFile::parse(bytesOf(ZORQ_SOURCE_DIR "/tests/tools/data/type0-tempo-change.mid"));
  EXPECT_EQ(
      rowsOf(sequence),
      (std::vector<EventRow>{
          {0.0, 0x90, 60, 100}, {0.5, 0x80, 60, 0}, {1.5, 0x90, 62, 90}, {2.0, 0x90, 62, 0}}));
  EXPECT_DOUBLE_EQ(sequence.tempo.beatsAtSeconds(1.5), 2.0);
  EXPECT_DOUBLE_EQ(sequence.tempo.beatsPerMinuteAtSeconds(1.0), 60.0);
}

// Type 1: a tempo track (240 bpm), an unknown chunk, a track with a note at beat 2, a
// system exclusive message (skipped) and a program change (one data byte) a beat later,
// and a track with a controller at beat 1.
TEST(MidiFile, TypeOneMergesTracksWithTheTempoTrack) {
  EXPECT_EQ(
      rowsOf(MidiFile::parse(bytesOf(ZORQ_SOURCE_DIR "/tests/tools/data/type1-three-tracks.mid"))),
      (std::vector<EventRow>{{0.25, 0xB2, 7, 100}, {0.5, 0x91, 64, 80}, {0.75, 0xC1, 5, 0}}));
}

// 25 frames a second of 40 ticks: a note at tick 250, a tempo (ignored under SMPTE
// time), the note's end 1000 ticks later.
TEST(MidiFile, SmpteDivisionCountsTicksInFrames) {
  EXPECT_EQ(rowsOf(MidiFile::parse(bytesOf(ZORQ_SOURCE_DIR "/tests/tools/data/smpte-25fps.mid"))),
            (std::vector<EventRow>{{0.25, 0x90, 60, 1}, {1.25, 0x80, 60, 0}}));
}

// A length that runs past the file or past its track (a text event one byte longer than
// its track, the byte after the track in the file) is refused with RenderError, never
// read beyond. Both are regression inputs of the fuzz target too, with the other
// damaged files it refuses.
TEST(MidiFile, LengthsBeyondTheDataAreRefused) {
  for (const char* name : {"track-length-beyond-the-file", "text-one-byte-beyond-its-track"})
    EXPECT_THROW(MidiFile::parse(
                     bytesOf(ZORQ_SOURCE_DIR "/fuzz/regressions/midi_file/" + std::string(name))),
                 RenderError)
        << name;
}
