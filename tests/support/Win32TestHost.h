// A test host for editors on Windows (Wine in the suite): a top-level parent window of
// its own, the editor opened in it through the VST 2 dispatcher, messages pumped and
// effEditIdle called on the test's own thread as hosts do, input posted to the
// editor's window as the system delivers it, and the editor's pixels read back.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "formats/vst2/VstAbi.h"
#include "raster/Bitmap.h"

class Win32TestHost {
 public:
  explicit Win32TestHost(AEffect* effect);
  ~Win32TestHost();
  Win32TestHost(const Win32TestHost&) = delete;
  Win32TestHost& operator=(const Win32TestHost&) = delete;

  // effEditGetRect, a parent of that size shown, effEditOpen. True when it opened.
  bool Open();
  void Close();
  HWND Parent() const { return parent_; }
  // The editor's window: the parent's first child.
  HWND EditorWindow() const { return GetWindow(parent_, GW_CHILD); }
  // Every window below the parent (EnumChildWindows).
  std::vector<HWND> Descendants() const;
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Pumps messages and idles the editor for ms.
  void Settle(int ms = 100);
  // Pumps until pred holds; false after ms.
  bool WaitFor(const std::function<bool()>& pred, int ms = 3000);
  // A button message at window pixels of the editor, with the held buttons.
  void Mouse(UINT message, int x, int y, WPARAM held);
  // The editor window's pixels, read back from its device context (A = 255).
  std::unique_ptr<LICE_MemBitmap> Screenshot();

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0);

 private:
  AEffect* effect_;
  HWND parent_ = nullptr;
  int width_ = 0, height_ = 0;
  bool open_ = false;
};
