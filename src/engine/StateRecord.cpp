#include "engine/StateRecord.h"

#include <cstdint>
#include <cstring>

bool StateRecord::hasMarker(const ByteChunk* chunk, int pos) {
  return chunk->Fits(pos, kMarkerBytes) &&
         std::memcmp(chunk->GetBytes() + pos, kMarker, kMarkerBytes) == 0;
}

int StateRecord::valuesPosition(const ByteChunk* chunk, int pos) {
  if (!hasMarker(chunk, pos)) return pos;
  uint32_t programIndex = 0;
  const char* programName = nullptr;
  int nameLength = 0;
  pos = chunk->Get(&programIndex, pos + kMarkerBytes);
  return chunk->PeekStr(pos, &programName, &nameLength);
}

bool StateRecord::sampleFile(const ByteChunk* chunk, int numParams, const char** name,
                             int* length) {
  int pos = valuesPosition(chunk, 0);
  const int valueBytes = numParams * static_cast<int>(sizeof(double));
  if (pos < 0 || !chunk->Fits(pos, valueBytes)) return false;
  bool hasFile = false;
  pos = chunk->Get(&hasFile, pos + valueBytes);
  *name = "";
  *length = 0;
  return pos >= 0 && (!hasFile || chunk->PeekStr(pos, name, length) >= 0);
}
