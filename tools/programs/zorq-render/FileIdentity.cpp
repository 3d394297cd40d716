#include "zorq-render/FileIdentity.h"

#include <filesystem>

#include "system/Files.h"
#include "zorq-render/RenderError.h"

namespace {

// Volume and file number for an existing file; otherwise the resolved absolute name.
std::string identityOf(const std::string& path) {
  FileStatus status;
  if (statusOf(path, &status))
    return "inode " + std::to_string(status.volume) + ":" + std::to_string(status.fileNumber);
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
  return "path " + (error ? path : resolved.string());
}

}  // namespace

void refuseOverwritingInputs(const std::vector<NamedFile>& inputs,
                             const std::vector<NamedFile>& outputs) {
  std::vector<NamedFile> seen;
  for (const NamedFile& input : inputs)
    if (!input.path.empty()) seen.push_back(input);
  for (const NamedFile& output : outputs) {
    if (output.path.empty()) continue;
    const std::string identity = identityOf(output.path);
    for (const NamedFile& other : seen)
      if (identityOf(other.path) == identity)
        throw UsageError("the " + output.role + " '" + output.path + "' is the " + other.role +
                         " '" + other.path + "': write to another file");
    seen.push_back(output);
  }
}
