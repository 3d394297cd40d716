#include "shell/Synth.h"

bool Synth::loadFXBfromBlob(const void* bytes, int size) {
  ByteChunk file;
  if (bytes) file.PutBytes(bytes, size);
  return loadBankChunkForm(file) >= 0;
}
