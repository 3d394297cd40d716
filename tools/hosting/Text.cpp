#include "hosting/Text.h"

#include <cctype>
#include <cstdio>

std::string trimBlanks(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

int32_t decimalVersion(const char* text) {
  int major = 0, minor = 0, revision = 0;
  if (!text || std::sscanf(text, "%d.%d.%d", &major, &minor, &revision) < 1) return 0;
  return major * 10000 + minor * 100 + revision;
}
