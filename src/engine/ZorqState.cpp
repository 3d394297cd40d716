// The instrument's state record (its layout: StateRecord.h), written and read back.
#include "engine/ZORQ.h"

#include "engine/StateRecord.h"

namespace {
constexpr int kInputModeFile = 1;
}  // namespace

bool ZORQ::isNewVersion_1_1_1(const ByteChunk* chunk, int pos) {
  return StateRecord::hasMarker(chunk, pos);
}

bool ZORQ::SerializeState(ByteChunk* chunk) {
  IMutexLock lock(Mutex());
  adoptProgramSampleFile();
  chunk->PutBytes(StateRecord::kMarker, StateRecord::kMarkerBytes);
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
  sampleFileSchedule_.stateRestored();  // this state names its own file
  int pos = StateRecord::valuesPosition(chunk, startPos);
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
