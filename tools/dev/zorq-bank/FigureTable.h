#pragma once

#include <string>
#include <vector>

#include "zorq-bank/SignalFigures.h"

// The measured figures of a bank, one row per program, as the committed table
// (resources/factory-bank-figures.txt) holds them, and the rules a playable bank
// keeps. Numbers are printed to a precision well above the measurement's spread,
// so regenerating the table gives the same text.
struct FigureRow {
  int program = 0;
  std::string name;
  SignalFigures figures;
};

class FigureTable {
 public:
  // Every program's RMS lies this close to program 0's.
  static constexpr double kLoudnessWindowDb = 3.0;
  // Quieter than this counts as silent.
  static constexpr double kSilentDb = -60.0;
  // A peak at or above full scale clips.
  static constexpr double kClipDb = 0.0;

  // The whole table with its header, or one row as it stands in it.
  static std::string format(const std::vector<FigureRow>& rows);
  static std::string formatRow(const FigureRow& row);
  // HostError naming the line that cannot be read.
  static std::vector<FigureRow> parse(const std::string& text);

  // What makes a bank unfit to ship, one line each: a program that is not finite, is
  // silent, lies outside the loudness window around program 0 or clips, and pairs of
  // programs that measure alike (the same sound twice).
  static std::vector<std::string> problems(const std::vector<FigureRow>& rows);
  // Figures of `measured` that left the tolerance around `committed`, one line each.
  static std::vector<std::string> differences(const FigureRow& committed,
                                              const FigureRow& measured);
  static bool alike(const SignalFigures& a, const SignalFigures& b);
};
