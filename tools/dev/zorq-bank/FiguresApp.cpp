#include "zorq-bank/FiguresApp.h"

#include <fstream>
#include <map>

#include "hosting/HostError.h"
#include "zorq-bank/BankApp.h"
#include "zorq-bank/BankSource.h"
#include "zorq-bank/FigureTable.h"
#include "zorq-bank/ProgramMeter.h"
#include "zorq-bank/ScratchHome.h"

namespace {

constexpr const char* kUsage =
    "usage: zorq-bank-figures --plugin ZORQ.so --source SOURCE --voice WAV --midi MID"
    " --carrier WAV [--output TABLE]\n";

// "--name value" pairs; UsageError for anything else or a missing required one.
std::map<std::string, std::string> options(const std::vector<std::string>& arguments, size_t first,
                                           const std::vector<std::string>& required) {
  std::map<std::string, std::string> found;
  for (size_t i = first; i < arguments.size(); i += 2) {
    if (arguments[i].rfind("--", 0) != 0 || i + 1 >= arguments.size())
      throw UsageError("expected --option value, got '" + arguments[i] + "'");
    found[arguments[i].substr(2)] = arguments[i + 1];
  }
  for (const std::string& name : required)
    if (!found.count(name)) throw UsageError("--" + name + " is missing");
  return found;
}

int figures(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  auto given = options(arguments, 0, {"plugin", "source", "voice", "midi", "carrier"});
  const std::vector<BankProgram> programs = BankSource::read(given["source"]);
  ScratchHome home;
  const ProgramMeter meter({given["plugin"], given["voice"], given["midi"], given["carrier"]});
  std::vector<FigureRow> rows;
  for (size_t i = 0; i < programs.size(); ++i) {
    const ProgramMeter::Result result =
        meter.measure(static_cast<int>(i), programs[i].externalCarrier);
    rows.push_back({static_cast<int>(i), result.name, result.figures});
    err << "zorq-bank-figures: measured " << i << " " << result.name << '\n';
  }
  const std::string table = FigureTable::format(rows);
  if (given.count("output")) {
    std::ofstream file(given["output"], std::ios::binary);
    if (!(file << table)) throw HostError("cannot write '" + given["output"] + "'");
  } else {
    out << table;
  }
  const std::vector<std::string> problems = FigureTable::problems(rows);
  for (const std::string& problem : problems) err << "zorq-bank-figures: " << problem << '\n';
  return problems.empty() ? 0 : BankApp::kFailure;
}

}  // namespace

int FiguresApp::run(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err) {
  try {
    return figures(arguments, out, err);
  } catch (const UsageError& e) {
    err << "zorq-bank-figures: " << e.what() << '\n' << kUsage;
    return BankApp::kUsageFailure;
  } catch (const std::exception& e) {
    err << "zorq-bank-figures: " << e.what() << '\n';
    return BankApp::kFailure;
  }
}
