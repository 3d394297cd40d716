#include "engine/SampleFileSchedule.h"

void SampleFileSchedule::programChanged(int program, bool sameFile) {
  programFile_ = sameFile ? kNone : program;
  unusedSlot_ = kNone;
}

void SampleFileSchedule::readBy(Read when) {
  if (when > read_) read_ = when;
}

bool SampleFileSchedule::takeRead(Read when) {
  if (read_ != when || when == Read::kNothingToRead) return false;
  read_ = Read::kNothingToRead;
  return true;
}

int SampleFileSchedule::take(int& index) {
  const int taken = index;
  index = kNone;
  return taken;
}
