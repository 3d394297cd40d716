#include "zorq-bank/BankSource.h"

#include <fstream>
#include <sstream>

#include "hosting/HostError.h"
#include "hosting/Text.h"

namespace {

bool printable(const std::string& text) {
  for (const char c : text)
    if (c < 0x20 || c > 0x7e) return false;
  return true;
}

class Reader {
 public:
  explicit Reader(const std::string& origin) : origin_(origin) {}

  [[noreturn]] void fail(int line, const std::string& reason) const {
    throw HostError(origin_ + ":" + std::to_string(line) + ": " + reason);
  }

  void startProgram(const std::string& name, int line) {
    finishProgram();
    if (name.empty()) fail(line, "a program needs a name");
    if (name.size() > BankSource::kMaxNameLength)
      fail(line, "program name '" + name + "' is longer than " +
                     std::to_string(BankSource::kMaxNameLength) + " characters");
    if (!printable(name))
      fail(line, "program name '" + name + "' holds characters other than printable ASCII");
    for (const BankProgram& earlier : programs_)
      if (equalIgnoringCase(earlier.name, name))
        fail(line,
             "program name '" + name + "' is already used on line " + std::to_string(earlier.line));
    BankProgram program;
    program.name = name;
    program.line = line;
    programs_.push_back(program);
  }

  void add(const std::string& keyword, const std::string& value, int line) {
    if (programs_.empty()) fail(line, "'" + keyword + "' before the first 'program'");
    BankProgram& program = programs_.back();
    if (keyword == "purpose") {
      if (!program.purpose.empty()) fail(line, "a second purpose for '" + program.name + "'");
      if (value.empty() || value.size() > BankSource::kMaxPurposeLength || !printable(value))
        fail(line, "a purpose is one line of 1 to " +
                       std::to_string(BankSource::kMaxPurposeLength) +
                       " printable ASCII characters");
      program.purpose = value;
    } else if (keyword == "carrier") {
      if (value != "external") fail(line, "'carrier' takes only 'external', got '" + value + "'");
      program.externalCarrier = true;
    } else if (keyword == "set") {
      if (value.find('=') == std::string::npos)
        fail(line, "'set' needs \"Name=value\", got '" + value + "'");
      program.settings.push_back({value, line});
    } else {
      fail(line, "unknown keyword '" + keyword + "' (program, purpose, carrier, set)");
    }
  }

  std::vector<BankProgram> finish() {
    finishProgram();
    return programs_;
  }

 private:
  void finishProgram() const {
    if (!programs_.empty() && programs_.back().purpose.empty())
      fail(programs_.back().line, "program '" + programs_.back().name + "' has no purpose");
  }

  std::string origin_;
  std::vector<BankProgram> programs_;
};

}  // namespace

std::vector<BankProgram> BankSource::parse(const std::string& text, const std::string& origin) {
  Reader reader(origin);
  std::istringstream lines(text);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string content = trimBlanks(line);
    if (content.empty() || content[0] == '#') continue;
    const size_t blank = content.find_first_of(" \t");
    const std::string keyword = content.substr(0, blank);
    const std::string value = blank == std::string::npos ? "" : trimBlanks(content.substr(blank));
    if (keyword == "program")
      reader.startProgram(value, number);
    else
      reader.add(keyword, value, number);
  }
  return reader.finish();
}

std::vector<BankProgram> BankSource::read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw HostError("cannot read bank source '" + path + "'");
  std::ostringstream text;
  text << file.rdbuf();
  return parse(text.str(), path);
}
