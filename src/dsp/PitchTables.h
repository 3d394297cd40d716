#pragma once

// The instrument's pitch rule. Pitch is counted in 1/128 semitone: pitch 128 n is
// MIDI note n. Frequencies come from two fixed tables (one semitone apart) with
// linear interpolation in Hz between neighbouring entries.

namespace pitch {

constexpr int kUnitsPerSemitone = 128;
constexpr int kTableSize = 136;
constexpr int kMaxPitch = 17280;  // highest pitch the voices tabulate (note 135)

// Entry i: frequency of MIDI note i in Hz, three decimals (8.176 ... 19912.127).
extern const double kMidiToHz[kTableSize];
// Entry i: frequency i semitones below MIDI note 0 (8.176 x 2^(-i/12) Hz).
extern const double kBelowMidiToHz[kTableSize];

// Frequency in Hz of a pitch; saturates below -17279 and above 17279.
double toHz(int pitchUnits);

// Pitch whose toHz value best matches hz: a 14-round bisection over 0..17280
// that stops early on an exact match.
int fromHz(double hz);

}  // namespace pitch
