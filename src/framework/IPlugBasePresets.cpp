// The plug-in base's presets and the state that passes through byte chunks.
#include "framework/IPlugBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

void IPlugBase::setParamClamped(int paramIdx, double value) {
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  if (std::isnan(value)) value = 0.0;
  param->Set(std::min(std::max(value, param->GetMin()), param->GetMax()));
}

int IPlugBase::readParamValues(const ByteChunk* chunk, int pos) {
  for (int i = 0; i < NParams(); ++i) {
    double value = 0.0;
    const int next = chunk->Get(&value, pos);
    setParamClamped(i, next < 0 ? 0.0 : value);
    if (next < 0) return -1;
    pos = next;
  }
  return pos;
}

bool IPlugBase::SerializeParams(ByteChunk* chunk) {
  IMutexLock lock(mutex_);
  for (const IParam& param : params_) chunk->Put(param.Value());
  return chunk->Size() > 0;
}

int IPlugBase::UnserializeParams(const ByteChunk* chunk, int startPos) {
  IMutexLock lock(mutex_);
  const int pos = startPos >= 0 ? readParamValues(chunk, startPos) : -1;
  OnParamReset();
  return pos;
}

bool IPlugBase::SerializeState(ByteChunk* chunk) { return SerializeParams(chunk); }

int IPlugBase::UnserializeState(const ByteChunk* chunk, int startPos) {
  return UnserializeParams(chunk, startPos);
}

bool IPlugBase::SerializePresets(ByteChunk* chunk) {
  IMutexLock lock(mutex_);
  for (const IPreset& preset : presets_) {
    chunk->PutStr(preset.name.c_str());
    chunk->Put(preset.initialized);
    if (preset.initialized) chunk->PutChunk(preset.chunk);
  }
  return chunk->Size() > 0;
}

// Each stored state passes through the live plug-in and is stored again in the current
// format. A preset is changed only once its whole entry was read: a list that ends
// early leaves the remaining presets, including the one at the break, as they were.
int IPlugBase::UnserializePresets(const ByteChunk* chunk, int startPos) {
  IMutexLock lock(mutex_);
  int pos = startPos;
  for (size_t i = 0; i < presets_.size() && pos >= 0; ++i) {
    std::string name;
    bool initialized = false;
    pos = chunk->GetStr(&name, pos);
    pos = chunk->Get(&initialized, pos);
    if (pos < 0) break;
    IPreset& preset = presets_[i];
    if (initialized) {
      pos = UnserializeState(chunk, pos);
      if (pos <= 0) break;
      preset.chunk.Clear();
      SerializeState(&preset.chunk);
    } else {
      preset.chunk.Clear();
    }
    preset.initialized = initialized;
    preset.setName(name.c_str());
  }
  RestorePreset(currentPresetIdx_);
  return pos;
}

void IPlugBase::EnsureDefaultPreset() {
  IMutexLock lock(mutex_);
  for (IPreset& preset : presets_) {
    if (preset.initialized) continue;
    preset.setName("Empty");
    preset.initialized = true;
    preset.chunk.Clear();
    SerializeState(&preset.chunk);
  }
}

bool IPlugBase::RestorePreset(int idx) {
  IMutexLock lock(mutex_);
  if (idx < 0 || idx >= NPresets()) return false;
  IPreset& preset = presets_[static_cast<size_t>(idx)];
  if (preset.initialized) {
    if (UnserializeState(&preset.chunk, 0) <= 0) return false;
  } else {
    // A never-used slot becomes the next "user preset N" holding the live state.
    const int userPresets =
        static_cast<int>(std::count_if(presets_.begin(), presets_.end(), [](const IPreset& p) {
          return p.name.find("user preset") != std::string::npos;
        }));
    char name[IPreset::kMaxNameLength + 1];
    std::snprintf(name, sizeof name, "%s %d", "user preset", userPresets + 1);
    preset.initialized = true;
    preset.setName(name);
    preset.chunk.Clear();
    if (!SerializeState(&preset.chunk)) return false;
  }
  currentPresetIdx_ = idx;
  PresetsChangedByHost();
  RedrawParamControls();
  return true;
}

bool IPlugBase::RestorePreset(const char* name) {
  if (!name || !*name) return false;
  IMutexLock lock(mutex_);
  for (int i = 0; i < NPresets(); ++i)
    if (presets_[static_cast<size_t>(i)].name == name) return RestorePreset(i);
  return false;
}

const ByteChunk* IPlugBase::storedPresetState(int idx) const {
  if (idx < 0 || idx >= NPresets()) return nullptr;
  const IPreset& preset = presets_[static_cast<size_t>(idx)];
  return preset.initialized ? &preset.chunk : nullptr;
}

bool IPlugBase::selectPreset(int idx) {
  if (idx < 0 || idx >= NPresets()) return false;
  currentPresetIdx_ = idx;
  return true;
}

const char* IPlugBase::GetPresetName(int idx) const {
  return idx >= 0 && idx < NPresets() ? presets_[static_cast<size_t>(idx)].name.c_str() : "";
}

void IPlugBase::ModifyCurrentPreset(const char* name) {
  IMutexLock lock(mutex_);
  if (currentPresetIdx_ < 0 || currentPresetIdx_ >= NPresets()) return;
  IPreset& preset = presets_[static_cast<size_t>(currentPresetIdx_)];
  preset.chunk.Clear();
  SerializeState(&preset.chunk);
  if (name && *name) preset.setName(name);
}

void IPlugBase::DirtyParameters() {
  IMutexLock lock(mutex_);
  for (int i = 0; i < NParams(); ++i) InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}

bool IPlugBase::serializeProgramChunk(ByteChunk* chunk) {
  IMutexLock lock(mutex_);
  InitChunkWithIPlugVer(chunk);
  SerializeState(chunk);
  chunk->PutStr(GetPresetName(currentPresetIdx_));
  return true;
}

// A state that cannot be read completely changes nothing: the live state as it was
// just before the call (including edits not yet stored in a preset) is put back, and
// the current preset is not touched.
int IPlugBase::unserializeProgramChunk(const ByteChunk* chunk) {
  IMutexLock lock(mutex_);
  ByteChunk before;
  SerializeState(&before);
  int pos = 0;
  SkipIPlugVerMarker(chunk, &pos);
  pos = UnserializeState(chunk, pos);
  std::string name;  // optional, but when there, read whole like the rest
  if (pos > 0 && pos < chunk->Size()) pos = chunk->GetStr(&name, pos);
  if (pos <= 0) {
    UnserializeState(&before, 0);
    return -1;
  }
  ModifyCurrentPreset(name.c_str());
  return pos;
}

bool IPlugBase::serializeBankChunk(ByteChunk* chunk) {
  IMutexLock lock(mutex_);
  InitChunkWithIPlugVer(chunk);
  ModifyCurrentPreset(nullptr);
  return SerializePresets(chunk);
}

int IPlugBase::unserializeBankChunk(const ByteChunk* chunk) {
  IMutexLock lock(mutex_);
  int pos = 0;
  if (GetIPlugVerFromChunk(chunk, &pos) < kIPlugVersion) return unserializeProgramChunk(chunk);
  return UnserializePresets(chunk, pos);
}

// The snapshot is taken as it stands: saving a bank first would store the live edits in
// the current preset, which a refused chunk must not change either.
template <typename Read>
int IPlugBase::wholeOrNothing(Read read) {
  IMutexLock lock(mutex_);
  std::vector<IPreset> presetsBefore = presets_;
  const int currentBefore = currentPresetIdx_;
  ByteChunk liveBefore;
  SerializeState(&liveBefore);
  const int pos = read();
  if (pos > 0) return pos;
  presets_ = std::move(presetsBefore);
  currentPresetIdx_ = currentBefore;
  UnserializeState(&liveBefore, 0);
  PresetsChangedByHost();
  return -1;
}

int IPlugBase::unserializeBankChunkWhole(const ByteChunk* chunk) {
  return wholeOrNothing([&] { return unserializeBankChunk(chunk); });
}

const IPreset* IPlugBase::GetPreset(int idx) const {
  return idx >= 0 && idx < NPresets() ? &presets_[static_cast<size_t>(idx)] : nullptr;
}

bool IPlugBase::SetPreset(int idx, const IPreset& preset) {
  if (idx < 0 || idx >= NPresets()) return false;
  IPreset& stored = presets_[static_cast<size_t>(idx)];
  stored.initialized = preset.initialized;
  stored.setName(preset.name.c_str());
  stored.chunk = preset.chunk;
  return true;
}

namespace {
// Behind the bank in a session chunk: "ZQcp" in file order, then the current preset.
constexpr int32_t kSessionProgramTag = 0x7063515A;
constexpr int kSessionTrailerBytes = 8;
}  // namespace

bool IPlugBase::serializeSessionChunk(ByteChunk* chunk) {
  IMutexLock lock(mutex_);
  if (!serializeBankChunk(chunk)) return false;
  chunk->Put(kSessionProgramTag);
  chunk->Put(static_cast<int32_t>(currentPresetIdx_));
  return true;
}

bool IPlugBase::unserializeSessionChunk(const ByteChunk* chunk) {
  IMutexLock lock(mutex_);
  int pos = 0;
  if (GetIPlugVerFromChunk(chunk, &pos) < kIPlugVersion) return false;
  int end = chunk->Size();
  int program = currentPresetIdx_;
  int32_t tag = 0, storedProgram = 0;
  const int trailer = end - kSessionTrailerBytes;
  if (trailer > pos && chunk->Get(&tag, trailer) > 0 && tag == kSessionProgramTag) {
    chunk->Get(&storedProgram, trailer + 4);
    if (storedProgram < 0 || storedProgram >= NPresets()) return false;
    program = storedProgram;
    end = trailer;
  }
  return wholeOrNothing([&] {
           // The bank's last step restores the current preset: the stored one.
           selectPreset(program);
           return UnserializePresets(chunk, pos) == end ? end : -1;
         }) > 0;
}
