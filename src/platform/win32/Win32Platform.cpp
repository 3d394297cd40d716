#include "platform/win32/Win32Platform.h"

#include <windows.h>
// After windows.h:
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "gui/BitmapResources.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "platform/win32/Win32FileDialog.h"
#include "platform/win32/Win32PopupMenu.h"
#include "platform/win32/Win32TextEntry.h"
#include "platform/win32/Win32Tooltips.h"
#include "platform/win32/Win32View.h"
#include "system/ModuleFolder.h"
#include "system/WideText.h"

namespace {
std::string knownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)) && path) folder = narrow(path);
  CoTaskMemFree(path);
  return folder;
}

// Windows 10 (1607) and later know each window's DPI (its monitor's, for a host that is
// aware of monitors); older systems have one for the whole screen. Looked up at run
// time so the plug-in loads on both.
unsigned dpiOf(HWND window) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (window && dpiForWindow) return dpiForWindow(window);
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return unsigned(dpi);
}
}  // namespace

Win32Platform::Win32Platform() = default;

Win32Platform::~Win32Platform() { CloseWindow(); }

void* Win32Platform::OpenWindow(void* parent) {
  CloseWindow();
  if (!graphics_) return nullptr;
  view_ = Win32View::Create(graphics_, static_cast<HWND>(parent), graphics_->Scale());
  if (!view_) return nullptr;
  graphics_->SetAllControlsDirty();
  graphics_->UpdateTooltips();
  return view_->Window();
}

void Win32Platform::CloseWindow() {
  ShowMouseCursor();
  view_.reset();
}

void* Win32Platform::GetWindow() { return view_ ? view_->Window() : nullptr; }

void Win32Platform::WindowResized(int width, int height) {
  if (view_) view_->Resize(width, height, graphics_->Scale());
}

void Win32Platform::Idle() {
  if (view_) view_->Idle();
}

bool Win32Platform::HostKey(const IKeyPress& key, bool down) {
  return view_ && view_->HostKey(key, down);
}

// Decided once, at the first question, so that the size a host was told stays the
// window's: hosts ask before the window exists, when the host's active window shows
// the monitor it works on.
int Win32Platform::SystemScale() {
  if (systemScale_ < 0)
    systemScale_ = ScaleOfDpi(dpiOf(view_ ? view_->Window() : GetActiveWindow()));
  return systemScale_;
}

void Win32Platform::DrawScreen(const IRECT* r) {
  if (view_ && r) view_->Invalidate(*r);
}

IPopupMenu* Win32Platform::CreateIPopupMenu(IPopupMenu* menu, const IRECT* r) {
  if (!view_ || !r) return nullptr;
  ForceEndUserEdit();
  return Win32PopupMenu::Run(view_->Window(), menu, view_->ToScreen(r->L, r->B));
}

void Win32Platform::CreateTextEntry(IControl* control, const IText* text, const IRECT* r,
                                    const char* str, IParam* param) {
  if (view_ && r) view_->TextEntry()->Open(control, text, *r, str, param);
}

void Win32Platform::ForceEndUserEdit() {
  if (view_) view_->TextEntry()->End(false);
}

// The type numbers and the answers are Windows' own (MB_OKCANCEL, IDYES, ...).
int Win32Platform::ShowMessageBox(const char* text, const char* caption, int type) {
  if (!view_) return 0;
  ForceEndUserEdit();
  const UINT style = type == 1   ? MB_OKCANCEL
                     : type == 3 ? MB_YESNOCANCEL
                     : type == 4 ? MB_YESNO
                                 : MB_OK;
  const int answer = MessageBoxW(view_->Window(), widen(text ? text : "").c_str(),
                                 widen(caption ? caption : "").c_str(), style | MB_TASKMODAL);
  return answer == IDOK || answer == IDCANCEL || answer == IDYES || answer == IDNO ? answer : 0;
}

// The common dialogs are modal: the answer is known before this returns, while the
// host's windows go on painting through the dialog's own message loop.
void Win32Platform::PromptForFile(const std::string& file, EFileAction action,
                                  const std::string& dir, const char* extensions,
                                  FileChosenCallback done) {
  if (!view_ || promptOpen_) {  // one dialog at a time
    done("", dir);
    return;
  }
  ForceEndUserEdit();
  promptOpen_ = true;
  const std::string chosen =
      Win32FileDialog::Run(view_->Window(), action, dir, file, extensions ? extensions : "");
  promptOpen_ = false;
  if (chosen.empty())
    done("", dir);
  else
    done(chosen, Win32FileDialog::FolderOf(chosen));
}

bool Win32Platform::OpenURL(const char* url, const char*, const char*, const char*) {
  if (!url || !url[0]) return false;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", widen(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

void Win32Platform::HostPath(std::string* path) {
  std::vector<wchar_t> buffer(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
  *path = n > 0 && n < buffer.size() ? Win32FileDialog::FolderOf(narrow(buffer.data())) : "";
}

void Win32Platform::PluginPath(std::string* path) {
  *path = moduleFolderOf(reinterpret_cast<const void*>(&knownFolder));
}

void Win32Platform::DesktopPath(std::string* path) { *path = knownFolder(FOLDERID_Desktop); }

void Win32Platform::AppSupportPath(std::string* path, bool isSystem) {
  *path = knownFolder(isSystem ? FOLDERID_ProgramData : FOLDERID_RoamingAppData);
}

void Win32Platform::SandboxSafeAppSupportPath(std::string* path) { AppSupportPath(path, false); }

void Win32Platform::HideMouseCursor() {
  if (!view_ || cursorHidden_) return;
  ShowCursor(FALSE);
  cursorHidden_ = true;
}

void Win32Platform::ShowMouseCursor() {
  if (!cursorHidden_) return;
  ShowCursor(TRUE);
  cursorHidden_ = false;
}

void Win32Platform::UpdateTooltips() {
  if (!view_ || !graphics_) return;
  std::vector<std::pair<IRECT, std::string>> regions;
  for (int i = 0; graphics_->TooltipsEnabled() && i < graphics_->NControls(); ++i) {
    const IControl* control = graphics_->GetControl(i);
    if (!control->IsHidden() && !control->GetTargetRECT().Empty())
      regions.emplace_back(control->GetTargetRECT(), control->GetTooltip());
  }
  view_->Tooltips()->SetRegions(regions, view_->Scale());
}

LICE_IBitmap* Win32Platform::OSLoadBitmap(int, const char* name) {
  return BitmapResources::Load(name);
}
