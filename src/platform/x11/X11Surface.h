#pragma once

// Copies raster bitmaps into a window: the region asked for, converted to the
// window's pixel format and optionally pixel-doubled, through a shared-memory image
// when the server offers MIT-SHM and accepts our segment, and through plain
// put-image requests otherwise. A shared-memory copy is in flight until the server's
// completion event arrives; the segment is not written again before that.
#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

#include "gui/IGraphicsStructs.h"
#include "platform/x11/PixelFormat.h"

class LICE_IBitmap;
class X11Connection;

class X11Surface {
 public:
  // width and height in window pixels. Shared memory is tried when asked for.
  X11Surface(X11Connection* connection, xcb_window_t window, const PixelFormat& format,
             uint8_t depth, int width, int height, bool trySharedMemory);
  ~X11Surface();
  X11Surface(const X11Surface&) = delete;
  X11Surface& operator=(const X11Surface&) = delete;

  bool UsesSharedMemory() const { return shmSegment_ != 0; }
  // A shared-memory copy has not been completed yet.
  bool Busy() const { return pending_; }
  // Copies r (source pixels, clipped to the source) to the window at r x scale. False
  // when a copy is still in flight (nothing is done then).
  bool Upload(const LICE_IBitmap* source, IRECT r, int scale);
  // True when the event was this surface's completion (it is consumed then).
  bool HandleEvent(const xcb_generic_event_t* event);

 private:
  bool attachSharedMemory();
  void putRows(const LICE_IBitmap* source, const IRECT& r, int scale);

  X11Connection* connection_;
  xcb_window_t window_;
  PixelFormat format_;
  uint8_t depth_;
  int width_, height_;
  xcb_gcontext_t gc_ = 0;
  // Shared memory: the server's segment id (0 without), our mapping, the event code
  // of its completion.
  uint32_t shmSegment_ = 0;
  uint8_t* shmData_ = nullptr;
  uint8_t completionEvent_ = 0;
  bool pending_ = false;
  std::vector<uint8_t> rows_;
};
