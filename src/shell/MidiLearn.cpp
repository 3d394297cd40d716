#include "shell/MidiLearn.h"

void MidiLearn::doMidiLearn(bool on) {
  unlearning_ = false;
  learning_ = on;
  learnedController_ = -1;
}

void MidiLearn::doMidiUnlearn(bool on) {
  unlearning_ = true;
  learning_ = on;
  learnedController_ = -1;
}

void MidiLearn::setMidiLearnCC(int controller) {
  learnedController_ = controller;
  applyMidiLearn();
}

void MidiLearn::setMidiLearnParam(int index) {
  learnedParameter_ = index;
  applyMidiLearn();
}

void MidiLearn::clearParameter(int index) {
  for (int c = 0; c < Configuration::kNumControllers; ++c)
    if (configuration_.controllerParameter(c) == index)
      configuration_.setControllerParameter(c, Configuration::kUnassigned);
}

void MidiLearn::endPhase() {
  learning_ = unlearning_ = false;
  if (switchView_) switchView_->showOff();
}

void MidiLearn::applyMidiLearn() {
  if (!learning_) return;
  if (unlearning_) {
    if (learnedController_ != -1) {
      configuration_.setControllerParameter(learnedController_, Configuration::kUnassigned);
      endPhase();
    } else if (learnedParameter_ != -1) {
      clearParameter(learnedParameter_);
      endPhase();
    }
    return;
  }
  if (learnedController_ != -1 && learnedParameter_ != -1) {
    clearParameter(learnedParameter_);
    configuration_.setControllerParameter(learnedController_, learnedParameter_);
    endPhase();
  }
}

void MidiLearn::setPhase(bool learning, bool unlearning) {
  const bool wasLearning = learning_;
  if (learning != wasLearning) learnedController_ = -1;
  learning_ = learning;
  unlearning_ = unlearning;
  if (wasLearning && !learning && switchView_) switchView_->showOff();
}
