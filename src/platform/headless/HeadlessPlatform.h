#pragma once

// A platform layer without a display. The editor draws into its raster in memory as
// usual; a test (or a program) drives the redraw timer with Tick(), answers every
// modal question from queues it fills beforehand, and reads back the record of every
// platform call with its arguments. Unscripted questions get a fixed answer: menus
// and file prompts are dismissed, text fields stay open, message boxes answer with
// their first button.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "gui/IGraphicsPlatform.h"
#include "gui/IGraphicsStructs.h"

class HeadlessPlatform : public IGraphicsPlatform {
 public:
  struct Call {
    std::string op;
    std::vector<std::string> args;
  };

  // Positions of the items to choose, one per menu level: {2} picks item 2, {3, 1}
  // picks item 1 of the submenu of item 3. Empty: the menu is dismissed.
  std::deque<std::vector<int>> menuAnswers;
  // nullopt: the field is left open (CommitTextEntry or ForceEndUserEdit end it).
  std::deque<std::optional<std::string>> textEntryAnswers;
  std::deque<int> messageBoxAnswers;
  // A full path chooses that file; nullopt cancels.
  std::deque<std::optional<std::string>> fileAnswers;

  // What the view reports; OpenWindow and CloseWindow set it too.
  bool windowOpen = false;
  bool canOpenWindow = false;
  int systemScale = 0;
  bool openURLResult = true;
  std::string hostPath, pluginPath, desktopPath, appSupportPath;

  std::vector<Call> calls;
  // Tooltip regions registered by the last UpdateTooltips.
  std::vector<std::pair<IRECT, std::string>> tooltips;

  // The number of recorded calls of op, and whether one had exactly these arguments.
  int Count(const std::string& op) const;
  bool Called(const std::string& op, const std::vector<std::string>& args) const;

  // One timer tick: when something is dirty, redraws it. True when it drew.
  bool Tick();
  // The open text field, if any, and ending it as Return would.
  bool TextEntryOpen() const { return textEntry_.control != nullptr; }
  void CommitTextEntry(const char* text);

  void Bind(IGraphics* graphics) override { graphics_ = graphics; }
  bool CanOpenWindow() const override { return canOpenWindow; }
  // Ticks the timer once.
  void Idle() override { Tick(); }
  bool HostKey(const IKeyPress&, bool) override { return false; }
  int SystemScale() override { return systemScale; }
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  bool WindowIsOpen() override { return windowOpen; }
  void* GetWindow() override { return windowOpen ? this : nullptr; }
  void WindowResized(int width, int height) override;
  void DrawScreen(const IRECT* r) override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, const IRECT* r) override;
  void CreateTextEntry(IControl* control, const IText* text, const IRECT* r, const char* str,
                       IParam* param) override;
  void ForceEndUserEdit() override;
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  // Answers at once from fileAnswers.
  void PromptForFile(const std::string& file, EFileAction action, const std::string& dir,
                     const char* extensions, FileChosenCallback done) override;
  bool PromptForColor(IColor*, const char*) override { return false; }
  bool OpenURL(const char* url, const char*, const char*, const char*) override;
  void HostPath(std::string* path) override { *path = hostPath; }
  void PluginPath(std::string* path) override { *path = pluginPath; }
  void DesktopPath(std::string* path) override { *path = desktopPath; }
  void AppSupportPath(std::string* path, bool) override { *path = appSupportPath; }
  void SandboxSafeAppSupportPath(std::string* path) override { *path = appSupportPath; }
  void HideMouseCursor() override { record("HideMouseCursor", {}); }
  void ShowMouseCursor() override { record("ShowMouseCursor", {}); }
  void UpdateTooltips() override;
  LICE_IBitmap* OSLoadBitmap(int id, const char* name) override;

 private:
  struct TextEntry {
    IControl* control = nullptr;
    IParam* param = nullptr;
  };
  void record(const char* op, std::vector<std::string> args);
  void endTextEntry(const std::string* text);

  IGraphics* graphics_ = nullptr;
  TextEntry textEntry_;
};
