// The editor's layout: its bitmaps and every control in attach order (later controls
// draw on top and win hit tests).
#include <string>

#include "editor/EditorGeometry.h"
#include "editor/EditorPictures.h"
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
#include "shell/ZorqVersion.h"

#ifndef ZORQ_BUILD_NUMBER
#define ZORQ_BUILD_NUMBER 1
#endif

namespace {
using layout::Point;

enum class EKind { kKnob, kBigKnob, kVerticalSwitch, kHorizontalSwitch };
struct Placement {
  EKind kind;
  Point at;
  int param;
};

// Rows 1 to 15: the main view.
const Placement kMainControls[] = {
    {EKind::kKnob, layout::kTuneKnob, kTune},
    {EKind::kVerticalSwitch, layout::kOctaveUp, kOctaveUp},
    {EKind::kKnob, layout::kInBalanceKnob, kInBalance},
    {EKind::kKnob, layout::kExtLevelKnob, kExtLevel},
    {EKind::kHorizontalSwitch, layout::kMeterMode, kMeterMode},
    {EKind::kKnob, layout::kMicLevelKnob, kMicLevel},
    {EKind::kKnob, layout::kAccentBendKnob, kAccentBend},
    {EKind::kKnob, layout::kVibratoSpeedKnob, kVibratoSpeed},
    {EKind::kKnob, layout::kVibratoDepthKnob, kVibratoDepth},
    {EKind::kVerticalSwitch, layout::kEnsemble, kEnsemble},
    {EKind::kKnob, layout::kPitchBendKnob, kPitchBend},
    {EKind::kBigKnob, layout::kFinalVolume, kFinalVolume},
    {EKind::kKnob, layout::kOutBalanceKnob, kOutBalance},
    {EKind::kKnob, layout::kVelocityKnob, kVelocity},
    {EKind::kVerticalSwitch, layout::kKeyboard, kKeyboard},
};

// Rows 19 to 27: the tweak view's small knobs, left to right.
const int kTweakKnobParams[ZorqEditor::kNumTweakKnobs] = {kBias,
                                                          kLimit,
                                                          kSpeed,
                                                          kAttack,
                                                          kRelease,
                                                          kEnsembleLeftRate1,
                                                          kEnsembleLeftRate2,
                                                          kEnsembleRightRate1,
                                                          kEnsembleRightRate2};
static_assert(ZorqEditor::kNumTweakKnobs == layout::kSmallKnobs, "one place per tweak knob");
static_assert(ZorqEditor::kNumBands == layout::kBands, "one column per band");

IRECT rect(const layout::Box& box) { return IRECT(box.l, box.t, box.r, box.b); }

std::string versionText() {
  return std::string("v") + ZorqVersion::kText + "." + std::to_string(ZORQ_BUILD_NUMBER);
}
}  // namespace

void ZorqEditor::createGraphics() {
  Resize(layout::kWidth, layout::kHeight);
  IBitmap knob = loadPicture(*this, layout::kKnobPicture);
  IBitmap knobBig = loadPicture(*this, layout::kKnobBigPicture);
  IBitmap trimpot = loadPicture(*this, layout::kTrimpotPicture);
  IBitmap switchV = loadPicture(*this, layout::kSwitchVPicture);
  IBitmap switchH = loadPicture(*this, layout::kSwitchHPicture);
  IBitmap meter = loadPicture(*this, layout::kMeterPicture);
  IBitmap chance = loadPicture(*this, layout::kChancePicture);
  IBitmap tweak = loadPicture(*this, layout::kTweakPicture);
  IBitmap prev = loadPicture(*this, layout::kPrevPicture);
  IBitmap next = loadPicture(*this, layout::kNextPicture);
  IBitmap learn = loadPicture(*this, layout::kLearnPicture);
  HandleMouseOver(true);
  EnableTooltips(true);
  AttachBackground(layout::kBackPicture.id, picturePath(layout::kBackPicture).c_str());

  for (const Placement& p : kMainControls) {
    const int x = p.at.x, y = p.at.y;
    switch (p.kind) {
      case EKind::kKnob:
        AttachControl(new IKnobMultiControl(instrument_, x, y, p.param, &knob));
        break;
      case EKind::kBigKnob:
        AttachControl(new IKnobMultiControl(instrument_, x, y, p.param, &knobBig));
        break;
      case EKind::kVerticalSwitch:
        AttachControl(new ISwitchControl(instrument_, x, y, p.param, &switchV));
        break;
      case EKind::kHorizontalSwitch:
        AttachControl(new ISwitchControl(instrument_, x, y, p.param, &switchH));
        break;
    }
  }
  meter_ = new IKnobMultiControl(instrument_, layout::kMeterAt.x, layout::kMeterAt.y, kLevelMeter,
                                 &meter);
  AttachControl(meter_);
  chancePicture_ = new IBitmapControl(instrument_, layout::kBadgeAt.x, layout::kBadgeAt.y, &chance);
  AttachControl(chancePicture_);
  tweakOverlay_ = new IBitmapControl(instrument_, 0, 0, &tweak);
  AttachControl(tweakOverlay_);

  for (int i = 0; i < kNumTweakKnobs; ++i) {
    tweakKnobs_[i] = new IZVKnobMultiControlText(
        instrument_, layout::kSmallKnobX[i], layout::kSmallKnobRow, kTweakKnobParams[i], &trimpot);
    AttachControl(tweakKnobs_[i]);
  }
  for (int band = 0; band < kNumBands; ++band) {
    const int x = layout::kBandKnobX0 + layout::kBandPitch * band;
    const int switchX = layout::kBandSwitchX0 + layout::kBandPitch * band;
    analysisKnobs_[band] = new IZVKnobMultiControlText(instrument_, x, layout::kAnalysisRow,
                                                       kAnalysisFreq1 + band, &trimpot);
    synthesisKnobs_[band] = new IZVKnobMultiControlText(instrument_, x, layout::kSynthesisRow,
                                                        kSynthesisFreq1 + band, &trimpot);
    levelKnobs_[band] = new IZVKnobMultiControlText(instrument_, x, layout::kLevelRow,
                                                    kSynthesisLevel1 + band, &trimpot);
    fixedSwitches_[band] = new ISwitchControl(instrument_, switchX, layout::kFixedRow,
                                              kSynthesisFixed1 + band, &switchV);
    for (IControl* control :
         {analysisKnobs_[band], synthesisKnobs_[band], levelKnobs_[band], fixedSwitches_[band]})
      AttachControl(control);
  }

  toolsMenu_ = new IZVToolsMenu(instrument_, rect(layout::kToolsMenu));
  AttachControl(toolsMenu_);
  hideTweakControls(true);

  AttachControl(new IZVPopUpMenuControl(instrument_, rect(layout::kModeMenu), kVocoderMode));
  wavControl_ =
      new IZVLoadWAVControl(instrument_, rect(layout::kWavControl), kInputMode, "", "wav");
  AttachControl(wavControl_);
  AttachControl(
      new IZVPresetMenu(instrument_, rect(layout::kProgramNumber), rect(layout::kProgramName)));
  programButtons_[0] =
      new IZVUtilityKick(instrument_, layout::kPrev.x, layout::kPrev.y, kPreviousProgram, &prev);
  programButtons_[1] =
      new IZVUtilityKick(instrument_, layout::kNext.x, layout::kNext.y, kNextProgram, &next);
  for (IControl* button : programButtons_) AttachControl(button);
  AttachControl(new IZVOptionMenu(instrument_, rect(layout::kOptionsMenu)));
  AttachControl(new IZVInvisibleSwitch(this, rect(layout::kTweakSwitch), kTweakSwitch));
  auto* learnSwitch = new IZVSwitchMidiLearn(instrument_, layout::kLearn.x, layout::kLearn.y,
                                             kMidiLearnSwitch, &learn);
  AttachControl(learnSwitch);
  IText versionStyle = EditorStyles::version();
  AttachControl(
      new ITextControl(instrument_, rect(layout::kVersion), &versionStyle, versionText().c_str()));

  instrument_->midiLearn().setSwitchView(learnSwitch);
  instrument_->setMessageBox(this);
}
