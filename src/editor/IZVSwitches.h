#pragma once

// The editor's buttons and switches without a parameter: previous and next program,
// the MIDI-learn switch, and the invisible switch over the "TWEAK" button that
// toggles the tweak view. Editor thread, except LearnSwitchView::showOff.
#include "gui/IBitmapControl.h"
#include "shell/MidiLearn.h"

class Synth;
class ZorqEditor;

// Pops in while pressed; on release steps to the previous (index -108) or next
// (index -109) program, wrapping around the list.
class IZVUtilityKick : public IContactControl {
 public:
  IZVUtilityKick(Synth* instrument, int x, int y, int index, IBitmap* bitmap);
  void OnMouseUp(int x, int y, IMouseMod* mod) override;

  // The program the button at `index` goes to from `current` among `count`.
  static int targetProgram(int index, int current, int count);

 private:
  Synth* instrument_;
};

// A left click arms (or ends) MIDI learn and shows the learn picture; a right click
// arms (or ends) unlearn with the unlearn picture. The MIDI-learn logic turns the
// switch off when an assignment completes.
class IZVSwitchMidiLearn : public ISwitchControl, public LearnSwitchView {
 public:
  IZVSwitchMidiLearn(Synth* instrument, int x, int y, int index, IBitmap* bitmap);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // Any thread, plug-in mutex held (the audio thread when a controller completes an
  // assignment): only the value and the dirty flag change.
  void showOff() override;

 private:
  Synth* instrument_;
};

// Toggles between 0 and 1; with index -113 it switches the editor between the normal
// and the tweak view.
class IZVInvisibleSwitch : public IInvisibleSwitchControl {
 public:
  IZVInvisibleSwitch(ZorqEditor* editor, IRECT rect, int index);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;

 private:
  ZorqEditor* editor_;
};
