#pragma once

// The platform layer an editor of the plug-in gets: the X11 one. Tests and tools that
// draw without a display make a HeadlessPlatform themselves.
#include <memory>

#include "platform/IGraphicsPlatform.h"

std::unique_ptr<IGraphicsPlatform> CreateGraphicsPlatform();
