#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PluginHost;

// Loads a VST program file (.fxp) or bank file (.fxb) into a plug-in through its
// dispatcher: chunk forms with effSetChunk, parameter forms with setParameter and
// the program calls. The file's kind is read from its header, not its name. Files
// for another plug-in, damaged or truncated files raise RenderError.
class PresetFile {
 public:
  enum class Kind { kProgram, kBank };

  // Whole file; RenderError when it cannot be read.
  static std::vector<uint8_t> readFile(const std::string& path);
  // Kind from the header; RenderError when it is neither.
  static Kind kindOf(const std::vector<uint8_t>& bytes);
  static void load(PluginHost& host, const std::vector<uint8_t>& bytes);
};
