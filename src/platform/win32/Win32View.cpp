#include "platform/win32/Win32View.h"

#include <algorithm>
#include <string>

#include "gui/IGraphics.h"
#include "platform/win32/Win32TextEntry.h"
#include "platform/win32/Win32Tooltips.h"
#include "raster/Bitmap.h"

namespace {
constexpr UINT_PTR kRedrawTimer = 1;

HINSTANCE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&thisModule), &module);
  return module;
}

// The view's window class, registered while a view exists. Its name carries the
// module's address, so two copies of the plug-in in one host keep their own classes;
// it is unregistered with the last view, since a library that is unloaded leaves
// its classes behind.
class ViewClass {
 public:
  static const wchar_t* Acquire(WNDPROC proc) {
    if (users_++ == 0) {
      name_ = L"ZORQEditor" + std::to_wstring(reinterpret_cast<uintptr_t>(thisModule()));
      WNDCLASSEXW c = {};
      c.cbSize = sizeof c;
      c.style = CS_DBLCLKS;
      c.lpfnWndProc = proc;
      c.hInstance = thisModule();
      c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
      c.lpszClassName = name_.c_str();
      if (!RegisterClassExW(&c) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        --users_;
        return nullptr;
      }
    }
    return name_.c_str();
  }
  static void Release() {
    if (--users_ == 0) UnregisterClassW(name_.c_str(), thisModule());
  }

 private:
  static inline int users_ = 0;
  static inline std::wstring name_;
};

uint32_t dibPixel(LICE_pixel p) {
  return uint32_t(LICE_PixelB(p)) | uint32_t(LICE_PixelG(p)) << 8 | uint32_t(LICE_PixelR(p)) << 16;
}
}  // namespace

std::unique_ptr<Win32View> Win32View::Create(IGraphics* graphics, HWND parent, int scale) {
  if (!graphics || !parent || !IsWindow(parent)) return nullptr;
  const wchar_t* className = ViewClass::Acquire(&Win32View::windowProc);
  if (!className) return nullptr;
  std::unique_ptr<Win32View> view(new Win32View(graphics, scale));
  // WM_NCCREATE stores the view in the window before any other message arrives.
  CreateWindowExW(0, className, L"ZORQ", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                  graphics->Width() * scale, graphics->Height() * scale, parent, nullptr,
                  thisModule(), view.get());
  if (!view->window_) return nullptr;
  view->frame_.assign(size_t(graphics->Width() * scale) * size_t(graphics->Height() * scale), 0);
  view->textEntry_ = std::make_unique<Win32TextEntry>(graphics, view->window_, scale);
  view->tooltips_ = std::make_unique<Win32Tooltips>(view->window_);
  SetTimer(view->window_, kRedrawTimer, UINT(std::max(1000 / std::max(graphics->FPS(), 1), 1)),
           nullptr);
  InvalidateRect(view->window_, nullptr, FALSE);
  return view;
}

Win32View::Win32View(IGraphics* graphics, int scale)
    : graphics_(graphics),
      scale_(std::max(scale, 1)),
      period_(std::chrono::microseconds(1000000 / std::max(graphics->FPS(), 1))),
      nextTick_(Clock::now()) {}

Win32View::~Win32View() {
  if (textEntry_) textEntry_->End(false);
  tooltips_.reset();
  textEntry_.reset();
  // The host may have destroyed its window, and ours with it, first.
  if (window_) {
    KillTimer(window_, kRedrawTimer);
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  ViewClass::Release();
}

LRESULT CALLBACK Win32View::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* view = static_cast<Win32View*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    view->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  }
  auto* view = reinterpret_cast<Win32View*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!view) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    view->window_ = nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return view->handle(message, wParam, lParam);
}

LRESULT Win32View::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam != kRedrawTimer) break;
      tickIfDue(Clock::now());
      return 0;
    case WM_PAINT: paint(); return 0;
    case WM_ERASEBKGND: return 1;  // the whole window is painted
    case WM_MOUSEWHEEL: wheel(wParam, lParam); return 0;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_COMMAND:
      if (textEntry_ && textEntry_->Command(wParam, lParam)) return 0;
      break;
    default:
      if (mouse(message, wParam, lParam) || key(message, wParam, lParam)) return 0;
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void Win32View::Idle() { tickIfDue(Clock::now()); }

void Win32View::tickIfDue(Clock::time_point now) {
  if (!window_ || now < nextTick_) return;
  nextTick_ += period_;
  // Late: one tick now, the next a full period later, no queue of missed ones.
  if (nextTick_ <= now) nextTick_ = now + period_;
  IRECT r;
  if (graphics_->IsDirty(&r)) graphics_->Draw(&r);
}

void Win32View::Invalidate(const IRECT& r) {
  if (!window_) return;
  const RECT dirty = {r.L * scale_, r.T * scale_, r.R * scale_, r.B * scale_};
  InvalidateRect(window_, &dirty, FALSE);
}

// The update region's pixels are converted from the raster, then the frame is
// copied; the device context clips the copy to what needs painting.
void Win32View::paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  const LICE_IBitmap* raster = graphics_->GetDrawBitmap();
  const int width = graphics_->Width() * scale_, height = graphics_->Height() * scale_;
  if (raster && frame_.size() == size_t(width) * size_t(height)) {
    const int left = std::max(0, int(ps.rcPaint.left)),
              right = std::min(width, int(ps.rcPaint.right));
    const int top = std::max(0, int(ps.rcPaint.top));
    const int bottom = std::min(height, int(ps.rcPaint.bottom));
    const int rasterWidth = raster->getWidth(), rasterHeight = raster->getHeight();
    for (int y = top; y < bottom && y / scale_ < rasterHeight; ++y) {
      const LICE_pixel* row = LICE_RowPointer(raster, y / scale_);
      uint32_t* out = frame_.data() + size_t(y) * size_t(width);
      for (int x = left; x < right && x / scale_ < rasterWidth; ++x)
        out[x] = dibPixel(row[x / scale_]);
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height, frame_.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
  }
  EndPaint(window_, &ps);
}

void Win32View::Resize(int width, int height, int scale) {
  if (!window_) return;
  textEntry_->End(false);
  scale_ = std::max(scale, 1);
  textEntry_->SetScale(scale_);
  frame_.assign(size_t(width * scale_) * size_t(height * scale_), 0);
  SetWindowPos(window_, nullptr, 0, 0, width * scale_, height * scale_,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(window_, nullptr, FALSE);
}

POINT Win32View::ToScreen(int x, int y) const {
  POINT point = {x * scale_, y * scale_};
  if (window_) ClientToScreen(window_, &point);
  return point;
}

int Win32View::toEditor(int windowCoordinate) const {
  // Rounds down for negative coordinates too (a drag beyond the left or top edge).
  return windowCoordinate >= 0 ? windowCoordinate / scale_
                               : -((-windowCoordinate + scale_ - 1) / scale_);
}
