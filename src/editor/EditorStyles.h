#pragma once

// The editor's text styles. Each call returns a fresh style (the font cache fills its
// cached font on first use), so every control owns its copy.
#include "gui/IGraphicsStructs.h"

namespace EditorStyles {

// Program number and name.
IText program();
// The "Vocoder Mode" menu and the WAV control.
IText menuValue();
// The WAV control when its file failed to load.
IText wavError();
// The value under a small knob, and the same while the parameter is exactly 0.
IText knobValue();
IText knobValueAtZero();
// The version label.
IText version();

}  // namespace EditorStyles
