#pragma once

// The platform layer on X11: the editor's window inside the host's (X11View), popup
// menus, message boxes and the text field it runs, file prompts through the desktop's
// own file chooser (the desktop portal, or zenity or kdialog) polled from the host's
// idle calls, tooltips, folders, the web browser, and the screen's scale from the
// Xft.dpi resource.
#include <memory>
#include <string>
#include <vector>

#include "gui/IGraphicsPlatform.h"
#include "gui/IGraphicsStructs.h"
#include "platform/x11/FileDialogCommand.h"

class ChildProcess;
class PortalFileChooser;
class X11View;
class X11WindowOwner;

class X11Platform : public IGraphicsPlatform {
 public:
  X11Platform();
  ~X11Platform() override;

  // Tests: false keeps the view off MIT-SHM (plain put-image copies).
  void SetTrySharedMemory(bool tryIt) { trySharedMemory_ = tryIt; }
  X11View* View() const { return view_.get(); }
  // For a program that opens the editor as a top-level window of its own (OpenWindow
  // with a null parent): its title, WM_CLASS names, and the owner that hears of the
  // close button and of the keys the editor leaves. Editor thread, before OpenWindow.
  void SetTopLevel(X11WindowOwner* owner, const std::string& title, const std::string& instance,
                   const std::string& className);

  void Bind(IGraphics* graphics) override { graphics_ = graphics; }
  bool CanOpenWindow() const override { return true; }
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  bool WindowIsOpen() override { return view_ != nullptr; }
  void* GetWindow() override;
  void WindowResized(int width, int height) override;
  void Idle() override;
  int WindowEventFd() override;
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

  // Xft.dpi of a RESOURCE_MANAGER text; 0 when it has none.
  static double ResourceDpi(const std::string& resources);

 private:
  struct FilePrompt {
    FilePromptRequest request;
    std::unique_ptr<PortalFileChooser> portal;
    std::unique_ptr<ChildProcess> child;
    FileChosenCallback done;
    ~FilePrompt();
  };
  // The portal when the session offers one, else a dialog program; false (after a
  // message box saying so) when there is neither.
  bool startDialog(FilePrompt* prompt, bool tryPortal);
  void pollFilePrompt();
  void finishFilePrompt(const std::string& file);

  IGraphics* graphics_ = nullptr;
  std::unique_ptr<X11View> view_;
  bool trySharedMemory_ = true;
  int systemScale_ = -1;  // -1 until asked
  std::unique_ptr<FilePrompt> filePrompt_;
  uint32_t hiddenCursor_ = 0;
  X11WindowOwner* owner_ = nullptr;
  std::string title_ = "ZORQ";
  std::string instance_, className_;
};
