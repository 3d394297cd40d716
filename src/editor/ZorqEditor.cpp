#include "editor/ZorqEditor.h"

#include <cmath>
#include <cstdint>

#include "editor/IZVLoadWAVControl.h"
#include "engine/ZORQ.h"
#include "gui/IGraphicsPlatform.h"

namespace {
// A pseudo-random draw for the chance picture (xorshift32): lock-free, so the audio
// thread may take one too.
uint32_t chanceDraw() {
  static std::atomic<uint32_t> state{2463534242u};
  uint32_t current = state.load(std::memory_order_relaxed), next;
  do {
    next = current ^ (current << 13);
    next ^= next >> 17;
    next ^= next << 5;
  } while (!state.compare_exchange_weak(current, next, std::memory_order_relaxed));
  return next;
}
}  // namespace

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

void* ZorqEditor::OpenWindow(void* parent) {
  void* window = IGraphics::OpenWindow(parent);
  windowOpen_.store(window != nullptr, std::memory_order_relaxed);
  return window;
}

void ZorqEditor::CloseWindow() {
  windowOpen_.store(false, std::memory_order_relaxed);
  endCutShortPress();
  IGraphics::CloseWindow();
}

void ZorqEditor::endCutShortPress() {
  IControl* pressed = GetControl(GetMouseCapture());
  ReleaseMouseCapture();
  OnMouseOut();
  if (!pressed) return;
  if (pressed->GetParam()) instrument_->EndInformHostOfParamChange(pressed->ParamIdx());
  for (IControl* button : programButtons_)
    if (button == pressed) button->SetValueFromPlug(0.0);
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
  if (!windowOpen_.load(std::memory_order_relaxed)) return;
  if (wavControl_) wavControl_->SetDirty(false);
  if (chancePicture_) {
    chancePicture_->Hide(chanceDraw() % 100 > 9);
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
  if (!meter_ || !windowOpen_.load(std::memory_order_relaxed)) return;
  const double level = std::fabs(instrument_->meterAccumulator()) * instrument_->reciprocal();
  meter_->SetValueFromPlug(meterValue(level));
}
