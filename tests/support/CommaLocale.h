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
    for (const char* name :
         {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252", "German"})
      if (use(name)) return;
#ifndef _WIN32
    const char* previous = std::getenv("LOCPATH");
    if (previous) previousLocPath_ = previous;
    hadLocPath_ = previous != nullptr;
    std::ofstream(folder_ / "comma") << kDefinition;
    const std::string command = "localedef -i '" + folder_ / "comma" + "' -f ANSI_X3.4-1968 '" +
                                folder_ / "zorq_TEST" + "' >/dev/null 2>&1";
    // localedef exits 1 for the categories POSIX leaves out; whether the locale works
    // is what counts.
    if (std::system(command.c_str()) >= 0 && setenv("LOCPATH", folder_.path().c_str(), 1) == 0 &&
        use("zorq_TEST"))
      return;
    restoreLocPath();
#endif
    reason_ =
        "no comma-decimal locale: none installed, and localedef could not make one "
        "(it needs the locales package)";
  }
  ~CommaLocale() {
    std::setlocale(LC_ALL, "C");
#ifndef _WIN32
    restoreLocPath();
#endif
  }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  bool active() const { return reason_.empty(); }
  const std::string& reason() const { return reason_; }

 private:
  static constexpr const char* kDefinition =
      "LC_CTYPE\ncopy \"POSIX\"\nEND LC_CTYPE\n"
      "LC_COLLATE\ncopy \"POSIX\"\nEND LC_COLLATE\n"
      "LC_MONETARY\ncopy \"POSIX\"\nEND LC_MONETARY\n"
      "LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"<U002E>\"\ngrouping 3;3\n"
      "END LC_NUMERIC\n"
      "LC_TIME\ncopy \"POSIX\"\nEND LC_TIME\n"
      "LC_MESSAGES\ncopy \"POSIX\"\nEND LC_MESSAGES\n";

  static bool use(const char* name) {
    if (!std::setlocale(LC_ALL, name)) return false;
    if (std::string(std::localeconv()->decimal_point) == ",") return true;
    std::setlocale(LC_ALL, "C");
    return false;
  }

#ifndef _WIN32
  void restoreLocPath() {
    if (hadLocPath_)
      setenv("LOCPATH", previousLocPath_.c_str(), 1);
    else
      unsetenv("LOCPATH");
  }
#endif

  TempFolder folder_;
  std::string previousLocPath_;
  bool hadLocPath_ = false;
  std::string reason_;
};
