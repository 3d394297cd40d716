// Construction, the empty program and destruction of the instrument.
#include "engine/ZORQ.h"

ZORQ::ZORQ() {
  for (int v = 0; v < kNumVoices; ++v) voiceList_[v] = &voices_[v];
  initParameters();
  // The plug-in's entry point attaches the editor (src/editor) after construction;
  // tests and tools construct the instrument without one.
  initAllPrograms();
}

void ZORQ::initPreset() {
  Synth::initPreset();
  sampleFileName_.clear();
}

// The editor's window closes while the whole instrument still exists: a file prompt
// still open ends as cancelled, and its completion may reach the instrument.
ZORQ::~ZORQ() {
  if (IPlugGUI* gui = GetGUI()) gui->CloseWindow();
  cleanup();
}

void ZORQ::cleanup() {
  for (int c = 0; c < 2; ++c) {
    modulator_[c].reset();
    carrier_[c].reset();
    noise_[c].reset();
    vocoderOut_[c].reset();
  }
}
