// Program change by MIDI. At the control tick of the message the program's stored
// values become the live parameters and the program becomes the current one, on the
// audio thread: nothing is allocated and no file is read there. The stored state is
// read in place (it was prepared when the program was stored). What needs the heap or
// the disk waits for the next idle call of the user-interface thread (the sample file
// schedule): the program's sample file (the old sample plays until then) and the name
// and state of a program slot that was never used.
#include <cstring>

#include "engine/StateRecord.h"
#include "engine/ZORQ.h"

void ZORQ::restoreProgram(int program) {
  const ByteChunk* state = storedPresetState(program);
  if (!state) {
    // A never-used slot keeps the live state, as a host's program change does.
    if (!selectPreset(program)) return;
    sampleFileSchedule_.unusedSlotSelected(program);
  } else {
    const char* file = nullptr;
    int fileLength = 0;
    const int pos = StateRecord::valuesPosition(state, 0);
    if (pos < 0 || !StateRecord::sampleFile(state, NParams(), &file, &fileLength))
      return;  // a broken record changes nothing
    selectPreset(program);
    // Only the parameters that change are applied: re-applying an unchanged one
    // may restart part of the engine (the envelope followers) in the middle of a note.
    double previous[kNumParams];
    for (int i = 0; i < kNumParams; ++i) previous[i] = GetParam(i)->Value();
    readParamValues(state, pos);
    for (int i = 0; i < kNumParams; ++i)
      if (GetParam(i)->Value() != previous[i]) OnParamChange(i);
    const bool sameFile = static_cast<size_t>(fileLength) == sampleFileName_.size() &&
                          std::memcmp(file, sampleFileName_.data(), sampleFileName_.size()) == 0;
    sampleFileSchedule_.programChanged(program, sameFile);
  }
  RedrawParamControls();
  InformHostOfProgramChange();
}

// The stored state being replaced may be the one whose sample file is pending.
void ZORQ::ModifyCurrentPreset(const char* name) {
  IMutexLock lock(Mutex());
  adoptProgramSampleFile();
  Synth::ModifyCurrentPreset(name);
}

// Runs as a host call: a file the steps below name is read once the mutex is free
// (at its end, or by the adapter when this runs inside a host call), so audio goes on
// meanwhile.
void ZORQ::completeProgramChange() {
  RunHostCall([this] {
    adoptProgramSampleFile();
    const int slot = sampleFileSchedule_.takeUnusedSlot();
    if (slot != SampleFileSchedule::kNone && slot == GetCurrentPresetIdx() &&
        !storedPresetState(slot)) {
      RestorePreset(slot);  // names the slot, stores the live state, asks for its file
      InformHostOfProgramChange();
    } else if (sampleFileSchedule_.takeRead(SampleFileSchedule::Read::kAtNextIdle)) {
      PresetsChangedByHost();  // asks for the file; the editor follows
    }
    return true;
  });
}
