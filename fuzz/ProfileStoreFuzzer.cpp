// The INI profile store: the input is the file's text. When it holds a zero
// byte, the text after the last one lists the names to look up ("section\nkey"
// pairs); otherwise every section header and key of the text is looked up.
// Inputs cycle over more files than the store caches, so parsing, cache hits and
// eviction all run. A plain name written and read back must give its value.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "shell/ProfileStore.h"

namespace {

constexpr int kFileCount = 40;  // more than the store's cache holds
constexpr size_t kMaxLookups = 64;

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size() && lines.size() < 2 * kMaxLookups) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Section headers and the key names under them, as the text spells them.
std::vector<std::string> namesFromText(const std::string& text) {
  std::vector<std::string> names;
  std::string section;
  for (const std::string& line : splitLines(text)) {
    if (names.size() >= 2 * kMaxLookups) break;
    if (!line.empty() && line[0] == '[') {
      section = line.substr(
          1, line.find(']') == std::string::npos ? std::string::npos : line.find(']') - 1);
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    names.push_back(section);
    names.push_back(line.substr(0, equals));
  }
  return names;
}

bool isPlainName(const std::string& name) {
  if (name.empty()) return false;
  for (unsigned char c : name)
    if (!(std::isalnum(c) || c == '_')) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static int inputCount = 0;
  const char* text = reinterpret_cast<const char*>(data);
  const void* lastZero = size ? memrchr(text, 0, size) : nullptr;
  const size_t fileSize =
      lastZero ? static_cast<size_t>(static_cast<const char*>(lastZero) - text) : size;
  const std::string fileText(text, fileSize);
  const std::vector<std::string> names =
      lastZero ? splitLines(std::string(text + fileSize + 1, size - fileSize - 1))
               : namesFromText(fileText);

  const std::string name = "profile" + std::to_string(inputCount++ % kFileCount) + ".ini";
  const std::string path = fuzz::writeScratchFile(name, data, fileSize);

  char value[64];
  char large[4096];
  for (size_t i = 0; i + 1 < names.size(); i += 2) {
    const char* section = names[i].c_str();
    const char* key = names[i + 1].c_str();
    GetPrivateProfileString(section, key, "default", value, sizeof value, path.c_str());
    GetPrivateProfileString(section, key, nullptr, large, sizeof large, path.c_str());
    GetPrivateProfileString(section, key, "", value, 1, path.c_str());
  }
  GetPrivateProfileString("MIDI", "MIDI Thru", "0", value, sizeof value, path.c_str());

  // A plain name round-trips through a rewrite of the file.
  if (names.size() >= 2 && isPlainName(names[0]) && isPlainName(names[1])) {
    WritePrivateProfileString(names[0].c_str(), names[1].c_str(), "written", path.c_str());
    GetPrivateProfileString(names[0].c_str(), names[1].c_str(), "", value, sizeof value,
                            path.c_str());
    if (std::strcmp(value, "written") != 0) {
      std::fprintf(stderr, "zorq fuzz: [%s] %s reads back as '%s'\n", names[0].c_str(),
                   names[1].c_str(), value);
      std::abort();
    }
    WritePrivateProfileString(names[0].c_str(), nullptr, nullptr, path.c_str());
  }
  return 0;
}
