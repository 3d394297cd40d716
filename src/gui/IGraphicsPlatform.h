#pragma once

// What the graphics context needs from a window system: a view with a redraw timer
// that calls IGraphics::IsDirty and IGraphics::Draw, copying the raster to the
// screen, popup menus, an in-place text field, message boxes, file prompts, folders,
// the pointer, tooltips and bitmap resources. The graphics context
// owns one implementation and forwards its platform operations to it. The interface
// belongs to the graphics context that uses it and includes no window-system header;
// the implementations live in src/platform (platform/headless for tests and tools,
// platform/x11 for the plug-in's window), and only the program that builds an editor
// chooses one.
//
// Every operation runs on the editor's (host's main) thread. Menus and message boxes
// are modal: they return when the user has answered. File prompts are not: the host's
// window must stay alive while a dialog is open, so the answer arrives later through
// a callback.
#include <string>

#include "gui/IGraphicsStructs.h"

struct IKeyPress;
class IControl;
class IGraphics;
class IParam;
class IPopupMenu;
class LICE_IBitmap;

class IGraphicsPlatform {
 public:
  virtual ~IGraphicsPlatform() = default;

  // The graphics context that owns this platform; called once, from its constructor.
  virtual void Bind(IGraphics* graphics) = 0;

  // Whether this layer can show a view in a host's window at all.
  virtual bool CanOpenWindow() const = 0;
  // The view: created inside the host's parent window (null parent: a free view),
  // closed, queried. While the view exists its timer runs every 1 / fps seconds,
  // driven by Idle. Its size is the editor's times IGraphics::Scale().
  virtual void* OpenWindow(void* parent) = 0;
  virtual void CloseWindow() = 0;
  virtual bool WindowIsOpen() = 0;
  virtual void* GetWindow() = 0;
  // The editor changed size or scale; an open view follows.
  virtual void WindowResized(int width, int height) = 0;
  // The host's idle call: runs the redraw timer when it is due (IsDirty, Draw),
  // handles the window system's events, continues file prompts.
  virtual void Idle() = 0;
  // A key the host forwards (down or up); true when an open text field took it.
  virtual bool HostKey(const IKeyPress& key, bool down) = 0;
  // 2 when the screen asks for doubled pixels, 0 when it does not say.
  virtual int SystemScale() = 0;

  // Copies the region r of the graphics context's draw bitmap to the screen.
  virtual void DrawScreen(const IRECT* r) = 0;

  // Shows the menu with its top-left corner at (r->L, r->B); returns the (sub)menu
  // holding the chosen item (its chosen index set), or null when nothing was chosen.
  // Called only while the view exists.
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, const IRECT* r) = 0;
  // Opens a text field over r holding str. When editing ends the text goes to
  // IGraphics::SetFromStringAfterPrompt (with a parameter) or to
  // control->TextFromTextEntry (without one). Ignored while a field is open; called
  // only while the view exists.
  virtual void CreateTextEntry(IControl* control, const IText* text, const IRECT* r,
                               const char* str, IParam* param) = 0;
  // Closes an open text field without applying its text.
  virtual void ForceEndUserEdit() = 0;
  // Type 0 OK, 1 OK/Cancel, 3 Yes/No/Cancel, 4 Yes/No; returns 1 OK, 2 Cancel,
  // 6 Yes, 7 No, 0 for anything else.
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  // Open or save prompt starting in dir, suggesting file, limited to the
  // space-separated extensions. Returns at once; done is called exactly once, from
  // this thread, when the user has answered (or with an empty file when the view
  // closes first). Called only while the view exists, with dir not empty.
  virtual void PromptForFile(const std::string& file, EFileAction action, const std::string& dir,
                             const char* extensions, FileChosenCallback done) = 0;
  virtual bool PromptForColor(IColor* color, const char* prompt) = 0;
  virtual bool OpenURL(const char* url, const char* windowTitle, const char* confirmText,
                       const char* errorText) = 0;

  // Folders; PluginPath ends with "/".
  virtual void HostPath(std::string* path) = 0;
  virtual void PluginPath(std::string* path) = 0;
  virtual void DesktopPath(std::string* path) = 0;
  virtual void AppSupportPath(std::string* path, bool isSystem) = 0;
  virtual void SandboxSafeAppSupportPath(std::string* path) = 0;

  virtual void HideMouseCursor() = 0;
  virtual void ShowMouseCursor() = 0;
  // Registers a tooltip region over the target rectangle of every visible control.
  virtual void UpdateTooltips() = 0;

  // Decodes the PNG resource named by the base name of `name` ("resources/img/knob.png"
  // is "knob"); names without a ".png" extension (any letter case) are refused.
  // Returns a new bitmap the caller owns, or null.
  virtual LICE_IBitmap* OSLoadBitmap(int id, const char* name) = 0;
};
