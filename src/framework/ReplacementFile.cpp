#include "framework/ReplacementFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "framework/FileBytes.h"

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
  const bool flushed = ::fsync(descriptor_) == 0;
  bool closed = true;
  if (ownsDescriptor_) {
    closed = ::close(descriptor_) == 0;
    descriptor_ = -1;
  }
  bool placed = false, renamed = false;
  if (flushed && closed && placement == Placement::kReplace) {
    placed = renamed = std::rename(temporaryPath_.c_str(), target_.c_str()) == 0;
  } else if (flushed && closed) {
    placed = ::link(temporaryPath_.c_str(), target_.c_str()) == 0;
    struct stat existing;
    if (!placed && errno != EEXIST && ::stat(target_.c_str(), &existing) != 0)
      placed = renamed = std::rename(temporaryPath_.c_str(), target_.c_str()) == 0;
  }
  if (renamed) pending_ = false;  // the temporary is the target now: nothing to remove
  discard();
  return placed;
}

void ReplacementFile::discard() {
  if (ownsDescriptor_ && descriptor_ >= 0) ::close(descriptor_);
  if (ownsDescriptor_) descriptor_ = -1;
  if (pending_) ::unlink(temporaryPath_.c_str());
  pending_ = false;
}
