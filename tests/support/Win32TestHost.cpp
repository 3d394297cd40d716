#include "support/Win32TestHost.h"

#include <chrono>
#include <thread>

namespace {
const wchar_t* parentClass() {
  static const wchar_t* name = [] {
    WNDCLASSW c = {};
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = L"ZorqTestHostParent";
    RegisterClassW(&c);
    return c.lpszClassName;
  }();
  return name;
}

BOOL CALLBACK collect(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}
}  // namespace

Win32TestHost::Win32TestHost(AEffect* effect) : effect_(effect) {}

Win32TestHost::~Win32TestHost() {
  Close();
  if (parent_) DestroyWindow(parent_);
}

VstIntPtr Win32TestHost::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

bool Win32TestHost::Open() {
  ERect* rect = nullptr;
  if (!Dispatch(effEditGetRect, 0, 0, &rect) || !rect) return false;
  width_ = rect->right - rect->left;
  height_ = rect->bottom - rect->top;
  if (!parent_) {
    RECT frame = {0, 0, width_, height_};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    parent_ = CreateWindowW(parentClass(), L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  }
  open_ = parent_ && Dispatch(effEditOpen, 0, 0, parent_) != 0;
  return open_;
}

void Win32TestHost::Close() {
  if (!open_) return;
  Dispatch(effEditClose);
  open_ = false;
}

std::vector<HWND> Win32TestHost::Descendants() const {
  std::vector<HWND> windows;
  if (parent_) EnumChildWindows(parent_, &collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

void Win32TestHost::Settle(int ms) {
  WaitFor([] { return false; }, ms);
}

bool Win32TestHost::WaitFor(const std::function<bool()>& pred, int ms) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (open_) Dispatch(effEditIdle);
    if (pred()) return true;
    if (Clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void Win32TestHost::Mouse(UINT message, int x, int y, WPARAM held) {
  PostMessageW(EditorWindow(), message, held, MAKELPARAM(x, y));
  Settle(30);
}

std::unique_ptr<LICE_MemBitmap> Win32TestHost::Screenshot() {
  HWND editor = EditorWindow();
  if (!editor) return nullptr;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC window = GetDC(editor);
  HDC memory = CreateCompatibleDC(window);
  HBITMAP section = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto shot = std::make_unique<LICE_MemBitmap>(width_, height_);
  if (section && bits) {
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, width_, height_, window, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        const uint32_t p = pixels[size_t(y) * size_t(width_) + size_t(x)];
        LICE_RowPointer(shot.get(), y)[x] =
            LICE_PackPixel(255, uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
      }
    SelectObject(memory, old);
  }
  if (section) DeleteObject(section);
  DeleteDC(memory);
  ReleaseDC(editor, window);
  return section && bits ? std::move(shot) : nullptr;
}
