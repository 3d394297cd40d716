#include "zorq-render/MidiFile.h"

#include <gtest/gtest.h>

#include "ToolsTestSupport.h"
#include "zorq-render/RenderError.h"

namespace {

constexpr int kDivision = 480;

std::vector<uint8_t> typeZeroWithTempoChange() {
  std::vector<uint8_t> track;
  appendEvent(track, 0, {0x90, 60, 100});  // beat 0 at 120 bpm
  appendTempo(track, kDivision, 1000000);  // beat 1 (0.5 s): now 60 bpm
  appendEvent(track, 0, {0x80, 60, 0});
  appendEvent(track, kDivision, {0x90, 62, 90});  // one beat later: 1.5 s
  appendEvent(track, kDivision / 2, {62, 0});     // running status, 2.0 s
  appendEndOfTrack(track);
  std::vector<uint8_t> file = midiHeader(0, 1, kDivision);
  appendTrack(file, track);
  return file;
}

}  // namespace

TEST(MidiFile, TypeZeroHonoursTempoChangesAndRunningStatus) {
  const MidiSequence sequence = MidiFile::parse(typeZeroWithTempoChange());
  EXPECT_EQ(
      rowsOf(sequence),
      (std::vector<EventRow>{
          {0.0, 0x90, 60, 100}, {0.5, 0x80, 60, 0}, {1.5, 0x90, 62, 90}, {2.0, 0x90, 62, 0}}));
  EXPECT_DOUBLE_EQ(sequence.tempo.beatsAtSeconds(1.5), 2.0);
  EXPECT_DOUBLE_EQ(sequence.tempo.beatsPerMinuteAtSeconds(1.0), 60.0);
}

TEST(MidiFile, TypeOneMergesTracksWithTheTempoTrack) {
  std::vector<uint8_t> tempoTrack, notes, more;
  appendTempo(tempoTrack, 0, 250000);  // 240 bpm: a beat is 0.25 s
  appendEndOfTrack(tempoTrack);
  appendEvent(notes, kDivision * 2, {0x91, 64, 80});  // 0.5 s
  appendEvent(notes, 0, {0xF0, 0x02, 0x01, 0xF7});    // sysex is skipped
  appendEvent(notes, kDivision, {0xC1, 5});           // program change, one data byte
  appendEndOfTrack(notes);
  appendEvent(more, kDivision, {0xB2, 7, 100});  // 0.25 s
  appendEndOfTrack(more);
  std::vector<uint8_t> file = midiHeader(1, 3, kDivision);
  appendTrack(file, tempoTrack);
  file.insert(file.end(), {'X', 'x', 'x', 'x', 0, 0, 0, 1, 9});  // an unknown chunk
  appendTrack(file, notes);
  appendTrack(file, more);

  EXPECT_EQ(rowsOf(MidiFile::parse(file)),
            (std::vector<EventRow>{{0.25, 0xB2, 7, 100}, {0.5, 0x91, 64, 80}, {0.75, 0xC1, 5, 0}}));
}

TEST(MidiFile, SmpteDivisionCountsTicksInFrames) {
  std::vector<uint8_t> track;
  appendEvent(track, 250, {0x90, 60, 1});  // 25 fps x 40 ticks: 250 ticks = 0.25 s
  appendTempo(track, 0, 1000000);          // ignored under SMPTE time
  appendEvent(track, 1000, {0x80, 60, 0});
  std::vector<uint8_t> file = midiHeader(0, 1, (uint8_t(-25) << 8) | 40);
  appendTrack(file, track);
  EXPECT_EQ(rowsOf(MidiFile::parse(file)),
            (std::vector<EventRow>{{0.25, 0x90, 60, 1}, {1.25, 0x80, 60, 0}}));
}

std::vector<uint8_t> withTrack(const std::vector<uint8_t>& body) {
  std::vector<uint8_t> file = midiHeader(0, 1, 96);
  appendTrack(file, body);
  return file;
}

// A length that runs past the file or past its track is refused with RenderError, never
// read beyond. (The other damaged files are fuzz/regressions/midi_file's.)
TEST(MidiFile, LengthsBeyondTheDataAreRefused) {
  std::vector<uint8_t> lengthBeyondFile = withTrack({0x00, 0x90, 60, 100});
  lengthBeyondFile[21] = 0x7F;  // track length byte
  // A text event one byte longer than its track; the byte after the track is in the file.
  std::vector<uint8_t> textOneBeyondTrack = withTrack({0x00, 0xFF, 0x01, 0x02, 'a'});
  textOneBeyondTrack.push_back('b');
  EXPECT_THROW(MidiFile::parse(lengthBeyondFile), RenderError);
  EXPECT_THROW(MidiFile::parse(textOneBeyondTrack), RenderError);
}
