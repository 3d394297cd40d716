#pragma once

// Where the editor places every control (top-left corners and rectangles in editor
// pixels) and the frame sizes of the pictures drawn here. The panel prints labels and
// scales around these places; the previews put the frames there.

namespace layout {

constexpr int kWidth = 800;
constexpr int kHeight = 360;

struct Size {
  int w, h;
};
struct Point {
  int x, y;
};
struct Box {
  int l, t, r, b;
  int w() const { return r - l; }
  int h() const { return b - t; }
};

// Frame sizes.
constexpr Size kKnob{48, 48};
constexpr Size kKnobBig{64, 64};
constexpr Size kTrimpot{32, 32};
constexpr Size kSwitchV{16, 28};
constexpr Size kSwitchH{48, 18};
constexpr Size kMeter{132, 22};
constexpr Size kLearnButton{52, 22};
constexpr Size kArrow{22, 22};
constexpr Size kBadge{132, 72};

// The knob sweep is drawn around these centres inside a frame. The big knob sits left
// of its frame's centre so that it lines up with the knobs below it.
constexpr double kKnobCentre = 24.0;
constexpr double kKnobBigCentreX = 28.0;
constexpr double kKnobBigCentreY = 30.0;
constexpr double kTrimpotCentre = 16.0;

constexpr int kMeterSegments = 30;  // frame k (1-based) lights k - 1 of them
constexpr int kMeterFrames = 31;
constexpr int kKnobFrames = 65;

struct Knob {
  Point at;
  const char* label;  // printed under the knob
};

constexpr Knob kMainKnobs[] = {
    {{46, 60}, "TUNE"},
    {{118, 180}, "IN BALANCE"},
    {{182, 180}, "EXT LEVEL"},
    {{294, 180}, "MIC LEVEL"},
    {{46, 276}, "ACCENT BEND"},
    {{118, 276}, "VIB SPEED"},
    {{182, 276}, "VIB DEPTH"},
    {{294, 276}, "PITCH BEND"},
    {{710, 180}, "BALANCE"},
    {{710, 244}, "VELOCITY"},
};
constexpr Point kFinalVolume{706, 102};

constexpr Point kOctaveUp{55, 184};
constexpr Point kEnsemble{248, 280};
constexpr Point kKeyboard{759, 248};
constexpr Point kMeterMode{246, 136};
constexpr Point kMeterAt{204, 56};
constexpr Point kBadgeAt{530, 160};

constexpr Box kToolsMenu{731, 260, 779, 280};
constexpr Box kModeMenu{546, 262, 674, 278};
constexpr Box kWavControl{410, 262, 538, 278};
constexpr Box kProgramNumber{390, 308, 414, 324};
constexpr Box kProgramName{441, 308, 633, 322};
constexpr Point kPrev{365, 305};
constexpr Point kNext{416, 305};
constexpr Box kOptionsMenu{646, 306, 694, 326};
constexpr Box kTweakSwitch{759, 306, 779, 326};
constexpr Point kLearn{702, 305};
constexpr Box kVersion{712, 24, 776, 36};

// Tweak view: band b (0..19) has its three small knobs at x = 64 + 36 b on these rows
// and its fixed switch at x = 73 + 36 b.
constexpr int kBands = 20;
constexpr int kBandKnobX0 = 64;
constexpr int kBandSwitchX0 = 73;
constexpr int kBandPitch = 36;
constexpr int kAnalysisRow = 80;
constexpr int kSynthesisRow = 128;
constexpr int kLevelRow = 176;
constexpr int kFixedRow = 224;
constexpr int kSmallKnobRow = 292;
constexpr int kSmallKnobX[] = {24, 56, 88, 136, 168, 216, 248, 288, 320};

// A small knob's value text: centred over (x - 4, y + h + 2, x + W + 4, y + h + 12).
constexpr int kValueTextTop = 2;
constexpr int kValueTextBottom = 12;

}  // namespace layout

namespace layout {

// x of the boundary between meter segments j and j + 1 inside the meter frame, for the
// level in dB that segment j stands for (-30 dB is the left end, +6 dB the right).
constexpr double meterScaleX(double dB) { return 6.0 + 4.0 * (dB + 30.0) / 1.2; }

}  // namespace layout
