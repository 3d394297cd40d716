#include "zorq-bank/BankApp.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <system_error>

#include "zorq-bank/BankBuilder.h"
#include "zorq-bank/BankSource.h"
#include "zorq-bank/FigureTable.h"
#include "zorq-bank/ProgramMeter.h"
#include "zorq-render/RenderError.h"

namespace {

constexpr const char* kUsage =
    "usage: zorq-bank build SOURCE BANK.fxb\n"
    "       zorq-bank figures --plugin ZORQ.so --source SOURCE --voice WAV --midi MID --carrier WAV"
    " [--output TABLE]\n"
    "       zorq-bank table SOURCE\n";

// HOME points at a fresh folder for the object's life; restored and removed after.
class ScratchHome {
 public:
  ScratchHome() {
    const char* home = std::getenv("HOME");
    if (home) previous_ = home;
    std::string pattern = (std::filesystem::temp_directory_path() / "zorq-bank-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw RenderError("cannot create a scratch folder for HOME");
    path_ = pattern;
    setenv("HOME", path_.c_str(), 1);
  }
  ~ScratchHome() {
    if (previous_)
      setenv("HOME", previous_->c_str(), 1);
    else
      unsetenv("HOME");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchHome(const ScratchHome&) = delete;
  ScratchHome& operator=(const ScratchHome&) = delete;

 private:
  std::optional<std::string> previous_;
  std::string path_;
};

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
  auto given = options(arguments, 1, {"plugin", "source", "voice", "midi", "carrier"});
  const std::vector<BankProgram> programs = BankSource::read(given["source"]);
  ScratchHome home;
  const ProgramMeter meter({given["plugin"], given["voice"], given["midi"], given["carrier"]});
  std::vector<FigureRow> rows;
  for (size_t i = 0; i < programs.size(); ++i) {
    const ProgramMeter::Result result =
        meter.measure(static_cast<int>(i), programs[i].externalCarrier);
    rows.push_back({static_cast<int>(i), result.name, result.figures});
    err << "zorq-bank: measured " << i << " " << result.name << '\n';
  }
  const std::string table = FigureTable::format(rows);
  if (given.count("output")) {
    std::ofstream file(given["output"], std::ios::binary);
    if (!(file << table)) throw RenderError("cannot write '" + given["output"] + "'");
  } else {
    out << table;
  }
  const std::vector<std::string> problems = FigureTable::problems(rows);
  for (const std::string& problem : problems) err << "zorq-bank: " << problem << '\n';
  return problems.empty() ? 0 : BankApp::kFailure;
}

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
    if (command == "figures") return figures(arguments, out, err);
    err << kUsage;
    return kUsageFailure;
  } catch (const UsageError& e) {
    err << "zorq-bank: " << e.what() << '\n' << kUsage;
    return kUsageFailure;
  } catch (const std::exception& e) {
    err << "zorq-bank: " << e.what() << '\n';
    return kFailure;
  }
}
