#pragma once

#include <cstdint>
#include <string>

// Small text helpers shared by the command-line parsers and the hosts.
std::string trimBlanks(const std::string& text);
bool equalIgnoringCase(const std::string& a, const std::string& b);
// "1.1.3" as the decimal version program files record: 10103 (0 for no number).
int32_t decimalVersion(const char* text);
