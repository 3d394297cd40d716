#pragma once

// What the artwork adds to the editor's geometry: the labels printed under the main
// knobs, the centres the knob sweeps are drawn around, and the meter's scale. The panel
// prints labels and scales around the editor's places; the previews put frames there.

#include "editor/EditorGeometry.h"

namespace layout {

// The knob sweep is drawn around these centres inside a frame. The big knob sits left
// of its frame's centre so that it lines up with the knobs below it.
constexpr double kKnobCentre = 24.0;
constexpr double kKnobBigCentreX = 28.0;
constexpr double kKnobBigCentreY = 30.0;
constexpr double kTrimpotCentre = 16.0;

constexpr int kMeterSegments = kMeterFrames - 1;  // frame k (1-based) lights k - 1 of them

struct Knob {
  Point at;
  const char* label;  // printed under the knob
};

constexpr Knob kMainKnobs[] = {
    {kTuneKnob, "TUNE"},
    {kInBalanceKnob, "IN BALANCE"},
    {kExtLevelKnob, "EXT LEVEL"},
    {kMicLevelKnob, "MIC LEVEL"},
    {kAccentBendKnob, "ACCENT BEND"},
    {kVibratoSpeedKnob, "VIB SPEED"},
    {kVibratoDepthKnob, "VIB DEPTH"},
    {kPitchBendKnob, "PITCH BEND"},
    {kOutBalanceKnob, "BALANCE"},
    {kVelocityKnob, "VELOCITY"},
};

// x of the boundary between meter segments j and j + 1 inside the meter frame, for the
// level in dB that segment j stands for (-30 dB is the left end, +6 dB the right).
constexpr double meterScaleX(double dB) { return 6.0 + 4.0 * (dB + 30.0) / 1.2; }

}  // namespace layout
