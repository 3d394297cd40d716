#include "platform/PlatformFactory.h"

#include "platform/win32/Win32Platform.h"

std::unique_ptr<IGraphicsPlatform> CreateGraphicsPlatform() {
  return std::make_unique<Win32Platform>();
}
