// The state extension: the bank chunk the VST 2 build stores, the live sample file as
// a mapped path, and the port values last seen, so that lilv's order (state, then the
// port values) gives back what was heard.
//
// Older builds showed gains as plain factors on ports of other symbols and stored the
// values last seen as plain values (statePlainPortValues). Such a state restores the
// sound from its bank; the gain ports, which it knows nothing of, take whatever they
// hold as seen, so that neither a port's default nor a stale value replaces it.
#include <cstdlib>
#include <cstring>
#include <limits>

#include <lv2/atom/atom.h>

#include "formats/lv2/Lv2Features.h"
#include "formats/lv2/Lv2Plugin.h"
#include "framework/PortValue.h"

namespace {
void freePath(const LV2_Feature* const* features, char* path) {
  const auto* free =
      static_cast<const LV2_State_Free_Path*>(lv2Feature(features, LV2_STATE__freePath));
  if (free)
    free->free_path(free->handle, path);
  else
    std::free(path);
}
}  // namespace

// A stored vector of one float per parameter, or nothing.
std::vector<float> Lv2Plugin::portValues(const void* stored, size_t size, uint32_t type) const {
  std::vector<float> values;
  const auto* body = static_cast<const LV2_Atom_Vector_Body*>(stored);
  if (body && type == uris_->atomVector && size >= sizeof *body &&
      body->child_type == uris_->atomFloat && body->child_size == sizeof(float) &&
      (size - sizeof *body) / sizeof(float) == static_cast<size_t>(plug_->NParams())) {
    values.resize(static_cast<size_t>(plug_->NParams()));
    std::memcpy(values.data(), body + 1, values.size() * sizeof(float));
  }
  return values;
}

LV2_State_Status Lv2Plugin::save(LV2_State_Store_Function store, LV2_State_Handle handle,
                                 const LV2_Feature* const* features) {
  ByteChunk bank;
  std::string file;
  std::vector<float> seen;
  int32_t current = 0;
  {
    IMutexLock lock(plug_->Mutex());
    if (!plug_->serializeBankChunk(&bank) || bank.Size() == 0) return LV2_STATE_ERR_UNKNOWN;
    current = plug_->GetCurrentPresetIdx();
    file = plug_->LiveStateFile();
    seen = lastSeen_;
  }
  const uint32_t flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  LV2_State_Status status = store(handle, uris_->stateBank, bank.GetBytes(),
                                  static_cast<size_t>(bank.Size()), uris_->atomChunk, flags);
  if (status != LV2_STATE_SUCCESS) return status;
  status =
      store(handle, uris_->stateCurrentProgram, &current, sizeof current, uris_->atomInt, flags);
  if (status != LV2_STATE_SUCCESS) return status;

  // The port values as a vector of floats: its body, then the values.
  std::vector<uint8_t> vector(sizeof(LV2_Atom_Vector_Body) + seen.size() * sizeof(float));
  LV2_Atom_Vector_Body body{static_cast<uint32_t>(sizeof(float)), uris_->atomFloat};
  std::memcpy(vector.data(), &body, sizeof body);
  std::memcpy(vector.data() + sizeof body, seen.data(), seen.size() * sizeof(float));
  status = store(handle, uris_->statePorts, vector.data(), vector.size(), uris_->atomVector, flags);
  if (status != LV2_STATE_SUCCESS) return status;

  if (file.empty()) return LV2_STATE_SUCCESS;
  const auto* mapPath =
      static_cast<const LV2_State_Map_Path*>(lv2Feature(features, LV2_STATE__mapPath));
  char* abstract = mapPath ? mapPath->abstract_path(mapPath->handle, file.c_str()) : nullptr;
  const std::string stored = abstract ? abstract : file;
  if (abstract) freePath(features, abstract);
  return store(handle, uris_->stateFile, stored.c_str(), stored.size() + 1, uris_->atomPath,
               LV2_STATE_IS_POD);
}

LV2_State_Status Lv2Plugin::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                                    const LV2_Feature* const* features) {
  size_t size = 0;
  uint32_t type = 0, flags = 0;
  // A session holds the whole bank; a preset only its program's state (VST 2's program chunk).
  const void* data = retrieve(handle, uris_->stateBank, &size, &type, &flags);
  const bool wholeBank = data != nullptr;
  if (!data) data = retrieve(handle, uris_->stateProgram, &size, &type, &flags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != uris_->atomChunk) return LV2_STATE_ERR_BAD_TYPE;
  if (size == 0 || size > 0x7FFFFFF) return LV2_STATE_ERR_UNKNOWN;
  ByteChunk bank;
  bank.PutBytes(data, static_cast<int>(size));

  // The bank chunk holds no current program (the VST 2 build's host keeps its own): the
  // state names it apart, and the bank is read with it selected.
  int32_t current = -1;
  if (const void* index = retrieve(handle, uris_->stateCurrentProgram, &size, &type, &flags))
    if (type == uris_->atomInt && size == sizeof current)
      std::memcpy(&current, index, sizeof current);

  std::string file;
  if (const void* path = retrieve(handle, uris_->stateFile, &size, &type, &flags)) {
    if (type != uris_->atomPath || size == 0) return LV2_STATE_ERR_BAD_TYPE;
    const std::string stored(static_cast<const char*>(path),
                             strnlen(static_cast<const char*>(path), size));
    const auto* mapPath =
        static_cast<const LV2_State_Map_Path*>(lv2Feature(features, LV2_STATE__mapPath));
    char* absolute = mapPath ? mapPath->absolute_path(mapPath->handle, stored.c_str()) : nullptr;
    file = absolute ? absolute : stored;
    if (absolute) freePath(features, absolute);
  }
  const void* stored = retrieve(handle, uris_->statePorts, &size, &type, &flags);
  const bool plainValues = !stored;
  if (plainValues) stored = retrieve(handle, uris_->statePlainPortValues, &size, &type, &flags);
  std::vector<float> seen = portValues(stored, size, type);
  if (plainValues)
    for (size_t i = 0; i < seen.size(); ++i)
      if (portvalue::InDecibels(*plug_->GetParam(static_cast<int>(i))))
        seen[i] = std::numeric_limits<float>::quiet_NaN();

  bool outermost = false;
  {
    IMutexLock lock(plug_->Mutex());
    IPlugBase::HostCall call(*plug_);
    outermost = call.Outermost();
    const int before = plug_->GetCurrentPresetIdx();
    plug_->SelectPreset(current);
    const int read =
        wholeBank ? plug_->unserializeBankChunkWhole(&bank) : plug_->unserializeProgramChunk(&bank);
    if (read < 0) {
      plug_->SelectPreset(before);
      return LV2_STATE_ERR_UNKNOWN;
    }
    if (!file.empty()) {
      plug_->SetLiveStateFile(file);
      plug_->ModifyCurrentPreset(nullptr);
    }
    // Without the values last seen, the restored ones count as seen: a port the host
    // then sets to another value is applied, one it leaves is not.
    if (seen.empty())
      for (int i = 0; i < plug_->NParams(); ++i) {
        const IParam& param = *plug_->GetParam(i);
        seen.push_back(static_cast<float>(portvalue::FromPlain(param, param.Value())));
      }
    lastSeen_ = std::move(seen);
  }
  programChanged_.store(true, std::memory_order_release);
  // The sample file the state names is read by the worker (or here, without one).
  if (outermost) {
    if (schedule_)
      filesPending_.store(true, std::memory_order_release);
    else
      plug_->OnHostCallReturned();
  }
  return LV2_STATE_SUCCESS;
}
