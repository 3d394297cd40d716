#include "formats/vst3/Vst3Text.h"

namespace vst3text {
namespace {
constexpr char32_t kReplacement = 0xFFFD;

// The code point at `text` and the bytes it takes; a malformed sequence takes one.
char32_t decode(const unsigned char* text, int* length) {
  const unsigned char lead = text[0];
  int extra = lead < 0x80                   ? 0
              : lead >= 0xF0 && lead < 0xF5 ? 3
              : lead >= 0xE0                ? 2
              : lead >= 0xC2                ? 1
                                            : -1;
  *length = 1;
  if (extra < 0) return kReplacement;
  char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    if ((text[i] & 0xC0) != 0x80) return kReplacement;
    code = code << 6 | (text[i] & 0x3F);
  }
  const char32_t least[4] = {0, 0x80, 0x800, 0x10000};
  if (code < least[extra] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
    return kReplacement;
  *length = extra + 1;
  return code;
}

void appendUtf8(std::string* out, char32_t code) {
  if (code < 0x80) {
    out->push_back(static_cast<char>(code));
    return;
  }
  const int extra = code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
  out->push_back(static_cast<char>(((0xFF00 >> (extra + 1)) & 0xFF) | (code >> (6 * extra))));
  for (int i = extra - 1; i >= 0; --i)
    out->push_back(static_cast<char>(0x80 | ((code >> (6 * i)) & 0x3F)));
}
}  // namespace

void toUtf16(const char* utf8, vst3::char16* dest, size_t size) {
  if (!dest || size == 0) return;
  size_t used = 0;
  const auto* text = reinterpret_cast<const unsigned char*>(utf8 ? utf8 : "");
  while (*text) {
    int length = 1;
    const char32_t code = decode(text, &length);
    const size_t units = code >= 0x10000 ? 2 : 1;
    if (used + units >= size) break;
    if (units == 2) {
      dest[used++] = static_cast<vst3::char16>(0xD800 + ((code - 0x10000) >> 10));
      dest[used++] = static_cast<vst3::char16>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      dest[used++] = static_cast<vst3::char16>(code);
    }
    text += length;
  }
  dest[used] = 0;
}

std::string toUtf8(const vst3::char16* utf16, size_t size) {
  std::string out;
  for (size_t i = 0; utf16 && i < size && utf16[i]; ++i) {
    char32_t code = utf16[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < size && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code < 0xE000) {
      code = kReplacement;
    }
    appendUtf8(&out, code);
  }
  return out;
}

}  // namespace vst3text
