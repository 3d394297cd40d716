#pragma once

// The platform layer an editor gets when it is created: headless for now, the
// window-system layer once it exists.
#include <memory>

#include "platform/IGraphicsPlatform.h"

std::unique_ptr<IGraphicsPlatform> CreateGraphicsPlatform();
