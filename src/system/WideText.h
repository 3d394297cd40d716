#pragma once

// UTF-8 and the UTF-16 of Windows' wide-character calls. Invalid input becomes the
// replacement character. Any thread.
#include <string>

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& wide);
std::string narrow(const wchar_t* wide);
