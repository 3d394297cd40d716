#pragma once

// The raster layer under the editor's graphics context. Everything the editor
// shows is composed in memory in 32-bit bitmaps (A,R,G,B bytes, not premultiplied):
// PNG resources are decoded into memory bitmaps, controls blit frames of them and
// fill rectangles into the editor-sized system bitmap, text is rasterised into it
// by RasterFont (raster/RasterFont.h), and the platform layer copies the system
// bitmap's rows to the screen. No window-system code lives here.
#include "raster/Bitmap.h"
#include "raster/Blit.h"
#include "raster/Pixel.h"
#include "raster/Png.h"
