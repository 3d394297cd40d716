#include "framework/FxFormat.h"

#include <cstring>

namespace fx {

void putBigEndian(ByteChunk* out, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  const uint8_t bytes[4] = {static_cast<uint8_t>(bits >> 24), static_cast<uint8_t>(bits >> 16),
                            static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits)};
  out->PutBytes(bytes, 4);
}

void putBigEndianFloat(ByteChunk* out, float value) {
  int32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  putBigEndian(out, bits);
}

int getBigEndian(const ByteChunk& in, int32_t* value, int pos) {
  if (!in.Fits(pos, 4)) return -1;
  const uint8_t* b = in.GetBytes() + pos;
  *value = static_cast<int32_t>((static_cast<uint32_t>(b[0]) << 24) |
                                (static_cast<uint32_t>(b[1]) << 16) |
                                (static_cast<uint32_t>(b[2]) << 8) | static_cast<uint32_t>(b[3]));
  return pos + 4;
}

int getBigEndianFloat(const ByteChunk& in, float* value, int pos) {
  int32_t bits = 0;
  pos = getBigEndian(in, &bits, pos);
  if (pos >= 0) std::memcpy(value, &bits, sizeof bits);
  return pos;
}

void putProgramName(ByteChunk* out, const char* name) {
  char field[kProgramNameBytes] = {};
  if (name) std::memcpy(field, name, strnlen(name, kProgramNameBytes));
  out->PutBytes(field, kProgramNameBytes);
}

int getProgramName(const ByteChunk& in, std::string* name, int pos) {
  if (!in.Fits(pos, kProgramNameBytes)) return -1;
  const char* field = reinterpret_cast<const char*>(in.GetBytes() + pos);
  name->assign(field, strnlen(field, kProgramNameBytes));
  return pos + kProgramNameBytes;
}

// Reads the fields that lie inside the bytes; returns the offset after them (which may
// lie beyond the end when the header is cut).
static int64_t readFields(const ByteChunk& in, int64_t at, int32_t* const* fields, int count) {
  for (int i = 0; i < count; ++i, at += 4) {
    if (in.Fits(at, 4)) getBigEndian(in, fields[i], static_cast<int>(at));
  }
  return at;
}

ProgramHeader readProgramHeader(const ByteChunk& in, int start) {
  ProgramHeader h;
  if (start < 0) return h;
  int32_t* const fields[] = {&h.magic,    &h.byteSize,      &h.type,     &h.formatVersion,
                             &h.uniqueId, &h.pluginVersion, &h.numParams};
  const int64_t at = readFields(in, start, fields, 7);
  if (in.Fits(at, kProgramNameBytes)) h.pos = getProgramName(in, &h.name, static_cast<int>(at));
  return h;
}

BankHeader readBankHeader(const ByteChunk& in) {
  BankHeader h;
  int32_t* const fields[] = {&h.magic,    &h.byteSize,      &h.type,        &h.formatVersion,
                             &h.uniqueId, &h.pluginVersion, &h.numPrograms, &h.currentProgram};
  readFields(in, 0, fields, 8);
  if (in.Fits(0, kBankHeaderBytes)) h.pos = kBankHeaderBytes;
  return h;
}

static void putCommonHeader(ByteChunk* out, int32_t byteSize, int32_t type, int32_t formatVersion,
                            const Identity& id, int32_t count) {
  putBigEndian(out, kMagic);
  putBigEndian(out, byteSize);
  putBigEndian(out, type);
  putBigEndian(out, formatVersion);
  putBigEndian(out, id.uniqueId);
  putBigEndian(out, id.pluginVersion);
  putBigEndian(out, count);
}

void putProgramHeader(ByteChunk* out, int32_t byteSize, int32_t type, const Identity& id,
                      int32_t numParams, const char* name) {
  putCommonHeader(out, byteSize, type, kProgramFormatVersion, id, numParams);
  putProgramName(out, name);
}

void putBankHeader(ByteChunk* out, int32_t byteSize, int32_t type, const Identity& id,
                   int32_t numPrograms, int32_t currentProgram) {
  putCommonHeader(out, byteSize, type, kBankFormatVersion, id, numPrograms);
  putBigEndian(out, currentProgram);
  const uint8_t reserved[kBankReservedBytes] = {};
  out->PutBytes(reserved, kBankReservedBytes);
}

static void putSizedChunk(ByteChunk* out, const ByteChunk& state) {
  putBigEndian(out, state.Size());
  out->PutChunk(state);
}

ByteChunk programFileChunkForm(const Identity& id, int32_t numParams, const char* name,
                               const ByteChunk& state) {
  ByteChunk out;
  putProgramHeader(&out, kProgramChunkOffset + state.Size(), kProgramChunkType, id, numParams,
                   name);
  putSizedChunk(&out, state);
  return out;
}

ByteChunk bankFileChunkForm(const Identity& id, int32_t numPrograms, int32_t currentProgram,
                            const ByteChunk& bankState) {
  ByteChunk out;
  putBankHeader(&out, kBankChunkOffset + bankState.Size(), kBankChunkType, id, numPrograms,
                currentProgram);
  putSizedChunk(&out, bankState);
  return out;
}

void putProgramParamForm(ByteChunk* out, const Identity& id, const char* name,
                         const float* normalisedValues, int32_t numParams) {
  putProgramHeader(out, 0, kProgramParamsType, id, numParams, name);
  for (int32_t i = 0; i < numParams; ++i) putBigEndianFloat(out, normalisedValues[i]);
}

}  // namespace fx
