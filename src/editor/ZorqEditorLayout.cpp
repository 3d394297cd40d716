// The editor's layout: its bitmaps and every control in attach order (later controls
// draw on top and win hit tests).
#include <string>

#include "editor/EditorStyles.h"
#include "editor/IZVKnobMultiControlText.h"
#include "editor/IZVLoadWAVControl.h"
#include "editor/IZVMenus.h"
#include "editor/IZVPopUpMenuControl.h"
#include "editor/IZVPresetMenu.h"
#include "editor/IZVSwitches.h"
#include "editor/ZorqEditor.h"
#include "engine/ZORQ.h"
#include "gui/IBitmapControl.h"
#include "gui/IKnobControl.h"
#include "gui/ITextControl.h"

#ifndef ZORQ_BUILD_NUMBER
#define ZORQ_BUILD_NUMBER 1
#endif

namespace {
// Bitmap resource ids.
enum EBitmapId {
  kBackId = 1,
  kKnobId = 2,
  kKnobBigId = 3,
  kSwitchVId = 5,
  kSwitchHId = 6,
  kMeterId = 7,
  kLearnId = 8,
  kPrevId = 10,
  kNextId = 11,
  kChanceId = 12,
  kTweakId = 13,
  kTrimpotId = 14
};
constexpr int kKnobFrames = 65;

enum class EKind { kKnob, kBigKnob, kVerticalSwitch, kHorizontalSwitch };
struct Placement {
  EKind kind;
  int x, y;
  int param;
};

// Rows 1 to 15: the main view.
const Placement kMainControls[] = {
    {EKind::kKnob, 46, 60, kTune},
    {EKind::kVerticalSwitch, 55, 184, kOctaveUp},
    {EKind::kKnob, 118, 180, kInBalance},
    {EKind::kKnob, 182, 180, kExtLevel},
    {EKind::kHorizontalSwitch, 246, 136, kMeterMode},
    {EKind::kKnob, 294, 180, kMicLevel},
    {EKind::kKnob, 46, 276, kAccentBend},
    {EKind::kKnob, 118, 276, kVibratoSpeed},
    {EKind::kKnob, 182, 276, kVibratoDepth},
    {EKind::kVerticalSwitch, 248, 280, kEnsemble},
    {EKind::kKnob, 294, 276, kPitchBend},
    {EKind::kBigKnob, 706, 102, kFinalVolume},
    {EKind::kKnob, 710, 180, kOutBalance},
    {EKind::kKnob, 710, 244, kVelocity},
    {EKind::kVerticalSwitch, 759, 248, kKeyboard},
};

// Rows 19 to 27: the tweak view's small knobs, all at y = 292.
struct TweakKnob {
  int x;
  int param;
};
const TweakKnob kTweakKnobs[ZorqEditor::kNumTweakKnobs] = {
    {24, kBias},
    {56, kLimit},
    {88, kSpeed},
    {136, kAttack},
    {168, kRelease},
    {216, kEnsembleLeftRate1},
    {248, kEnsembleLeftRate2},
    {288, kEnsembleRightRate1},
    {320, kEnsembleRightRate2},
};
constexpr int kTweakKnobY = 292;

// The band columns: 36 pixels apart from x = 64, one row per kind.
constexpr int kBandX = 64;
constexpr int kBandSpacing = 36;
constexpr int kFixedSwitchOffset = 9;
constexpr int kAnalysisY = 80, kSynthesisY = 128, kLevelY = 176, kFixedY = 224;

std::string versionText() {
  const int v = Synth::kVersion;
  return "v" + std::to_string((v >> 16) & 0xFF) + "." + std::to_string((v >> 8) & 0xFF) + "." +
         std::to_string(v & 0xFF) + "." + std::to_string(ZORQ_BUILD_NUMBER);
}
}  // namespace

void ZorqEditor::createGraphics() {
  Resize(kWidth, kHeight);
  IBitmap knob = LoadIBitmap(kKnobId, "resources/img/knob.png", kKnobFrames);
  IBitmap knobBig = LoadIBitmap(kKnobBigId, "resources/img/knob_big.png", kKnobFrames);
  IBitmap trimpot = LoadIBitmap(kTrimpotId, "resources/img/trimpot.png", kKnobFrames);
  IBitmap switchV = LoadIBitmap(kSwitchVId, "resources/img/switch_v.png", 2);
  IBitmap switchH = LoadIBitmap(kSwitchHId, "resources/img/switch_h.png", 2);
  IBitmap meter = LoadIBitmap(kMeterId, "resources/img/vumeter.png", 31);
  IBitmap chance = LoadIBitmap(kChanceId, "resources/img/responce.png", 1);
  IBitmap tweak = LoadIBitmap(kTweakId, "resources/img/tweak.png", 1);
  IBitmap prev = LoadIBitmap(kPrevId, "resources/img/prev.png", 2);
  IBitmap next = LoadIBitmap(kNextId, "resources/img/next.png", 2);
  IBitmap learn = LoadIBitmap(kLearnId, "resources/img/learn.png", 2);
  HandleMouseOver(true);
  EnableTooltips(true);
  AttachBackground(kBackId, "resources/img/back.png");

  for (const Placement& p : kMainControls) {
    switch (p.kind) {
      case EKind::kKnob: AttachControl(new IKnobMultiControl(instrument_, p.x, p.y, p.param, &knob)); break;
      case EKind::kBigKnob:
        AttachControl(new IKnobMultiControl(instrument_, p.x, p.y, p.param, &knobBig));
        break;
      case EKind::kVerticalSwitch:
        AttachControl(new ISwitchControl(instrument_, p.x, p.y, p.param, &switchV));
        break;
      case EKind::kHorizontalSwitch:
        AttachControl(new ISwitchControl(instrument_, p.x, p.y, p.param, &switchH));
        break;
    }
  }
  meter_ = new IKnobMultiControl(instrument_, 204, 56, kLevelMeter, &meter);
  AttachControl(meter_);
  chancePicture_ = new IBitmapControl(instrument_, 530, 160, &chance);
  AttachControl(chancePicture_);
  tweakOverlay_ = new IBitmapControl(instrument_, 0, 0, &tweak);
  AttachControl(tweakOverlay_);

  for (int i = 0; i < kNumTweakKnobs; ++i) {
    tweakKnobs_[i] = new IZVKnobMultiControlText(instrument_, kTweakKnobs[i].x, kTweakKnobY,
                                                 kTweakKnobs[i].param, &trimpot);
    AttachControl(tweakKnobs_[i]);
  }
  for (int band = 0; band < kNumBands; ++band) {
    const int x = kBandX + kBandSpacing * band;
    analysisKnobs_[band] = new IZVKnobMultiControlText(instrument_, x, kAnalysisY, kAnalysisFreq1 + band, &trimpot);
    synthesisKnobs_[band] =
        new IZVKnobMultiControlText(instrument_, x, kSynthesisY, kSynthesisFreq1 + band, &trimpot);
    levelKnobs_[band] = new IZVKnobMultiControlText(instrument_, x, kLevelY, kSynthesisLevel1 + band, &trimpot);
    fixedSwitches_[band] =
        new ISwitchControl(instrument_, x + kFixedSwitchOffset, kFixedY, kSynthesisFixed1 + band, &switchV);
    for (IControl* control : {analysisKnobs_[band], synthesisKnobs_[band], levelKnobs_[band], fixedSwitches_[band]})
      AttachControl(control);
  }

  toolsMenu_ = new IZVToolsMenu(instrument_, IRECT(731, 260, 779, 280));
  AttachControl(toolsMenu_);
  hideTweakControls(true);

  AttachControl(new IZVPopUpMenuControl(instrument_, IRECT(546, 262, 674, 278), kVocoderMode));
  wavControl_ = new IZVLoadWAVControl(instrument_, IRECT(410, 262, 538, 278), kInputMode, "", "wav");
  AttachControl(wavControl_);
  AttachControl(new IZVPresetMenu(instrument_, IRECT(390, 308, 414, 324), IRECT(441, 308, 633, 322)));
  programButtons_[0] = new IZVUtilityKick(instrument_, 365, 305, kPreviousProgram, &prev);
  programButtons_[1] = new IZVUtilityKick(instrument_, 416, 305, kNextProgram, &next);
  for (IControl* button : programButtons_) AttachControl(button);
  AttachControl(new IZVOptionMenu(instrument_, IRECT(646, 306, 694, 326)));
  AttachControl(new IZVInvisibleSwitch(this, IRECT(759, 306, 779, 326), kTweakSwitch));
  auto* learnSwitch = new IZVSwitchMidiLearn(instrument_, 702, 305, kMidiLearnSwitch, &learn);
  AttachControl(learnSwitch);
  IText versionStyle = EditorStyles::version();
  AttachControl(new ITextControl(instrument_, IRECT(712, 24, 776, 36), &versionStyle, versionText().c_str()));

  instrument_->midiLearn().setSwitchView(learnSwitch);
  instrument_->setMessageBox(this);
}
