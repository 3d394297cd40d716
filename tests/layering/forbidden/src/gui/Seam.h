// The edge the check forbids: the window-system interface the gui needs must be
// the gui's own, not a platform header.
#pragma once

#include "raster/Bitmap.h"
#include "platform/Window.h"
