#pragma once

#include <stdexcept>
#include <string>

// The failures of the offline host: the message is the single line the command prints
// before exiting. RenderError: an input or output failed (exit status 1).
class RenderError : public std::runtime_error {
 public:
  explicit RenderError(const std::string& message) : std::runtime_error(message) {}
};

// The command line asks for something this plug-in or these files cannot give: an
// unknown option, parameter, value or program, or an output that is one of the
// inputs (exit status 2).
class UsageError : public RenderError {
 public:
  explicit UsageError(const std::string& message) : RenderError(message) {}
};
