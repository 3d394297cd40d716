// Program change by MIDI. At the control tick of the message the program's stored
// values become the live parameters and the program becomes the current one, on the
// audio thread: nothing is allocated and no file is read there. The stored state is
// read in place (it was prepared when the program was stored). What needs the heap or
// the disk waits for the next idle call of the user-interface thread: the program's
// sample file (the old sample plays until then) and the name and state of a program
// slot that was never used.
#include <cstring>

#include "engine/ZORQ.h"

void ZORQ::restoreProgram(int program) {
  const ByteChunk* state = storedPresetState(program);
  if (!state) {
    // A never-used slot keeps the live state, as a host's program change does.
    if (!selectPreset(program)) return;
    programSlotPending_ = program;
  } else {
    const char* file = nullptr;
    int fileLength = 0;
    const int pos = stateValuesPosition(state, 0);
    if (pos < 0 || !storedSampleFile(state, &file, &fileLength))
      return;  // a broken record changes nothing
    selectPreset(program);
    programSlotPending_ = -1;
    // Only the parameters that change are applied: re-applying an unchanged one
    // may restart part of the engine (the envelope followers) in the middle of a note.
    double previous[kNumParams];
    for (int i = 0; i < kNumParams; ++i) previous[i] = GetParam(i)->Value();
    readParamValues(state, pos);
    for (int i = 0; i < kNumParams; ++i)
      if (GetParam(i)->Value() != previous[i]) OnParamChange(i);
    const bool sameFile = static_cast<size_t>(fileLength) == sampleFileName_.size() &&
                          std::memcmp(file, sampleFileName_.data(), sampleFileName_.size()) == 0;
    programSamplePending_ = sameFile ? -1 : program;
  }
  RedrawParamControls();
  InformHostOfProgramChange();
}

// The stored state being replaced may be the one whose sample file is pending.
void ZORQ::ModifyCurrentPreset(const char* name) {
  IMutexLock lock(Mutex());
  adoptPendingSampleFile();
  Synth::ModifyCurrentPreset(name);
}

bool ZORQ::adoptPendingSampleFile() {
  const ByteChunk* state = storedPresetState(programSamplePending_);
  programSamplePending_ = -1;
  const char* file = nullptr;
  int fileLength = 0;
  if (!state || !storedSampleFile(state, &file, &fileLength)) return false;
  sampleFileName_.assign(file, static_cast<size_t>(fileLength));
  programSampleLoadPending_ = true;
  return true;
}

void ZORQ::completeProgramChange() {
  bool insideHostCall = false;
  {
    IMutexLock lock(Mutex());
    insideHostCall = InHostCall();
    // A file the steps below name is read once the mutex is free (below, or by the
    // dispatcher when this runs inside a host call), so audio goes on meanwhile.
    deferSampleLoad_ = true;
    adoptPendingSampleFile();
    const int slot = programSlotPending_;
    programSlotPending_ = -1;
    if (slot >= 0 && slot == GetCurrentPresetIdx() && !storedPresetState(slot)) {
      programSampleLoadPending_ = false;
      RestorePreset(slot);  // names the slot, stores the live state, asks for its file
      InformHostOfProgramChange();
    } else if (programSampleLoadPending_) {
      programSampleLoadPending_ = false;
      PresetsChangedByHost();  // asks for the file; the editor follows
    }
    deferSampleLoad_ = false;
  }
  if (!insideHostCall) OnHostCallReturned();
}
