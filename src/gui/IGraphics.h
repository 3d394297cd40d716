#pragma once

// The editor's graphics context. It owns the ordered list of controls (index 0 is
// the background; later controls draw over earlier ones and win hit tests), the
// editor-sized draw bitmap they draw into, and the platform layer that shows it.
// Values flow in from the plug-in through SetParameterFromPlug (any thread: only
// control values and flags are stored) and are drawn at the platform's next timer
// tick (IsDirty, then Draw); mouse, wheel and key events arrive from the platform,
// reach the control under the pointer, and user edits leave through the plug-in
// base's SetParameterFromGUI, framed by the host's begin/end edit gesture.
//
// Bitmaps and fonts live in process-wide caches shared by every editor, each with
// its own mutex: a bitmap id decides its image for the life of the process.
//
// Threads: the editor's (host's main) thread for everything except
// SetParameterFromPlug and SetControlFromPlug, which may also run on the audio
// thread and the host's automation thread. The control list must not change after
// the plug-in base attached the context.
#include <memory>
#include <string>
#include <vector>

#include "framework/IMessageBox.h"
#include "framework/IPlugGUI.h"
#include "gui/IGraphicsCaches.h"
#include "gui/IGraphicsStructs.h"

class IControl;
class IGraphicsPlatform;
class IParam;
class IPlugBase;
class IPopupMenu;

class IGraphics : public IPlugGUI, public IMessageBox {
 public:
  static constexpr int kDefaultFPS = 25;
  // Plug-in OnIdle runs on this many consecutive clean redraw checks.
  static constexpr int kIdleTicks = 21;
  // DrawIText flag: the text is not clipped to its rectangle.
  static constexpr unsigned kDrawTextNoClip = 256;

  // fps <= 0 gives 25 frames per second. The platform must not be null.
  IGraphics(IPlugBase* plug, int width, int height, int fps,
            std::unique_ptr<IGraphicsPlatform> platform);
  ~IGraphics() override;
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // --- set-up (IGraphics.cpp)
  void PrepDraw() override;
  // Deletes every control and remakes the drawing bitmaps at the new size; nothing
  // happens when the size is unchanged.
  void Resize(int width, int height);
  // From the bitmap cache, or decoded through the platform on first use of the id.
  // A resource that is missing or cannot be decoded gives an empty image that draws
  // nothing (W = H = 0), so rectangles and frame selection stay valid.
  IBitmap LoadIBitmap(int id, const char* name, int nFrames = 1, bool framesAreHorizontal = false);
  // Inserts a picture (copied opaquely) or a colour panel at index 0.
  void AttachBackground(int id, const char* name);
  void AttachPanelBackground(const IColor* color);
  // Takes ownership; returns the control's index.
  int AttachControl(IControl* control);
  void AttachKeyCatcher(IControl* control) { keyCatcher_ = control; }
  void RetainBitmap(IBitmap* bitmap);
  void ReleaseBitmap(IBitmap* bitmap);

  IControl* GetControl(int controlIdx) const;
  int NControls() const { return static_cast<int>(controls_.size()); }
  IPlugBase* GetPlug() const { return plug_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int FPS() const { return fps_; }
  void HandleMouseOver(bool handle) { handleMouseOver_ = handle; }
  void EnableTooltips(bool enable) { enableTooltips_ = enable; }
  bool TooltipsEnabled() const { return enableTooltips_; }
  void SetBundleID(const char* id) { bundleID_ = id ? id : ""; }
  const std::string& GetBundleID() const { return bundleID_; }
  // The editor-sized raster (null before PrepDraw) and the empty scratch bitmap.
  LICE_IBitmap* GetDrawBitmap() const { return drawBitmap_.get(); }
  LICE_IBitmap* GetScratchBitmap() const { return scratchBitmap_.get(); }
  IGraphicsPlatform* GetPlatform() const { return platform_.get(); }

  // --- parameters and controls (IGraphics.cpp)
  // Any thread: moves every control bound to (or following) the parameter.
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override;
  void SetControlFromPlug(int controlIdx, double normalizedValue);
  // Editor thread: as if the user had set every control bound to the parameter.
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray);
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);
  void SetAllControlsDirty() override;
  void AssignParamNameToolTips();
  // A popup menu of the display texts for enums and bools that have them, otherwise
  // a text field; the answer goes to the control as user input.
  void PromptUserInput(IControl* control, IParam* param, IRECT* r);
  void SetFromStringAfterPrompt(IControl* control, IParam* param, const char* text);
  void OnGUIIdle();
  int GetParamIdxForPTAutomation(int x, int y);
  int GetLastClickedParamForPTAutomation();
  // The tooltip of the hovered control, or null.
  const char* GetHoveredTooltip() const;

  // --- events and redraw (IGraphicsDispatch.cpp), from the platform's view
  void OnMouseDown(int x, int y, IMouseMod* mod);
  void OnMouseUp(int x, int y, IMouseMod* mod);
  void OnMouseDrag(int x, int y, IMouseMod* mod);
  void OnMouseDblClick(int x, int y, IMouseMod* mod);
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d);
  void OnMouseOver(int x, int y, IMouseMod* mod);
  void OnMouseOut();
  bool OnKeyDown(int x, int y, int key);
  // Grows r by the rectangle of every dirty control; true when there was one.
  // After kIdleTicks clean calls in a row, calls the plug-in's OnIdle.
  bool IsDirty(IRECT* r);
  // Draws the controls that meet r into the draw bitmap and copies r to the screen.
  void Draw(IRECT* r);
  void SetStrictDrawing(bool strict);
  void ReleaseMouseCapture();
  int GetMouseCapture() const { return mouseCapture_; }
  int GetMouseOver() const { return mouseOver_; }
  // The candidate under the point (or the captured control); -1 for none.
  int GetMouseControlIdx(int x, int y, bool mouseOver = false);

  // --- drawing (IGraphicsDraw.cpp), called by controls from Draw; clipped to the
  // rectangle being redrawn
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY,
                  const IChannelBlend* blend = nullptr);
  // Frames are numbered from 1.
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int frame = 1,
                  const IChannelBlend* blend = nullptr);
  bool FillIRect(const IColor* color, IRECT* r, const IChannelBlend* blend = nullptr);
  // False (nothing drawn) when the style's font cannot be made. With measure, r
  // receives the text's extent instead.
  bool DrawIText(IText* text, const char* str, IRECT* r, unsigned flags = kDrawTextNoClip,
                 bool measure = false);
  bool MeasureIText(IText* text, const char* str, IRECT* r) {
    return DrawIText(text, str, r, kDrawTextNoClip, true);
  }
  static RasterFont* CacheFont(IText* text);

  // --- the window, from the host adapter (IGraphics.cpp); editor thread
  bool CanOpenWindow() const override;
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  void OnWindowIdle() override;
  int WindowEventFd() override;
  bool OnHostKey(const IKeyPress& key, bool down) override;
  // The host's factor when it sent one (1.5 or more doubles), else the screen's
  // choice, else the user's, else 1.
  int Scale() override;
  void SetHostScale(float factor) override;
  void SetPreferredScale(int scale) override;

  // --- platform operations, forwarded to the platform layer (IGraphics.cpp)
  bool WindowIsOpen() override;
  void* GetWindow();
  void ForceEndUserEdit();
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  // Releases the mouse capture; null without an open window.
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* r);
  void CreateTextEntry(IControl* control, IText* text, IRECT* r, const char* str, IParam* param);
  // Returns at once; done gets the answer exactly once, later, on this thread (see
  // FileChosenCallback). Without an open window it is called at once with an empty
  // file. An empty starting folder becomes "~/Desktop".
  void PromptForFile(const std::string& file, EFileAction action, const std::string& dir,
                     const char* extensions, FileChosenCallback done);
  bool PromptForColor(IColor* color, const char* prompt);
  bool OpenURL(const char* url, const char* windowTitle = nullptr,
               const char* confirmText = nullptr, const char* errorText = nullptr);
  void HostPath(std::string* path);
  void PluginPath(std::string* path);
  void DesktopPath(std::string* path);
  void AppSupportPath(std::string* path, bool isSystem = false);
  void SandboxSafeAppSupportPath(std::string* path);
  void HideMouseCursor();
  void ShowMouseCursor();
  void UpdateTooltips();
  LICE_IBitmap* OSLoadBitmap(int id, const char* name);

  // Process-wide caches.
  static BitmapStorage s_bitmapCache;
  static FontStorage s_fontCache;

 private:
  void drawControl(IControl* control, const IRECT& region);
  void informHost(IControl* control, bool begin);

  std::vector<std::unique_ptr<IControl>> controls_;
  IPlugBase* plug_;
  std::unique_ptr<LICE_IBitmap> drawBitmap_;
  std::unique_ptr<LICE_IBitmap> scratchBitmap_;
  int width_;
  int height_;
  int fps_;
  int idleTicks_ = 0;
  int mouseCapture_ = -1;
  int mouseOver_ = -1;
  int mouseX_ = -1;
  int mouseY_ = -1;
  int lastClickedParam_ = -1;
  bool handleMouseOver_ = false;
  bool strictDrawing_ = true;
  bool enableTooltips_ = false;
  IRECT drawRect_;
  IControl* keyCatcher_ = nullptr;
  std::string bundleID_;
  int hostScale_ = 0;       // 0 until the host sends its factor
  int preferredScale_ = 0;  // 0 when the user chose none
  std::unique_ptr<IGraphicsPlatform> platform_;
};
