#pragma once

#include <stdexcept>
#include <string>

// The one failure type of the offline host: its message is the single line the
// command prints before exiting with a non-zero code.
class RenderError : public std::runtime_error {
 public:
  explicit RenderError(const std::string& message) : std::runtime_error(message) {}
};
