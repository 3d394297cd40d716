#pragma once

#include "framework/ByteChunk.h"

#include <string>

// One program slot of the plug-in: a name and the state that SerializeState stored in
// it. A slot that was never filled is not initialised and holds no state.
struct IPreset {
  static constexpr size_t kMaxNameLength = 255;

  // Sets the name, cut to kMaxNameLength characters; null counts as "".
  void setName(const char* text);

  bool initialized = false;
  std::string name = "empty";
  ByteChunk chunk;
};
