#pragma once

#include "framework/ByteChunk.h"

#include <climits>
#include <cstdint>
#include <random>

// Deterministic damage to valid chunks and file images for the reader robustness
// tests: bit flips, truncation, 32-bit fields (either byte order) set to extremes,
// random bytes.
class ChunkMutator {
public:
  explicit ChunkMutator(uint32_t seed) : random_(seed) {}

  ByteChunk mutate(const ByteChunk& original) {
    ByteChunk chunk = original;
    const int rounds = 1 + pick(3);
    for (int i = 0; i < rounds; ++i) damage(&chunk);
    return chunk;
  }

private:
  int pick(int n) { return n > 0 ? static_cast<int>(random_() % static_cast<uint32_t>(n)) : 0; }

  void damage(ByteChunk* chunk) {
    const int size = chunk->Size();
    switch (pick(5)) {
      case 0:
        if (size > 0) chunk->GetBytes()[pick(size)] ^= static_cast<uint8_t>(1u << pick(8));
        break;
      case 1:
        chunk->Resize(pick(size + 1));
        break;
      case 2:
        if (size >= 4) setField(chunk, pick(size - 3));
        break;
      case 3:
        for (int i = 0; i < size; ++i) chunk->GetBytes()[i] = static_cast<uint8_t>(random_());
        break;
      default:
        chunk->Resize(size == 0 ? 0 : pick(8));
        break;
    }
  }

  void setField(ByteChunk* chunk, int pos) {
    static const uint32_t kExtremes[] = {0x80000000u, 0xffffffffu, 0x7fffffffu, 0x7ffffff0u,
                                         0xfffffff8u, 0u,          0x00010000u, 0x40000000u};
    uint32_t value = kExtremes[pick(8)];
    if (pick(2)) value = __builtin_bswap32(value);
    std::memcpy(chunk->GetBytes() + pos, &value, 4);
  }

  std::mt19937 random_;
};
