#pragma once

#include <string>
#include <vector>

// The text source of a bank: one entry per program, in program order.
//
//   # a comment
//   program  Robot Full Bands
//     purpose  The classic robot: all 20 bands vocode the chords
//     carrier  external
//     set      Vocoder Mode=VE-10 Full Bands
//     set      Final Volume=-13 dB
//
// "program" starts an entry and names it (1 to kMaxNameLength printable ASCII
// characters, unique ignoring case); "purpose" (one line, required) says what it is
// for; "carrier external" marks a program that vocodes inputs 3-4, so measurements
// and demos feed it a carrier there; each "set" holds one value that differs from the
// parameter's default, written as `zorq-render --set` takes it. Blank lines and
// lines starting with '#' are ignored; indentation is free.
struct BankProgram {
  struct Setting {
    std::string assignment;  // "Name=value"
    int line = 0;
  };
  std::string name;
  std::string purpose;
  bool externalCarrier = false;
  std::vector<Setting> settings;
  int line = 0;  // of the "program" line
};

class BankSource {
 public:
  static constexpr size_t kMaxNameLength = 24;
  static constexpr size_t kMaxPurposeLength = 100;

  // HostError "<origin>:<line>: <reason>" for a line it cannot read, a name that is
  // missing, too long, not printable or repeated, or a program without a purpose.
  static std::vector<BankProgram> parse(const std::string& text, const std::string& origin);
  static std::vector<BankProgram> read(const std::string& path);
};
