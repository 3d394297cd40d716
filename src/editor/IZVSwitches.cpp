#include "editor/IZVSwitches.h"

#include "editor/EditorPictures.h"
#include "editor/ZorqEditor.h"
#include "engine/ZORQ.h"
#include "gui/IGraphics.h"

IZVUtilityKick::IZVUtilityKick(Synth* instrument, int x, int y, int index, IBitmap* bitmap)
    : IContactControl(instrument, x, y, index, bitmap), instrument_(instrument) {}

int IZVUtilityKick::targetProgram(int index, int current, int count) {
  if (index == ZorqEditor::kNextProgram) return current >= count - 1 ? 0 : current + 1;
  if (index == ZorqEditor::kPreviousProgram) return current <= 0 ? count - 1 : current - 1;
  return current;
}

void IZVUtilityKick::OnMouseUp(int x, int y, IMouseMod* mod) {
  IContactControl::OnMouseUp(x, y, mod);
  if (paramIdx_ != ZorqEditor::kNextProgram && paramIdx_ != ZorqEditor::kPreviousProgram) return;
  instrument_->changePreset(
      targetProgram(paramIdx_, instrument_->GetCurrentPresetIdx(), instrument_->NPresets()));
}

IZVSwitchMidiLearn::IZVSwitchMidiLearn(Synth* instrument, int x, int y, int index, IBitmap* bitmap)
    : ISwitchControl(instrument, x, y, index, bitmap), instrument_(instrument) {}

void IZVSwitchMidiLearn::OnMouseDown(int x, int y, IMouseMod* mod) {
  // A click with both flags (a modified left click) counts as a left click.
  const bool learn = mod && mod->L;
  if (learn || (mod && mod->R)) {
    if (graphics_)
      bitmap_ = loadPicture(*graphics_, learn ? layout::kLearnPicture : layout::kUnlearnPicture);
    ISwitchControl::OnMouseDown(x, y, mod);
    if (learn)
      instrument_->doMidiLearn(GetValue() > 0.0);
    else
      instrument_->doMidiUnlearn(GetValue() > 0.0);
  }
  SetDirty(true);
}

void IZVSwitchMidiLearn::showOff() {
  SetValueFromPlug(0.0);
  SetDirty(true);
}

IZVInvisibleSwitch::IZVInvisibleSwitch(ZorqEditor* editor, IRECT rect, int index)
    : IInvisibleSwitchControl(editor ? editor->instrument() : nullptr, rect, index),
      editor_(editor) {}

void IZVInvisibleSwitch::OnMouseDown(int x, int y, IMouseMod* mod) {
  IInvisibleSwitchControl::OnMouseDown(x, y, mod);
  if (paramIdx_ != ZorqEditor::kTweakSwitch || !editor_) return;
  editor_->setTweakMode(!editor_->tweakMode());
  editor_->instrument()->RedrawParamControls();
}
