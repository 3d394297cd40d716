#pragma once

#include <ostream>
#include <string>
#include <vector>

// zorq-bank: the factory bank's tool, which the build runs.
//   zorq-bank build SOURCE BANK.fxb    the bank file from its text source
//   zorq-bank table SOURCE             the README's table of programs (Markdown)
// Its figures are zorq-bank-figures' (FiguresApp.h). The tool points HOME at a scratch
// folder while it builds (ScratchHome.h).
// Exit status: 0 done, 1 a file or the bank failed, 2 a usage mistake.
class BankApp {
 public:
  static constexpr int kFailure = 1;
  static constexpr int kUsageFailure = 2;

  static int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
  // The Markdown table: number, name and purpose of each program.
  static std::string markdownTable(const std::string& sourcePath);
};
