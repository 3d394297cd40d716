#pragma once

#include <ostream>
#include <string>
#include <vector>

// zorq-bank: the factory bank's tool.
//   zorq-bank build SOURCE BANK.fxb    the bank file from its text source
//   zorq-bank figures --plugin ZORQ.so --source SOURCE --voice WAV --midi MID
//             --carrier WAV [--output TABLE]
//                                      renders every program of the built plug-in and
//                                      writes the figure table; lists what makes the
//                                      bank unfit to ship and fails when anything does
//   zorq-bank table SOURCE             the README's table of programs (Markdown)
// The instrument reads its per-user settings; the tool points HOME at a scratch folder
// while it runs, so neither the result nor the user's files depend on it.
// Exit status: 0 done, 1 a file, the bank or its figures failed, 2 a usage mistake.
class BankApp {
 public:
  static constexpr int kFailure = 1;
  static constexpr int kUsageFailure = 2;

  static int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
  // The Markdown table: number, name and purpose of each program.
  static std::string markdownTable(const std::string& sourcePath);
};
