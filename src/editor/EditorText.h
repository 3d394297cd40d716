#pragma once

// Text helpers of the editor's controls.
#include <string>

// The longest front of text that fits in maxBytes bytes without splitting a UTF-8
// sequence (a cut never leaves half a character for the font to show as garbage).
std::string cutText(const std::string& text, size_t maxBytes);
