// State: the plug-in's session chunk (the bank chunk the VST 2 build stores, then the
// current program) through the host's streams, which may move fewer bytes than asked.
// Main thread. The chunk is made or read under the plug-in mutex; the streams run
// without it.
#include <cstdint>

#include "formats/clap/IPlugCLAP.h"

namespace {
// More than any state of this plug-in; a stream that goes on is refused.
constexpr int64_t kMaxStateBytes = 64 << 20;
constexpr int kReadPiece = 64 << 10;

bool writeAll(const clap_ostream_t* stream, const uint8_t* bytes, int64_t size) {
  if (!stream || !stream->write) return false;
  while (size > 0) {
    const int64_t written = stream->write(stream, bytes, static_cast<uint64_t>(size));
    if (written <= 0 || written > size) return false;
    bytes += written;
    size -= written;
  }
  return true;
}

bool readAll(const clap_istream_t* stream, ByteChunk* chunk) {
  if (!stream || !stream->read) return false;
  uint8_t piece[kReadPiece];
  for (;;) {
    const int64_t read = stream->read(stream, piece, sizeof piece);
    if (read == 0) return true;
    if (read < 0 || read > kReadPiece || chunk->Size() + read > kMaxStateBytes) return false;
    chunk->PutBytes(piece, static_cast<int>(read));
  }
}
}  // namespace

const clap_plugin_state_t IPlugCLAP::kState = {
    [](const clap_plugin_t* p, const clap_ostream_t* stream) {
      return clapCall(p, false, [&](IPlugCLAP& self) { return self.saveState(stream); });
    },
    [](const clap_plugin_t* p, const clap_istream_t* stream) {
      return clapCall(p, false, [&](IPlugCLAP& self) { return self.loadState(stream); });
    },
};

bool IPlugCLAP::saveState(const clap_ostream_t* stream) {
  ByteChunk chunk;
  {
    IMutexLock lock(plug_->Mutex());
    if (!plug_->serializeSessionChunk(&chunk)) return false;
  }
  return writeAll(stream, chunk.GetBytes(), chunk.Size());
}

// A state that cannot be read whole changes nothing. One that loads may name another
// sample file, read once the mutex is free; then the host reads every value again.
bool IPlugCLAP::loadState(const clap_istream_t* stream) {
  ByteChunk chunk;
  if (!readAll(stream, &chunk) || chunk.Size() == 0) return false;
  const bool loaded = plug_->RunHostCall([&] {
    const bool ok = plug_->unserializeSessionChunk(&chunk);
    if (ok) plug_->RedrawParamControls();
    return ok;
  });
  if (loaded && hostParams_ && hostParams_->rescan)
    hostParams_->rescan(host_, kClapParamRescanValues);
  requestFlushIfPending();
  return loaded;
}
