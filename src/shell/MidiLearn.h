#pragma once

#include "shell/Configuration.h"

// Shown state of the editor's learn switch; the editor implements it.
class LearnSwitchView {
 public:
  virtual ~LearnSwitchView() = default;
  // The phase ended: show the switch off.
  virtual void showOff() = 0;
};

// Assigning MIDI controllers to parameters. The user arms a learn (or unlearn)
// phase, touches a parameter and moves a controller; the assignment lands in the
// configuration's controller map, which the MIDI input reads. A parameter is
// driven by at most one controller, a controller drives at most one parameter.
// Runs under the plug-in mutex (learn and unlearn only store flags).
class MidiLearn {
 public:
  explicit MidiLearn(Configuration& configuration) : configuration_(configuration) {}

  void doMidiLearn(bool on);
  void doMidiUnlearn(bool on);
  void setMidiLearnCC(int controller);
  void setMidiLearnParam(int index);
  // Ends a phase without touching the map or the switch (the plug-in was reset).
  void stop() { learning_ = unlearning_ = false; }
  // Takes over the phase of another instance (an editor's copy of the plug-in in its
  // own process); a phase that ends this way shows the switch off.
  void setPhase(bool learning, bool unlearning);

  bool isLearning() const { return learning_; }
  bool isUnlearning() const { return unlearning_; }
  int learnedController() const { return learnedController_; }
  int learnedParameter() const { return learnedParameter_; }
  void setSwitchView(LearnSwitchView* view) { switchView_ = view; }

 private:
  void applyMidiLearn();
  void clearParameter(int index);
  void endPhase();

  Configuration& configuration_;
  LearnSwitchView* switchView_ = nullptr;
  bool learning_ = false;
  bool unlearning_ = false;
  int learnedController_ = -1;
  int learnedParameter_ = -1;  // survives from one phase to the next
};
