#include "zorq-bank/FigureTable.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "framework/NumberText.h"
#include "hosting/HostError.h"

namespace {

constexpr const char* kHeader =
    "# Figures of the factory bank (resources/factory-bank.txt): each program rendered from\n"
    "# demo/voice.wav and demo/chords.mid (demo/carrier.wav on inputs 3-4 for programs that\n"
    "# need it) at 44100 Hz. Regenerate with `make bank-figures`; the plug-in tests compare\n"
    "# a fresh render with this table. Columns: program, level (RMS dBFS), peak (dBFS),\n"
    "# centroid and bandwidth (Hz), intelligibility, noisiness, stereo width, dynamics\n"
    "# (dB), name. tools/dev/zorq-bank/SignalFigures.h defines each figure.\n"
    "#  nr  level   peak  centroid bandwidth intell  noise  width    dyn  name\n";

// How far a fresh measurement may stray from the committed one (noise generators and
// other platforms shift the last digits), and how close two programs must come in
// every figure to count as the same sound.
struct Spread {
  double levelDb, peakDb, frequencyRatio, intelligibility, noisiness, width, dynamicsDb;
};
constexpr Spread kTolerance{0.3, 0.5, 1.03, 0.03, 0.02, 0.03, 1.0};
constexpr Spread kAlike{0.0, 0.0, 1.07, 0.05, 0.03, 0.05, 1.5};

bool withinRatio(double a, double b, double ratio) {
  if (a <= 0.0 || b <= 0.0) return a == b;
  return std::max(a, b) / std::min(a, b) < ratio;
}

// `value` with `decimals` decimals, right-aligned in `width` characters.
std::string column(double value, int decimals, size_t width) {
  const std::string text = numbertext::Fixed(value, decimals);
  return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

// With its sign always: "+1.5", "-0.3".
std::string signedFixed(double value, int decimals) {
  const std::string text = numbertext::Fixed(value, decimals);
  return text[0] == '-' ? text : "+" + text;
}

std::string label(const FigureRow& row) {
  char text[64];
  std::snprintf(text, sizeof text, "program %d '%s'", row.program, row.name.c_str());
  return text;
}

}  // namespace

std::string FigureTable::format(const std::vector<FigureRow>& rows) {
  std::string text = kHeader;
  for (const FigureRow& row : rows) text += formatRow(row);
  return text;
}

std::string FigureTable::formatRow(const FigureRow& row) {
  const SignalFigures& f = row.figures;
  return column(row.program, 0, 5) + " " + column(f.levelDb, 1, 6) + " " + column(f.peakDb, 1, 6) +
         " " + column(f.centroidHz, 0, 9) + " " + column(f.bandwidthHz, 0, 9) + " " +
         column(f.intelligibility, 2, 6) + " " + column(f.noisiness, 2, 6) + " " +
         column(f.width, 2, 6) + " " + column(f.dynamicsDb, 1, 6) + "  " + row.name + "\n";
}

std::vector<FigureRow> FigureTable::parse(const std::string& text) {
  std::vector<FigureRow> rows;
  std::istringstream lines(text);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    FigureRow row;
    SignalFigures& f = row.figures;
    double program = 0.0;
    const char* cursor = line.c_str();
    bool read = true;
    for (double* figure : {&program, &f.levelDb, &f.peakDb, &f.centroidHz, &f.bandwidthHz,
                           &f.intelligibility, &f.noisiness, &f.width, &f.dynamicsDb})
      read = read && numbertext::ReadLeading(cursor, figure, &cursor);
    while (std::isspace(static_cast<unsigned char>(*cursor))) ++cursor;
    if (!read || *cursor == '\0' || !(std::fabs(program) < 1e6) || program != std::floor(program))
      throw HostError("figure table line " + std::to_string(number) +
                      ": nine numbers and a name expected");
    row.program = static_cast<int>(program);
    row.name = cursor;
    rows.push_back(row);
  }
  return rows;
}

bool FigureTable::alike(const SignalFigures& a, const SignalFigures& b) {
  return withinRatio(a.centroidHz, b.centroidHz, kAlike.frequencyRatio) &&
         withinRatio(a.bandwidthHz, b.bandwidthHz, kAlike.frequencyRatio) &&
         std::fabs(a.intelligibility - b.intelligibility) < kAlike.intelligibility &&
         std::fabs(a.noisiness - b.noisiness) < kAlike.noisiness &&
         std::fabs(a.width - b.width) < kAlike.width &&
         std::fabs(a.dynamicsDb - b.dynamicsDb) < kAlike.dynamicsDb;
}

std::vector<std::string> FigureTable::problems(const std::vector<FigureRow>& rows) {
  std::vector<std::string> found;
  const double reference = rows.empty() ? 0.0 : rows.front().figures.levelDb;
  for (const FigureRow& row : rows) {
    const SignalFigures& f = row.figures;
    if (!f.finite) {
      found.push_back(label(row) + " puts out values that are not numbers");
    } else if (f.levelDb < kSilentDb) {
      found.push_back(label(row) + " is silent");
    } else {
      if (std::fabs(f.levelDb - reference) > kLoudnessWindowDb) {
        found.push_back(label(row) + " is " + signedFixed(f.levelDb - reference, 1) +
                        " dB from program 0 (window +-" + numbertext::Fixed(kLoudnessWindowDb, 0) +
                        " dB)");
      }
      if (f.peakDb >= kClipDb) {
        found.push_back(label(row) + " clips (peak " + signedFixed(f.peakDb, 1) + " dBFS)");
      }
    }
  }
  for (size_t i = 0; i < rows.size(); ++i)
    for (size_t j = i + 1; j < rows.size(); ++j)
      if (rows[i].figures.finite && rows[j].figures.finite &&
          alike(rows[i].figures, rows[j].figures))
        found.push_back(label(rows[i]) + " and " + label(rows[j]) + " measure alike");
  return found;
}

std::vector<std::string> FigureTable::differences(const FigureRow& committed,
                                                  const FigureRow& measured) {
  const SignalFigures& a = committed.figures;
  const SignalFigures& b = measured.figures;
  struct Check {
    const char* figure;
    double was, is;
    bool kept;
  };
  const Check checks[] = {
      {"level", a.levelDb, b.levelDb, std::fabs(a.levelDb - b.levelDb) <= kTolerance.levelDb},
      {"peak", a.peakDb, b.peakDb, std::fabs(a.peakDb - b.peakDb) <= kTolerance.peakDb},
      {"centroid", a.centroidHz, b.centroidHz,
       withinRatio(a.centroidHz, b.centroidHz, kTolerance.frequencyRatio)},
      {"bandwidth", a.bandwidthHz, b.bandwidthHz,
       withinRatio(a.bandwidthHz, b.bandwidthHz, kTolerance.frequencyRatio)},
      {"intelligibility", a.intelligibility, b.intelligibility,
       std::fabs(a.intelligibility - b.intelligibility) <= kTolerance.intelligibility},
      {"noisiness", a.noisiness, b.noisiness,
       std::fabs(a.noisiness - b.noisiness) <= kTolerance.noisiness},
      {"width", a.width, b.width, std::fabs(a.width - b.width) <= kTolerance.width},
      {"dynamics", a.dynamicsDb, b.dynamicsDb,
       std::fabs(a.dynamicsDb - b.dynamicsDb) <= kTolerance.dynamicsDb},
  };
  std::vector<std::string> found;
  if (committed.name != measured.name)
    found.push_back(label(committed) + " is now named '" + measured.name + "'");
  if (!b.finite) found.push_back(label(committed) + " puts out values that are not numbers");
  for (const Check& check : checks)
    if (b.finite && !check.kept)
      found.push_back(label(committed) + ": " + check.figure + " was " +
                      numbertext::Fixed(check.was, 2) + ", is " + numbertext::Fixed(check.is, 2));
  return found;
}
