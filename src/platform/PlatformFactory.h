#pragma once

// The platform layer an editor of the plug-in gets: the X11 one on Linux, the Win32
// one on Windows. Only the plug-in's entry point calls this; tests and tools that draw
// without a display make a HeadlessPlatform (platform/headless) themselves and link
// no window system.
#include <memory>

#include "gui/IGraphicsPlatform.h"

// The host's UI thread, while an instance is created.
std::unique_ptr<IGraphicsPlatform> CreateGraphicsPlatform();
