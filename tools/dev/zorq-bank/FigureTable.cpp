#include "zorq-bank/FigureTable.h"

#include <cmath>
#include <cstdio>
#include <sstream>

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
  char line[160];
  std::snprintf(line, sizeof line, "%5d %6.1f %6.1f %9.0f %9.0f %6.2f %6.2f %6.2f %6.1f  %s\n",
                row.program, f.levelDb, f.peakDb, f.centroidHz, f.bandwidthHz, f.intelligibility,
                f.noisiness, f.width, f.dynamicsDb, row.name.c_str());
  return line;
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
    int consumed = 0;
    if (std::sscanf(line.c_str(), "%d %lf %lf %lf %lf %lf %lf %lf %lf %n", &row.program, &f.levelDb,
                    &f.peakDb, &f.centroidHz, &f.bandwidthHz, &f.intelligibility, &f.noisiness,
                    &f.width, &f.dynamicsDb, &consumed) != 9 ||
        consumed >= static_cast<int>(line.size()))
      throw HostError("figure table line " + std::to_string(number) +
                      ": nine numbers and a name expected");
    row.name = line.substr(consumed);
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
  char text[256];
  for (const FigureRow& row : rows) {
    const SignalFigures& f = row.figures;
    if (!f.finite) {
      found.push_back(label(row) + " puts out values that are not numbers");
    } else if (f.levelDb < kSilentDb) {
      found.push_back(label(row) + " is silent");
    } else {
      if (std::fabs(f.levelDb - reference) > kLoudnessWindowDb) {
        std::snprintf(text, sizeof text, " is %+.1f dB from program 0 (window +-%.0f dB)",
                      f.levelDb - reference, kLoudnessWindowDb);
        found.push_back(label(row) + text);
      }
      if (f.peakDb >= kClipDb) {
        std::snprintf(text, sizeof text, " clips (peak %+.1f dBFS)", f.peakDb);
        found.push_back(label(row) + text);
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
  char text[160];
  for (const Check& check : checks)
    if (b.finite && !check.kept) {
      std::snprintf(text, sizeof text, ": %s was %.2f, is %.2f", check.figure, check.was, check.is);
      found.push_back(label(committed) + text);
    }
  return found;
}
