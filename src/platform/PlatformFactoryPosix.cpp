#include "platform/PlatformFactory.h"

#include "platform/x11/X11Platform.h"

std::unique_ptr<IGraphicsPlatform> CreateGraphicsPlatform() {
  return std::make_unique<X11Platform>();
}
