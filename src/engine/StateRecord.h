#pragma once

// The layout of the instrument's state record, what hosts, presets and program and
// bank files keep. Current format: the marker "ZORQ_1.1.1", the program index and name
// (written for readers elsewhere, skipped when read), one plain double per parameter,
// a has-file byte and, when set, the sample file name. Older records hold only the
// last three. Reading here never allocates: a record is read in place on the audio
// thread when a MIDI program change restores a stored program.
#include "framework/ByteChunk.h"

class StateRecord {
 public:
  static constexpr char kMarker[] = "ZORQ_1.1.1";
  static constexpr int kMarkerBytes = 10;

  // True when the bytes at pos are the current format's marker.
  static bool hasMarker(const ByteChunk* chunk, int pos);
  // Where the parameter values of the record at pos start, or -1.
  static int valuesPosition(const ByteChunk* chunk, int pos);
  // The sample file the record at 0 names ("" for none), in place; false when the
  // record of `numParams` values is incomplete.
  static bool sampleFile(const ByteChunk* chunk, int numParams, const char** name, int* length);
};
