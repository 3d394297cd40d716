#include "platform/PlatformFactory.h"

#include "platform/headless/HeadlessPlatform.h"

// No window on Windows yet: the editor draws in memory and hosts are offered none.
std::unique_ptr<IGraphicsPlatform> CreateGraphicsPlatform() {
  return std::make_unique<HeadlessPlatform>();
}
