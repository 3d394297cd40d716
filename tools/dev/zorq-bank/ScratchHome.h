#pragma once

#include <optional>
#include <string>

// HOME points at a fresh folder for the object's life; restored and the folder removed
// after. The instrument reads its per-user settings from HOME: with this, neither the
// bank nor its figures depend on the user's, and the user's files are left alone.
class ScratchHome {
 public:
  ScratchHome();  // HostError when the folder cannot be made
  ~ScratchHome();
  ScratchHome(const ScratchHome&) = delete;
  ScratchHome& operator=(const ScratchHome&) = delete;

 private:
  std::optional<std::string> previous_;
  std::string path_;
};
