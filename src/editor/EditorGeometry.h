#pragma once

// Where the editor places every control and which picture each one draws: positions in
// editor pixels (origin top-left, y downwards), the pictures' resource ids, base names,
// frame counts and frame sizes. Dependency-free on purpose: the editor builds its
// controls from it and the artwork generator (tools/dev/zorq-artwork) draws the pictures
// and the panel's labels to fit it, so the two cannot drift apart.
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
  constexpr int w() const { return r - l; }
  constexpr int h() const { return b - t; }
};

// A picture of the editor: the bitmap cache's id, the base name under resources/img
// (and in a skin folder), and its frames stacked vertically, each `frame` in size.
struct Picture {
  int id;
  const char* name;
  int frames;
  Size frame;
};

constexpr int kKnobFrames = 65;
constexpr int kMeterFrames = 31;

constexpr Picture kBackPicture{1, "back", 1, {kWidth, kHeight}};
constexpr Picture kKnobPicture{2, "knob", kKnobFrames, {48, 48}};
constexpr Picture kKnobBigPicture{3, "knob_big", kKnobFrames, {64, 64}};
constexpr Picture kSwitchVPicture{5, "switch_v", 2, {16, 28}};
constexpr Picture kSwitchHPicture{6, "switch_h", 2, {48, 18}};
constexpr Picture kMeterPicture{7, "vumeter", kMeterFrames, {132, 22}};
constexpr Picture kLearnPicture{8, "learn", 2, {52, 22}};
constexpr Picture kUnlearnPicture{9, "unlearn", 2, {52, 22}};
constexpr Picture kPrevPicture{10, "prev", 2, {22, 22}};
constexpr Picture kNextPicture{11, "next", 2, {22, 22}};
constexpr Picture kChancePicture{12, "responce", 1, {132, 72}};
constexpr Picture kTweakPicture{13, "tweak", 1, {kWidth, kHeight}};
constexpr Picture kTrimpotPicture{14, "trimpot", kKnobFrames, {32, 32}};

constexpr Picture kPictures[] = {kBackPicture,    kKnobPicture,  kKnobBigPicture, kSwitchVPicture,
                                 kSwitchHPicture, kMeterPicture, kLearnPicture,   kUnlearnPicture,
                                 kPrevPicture,    kNextPicture,  kChancePicture,  kTweakPicture,
                                 kTrimpotPicture};

// Frame sizes by role.
constexpr Size kKnob = kKnobPicture.frame;
constexpr Size kKnobBig = kKnobBigPicture.frame;
constexpr Size kTrimpot = kTrimpotPicture.frame;
constexpr Size kSwitchV = kSwitchVPicture.frame;
constexpr Size kSwitchH = kSwitchHPicture.frame;
constexpr Size kMeter = kMeterPicture.frame;
constexpr Size kLearnButton = kLearnPicture.frame;
constexpr Size kArrow = kPrevPicture.frame;
constexpr Size kBadge = kChancePicture.frame;

// Main view: knobs (top-left corners of their frames).
constexpr Point kTuneKnob{46, 60};
constexpr Point kInBalanceKnob{118, 180};
constexpr Point kExtLevelKnob{182, 180};
constexpr Point kMicLevelKnob{294, 180};
constexpr Point kAccentBendKnob{46, 276};
constexpr Point kVibratoSpeedKnob{118, 276};
constexpr Point kVibratoDepthKnob{182, 276};
constexpr Point kPitchBendKnob{294, 276};
constexpr Point kOutBalanceKnob{710, 180};
constexpr Point kVelocityKnob{710, 244};
constexpr Point kFinalVolume{706, 102};

// Main view: switches, meter, picture, menus and buttons.
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
// and its fixed switch at x = 73 + 36 b; nine more small knobs sit on one row below.
constexpr int kBands = 20;
constexpr int kBandKnobX0 = 64;
constexpr int kBandSwitchX0 = 73;
constexpr int kBandPitch = 36;
constexpr int kAnalysisRow = 80;
constexpr int kSynthesisRow = 128;
constexpr int kLevelRow = 176;
constexpr int kFixedRow = 224;
constexpr int kSmallKnobRow = 292;
constexpr int kSmallKnobs = 9;
constexpr int kSmallKnobX[kSmallKnobs] = {24, 56, 88, 136, 168, 216, 248, 288, 320};

// A small knob's value text: centred over (x - 4, y + h + 2, x + W + 4, y + h + 12).
constexpr int kValueTextTop = 2;
constexpr int kValueTextBottom = 12;

}  // namespace layout
