// The calling process in a comma-decimal locale while the object lives, as a host in
// such a locale sets itself (setlocale(LC_ALL, "")), then back in the C locale. It
// takes one the machine has, else makes one with localedef into a temporary folder
// (from the POSIX locale of the `locales` package, with "," before the decimals).
// active() is false, with the reason, when neither works.
#pragma once

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/TempFolder.h"

class CommaLocale {
 public:
  CommaLocale() {
    if (use("de_DE.UTF-8") || use("German_Germany.1252")) return;
#ifndef _WIN32
    std::ofstream(folder_ / "comma") << kDefinition;
    const std::string command = "localedef -i '" + folder_ / "comma" + "' -f ANSI_X3.4-1968 '" +
                                folder_ / "zorq_TEST" + "' >/dev/null 2>&1";
    // localedef exits 1 for the categories POSIX leaves out; whether the locale works
    // is what counts.
    madeOne_ = std::system(command.c_str()) >= 0 &&
               setenv("LOCPATH", folder_.path().c_str(), 1) == 0 && use("zorq_TEST");
    if (madeOne_) return;
#endif
    reason_ =
        "no comma-decimal locale: none installed, and localedef could not make one "
        "(it needs the locales package)";
  }
  ~CommaLocale() {
    std::setlocale(LC_ALL, "C");
#ifndef _WIN32
    if (madeOne_) unsetenv("LOCPATH");
#endif
  }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  bool active() const { return reason_.empty(); }
  const std::string& reason() const { return reason_; }

 private:
  static constexpr const char* kDefinition =
      "LC_CTYPE\ncopy \"POSIX\"\nEND LC_CTYPE\nLC_COLLATE\ncopy \"POSIX\"\nEND LC_COLLATE\n"
      "LC_MONETARY\ncopy \"POSIX\"\nEND LC_MONETARY\nLC_TIME\ncopy \"POSIX\"\nEND LC_TIME\n"
      "LC_MESSAGES\ncopy \"POSIX\"\nEND LC_MESSAGES\n"
      "LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"<U002E>\"\ngrouping 3;3\n"
      "END LC_NUMERIC\n";

  static bool use(const char* name) {
    if (!std::setlocale(LC_ALL, name)) return false;
    if (std::string(std::localeconv()->decimal_point) == ",") return true;
    std::setlocale(LC_ALL, "C");
    return false;
  }

  TempFolder folder_;
  bool madeOne_ = false;
  std::string reason_;
};
