#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PluginHost;

// Loads and saves program files (.fxp) and bank files (.fxb) through the plug-in host:
// chunk forms through the plug-in's state chunks when it keeps its state in chunks,
// parameter forms with the parameter and program calls otherwise. The layouts are the
// plug-in core's (framework/FxFormat.h), and files above its size cap are not read.
// The file's kind is read from its header, not its name. Files for another plug-in,
// damaged or truncated files raise HostError.
class PresetFile {
 public:
  enum class Kind { kProgram, kBank };

  // Whole file; HostError when it cannot be read.
  static std::vector<uint8_t> readFile(const std::string& path);
  // Kind from the header; HostError when it is neither.
  static Kind kindOf(const std::vector<uint8_t>& bytes);
  static void load(PluginHost& host, const std::vector<uint8_t>& bytes);
  // The current program, or every program, written to a new file that replaces `path`
  // only once it is complete; HostError when the plug-in gives no data or the
  // file cannot be written.
  static void saveProgram(PluginHost& host, const std::string& path);
  static void saveBank(PluginHost& host, const std::string& path);
};
