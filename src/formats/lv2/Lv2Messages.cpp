#include "formats/lv2/Lv2Messages.h"

#include <cstring>

#include <lv2/atom/util.h>

Lv2Messages::Lv2Messages(const Lv2Uris& uris, LV2_URID_Map* map) : uris_(uris) {
  lv2_atom_forge_init(&prototype_, map);
}

void Lv2Messages::startForge(LV2_Atom_Forge* forge, void* buffer, uint32_t size) const {
  *forge = prototype_;
  lv2_atom_forge_set_buffer(forge, static_cast<uint8_t*>(buffer), size);
}

std::vector<uint8_t> Lv2Messages::trimmed(std::vector<uint8_t>& bytes) {
  const LV2_Atom* atom = reinterpret_cast<const LV2_Atom*>(bytes.data());
  bytes.resize(sizeof(LV2_Atom) + atom->size);
  return std::move(bytes);
}

bool Lv2Messages::beginObject(LV2_Atom_Forge* forge, LV2_Atom_Forge_Frame* frame,
                              LV2_URID type) const {
  return lv2_atom_forge_object(forge, frame, 0, type) != 0;
}

bool Lv2Messages::writePreset(LV2_Atom_Forge* forge, int index, const IPreset& preset) const {
  LV2_Atom_Forge_Frame frame;
  if (!beginObject(forge, &frame, uris_.msgPreset)) return false;
  const ByteChunk& record = preset.chunk;
  const bool ok =
      lv2_atom_forge_key(forge, uris_.keyIndex) && lv2_atom_forge_int(forge, index) &&
      lv2_atom_forge_key(forge, uris_.keyName) &&
      lv2_atom_forge_string(forge, preset.name.c_str(),
                            static_cast<uint32_t>(preset.name.size())) &&
      lv2_atom_forge_key(forge, uris_.keyInitialized) &&
      lv2_atom_forge_bool(forge, preset.initialized) &&
      lv2_atom_forge_key(forge, uris_.keyRecord) &&
      lv2_atom_forge_atom(forge, static_cast<uint32_t>(record.Size()), uris_.atomChunk) &&
      (record.Size() == 0 ||
       lv2_atom_forge_write(forge, record.GetBytes(), static_cast<uint32_t>(record.Size())));
  lv2_atom_forge_pop(forge, &frame);
  return ok;
}

bool Lv2Messages::writeCurrent(LV2_Atom_Forge* forge, int index, const double* values,
                               int count) const {
  LV2_Atom_Forge_Frame frame;
  if (!beginObject(forge, &frame, uris_.msgCurrent)) return false;
  bool ok = lv2_atom_forge_key(forge, uris_.keyIndex) && lv2_atom_forge_int(forge, index);
  if (ok && values && count > 0)
    ok = lv2_atom_forge_key(forge, uris_.keyValues) &&
         lv2_atom_forge_vector(forge, sizeof(double), uris_.atomDouble,
                               static_cast<uint32_t>(count), values);
  lv2_atom_forge_pop(forge, &frame);
  return ok;
}

bool Lv2Messages::writeEditorState(LV2_Atom_Forge* forge, const ByteChunk& record) const {
  LV2_Atom_Forge_Frame frame;
  if (!beginObject(forge, &frame, uris_.msgEditorState)) return false;
  const bool ok =
      lv2_atom_forge_key(forge, uris_.keyRecord) &&
      lv2_atom_forge_atom(forge, static_cast<uint32_t>(record.Size()), uris_.atomChunk) &&
      (record.Size() == 0 ||
       lv2_atom_forge_write(forge, record.GetBytes(), static_cast<uint32_t>(record.Size())));
  lv2_atom_forge_pop(forge, &frame);
  return ok;
}

bool Lv2Messages::writeMeter(LV2_Atom_Forge* forge, float level) const {
  LV2_Atom_Forge_Frame frame;
  if (!beginObject(forge, &frame, uris_.msgMeter)) return false;
  const bool ok = lv2_atom_forge_key(forge, uris_.keyLevel) && lv2_atom_forge_float(forge, level);
  lv2_atom_forge_pop(forge, &frame);
  return ok;
}

bool Lv2Messages::writeParamChange(LV2_Atom_Forge* forge, int index, double value) const {
  LV2_Atom_Forge_Frame frame;
  if (!beginObject(forge, &frame, uris_.msgParamChange)) return false;
  const bool ok = lv2_atom_forge_key(forge, uris_.keyIndex) && lv2_atom_forge_int(forge, index) &&
                  lv2_atom_forge_key(forge, uris_.keyValue) && lv2_atom_forge_double(forge, value);
  lv2_atom_forge_pop(forge, &frame);
  return ok;
}

bool Lv2Messages::writeEmpty(LV2_Atom_Forge* forge, LV2_URID type) const {
  LV2_Atom_Forge_Frame frame;
  if (!beginObject(forge, &frame, type)) return false;
  lv2_atom_forge_pop(forge, &frame);
  return true;
}

namespace {
bool readInt(const LV2_Atom* atom, LV2_URID type, int* out) {
  if (!atom || atom->type != type || atom->size < sizeof(int32_t)) return false;
  *out = reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
  return true;
}

bool readChunk(const LV2_Atom* atom, LV2_URID type, ByteChunk* out) {
  if (!atom || atom->type != type || atom->size > 0x7FFFFFF) return false;
  out->Clear();
  out->PutBytes(LV2_ATOM_BODY_CONST(atom), static_cast<int>(atom->size));
  return true;
}
}  // namespace

bool Lv2Messages::read(const LV2_Atom* atom, Message* message) const {
  if (!atom || (atom->type != uris_.atomObject && atom->type != uris_.atomBlank) ||
      atom->size < sizeof(LV2_Atom_Object_Body))
    return false;
  const LV2_Atom_Object* object = reinterpret_cast<const LV2_Atom_Object*>(atom);
  const LV2_URID type = object->body.otype;
  message->type = type;
  const LV2_Atom *index = nullptr, *name = nullptr, *initialized = nullptr, *record = nullptr,
                 *values = nullptr, *level = nullptr, *value = nullptr;
  lv2_atom_object_get(object, uris_.keyIndex, &index, uris_.keyName, &name, uris_.keyInitialized,
                      &initialized, uris_.keyRecord, &record, uris_.keyValues, &values,
                      uris_.keyLevel, &level, uris_.keyValue, &value, 0);
  if (type == uris_.msgStateRequest || type == uris_.msgSynced) return true;
  if (type == uris_.msgMeter) {
    if (!level || level->type != uris_.atomFloat || level->size < sizeof(float)) return false;
    message->value = reinterpret_cast<const LV2_Atom_Float*>(level)->body;
    return true;
  }
  if (type == uris_.msgEditorState) return readChunk(record, uris_.atomChunk, &message->record);
  if (!readInt(index, uris_.atomInt, &message->index)) return false;
  if (type == uris_.msgParamChange) {
    if (!value || value->type != uris_.atomDouble || value->size < sizeof(double)) return false;
    message->value = reinterpret_cast<const LV2_Atom_Double*>(value)->body;
    return true;
  }
  if (type == uris_.msgCurrent) {
    if (!values) return true;
    const LV2_Atom_Vector* vector = reinterpret_cast<const LV2_Atom_Vector*>(values);
    if (values->type != uris_.atomVector || values->size < sizeof(LV2_Atom_Vector_Body) ||
        vector->body.child_type != uris_.atomDouble || vector->body.child_size != sizeof(double))
      return false;
    const size_t count = (values->size - sizeof(LV2_Atom_Vector_Body)) / sizeof(double);
    message->values.resize(count);
    std::memcpy(message->values.data(), vector + 1, count * sizeof(double));
    return true;
  }
  if (type == uris_.msgPreset) {
    if (!name || name->type != uris_.atomString || !initialized ||
        initialized->type != uris_.atomBool || initialized->size < sizeof(int32_t))
      return false;
    const char* text = static_cast<const char*>(LV2_ATOM_BODY_CONST(name));
    message->preset.setName(std::string(text, strnlen(text, name->size)).c_str());
    message->preset.initialized = reinterpret_cast<const LV2_Atom_Bool*>(initialized)->body != 0;
    return readChunk(record, uris_.atomChunk, &message->preset.chunk);
  }
  return false;
}
