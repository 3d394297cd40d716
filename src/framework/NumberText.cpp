#include "framework/NumberText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <system_error>

namespace {
// Room for any double in fixed notation (309 digits before the point) with the most
// decimals allowed.
constexpr int kMaxDecimals = 60;
constexpr size_t kBufferSize = 400;

// The text of `value` in `buffer`, ended; empty when it does not fit.
template <typename... Format>
size_t format(char (&buffer)[kBufferSize], double value, Format... format) {
  const std::to_chars_result result =
      std::to_chars(buffer, buffer + kBufferSize - 1, value, format...);
  const size_t length = result.ec == std::errc() ? static_cast<size_t>(result.ptr - buffer) : 0;
  buffer[length] = '\0';
  return length;
}
}  // namespace

namespace numbertext {

void WriteFixed(double value, int decimals, char* text, size_t size) {
  if (!text || size == 0) return;
  char buffer[kBufferSize];
  const size_t length = std::min(
      format(buffer, value, std::chars_format::fixed, std::clamp(decimals, 0, kMaxDecimals)),
      size - 1);
  std::memcpy(text, buffer, length);
  text[length] = '\0';
}

std::string Fixed(double value, int decimals) {
  char buffer[kBufferSize];
  format(buffer, value, std::chars_format::fixed, std::clamp(decimals, 0, kMaxDecimals));
  return buffer;
}

std::string General(double value, int digits) {
  char buffer[kBufferSize];
  format(buffer, value, std::chars_format::general, std::clamp(digits, 1, kMaxDecimals));
  return buffer;
}

bool ReadLeading(const char* text, double* value, const char** end) {
  if (!text || !value) return false;
  const char* start = text;
  while (std::isspace(static_cast<unsigned char>(*start))) ++start;
  if (*start == '+' && start[1] != '-' && start[1] != '+') ++start;
  double number = 0.0;
  const std::from_chars_result result =
      std::from_chars(start, start + std::strlen(start), number, std::chars_format::general);
  if (result.ec != std::errc()) return false;
  *value = number;
  if (end) *end = result.ptr;
  return true;
}

bool Read(const std::string& text, double* value) {
  const char* end = nullptr;
  double number = 0.0;
  if (!ReadLeading(text.c_str(), &number, &end) || end != text.c_str() + text.size()) return false;
  *value = number;
  return true;
}

}  // namespace numbertext
