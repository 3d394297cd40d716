#pragma once

#include <string>

// Small text helpers shared by the command-line parsers.
std::string trimBlanks(const std::string& text);
bool equalIgnoringCase(const std::string& a, const std::string& b);
