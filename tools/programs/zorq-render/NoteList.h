#pragma once

#include <string>

#include "zorq-render/MidiSequence.h"

// A short note list typed on the command line, turned into note-on/note-off pairs
// on MIDI channel 1 at 120 beats per minute.
//
//   list   := entry (',' entry)*
//   entry  := chord ['@' start] [':' length] ['/' velocity]
//   chord  := note ('+' note)*  |  'r' (a rest)
//   note   := letter A-G, optional '#' or 'b', octave -1..9 (C4 = 60), or a number 0..127
//
// Times are in seconds. Without '@' an entry starts where the previous one ended;
// the length defaults to 1 second and the velocity to 100.
// Example: "C3+E3+G3:2, F3+A3+C4:2, r:0.5, 67@5:1/80".
class NoteList {
 public:
  static MidiSequence parse(const std::string& text);
  // One note name or number; RenderError when it is not a note 0..127.
  static int parseNote(const std::string& text);
};
