#include "editor/ZorqEditor.h"

#include <cmath>
#include <cstdlib>

#include "editor/IZVLoadWAVControl.h"
#include "engine/ZORQ.h"
#include "platform/IGraphicsPlatform.h"

ZorqEditor::ZorqEditor(ZORQ* instrument, std::unique_ptr<IGraphicsPlatform> platform)
    : IGraphics(instrument, kWidth, kHeight, 0, std::move(platform)), instrument_(instrument) {
  SetBundleID("com.zandervolt.vst.ZORQ");
}

ZorqEditor* ZorqEditor::attach(ZORQ* instrument, std::unique_ptr<IGraphicsPlatform> platform) {
  if (!instrument || !platform) return nullptr;
  std::unique_ptr<ZorqEditor> editor(new ZorqEditor(instrument, std::move(platform)));
  editor->createGraphics();
  // The base pushes every parameter's value into the controls and takes ownership.
  instrument->AttachGraphics(editor.get());
  return editor.release();
}

void ZorqEditor::hideTweakControls(bool hide) {
  for (IControl* control : {tweakOverlay_, toolsMenu_})
    if (control) control->Hide(hide);
  for (IControl* control : tweakKnobs_)
    if (control) control->Hide(hide);
  for (int band = 0; band < kNumBands; ++band)
    for (IControl* control :
         {analysisKnobs_[band], synthesisKnobs_[band], levelKnobs_[band], fixedSwitches_[band]})
      if (control) control->Hide(hide);
}

void ZorqEditor::RedrawParamControls() {
  if (!WindowIsOpen()) return;
  if (wavControl_) wavControl_->SetDirty(false);
  if (chancePicture_) {
    chancePicture_->Hide(std::rand() % 100 > 9);
    chancePicture_->SetDirty(false);
  }
  hideTweakControls(!tweakMode());
}

double ZorqEditor::meterValue(double level) {
  if (level > 2.0) return 1.0;
  if (level >= 0.031623) return (20.0 * std::log10(level) + 30.0) / 36.0;
  return 0.0;  // also for a level that is not a number
}

void ZorqEditor::OnIdle() {
  if (!meter_ || !WindowIsOpen()) return;
  const double level = std::fabs(instrument_->meterAccumulator()) * instrument_->reciprocal();
  meter_->SetValueFromPlug(meterValue(level));
}
