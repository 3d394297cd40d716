#pragma once

#include <string>
#include <vector>

#include "zorq-bank/BankSource.h"

// Turns a bank source into a chunk-form bank file through the instrument itself: an
// instance linked into this program is driven the way zorq-render drives a plug-in
// (each value read by the instrument's own text path, as --set reads it) and writes
// the bank with its own bank writer. Every program starts from the defaults; slots
// the source does not list stay at the defaults, named "Init".
//
// The instrument reads its per-user settings from $HOME; callers that must not
// depend on them (the build) point HOME at a scratch folder first.
class BankBuilder {
 public:
  static constexpr const char* kUnlistedName = "Init";

  // HostError "<origin>:<line>: <reason>" for an unknown parameter or value, a
  // parameter set twice in one program, or a value shown as the default; HostError
  // when there are more programs than slots or the file cannot be written.
  static void build(const std::vector<BankProgram>& programs, const std::string& origin,
                    const std::string& bankPath);
};
