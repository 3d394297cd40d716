// Note operations: voice allocation, note on and off, the sustain pedal and all notes
// off; they start and stop the sample player in "File" input mode.
#include "engine/ZORQ.h"

#include <cassert>

// Lowest-numbered voice that last played this note; else the lowest inactive one;
// else the oldest note-on (lowest number on a tie).
int ZORQ::chooseVoice(int note) const {
  for (int v = 0; v < kNumVoices; ++v)
    if (voices_[v].note() == note) return v;
  for (int v = 0; v < kNumVoices; ++v)
    if (!voices_[v].isActive()) return v;
  int oldest = 0;
  for (int v = 1; v < kNumVoices; ++v)
    if (voices_[v].sequence() < voices_[oldest].sequence()) oldest = v;
  return oldest;
}

void ZORQ::setNoteOn(int note, int velocity) {
  // A connected tuning master gives each note its pitch and may leave notes unplayed.
  const bool tuned = hasMTSMaster();
  if (tuned && noteShouldBeSkipped(note)) return;
  if (keyboardOn_) {
    addPressedKey(note, velocity);
    const int chosen = chooseVoice(note);
    assert(chosen >= 0 && chosen < kNumVoices);
    Voice& voice = voices_[chosen];
    ++noteCounter_;
    // Runs of three adjacent notes share a vibrato LFO: 0-1, 2-4, 5-7, 8-10, ...
    const int lfo = ((note + 1) / 3) % kNumVibratoLFOs;
    assert(lfo >= 0 && lfo < kNumVibratoLFOs);
    const LFO& vibrato = vibratoLFOs_[lfo];
    const double pitch = tuned ? getFrequency(note) : note * 128.0;
    voice.setNoteOn(note, velocity, noteCounter_, vibrato.output(), pitch);
  }
  if (inputFromFile_ && !(sampleLegato_ && pressedKeyCount() > 1)) restartSample();
}

void ZORQ::setNoteOff(int note) {
  removePressedKey(note);
  for (Voice& voice : voices_) {
    if (voice.isActive() && voice.note() == note) {
      voice.setNoteOff();
      break;
    }
  }
  if (inputFromFile_ && pressedKeyCount() == 0 && !sustain_) stopSample();
}

void ZORQ::setSustain(bool on) {
  sustain_ = on;
  if (!on && pressedKeyCount() == 0) stopSample();
}

void ZORQ::allNotesOff() {
  clearKeyBuffer();
  for (Voice& voice : voices_) {
    voice.setSustain(false);
    voice.setNoteOff();
  }
}
