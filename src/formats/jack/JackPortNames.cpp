#include "formats/jack/JackPortNames.h"

#include <cctype>

namespace {
std::string trimmed(const char* text) {
  std::string s = text ? text : "";
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}
}  // namespace

JackPortName jackAudioPortName(const char* label, int index, bool input) {
  JackPortName port;
  port.prettyName = trimmed(label);
  bool separated = true;  // no '_' at the start or twice in a row
  for (char c : port.prettyName) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u)) {
      port.name += static_cast<char>(std::tolower(u));
      separated = false;
    } else if (!separated) {
      port.name += '_';
      separated = true;
    }
  }
  while (!port.name.empty() && port.name.back() == '_') port.name.pop_back();
  if (port.name.empty()) {
    port.name = (input ? "in_" : "out_") + std::to_string(index + 1);
    port.prettyName = (input ? "Input " : "Output ") + std::to_string(index + 1);
  }
  return port;
}

JackPortName jackMidiInputName() { return {"midi_in", "MIDI In"}; }
