#pragma once

// Owning pointers for what XCB hands out with malloc (events, replies, errors): freed
// however the code holding them returns.
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

struct X11Free {
  void operator()(void* p) const { std::free(p); }
};

template <typename T>
using X11Owned = std::unique_ptr<T, X11Free>;

using X11Event = X11Owned<xcb_generic_event_t>;
