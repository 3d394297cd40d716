// The instrument's state record: what hosts, presets and program and bank files keep.
// Current format: the marker "ZORQ_1.1.1", the program index and name (written for
// readers elsewhere, skipped when read), one plain double per parameter, a has-file
// byte and, when set, the sample file name. Older records hold only the last three.
#include "engine/ZORQ.h"

#include <cstring>

namespace {
constexpr char kStateMarker[] = "ZORQ_1.1.1";
constexpr int kStateMarkerBytes = 10;
constexpr int kInputModeFile = 1;
}  // namespace

bool ZORQ::isNewVersion_1_1_1(const ByteChunk* chunk, int pos) {
  return chunk->Fits(pos, kStateMarkerBytes) &&
         std::memcmp(chunk->GetBytes() + pos, kStateMarker, kStateMarkerBytes) == 0;
}

int ZORQ::stateValuesPosition(const ByteChunk* chunk, int pos) {
  if (!isNewVersion_1_1_1(chunk, pos)) return pos;
  uint32_t programIndex = 0;
  const char* programName = nullptr;
  int nameLength = 0;
  pos = chunk->Get(&programIndex, pos + kStateMarkerBytes);
  return chunk->PeekStr(pos, &programName, &nameLength);
}

bool ZORQ::storedSampleFile(const ByteChunk* chunk, const char** name, int* length) const {
  int pos = stateValuesPosition(chunk, 0);
  const int valueBytes = NParams() * static_cast<int>(sizeof(double));
  if (pos < 0 || !chunk->Fits(pos, valueBytes)) return false;
  bool hasFile = false;
  pos = chunk->Get(&hasFile, pos + valueBytes);
  *name = "";
  *length = 0;
  return pos >= 0 && (!hasFile || chunk->PeekStr(pos, name, length) >= 0);
}

bool ZORQ::SerializeState(ByteChunk* chunk) {
  IMutexLock lock(Mutex());
  adoptPendingSampleFile();
  chunk->PutBytes(kStateMarker, kStateMarkerBytes);
  chunk->Put(static_cast<uint32_t>(GetCurrentPresetIdx()));
  chunk->PutStr(GetPresetName(GetCurrentPresetIdx()));
  for (int i = 0; i < NParams(); ++i) chunk->Put(GetParam(i)->Value());
  const bool hasFile = GetParam(kInputMode)->Int() == kInputModeFile && !sampleFileName_.empty();
  chunk->Put(hasFile);
  if (hasFile) chunk->PutStr(sampleFileName_.c_str());
  return chunk->Size() > 0;
}

// Returns the position after the record, or -1 when it is incomplete. A negative start
// changes no parameter (nothing can be read there); a record cut inside the values
// keeps what was read, sets the value at the break to 0 clamped and leaves the rest.
int ZORQ::UnserializeState(const ByteChunk* chunk, int startPos) {
  IMutexLock lock(Mutex());
  sampleFileName_.clear();
  programSamplePending_ = -1;  // this state names its own file
  int pos = stateValuesPosition(chunk, startPos);
  if (pos >= 0) pos = readParamValues(chunk, pos);
  OnParamReset();
  if (pos < 0) return -1;

  bool hasFile = false;
  pos = chunk->Get(&hasFile, pos);
  if (pos < 0 || !hasFile) return pos;
  std::string name;
  pos = chunk->GetStr(&name, pos);
  if (pos >= 0) sampleFileName_ = name;
  return pos;
}

// The restored state may name another sample file. Inside a host call (or a program
// change's completion) the plug-in mutex is held, so the file is read once it is free.
void ZORQ::PresetsChangedByHost() {
  if (InHostCall() || deferSampleLoad_)
    sampleReloadPending_ = true;
  else
    loadSampleFile(false);
  RedrawParamControls();
}

void ZORQ::OnHostCallReturned() {
  {
    IMutexLock lock(Mutex());
    if (!sampleReloadPending_) return;
    sampleReloadPending_ = false;
  }
  loadSampleFile(false);
}
