#pragma once

#include <cstddef>
#include <string>

// A file written under a temporary name in its target's folder and put in place only
// once complete, so a failed write (disk full, no permission, an interruption) leaves
// an existing target as it was and no temporary behind. Any thread; not shared.
class ReplacementFile {
 public:
  // Creates the temporary beside `target` under a name no other file has, mode 0666
  // less the umask; isOpen() tells whether that worked.
  explicit ReplacementFile(std::string target);
  // Takes over a temporary the caller opened (and perhaps locked) itself; the
  // descriptor stays the caller's to close, after place() or discard().
  ReplacementFile(std::string target, std::string temporaryPath, int descriptor);
  ~ReplacementFile() { discard(); }
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  bool isOpen() const { return descriptor_ >= 0; }
  int descriptor() const { return descriptor_; }
  // Writes every byte or returns false.
  bool write(const void* data, size_t size);

  enum class Placement {
    kReplace,       // renamed over the target
    kKeepExisting,  // linked in only where no file is (a rename without hard links)
  };
  // Flushes the temporary to the disk, closes it (when it is ours) and puts it in
  // place. False when a step fails or (kKeepExisting) a file is there already; the
  // temporary name is gone afterwards either way.
  bool place(Placement placement = Placement::kReplace);
  // Closes (when ours) and removes the temporary unless it was placed.
  void discard();

 private:
  std::string target_;
  std::string temporaryPath_;
  int descriptor_ = -1;
  bool ownsDescriptor_ = true;
  bool pending_ = false;  // the temporary name exists
};
