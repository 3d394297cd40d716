#include "raster/Utf8.h"

uint32_t nextCodePoint(const char*& p) {
  const auto* s = reinterpret_cast<const unsigned char*>(p);
  const unsigned lead = s[0];
  int length;
  uint32_t value;
  uint32_t smallest;
  if (lead < 0x80) {
    ++p;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, smallest = 0x10000;
  } else {
    ++p;
    return kReplacementCharacter;
  }
  for (int i = 1; i < length; ++i) {
    // A zero byte is no continuation byte, so this never reads past the end.
    if ((s[i] & 0xC0) != 0x80) {
      p += i;
      return kReplacementCharacter;
    }
    value = value << 6 | (s[i] & 0x3F);
  }
  p += length;
  if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return kReplacementCharacter;
  return value;
}
