#pragma once

#include <stdexcept>
#include <string>

// The failures of hosting a plug-in; the message is one line naming what failed.
// HostError: the plug-in, one of its files or a state could not be used.
class HostError : public std::runtime_error {
 public:
  explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

// What was asked for names nothing the plug-in has: an unknown parameter, program or
// value, or an output that is one of the inputs.
class UsageError : public HostError {
 public:
  explicit UsageError(const std::string& message) : HostError(message) {}
};
