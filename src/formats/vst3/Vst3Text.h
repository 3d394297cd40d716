#pragma once

// Texts across the VST 3 interface: the plug-in's UTF-8 into the interface's UTF-16
// fields (String128 and the like) and back. Any thread; no allocation except the
// string returned.
#include <cstddef>
#include <string>

#include "formats/vst3/Vst3Abi.h"

namespace vst3text {

// Writes `utf8` into `dest` (capacity `size` units, terminator included), cut at a
// whole character. Bytes that are not UTF-8 become U+FFFD.
void toUtf16(const char* utf8, vst3::char16* dest, size_t size);
// The UTF-8 of a zero-terminated UTF-16 text of at most `size` units.
std::string toUtf8(const vst3::char16* utf16, size_t size);

}  // namespace vst3text
