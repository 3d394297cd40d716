#include "platform/x11/X11Tooltip.h"

#include "platform/x11/PlatformFonts.h"
#include "platform/x11/X11PlatformWindow.h"
#include "raster/LICE.h"

X11Tooltip::X11Tooltip(X11Connection* connection, PlatformFonts* fonts, xcb_window_t root,
                       const std::string& text, int rootX, int rootY) {
  const int s = fonts->Scale();
  RasterFont* font = fonts->Regular(12);
  if (!font) return;
  int w = 0, h = 0;
  font->Measure(text.c_str(), &w, &h);
  const int width = w + 10 * s, height = h + 6 * s;
  picture_.resize(width, height);
  LICE_FillRect(&picture_, 0, 0, width, height, LICE_PackPixel(255, 90, 90, 90), 1.0f,
                LICE_BLIT_MODE_COPY);
  LICE_FillRect(&picture_, s, s, width - 2 * s, height - 2 * s, LICE_PackPixel(255, 255, 255, 225),
                1.0f, LICE_BLIT_MODE_COPY);
  font->Draw(&picture_, text.c_str(), 5 * s, 3 * s, 255, 20, 20, 20);
  int rootWidth = 0, rootHeight = 0;
  connection->RootSize(root, &rootWidth, &rootHeight);
  int x = rootX + 12 * s, y = rootY + 18 * s;
  if (rootWidth > 0 && x + width > rootWidth) x = rootWidth - width;
  if (rootHeight > 0 && y + height > rootHeight) y = rootY - height - 4 * s;
  window_ = std::make_unique<X11PlatformWindow>(connection, root, x, y, width, height, true, 0);
  window_->Map();
  window_->Show(&picture_);
}

X11Tooltip::~X11Tooltip() = default;

xcb_window_t X11Tooltip::Window() const { return window_ ? window_->Window() : 0; }

bool X11Tooltip::HandleEvent(const xcb_generic_event_t* event) {
  return window_ && window_->HandleEvent(event);
}
