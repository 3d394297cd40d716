// The instrument's side of its editor: the editor is attached to the plug-in base as
// an IPlugGUI and is reached only through that interface, so the engine links no
// drawing or window code.
#include "engine/ZORQ.h"

void ZORQ::RedrawParamControls() {
  Synth::RedrawParamControls();
  if (IPlugGUI* gui = GetGUI()) gui->RedrawParamControls();
}

void ZORQ::OnIdle() {
  completeProgramChange();  // a program changed by MIDI may name another sample file
  IMutexLock lock(Mutex());
  if (IPlugGUI* gui = GetGUI()) gui->OnIdle();
}
