#pragma once

// Texts for parameter values and back: the one path from a text a host or a user
// typed to a value, for every format and tool. A text is the parameter's display text
// for the value, followed by its unit label when it shows a number. Reading a text
// back gives a value that shows the same text again: word texts are looked up, plain
// numbers are taken as they are (a gain's number as its decibels, exactly as LV2 ports
// take it), and a display function's text (decibels, ratios,
// percentages) is found by bisection over the range, since its number rises or falls
// steadily with the value. Every value read lands on what the parameter can hold
// (IParam::Constrain). Any thread; reads only the parameter.
#include <cstddef>

class IParam;

namespace paramtext {

// Writes the text for plain `value` into `text` (capacity `size`, at least 1).
void fromValue(const IParam& param, double value, char* text, size_t size);
// The plain value whose text reads as `text` (blanks around it and letter case do not
// matter; a unit after a number must be the one the parameter shows, when it shows
// one). False, with `value` untouched, for a text that names no value: words it does
// not show, and numbers no value shows within the display's last digit (beyond the
// range, or a choice's number outside the list).
bool toValue(const IParam& param, const char* text, double* value);

}  // namespace paramtext
