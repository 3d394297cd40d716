#include "framework/ByteChunk.h"

#include <cstring>

int ByteChunk::append(const void* data, size_t size) {
  if (size > static_cast<size_t>(kMaxSize) - bytes_.size()) return -1;
  // resize + memcpy rather than insert: GCC 12 at -O3 misreads the insert path
  // of small fixed-size puts as an overflow.
  const size_t oldSize = bytes_.size();
  bytes_.resize(oldSize + size);
  if (size > 0) std::memcpy(bytes_.data() + oldSize, data, size);
  return Size();
}

int ByteChunk::PutStr(const char* text) {
  const size_t length = text ? std::strlen(text) : 0;
  if (length > static_cast<size_t>(kMaxSize) - 4 - bytes_.size()) return -1;
  Put(static_cast<int32_t>(length));
  return append(text, length);
}

int ByteChunk::GetStr(std::string* text, int pos) const {
  const char* first = nullptr;
  int length = 0;
  const int next = PeekStr(pos, &first, &length);
  if (next >= 0 && length > 0) text->assign(first, static_cast<size_t>(length));
  return next;
}

int ByteChunk::PeekStr(int pos, const char** text, int* length) const {
  int32_t stored = 0;
  const int start = Get(&stored, pos);
  if (start < 0 || !Fits(start, stored)) return -1;
  *text = reinterpret_cast<const char*>(bytes_.data() + start);
  *length = static_cast<int>(strnlen(*text, static_cast<size_t>(stored)));
  return start + stored;
}

int ByteChunk::PutChunk(const ByteChunk& other) {
  return append(other.bytes_.data(), other.bytes_.size());
}

int ByteChunk::PutBytes(const void* data, int size) {
  return size > 0 ? append(data, static_cast<size_t>(size)) : Size();
}

int ByteChunk::Resize(int size) {
  bytes_.resize(size > 0 ? static_cast<size_t>(size) : 0);
  return Size();
}

void InitChunkWithIPlugVer(ByteChunk* chunk) {
  chunk->Clear();
  chunk->Put(kIPlugVersionMagic);
  chunk->Put(kIPlugVersion);
}

int GetIPlugVerFromChunk(const ByteChunk* chunk, int* pos) {
  int32_t magic = 0;
  const int afterMagic = chunk->Get(&magic, *pos);
  if (afterMagic < 0 || magic != kIPlugVersionMagic) return 0;
  int32_t version = 0;
  *pos = chunk->Get(&version, afterMagic);
  return *pos < 0 ? 0 : version;
}

void SkipIPlugVerMarker(const ByteChunk* chunk, int* pos) {
  int markerPos = *pos;
  const int version = GetIPlugVerFromChunk(chunk, &markerPos);
  if (markerPos < 0 || version >= kIPlugVersion) *pos = markerPos;
}
