#include "platform/x11/X11View.h"

#include <poll.h>
#include <xcb/shm.h>

#include <algorithm>
#include <cstdlib>

#include "gui/IGraphics.h"
#include "platform/x11/TextField.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11Surface.h"
#include "platform/x11/X11Tooltip.h"
#include "raster/LICE.h"

namespace {
constexpr uint32_t kEventMask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                                XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW |
                                XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
}  // namespace

std::unique_ptr<X11View> X11View::Create(IGraphics* graphics, xcb_window_t parent, int scale,
                                         bool trySharedMemory) {
  std::unique_ptr<X11Connection> connection = X11Connection::Open();
  if (!connection || !graphics) return nullptr;
  std::unique_ptr<X11View> view(new X11View(graphics, std::move(connection), scale));
  if (!view->create(parent, trySharedMemory)) return nullptr;
  return view;
}

X11View::X11View(IGraphics* graphics, std::unique_ptr<X11Connection> connection, int scale)
    : graphics_(graphics),
      connection_(std::move(connection)),
      fonts_(std::make_unique<PlatformFonts>(scale)),
      scale_(scale),
      period_(std::chrono::microseconds(1000000 / std::max(graphics->FPS(), 1))) {}

bool X11View::create(xcb_window_t parent, bool trySharedMemory) {
  xcb_connection_t* c = connection_->Get();
  X11Visual visual;
  if (parent) {
    if (!connection_->ChooseVisual(parent, &visual)) return false;
    root_ = connection_->RootOf(parent);
  } else {
    xcb_screen_t* screen = connection_->DefaultScreen();
    if (!connection_->DefaultVisual(screen, &visual)) return false;
    root_ = screen->root;
    parent = root_;
  }
  xcb_screen_t* screen = connection_->ScreenOf(root_);
  if (!screen) return false;
  parent_ = parent;
  depth_ = visual.depth;
  if (visual.ownColormap) {
    colormap_ = xcb_generate_id(c);
    xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, colormap_, root_, visual.id);
  }
  const int width = graphics_->Width() * scale_, height = graphics_->Height() * scale_;
  window_ = xcb_generate_id(c);
  // A border pixel and colormap of our own keep a visual other than the parent's from
  // failing with BadMatch. Values in mask-bit order.
  const uint32_t values[] = {visual.format.Encode(0, 0, 0), 0, kEventMask,
                             colormap_ ? colormap_ : screen->default_colormap};
  xcb_generic_error_t* error = xcb_request_check(
      c, xcb_create_window_checked(c, depth_, window_, parent_, 0, 0, uint16_t(width), uint16_t(height), 0,
                                   XCB_WINDOW_CLASS_INPUT_OUTPUT, visual.id,
                                   XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP,
                                   values));
  if (error) {
    std::free(error);
    window_ = 0;
    return false;
  }
  connection_->SetFixedSize(window_, width, height);
  if (parent_ == root_) connection_->SetTitle(window_, "ZORQ");
  surface_ = std::make_unique<X11Surface>(connection_.get(), window_, visual.format, depth_, width, height,
                                          trySharedMemory);
  screen_.resize(graphics_->Width(), graphics_->Height());
  keyboard_ = std::make_unique<X11Keyboard>(connection_.get());
  xcb_map_window(c, window_);
  nextTick_ = Clock::now();
  pending_ = IRECT(0, 0, graphics_->Width(), graphics_->Height());
  xcb_flush(c);
  return true;
}

X11View::~X11View() {
  if (field_) EndTextEntry(false);
  tooltip_.reset();
  surface_.reset();
  xcb_connection_t* c = connection_->Get();
  if (window_ && !destroyed_) xcb_destroy_window(c, window_);
  if (colormap_) xcb_free_colormap(c, colormap_);
  xcb_flush(c);
}

bool X11View::UsesSharedMemory() const { return surface_ && surface_->UsesSharedMemory(); }

int X11View::toEditor(int windowCoordinate) const {
  // Floor division: drags beyond the left or top edge stay negative.
  return windowCoordinate >= 0 ? windowCoordinate / scale_ : -((-windowCoordinate + scale_ - 1) / scale_);
}

void X11View::Invalidate(const IRECT& r) {
  const IRECT clipped = r.Intersect(IRECT(0, 0, graphics_->Width(), graphics_->Height()));
  pending_ = pending_.Union(clipped);
}

void X11View::Resize(int width, int height, int scale) {
  if (destroyed_) return;
  scale_ = scale;
  fonts_ = std::make_unique<PlatformFonts>(scale);
  hideTooltip();
  if (field_) EndTextEntry(false);
  xcb_connection_t* c = connection_->Get();
  const uint32_t size[] = {uint32_t(width * scale), uint32_t(height * scale)};
  xcb_configure_window(c, window_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
  connection_->SetFixedSize(window_, int(size[0]), int(size[1]));
  // A copy in flight must complete before its segment goes.
  while (surface_->Busy() && !connection_->Broken()) {
    xcb_generic_event_t* event = xcb_wait_for_event(c);
    if (!event) break;
    handleEvent(event);
    std::free(event);
  }
  X11Visual visual;
  const bool sharedMemory = surface_->UsesSharedMemory();
  if (!connection_->ChooseVisual(parent_ == root_ ? window_ : parent_, &visual)) return;
  surface_ = std::make_unique<X11Surface>(connection_.get(), window_, visual.format, depth_, int(size[0]),
                                          int(size[1]), sharedMemory);
  screen_.resize(width, height);
  pending_ = IRECT(0, 0, width, height);
  xcb_flush(c);
}

void X11View::Idle() {
  if (!connection_ || connection_->Broken()) return;
  xcb_connection_t* c = connection_->Get();
  while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
    handleEvent(event);
    std::free(event);
  }
  const Clock::time_point now = Clock::now();
  tickIfDue(now);
  updateTooltip(now);
  xcb_flush(c);
}

void X11View::tickIfDue(Clock::time_point now) {
  if (destroyed_) return;
  if (now >= nextTick_) {
    nextTick_ += period_;
    // Late: one tick now, the next a full period later, no queue of missed ones.
    if (nextTick_ <= now) nextTick_ = now + period_;
    IRECT r;
    if (graphics_->IsDirty(&r)) graphics_->Draw(&r);
  }
  if (field_ && now >= nextBlink_) {
    caretOn_ = !caretOn_;
    nextBlink_ = now + std::chrono::milliseconds(kCaretBlinkMs);
    Invalidate(fieldRect_);
  }
  upload();
}

void X11View::upload() {
  if (pending_.Empty() || destroyed_ || surface_->Busy()) return;
  const LICE_IBitmap* raster = graphics_->GetDrawBitmap();
  if (!raster) return;
  const IRECT r = pending_;
  LICE_Blit(&screen_, raster, r.L, r.T, r.L, r.T, r.W(), r.H(), 1.0f, LICE_BLIT_MODE_COPY);
  if (field_) composeField();
  if (surface_->Upload(&screen_, r, scale_)) pending_ = IRECT();
}

bool X11View::handleWindowEvent(const xcb_generic_event_t* event) {
  if (surface_ && surface_->HandleEvent(event)) return true;
  if (tooltip_ && tooltip_->HandleEvent(event)) return true;
  switch (event->response_type & 0x7f) {
    case XCB_EXPOSE: {
      const auto* expose = reinterpret_cast<const xcb_expose_event_t*>(event);
      if (expose->window != window_) return false;
      Invalidate(IRECT(toEditor(expose->x), toEditor(expose->y), toEditor(expose->x + expose->width + scale_ - 1),
                       toEditor(expose->y + expose->height + scale_ - 1)));
      return true;
    }
    case XCB_DESTROY_NOTIFY: {
      const auto* destroy = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
      if (destroy->window == window_) destroyed_ = true;
      return true;
    }
    case 0:  // an error reply: a request about a window the host destroyed; nothing to do
      return true;
    default: return false;
  }
}

bool X11View::RunModal(const std::function<bool(const xcb_generic_event_t*)>& handle,
                       const std::function<bool()>& finished) {
  xcb_connection_t* c = connection_->Get();
  inModal_ = true;
  hideTooltip();
  bool ok = true;
  while (!finished()) {
    xcb_flush(c);
    if (connection_->Broken() || destroyed_) {
      ok = false;
      break;
    }
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      if (!handle(event)) handleWindowEvent(event);
      std::free(event);
      if (finished()) break;
    }
    if (finished()) break;
    const Clock::time_point now = Clock::now();
    tickIfDue(now);
    xcb_flush(c);
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextTick_ - Clock::now()).count();
    pollfd descriptor{connection_->Fd(), POLLIN, 0};
    poll(&descriptor, 1, int(std::clamp<long long>(wait, 1, 100)));
  }
  inModal_ = false;
  // The button that opened a menu or box was released there, not here.
  buttonHeld_ = false;
  xcb_flush(c);
  return ok;
}
