#include "platform/PlatformFactory.h"

#include "platform/HeadlessPlatform.h"

std::unique_ptr<IGraphicsPlatform> CreateGraphicsPlatform() {
  return std::make_unique<HeadlessPlatform>();
}
