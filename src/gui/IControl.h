#pragma once

// The base of every editor element: a rectangle that draws itself into the graphics
// context, reacts to the mouse and, when bound to a parameter (index 0 or more),
// keeps a normalised value in step with it. User edits leave through SetDirty(true),
// which hands the value to the plug-in base; values come in through
// SetValueFromPlug.
//
// Threads: everything runs on the editor's thread, except SetValueFromPlug and
// SetAuxParamValueFromPlug, which the host's automation thread and the audio thread
// (learned MIDI controllers) reach through IGraphics::SetParameterFromPlug. The
// value, the default, the clamp range and the dirty, pending, hidden and grayed
// flags are therefore relaxed atomics: those threads only store them, the editor's
// timer picks them up.
#include <atomic>
#include <string>
#include <vector>

#include "gui/IGraphicsStructs.h"

class IGraphics;
class IPlugBase;
class IParam;
class ITextControl;

class IControl {
 public:
  static constexpr int kDefaultTextEntryLength = 7;

  IControl(IPlugBase* plug, IRECT rect, int paramIdx = -1,
           IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
  virtual ~IControl();
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // Mouse, wheel and keys; editor thread.
  virtual void OnMouseDown(int x, int y, IMouseMod* mod);
  virtual void OnMouseUp(int, int, IMouseMod*) {}
  virtual void OnMouseDrag(int, int, int, int, IMouseMod*) {}
  virtual void OnMouseDblClick(int x, int y, IMouseMod* mod);
  virtual void OnMouseWheel(int, int, IMouseMod*, int) {}
  virtual bool OnKeyDown(int, int, int) { return false; }
  virtual void OnMouseOver(int, int, IMouseMod*) {}
  virtual void OnMouseOut() {}

  // Draws into the graphics context's raster; editor thread.
  virtual bool Draw(IGraphics* graphics) = 0;

  // Any thread (see above): stores the value, the first one as the default.
  virtual void SetValueFromPlug(double value);
  // Editor thread: the user's value, handed on to the parameter.
  virtual void SetValueFromUserInput(double value);
  virtual void TextFromTextEntry(const char*) {}

  virtual void Hide(bool hide);
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y);
  // Clamps the value and marks the control for redrawing; with pushToPlug, hands the
  // value to the bound parameter and updates the value and name displays.
  virtual void SetDirty(bool pushToPlug = true);
  virtual void SetClean();
  virtual bool IsDirty();
  virtual void OnGUIIdle() {}
  // Any thread (see above).
  virtual void SetAuxParamValueFromPlug(int auxParamIdx, double value);

  // Opens a popup menu (parameters with display texts) or a text field for the bound
  // parameter, over r or a 40 x 16 rectangle centred on the control.
  void PromptUserInput();
  void PromptUserInput(IRECT* r);

  struct AuxParam {
    std::atomic<double> mValue{0.0};
    int mParamIdx = -1;
    explicit AuxParam(int paramIdx) : mParamIdx(paramIdx) {}
    AuxParam(const AuxParam& other) : mValue(other.mValue.load()), mParamIdx(other.mParamIdx) {}
  };
  // Editor construction only: the list must not grow while other threads read it.
  void AddAuxParam(int paramIdx);
  AuxParam* GetAuxParam(int i);
  int AuxParamIdx(int paramIdx) const;
  int NAuxParams() const { return static_cast<int>(auxParams_.size()); }
  void SetAllAuxParamsFromGUI();

  IPlugBase* GetPlug() const { return plug_; }
  // The graphics context the control is attached to, or null before that.
  IGraphics* GetGUI() const { return graphics_; }
  void SetGUI(IGraphics* graphics) { graphics_ = graphics; }
  // The bound parameter, or null when the index names none.
  IParam* GetParam() const;
  int ParamIdx() const { return paramIdx_; }
  const IRECT& GetRECT() const { return rect_; }
  const IRECT& GetTargetRECT() const { return targetRect_; }
  void SetTargetArea(IRECT r) { targetRect_ = r; }
  double GetValue() const { return value_.load(std::memory_order_relaxed); }
  double GetDefaultValue() const { return defaultValue_.load(std::memory_order_relaxed); }
  void SetDefaultValue(double value) { defaultValue_.store(value, std::memory_order_relaxed); }
  void Clamp(double lo, double hi);
  bool IsHidden() const { return hidden_.load(std::memory_order_relaxed); }
  bool IsGrayed() const { return grayed_.load(std::memory_order_relaxed); }
  bool GetMOWhenGrayed() const { return mouseOverWhenGrayed_; }
  void SetMOWhenGrayed(bool allow) { mouseOverWhenGrayed_ = allow; }
  bool GetDblAsSingleClick() const { return dblAsSingleClick_; }
  void SetDblAsSingleClick(bool single) { dblAsSingleClick_ = single; }
  void DisablePrompt(bool disable) { promptDisabled_ = disable; }
  int GetTextEntryLength() const { return textEntryLength_; }
  void SetTextEntryLength(int length) { textEntryLength_ = length; }
  IText* GetText() { return &text_; }
  void SetText(const IText& text) { text_ = text; }
  const IChannelBlend& GetBlend() const { return blend_; }
  void SetValueDisplayControl(ITextControl* control) { valueDisplayControl_ = control; }
  void SetNameDisplayControl(ITextControl* control) { nameDisplayControl_ = control; }
  const std::string& GetTooltip() const { return tooltip_; }
  void SetTooltip(const char* tooltip) { tooltip_ = tooltip ? tooltip : ""; }

 protected:
  void setValue(double value) { value_.store(value, std::memory_order_relaxed); }
  void setRedrawPending() { redrawPending_.store(true, std::memory_order_relaxed); }

  int textEntryLength_ = kDefaultTextEntryLength;
  IText text_;
  IPlugBase* plug_;
  IGraphics* graphics_ = nullptr;
  IRECT rect_;
  IRECT targetRect_;
  int paramIdx_;
  std::vector<AuxParam> auxParams_;
  IChannelBlend blend_;

 private:
  std::atomic<double> value_{0.0};
  std::atomic<double> defaultValue_{-1.0};
  std::atomic<double> clampLo_{0.0};
  std::atomic<double> clampHi_{1.0};
  std::atomic<bool> dirty_{true};
  std::atomic<bool> hidden_{false};
  std::atomic<bool> grayed_{false};
  std::atomic<bool> redrawPending_{false};
  bool promptDisabled_ = true;
  bool dblAsSingleClick_ = false;
  bool mouseOverWhenGrayed_ = false;
  ITextControl* valueDisplayControl_ = nullptr;
  ITextControl* nameDisplayControl_ = nullptr;
  std::string tooltip_;
};
