#include "platform/x11/X11Surface.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>

#include <algorithm>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Owned.h"
#include "raster/Bitmap.h"

X11Surface::X11Surface(X11Connection* connection, xcb_window_t window, const PixelFormat& format,
                       uint8_t depth, int width, int height, bool trySharedMemory)
    : connection_(connection),
      window_(window),
      format_(format),
      depth_(depth),
      width_(width),
      height_(height) {
  xcb_connection_t* c = connection_->Get();
  gc_ = xcb_generate_id(c);
  const uint32_t noExposures = 0;
  xcb_create_gc(c, gc_, window_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  if (trySharedMemory) attachSharedMemory();
}

X11Surface::~X11Surface() {
  xcb_connection_t* c = connection_->Get();
  if (shmSegment_) xcb_shm_detach(c, shmSegment_);
  xcb_free_gc(c, gc_);
  // The server must have let go of the segment before we unmap it.
  if (shmData_) {
    const X11Owned<xcb_get_input_focus_reply_t> roundTrip(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    shmdt(shmData_);
  }
}

bool X11Surface::attachSharedMemory() {
  xcb_connection_t* c = connection_->Get();
  const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_shm_id);
  if (!extension || !extension->present) return false;
  const size_t size = size_t(format_.Stride(width_)) * size_t(height_);
  if (size == 0) return false;
  const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
  if (id < 0) return false;
  void* data = shmat(id, nullptr, 0);
  if (data == reinterpret_cast<void*>(-1)) {
    shmctl(id, IPC_RMID, nullptr);
    return false;
  }
  const uint32_t segment = xcb_generate_id(c);
  // A server on another machine or in another IPC namespace refuses the segment.
  const X11Owned<xcb_generic_error_t> error(
      xcb_request_check(c, xcb_shm_attach_checked(c, segment, uint32_t(id), 0)));
  // Marked for removal now: it goes when both sides have detached, even after a crash.
  shmctl(id, IPC_RMID, nullptr);
  if (error) {
    shmdt(data);
    return false;
  }
  shmSegment_ = segment;
  shmData_ = static_cast<uint8_t*>(data);
  completionEvent_ = uint8_t(extension->first_event + XCB_SHM_COMPLETION);
  return true;
}

bool X11Surface::HandleEvent(const xcb_generic_event_t* event) {
  if (!shmSegment_ || (event->response_type & 0x7f) != completionEvent_) return false;
  pending_ = false;
  return true;
}

bool X11Surface::Upload(const LICE_IBitmap* source, IRECT r, int scale) {
  if (pending_) return false;
  r = r.Intersect(IRECT(0, 0, std::min(source->getWidth(), width_ / scale),
                        std::min(source->getHeight(), height_ / scale)));
  if (r.Empty() || r.W() <= 0 || r.H() <= 0) return true;
  if (!shmSegment_) {
    putRows(source, r, scale);
    return true;
  }
  const int stride = format_.Stride(width_);
  const int bytesPerPixel = format_.bitsPerPixel / 8;
  for (int y = r.T; y < r.B; ++y) {
    uint8_t* row =
        shmData_ + size_t(y * scale) * size_t(stride) + size_t(r.L * scale * bytesPerPixel);
    format_.ConvertRow(LICE_RowPointer(source, y) + r.L, r.W(), scale, row);
    for (int k = 1; k < scale; ++k)
      std::copy(row, row + r.W() * scale * bytesPerPixel, row + size_t(k) * size_t(stride));
  }
  xcb_shm_put_image(connection_->Get(), window_, gc_, uint16_t(width_), uint16_t(height_),
                    uint16_t(r.L * scale), uint16_t(r.T * scale), uint16_t(r.W() * scale),
                    uint16_t(r.H() * scale), int16_t(r.L * scale), int16_t(r.T * scale), depth_,
                    XCB_IMAGE_FORMAT_Z_PIXMAP, 1, shmSegment_, 0);
  pending_ = true;
  return true;
}

void X11Surface::putRows(const LICE_IBitmap* source, const IRECT& r, int scale) {
  xcb_connection_t* c = connection_->Get();
  const int width = r.W() * scale;
  const int stride = format_.Stride(width);
  // The request length limit (in 4-byte units) bounds the rows of one request.
  const size_t maxBytes = size_t(xcb_get_maximum_request_length(c)) * 4 - 64;
  const int rowsPerRequest = std::max(scale, int(maxBytes / size_t(stride)) / scale * scale);
  for (int top = r.T * scale; top < r.B * scale; top += rowsPerRequest) {
    const int rows = std::min(rowsPerRequest, r.B * scale - top);
    rows_.resize(size_t(stride) * size_t(rows));
    for (int i = 0; i < rows; ++i)
      format_.ConvertRow(LICE_RowPointer(source, (top + i) / scale) + r.L, r.W(), scale,
                         rows_.data() + size_t(i) * size_t(stride));
    xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, uint16_t(width), uint16_t(rows),
                  int16_t(r.L * scale), int16_t(top), 0, depth_, uint32_t(rows_.size()),
                  rows_.data());
  }
}
