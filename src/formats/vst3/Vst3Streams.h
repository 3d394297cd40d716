#pragma once

// A host's stream read or written whole from its current position, in as many calls as
// it takes (a stream may move fewer bytes than asked). Host thread.
#include "formats/vst3/Vst3Abi.h"
#include "framework/ByteChunk.h"

namespace vst3streams {

// More than any state of this plug-in; a stream that goes on is refused.
inline constexpr int kMaxStateBytes = 64 << 20;

// Appends every byte up to the stream's end to `chunk`; false on a read error or a
// stream longer than kMaxStateBytes.
bool readAll(vst3::IBStream* stream, ByteChunk* chunk);
bool writeAll(vst3::IBStream* stream, const ByteChunk& chunk);

}  // namespace vst3streams
