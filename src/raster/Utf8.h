#pragma once

#include <cstdint>

constexpr uint32_t kReplacementCharacter = 0xFFFD;

// Decodes the code point at p and moves p past it. Malformed input (a stray
// continuation byte, a sequence cut short, an overlong form, a surrogate or a value
// above U+10FFFF) gives U+FFFD and moves p past the offending bytes only, never past
// the terminating zero. Call only while *p is not zero.
uint32_t nextCodePoint(const char*& p);
