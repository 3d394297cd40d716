#include "zorq-bank/BankApp.h"

#include "hosting/HostError.h"
#include "zorq-bank/BankBuilder.h"
#include "zorq-bank/BankSource.h"
#include "zorq-bank/ScratchHome.h"

namespace {
constexpr const char* kUsage =
    "usage: zorq-bank build SOURCE BANK.fxb\n"
    "       zorq-bank table SOURCE\n";
}  // namespace

std::string BankApp::markdownTable(const std::string& sourcePath) {
  std::string table = "| # | Name | What it is for |\n|---|---|---|\n";
  const std::vector<BankProgram> programs = BankSource::read(sourcePath);
  for (size_t i = 0; i < programs.size(); ++i)
    table +=
        "| " + std::to_string(i) + " | " + programs[i].name + " | " + programs[i].purpose + " |\n";
  return table;
}

int BankApp::run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const std::string command = arguments.empty() ? "" : arguments[0];
  try {
    if (command == "build" && arguments.size() == 3) {
      const std::vector<BankProgram> programs = BankSource::read(arguments[1]);
      ScratchHome home;
      BankBuilder::build(programs, arguments[1], arguments[2]);
      return 0;
    }
    if (command == "table" && arguments.size() == 2) {
      out << markdownTable(arguments[1]);
      return 0;
    }
    err << kUsage;
    return kUsageFailure;
  } catch (const std::exception& e) {
    err << "zorq-bank: " << e.what() << '\n';
    return kFailure;
  }
}
