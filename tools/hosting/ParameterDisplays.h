#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

class PluginHost;

// What a host shows for one parameter at any normalised value: the plug-in's display
// text and label, read by setting the value and asking for them (so reading moves the
// parameter; callers set the value they want last). A grid of values is read at
// construction; texts and numbers between grid points are found by bisection, which
// converges because numeric displays rise or fall steadily with the value.
class ParameterDisplays {
 public:
  static constexpr int kGridSteps = 256;
  // A parameter whose grid shows at most this many texts, some not numbers, is a choice.
  static constexpr size_t kMaxChoices = 24;

  struct Shown {
    float normalised = 0.0f;
    std::string display;  // blanks trimmed
    std::string label;
    // A display that is one number, maybe followed by a unit ("-6.0", "10%", "5.50"):
    bool numeric = false;
    double number = 0.0;
    std::string unit;  // what follows the number in the display

    // The display, then a blank and the label when there is one: what people read.
    std::string text() const;
  };

  ParameterDisplays(PluginHost& host, int index);

  // False when the grid shows a single text: the plug-in's displays tell nothing.
  bool searchable() const;
  // The texts of an enumerated parameter in value order; empty for others.
  std::vector<std::string> choices() const;
  // "<text at 0> .. <text at 1>".
  std::string range();
  // The text at 0.5.
  std::string middle();

  // The middle of the values shown as `text` (as read, ignoring case and blanks).
  std::optional<float> findText(const std::string& text);
  // The value whose display reads closest to `number`; nothing when the number lies
  // beyond the displays by more than their last digit. `found` receives what it shows.
  std::optional<float> findNumber(double number, Shown* found);
  // The user's unit after a number fits what the parameter shows (its label or the
  // unit in its display), or the parameter shows none.
  static bool unitFits(const std::string& unit, const Shown& shown);

  // "-6 dB" -> -6 and "dB"; false unless the text starts with a finite number and no
  // other digit follows ("50:50" is not one number).
  static bool splitNumber(const std::string& text, double* number, std::string* unit);

 private:
  using Test = std::function<bool(const Shown&)>;

  Shown probe(float normalised);
  // The last value on the way from `inside` (test holds) to `outside` (it does not)
  // where the test still holds.
  float edge(float inside, float outside, const Test& test);
  // The middle of the stretch of values around `inside` where the test holds.
  float middleOf(float inside, const Test& test);

  PluginHost& host_;
  int index_;
  std::vector<Shown> grid_;
};
