#pragma once

// Texts for parameter values and back, for hosts that show a plain value as the
// plug-in writes it and let the user type one in. A text is the parameter's display
// text for the value, followed by its unit label when it shows a number. Reading a text
// back gives a value that shows the same text again: word texts are looked up, plain
// numbers are taken as they are, and a display function's text (decibels, ratios,
// percentages) is found by bisection over the range, since its number rises or falls
// steadily with the value. Any thread; reads only the parameter.
#include <cstddef>

class IParam;

namespace paramtext {

// Writes the text for plain `value` into `text` (capacity `size`, at least 1).
void fromValue(const IParam& param, double value, char* text, size_t size);
// The plain value whose text reads as `text` (blanks around it, letter case and a
// unit after a number do not matter); numbers beyond the range give its nearer end.
// False for a text that names no value.
bool toValue(const IParam& param, const char* text, double* value);

}  // namespace paramtext
