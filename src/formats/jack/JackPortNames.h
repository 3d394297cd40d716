#pragma once

// JACK port names and pretty names from the plug-in's channel labels. A label such as
// "MIC Left " becomes the port "mic_left" (lower case, blanks and characters JACK
// tools quote badly turned into '_') with the pretty name "MIC Left"; a channel without
// a label gets "in_1", "out_2", ... Pure functions, any thread.
#include <string>

struct JackPortName {
  std::string name;
  std::string prettyName;
};

// The port of channel `index` (0-based) of the inputs or outputs with this label.
JackPortName jackAudioPortName(const char* label, int index, bool input);
// The one MIDI input: "midi_in", "MIDI In".
JackPortName jackMidiInputName();
