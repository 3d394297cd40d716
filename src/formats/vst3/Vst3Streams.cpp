#include "formats/vst3/Vst3Streams.h"

#include <cstdint>

namespace vst3streams {
namespace {
constexpr int32_t kReadPiece = 64 << 10;
}  // namespace

bool readAll(vst3::IBStream* stream, ByteChunk* chunk) {
  if (!stream) return false;
  uint8_t piece[kReadPiece];
  for (;;) {
    vst3::int32 read = 0;
    const vst3::tresult result = stream->read(piece, kReadPiece, &read);
    if (read < 0 || read > kReadPiece || chunk->Size() + int64_t(read) > kMaxStateBytes)
      return false;
    if (read > 0) chunk->PutBytes(piece, read);
    // A stream ends with a short read of nothing, or says so in its result.
    if (read == 0) return result == vst3::kResultOk || result == vst3::kResultFalse;
  }
}

bool writeAll(vst3::IBStream* stream, const ByteChunk& chunk) {
  if (!stream) return false;
  const uint8_t* bytes = chunk.GetBytes();
  int left = chunk.Size();
  while (left > 0) {
    vst3::int32 written = 0;
    if (stream->write(const_cast<uint8_t*>(bytes), left, &written) != vst3::kResultOk ||
        written <= 0 || written > left)
      return false;
    bytes += written;
    left -= written;
  }
  return true;
}

}  // namespace vst3streams
