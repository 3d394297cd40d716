// Program (.fxp) and bank (.fxb) files of the plug-in base. Files are read whole
// before the mutex is taken and written after it is released, so disk access never
// holds up an audio block.
#include "framework/IPlugBase.h"

#include "framework/FileBytes.h"
#include "framework/FxFormat.h"

#include <algorithm>
#include <vector>

namespace {

// Applies one big-endian normalised float per parameter from pos; stops at the first
// missing one, leaving the later parameters as they are. Values outside 0..1 (or not
// numbers) are brought into range so no parameter leaves its bounds.
int applyNormalizedValues(IPlugBase* plug, const ByteChunk& file, int pos) {
  for (int i = 0; i < plug->NParams() && pos >= 0; ++i) {
    float value = 0.0f;
    pos = fx::getBigEndianFloat(file, &value, pos);
    if (pos >= 0) plug->GetParam(i)->SetNormalized(value >= 0.0f ? std::min(value, 1.0f) : 0.0f);
  }
  return pos;
}

}  // namespace

bool IPlugBase::SaveProgramAsFXP(const std::string& path) {
  if (path.empty()) return false;
  ByteChunk file;
  {
    IMutexLock lock(mutex_);
    const fx::Identity id{uniqueID_, GetEffectVersion(true)};
    const char* name = GetPresetName(currentPresetIdx_);
    if (DoesStateChunks()) {
      ByteChunk state;
      InitChunkWithIPlugVer(&state);
      SerializeState(&state);
      file = fx::programFileChunkForm(id, NParams(), name, state);
    } else {
      std::vector<float> values;
      for (const IParam& param : params_)
        values.push_back(static_cast<float>(param.GetNormalized()));
      fx::putProgramParamForm(&file, id, name, values.data(), NParams());
    }
  }
  return writeFileAtomically(path, file);
}

bool IPlugBase::SaveBankAsFXB(const std::string& path) {
  if (path.empty()) return false;
  ByteChunk file;
  {
    IMutexLock lock(mutex_);
    const fx::Identity id{uniqueID_, GetEffectVersion(true)};
    if (DoesStateChunks()) {
      ByteChunk bank;
      InitChunkWithIPlugVer(&bank);
      SerializePresets(&bank);
      file = fx::bankFileChunkForm(id, NPresets(), currentPresetIdx_, bank);
    } else {
      fx::putBankHeader(&file, 0, fx::kBankParamsType, id, NPresets(), currentPresetIdx_);
      std::vector<float> values(params_.size());
      for (const IPreset& preset : presets_) {
        // The stored state read as consecutive plain values; a missing one counts as 0.
        int pos = 0;
        for (size_t i = 0; i < params_.size(); ++i) {
          double value = 0.0;
          pos = preset.chunk.Get(&value, pos);
          values[i] = static_cast<float>(params_[i].GetNormalized(pos < 0 ? 0.0 : value));
        }
        fx::putProgramParamForm(&file, id, preset.name.c_str(), values.data(), NParams());
      }
    }
  }
  return writeFileAtomically(path, file);
}

// A program that cannot be read completely is refused and the live state is put back
// as it was before the load, so a damaged file changes nothing.
bool IPlugBase::LoadProgramFromFXP(const std::string& path) {
  ByteChunk file;
  return readWholeFile(path, &file) && LoadProgramFromBytes(file);
}

bool IPlugBase::LoadProgramFromBytes(const ByteChunk& file) {
  IMutexLock lock(mutex_);
  const fx::ProgramHeader header = fx::readProgramHeader(file, 0);
  if (header.magic != fx::kMagic || header.formatVersion != fx::kProgramFormatVersion ||
      header.uniqueId != uniqueID_)
    return false;
  const bool chunkForm = header.type == fx::kProgramChunkType && DoesStateChunks();
  if (!chunkForm && header.type != fx::kProgramParamsType) return false;

  ByteChunk before;
  SerializeState(&before);
  bool complete = false;
  if (chunkForm) {
    int32_t chunkSize = 0;
    int pos = fx::getBigEndian(file, &chunkSize, header.pos);
    SkipIPlugVerMarker(&file, &pos);
    complete = pos >= 0 && UnserializeState(&file, pos) > 0;
  } else {
    complete = applyNormalizedValues(this, file, header.pos) >= 0;
  }
  if (!complete) {
    UnserializeState(&before, 0);
    return false;
  }
  ModifyCurrentPreset(header.name.c_str());
  RestorePreset(currentPresetIdx_);
  InformHostOfProgramChange();
  return true;
}

int IPlugBase::loadBankChunkForm(const ByteChunk& file) {
  IMutexLock lock(mutex_);
  int pos = file.Fits(0, fx::kBankChunkOffset) ? fx::kBankChunkOffset : -1;
  SkipIPlugVerMarker(&file, &pos);
  if (pos < 0) return -1;
  pos = UnserializePresets(&file, pos);
  InformHostOfProgramChange();
  return pos;
}

bool IPlugBase::LoadBankFromFXB(const std::string& path) {
  ByteChunk file;
  return readWholeFile(path, &file) && LoadBankFromBytes(file);
}

bool IPlugBase::LoadBankFromBytes(const ByteChunk& file) {
  IMutexLock lock(mutex_);
  const fx::BankHeader header = fx::readBankHeader(file);
  if (header.magic != fx::kMagic || header.uniqueId != uniqueID_) return false;
  if (header.type == fx::kBankChunkType && DoesStateChunks()) return loadBankChunkForm(file) >= 0;
  if (header.type != fx::kBankParamsType) return false;

  // Programs beyond the plug-in's presets are ignored rather than piled onto the last
  // preset. A program that fails stops the load; the ones before it stay loaded.
  int pos = header.pos;
  const int count = std::min(header.numPrograms, NPresets());
  for (int i = 0; i < count; ++i) {
    const fx::ProgramHeader program = fx::readProgramHeader(file, pos);
    if (program.pos < 0 || program.magic != fx::kMagic || program.type != fx::kProgramParamsType ||
        program.formatVersion != fx::kProgramFormatVersion || program.numParams != NParams())
      return false;
    RestorePreset(i);
    pos = applyNormalizedValues(this, file, program.pos);
    if (pos < 0) {
      RestorePreset(currentPresetIdx_);  // drop the partly applied program
      return false;
    }
    ModifyCurrentPreset(program.name.c_str());
  }
  RestorePreset(header.currentProgram);
  InformHostOfProgramChange();
  return true;
}
