#pragma once

// The platform layer on Windows: the editor's window inside the host's (Win32View),
// system popup menus, message boxes, the EDIT text field, tooltips, the common file
// dialogs, folders, the web browser, and the screen's scale from the DPI of the
// monitor the host's window is on (per-monitor when the host is aware of it), decided
// once.
#include <memory>
#include <string>

#include "gui/IGraphicsPlatform.h"
#include "gui/IGraphicsStructs.h"

class Win32View;

class Win32Platform : public IGraphicsPlatform {
 public:
  Win32Platform();
  ~Win32Platform() override;

  Win32View* View() const { return view_.get(); }

  void Bind(IGraphics* graphics) override { graphics_ = graphics; }
  bool CanOpenWindow() const override { return true; }
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  bool WindowIsOpen() override { return view_ != nullptr; }
  void* GetWindow() override;
  void WindowResized(int width, int height) override;
  void Idle() override;
  bool HostKey(const IKeyPress& key, bool down) override;
  int SystemScale() override;
  void DrawScreen(const IRECT* r) override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, const IRECT* r) override;
  void CreateTextEntry(IControl* control, const IText* text, const IRECT* r, const char* str,
                       IParam* param) override;
  void ForceEndUserEdit() override;
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  void PromptForFile(const std::string& file, EFileAction action, const std::string& dir,
                     const char* extensions, FileChosenCallback done) override;
  bool PromptForColor(IColor*, const char*) override { return false; }
  bool OpenURL(const char* url, const char* windowTitle, const char* confirmText,
               const char* errorText) override;
  void HostPath(std::string* path) override;
  void PluginPath(std::string* path) override;
  void DesktopPath(std::string* path) override;
  void AppSupportPath(std::string* path, bool isSystem) override;
  void SandboxSafeAppSupportPath(std::string* path) override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  void UpdateTooltips() override;
  LICE_IBitmap* OSLoadBitmap(int id, const char* name) override;

  // The scale for a screen of this many dots per inch: 2 from 144 (150 %) up, else 0.
  static int ScaleOfDpi(unsigned dpi) { return dpi >= 144 ? 2 : 0; }

 private:
  IGraphics* graphics_ = nullptr;
  std::unique_ptr<Win32View> view_;
  int systemScale_ = -1;  // -1 until asked
  bool promptOpen_ = false;
  bool cursorHidden_ = false;
};
