#pragma once

// Numbers written and read as texts the same way in every locale: a point before the
// decimals. Hosts call setlocale(LC_ALL, ""), after which printf and strtod write and
// read "-6,0" in a comma-decimal locale; these never look at the locale (std::to_chars
// and std::from_chars). Any thread; no allocation except where a string is returned.
#include <cstddef>
#include <string>

namespace numbertext {

// What "%.*f" writes in the C locale, cut to `size` - 1 characters and always ended.
void WriteFixed(double value, int decimals, char* text, size_t size);
std::string Fixed(double value, int decimals);
// What "%.*g" writes in the C locale.
std::string General(double value, int digits);

// The number a text starts with, as strtod reads it in the C locale: blanks before it
// and one leading '+' allowed, decimal and exponent forms, "inf" and "nan". False, with
// the outputs untouched, when the text starts with no number or one beyond the range
// of a double. `end` (optional) receives where the number stops.
bool ReadLeading(const char* text, double* value, const char** end = nullptr);
// The whole text as one number (blanks before it allowed, as strtod allows them).
bool Read(const std::string& text, double* value);

}  // namespace numbertext
