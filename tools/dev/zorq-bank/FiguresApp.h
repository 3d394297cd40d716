#pragma once

#include <ostream>
#include <string>
#include <vector>

// zorq-bank-figures: the factory bank measured through the built plug-in.
//   zorq-bank-figures --plugin ZORQ.so --source SOURCE --voice WAV --midi MID
//                     --carrier WAV [--output TABLE]
// renders every program and writes the figure table (FigureTable.h); lists what makes
// the bank unfit to ship and fails when anything does. HOME points at a scratch folder
// while it runs (ScratchHome.h).
// Exit status: 0 done, 1 a file failed or the bank is unfit, 2 a usage mistake.
class FiguresApp {
 public:
  static int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
};
