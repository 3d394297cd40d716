#include "framework/ReplacementFile.h"

#include <utility>

#include "framework/FileBytes.h"
#include "system/Files.h"

ReplacementFile::ReplacementFile(std::string target) : target_(std::move(target)) {
  if (!target_.empty()) descriptor_ = createTemporaryBeside(target_, &temporaryPath_);
  pending_ = descriptor_ >= 0;
}

ReplacementFile::ReplacementFile(std::string target, std::string temporaryPath, int descriptor)
    : target_(std::move(target)),
      temporaryPath_(std::move(temporaryPath)),
      descriptor_(descriptor),
      ownsDescriptor_(false),
      pending_(descriptor >= 0) {}

bool ReplacementFile::write(const void* data, size_t size) {
  return pending_ && writeAll(descriptor_, data, size);
}

bool ReplacementFile::place(Placement placement) {
  if (!pending_) return false;
  bool flushed = syncDescriptor(descriptor_);
  if (ownsDescriptor_) {
    flushed = closeDescriptor(descriptor_) && flushed;
    descriptor_ = -1;
  }
  bool placed = false;
  if (flushed && placement == Placement::kReplace)
    placed = replaceFile(temporaryPath_, target_);
  else if (flushed)
    placed = placeNewFile(temporaryPath_, target_);
  if (placed) pending_ = false;  // the temporary is the target now: nothing to remove
  discard();
  return placed;
}

void ReplacementFile::discard() {
  if (ownsDescriptor_ && descriptor_ >= 0) closeDescriptor(descriptor_);
  if (ownsDescriptor_) descriptor_ = -1;
  if (pending_) removeFile(temporaryPath_);
  pending_ = false;
}
