#include "gui/IGraphics.h"

#include "framework/IParam.h"
#include "framework/IPlugBase.h"
#include "framework/ParamText.h"
#include "gui/IBitmapControl.h"
#include "gui/IControl.h"
#include "gui/IGraphicsPlatform.h"
#include "gui/IPopupMenu.h"
#include "gui/ITextControl.h"
#include "raster/LICE.h"

BitmapStorage IGraphics::s_bitmapCache;
FontStorage IGraphics::s_fontCache;

IGraphics::IGraphics(IPlugBase* plug, int width, int height, int fps,
                     std::unique_ptr<IGraphicsPlatform> platform)
    : plug_(plug),
      width_(width),
      height_(height),
      fps_(fps > 0 ? fps : kDefaultFPS),
      platform_(std::move(platform)) {
  platform_->Bind(this);
}

IGraphics::~IGraphics() {
  platform_->CloseWindow();
  while (!controls_.empty()) controls_.pop_back();
}

void IGraphics::PrepDraw() {
  drawBitmap_ = std::make_unique<LICE_SysBitmap>(width_, height_);
  scratchBitmap_ = std::make_unique<LICE_MemBitmap>();
}

void IGraphics::Resize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  ReleaseMouseCapture();
  mouseOver_ = -1;
  keyCatcher_ = nullptr;
  while (!controls_.empty()) controls_.pop_back();
  drawBitmap_.reset();
  scratchBitmap_.reset();
  PrepDraw();
  if (plug_) plug_->ResizeGraphics(width, height);
  platform_->WindowResized(width, height);
}

IBitmap IGraphics::LoadIBitmap(int id, const char* name, int nFrames, bool framesAreHorizontal) {
  LICE_IBitmap* image = s_bitmapCache.Find(id);
  if (!image) {
    // Decoded outside the cache's lock; a missing or broken resource is cached as an
    // empty image, so every later load of the id agrees.
    LICE_IBitmap* loaded = OSLoadBitmap(id, name);
    image = s_bitmapCache.Add(loaded ? loaded : new LICE_MemBitmap(0, 0), id);
  }
  return IBitmap(image, image->getWidth(), image->getHeight(), nFrames, framesAreHorizontal);
}

void IGraphics::AttachBackground(int id, const char* name) {
  IBitmap bitmap = LoadIBitmap(id, name, 1);
  auto background =
      std::make_unique<IBitmapControl>(plug_, 0, 0, -1, &bitmap, IChannelBlend::kBlendClobber);
  background->SetGUI(this);
  controls_.insert(controls_.begin(), std::move(background));
}

void IGraphics::AttachPanelBackground(const IColor* color) {
  auto panel = std::make_unique<IPanelControl>(plug_, IRECT(0, 0, width_, height_), color);
  panel->SetGUI(this);
  controls_.insert(controls_.begin(), std::move(panel));
}

int IGraphics::AttachControl(IControl* control) {
  control->SetGUI(this);
  controls_.emplace_back(control);
  return NControls() - 1;
}

void IGraphics::RetainBitmap(IBitmap* bitmap) {
  if (bitmap && bitmap->mData) s_bitmapCache.Add(bitmap->mData, -1);
}

void IGraphics::ReleaseBitmap(IBitmap* bitmap) {
  if (bitmap && bitmap->mData) s_bitmapCache.Remove(bitmap->mData);
}

IControl* IGraphics::GetControl(int controlIdx) const {
  return controlIdx >= 0 && controlIdx < NControls()
             ? controls_[static_cast<size_t>(controlIdx)].get()
             : nullptr;
}

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized) {
  if (!normalized && plug_)
    if (const IParam* param = plug_->GetParam(paramIdx)) value = param->GetNormalized(value);
  for (const auto& control : controls_) {
    if (control->ParamIdx() == paramIdx) control->SetValueFromPlug(value);
    const int auxIdx = control->AuxParamIdx(paramIdx);
    if (auxIdx >= 0) control->SetAuxParamValueFromPlug(auxIdx, value);
  }
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue) {
  if (IControl* control = GetControl(controlIdx)) control->SetValueFromPlug(normalizedValue);
}

void IGraphics::SetParameterFromGUI(int paramIdx, double normalizedValue) {
  for (const auto& control : controls_)
    if (control->ParamIdx() == paramIdx) control->SetValueFromUserInput(normalizedValue);
}

void IGraphics::HideControl(int paramIdx, bool hide) {
  for (const auto& control : controls_)
    if (control->ParamIdx() == paramIdx) control->Hide(hide);
}

void IGraphics::GrayOutControl(int paramIdx, bool gray) {
  for (const auto& control : controls_)
    if (control->ParamIdx() == paramIdx) control->GrayOut(gray);
}

void IGraphics::ClampControl(int paramIdx, double lo, double hi, bool normalized) {
  if (!normalized && plug_)
    if (const IParam* param = plug_->GetParam(paramIdx)) {
      lo = param->GetNormalized(lo);
      hi = param->GetNormalized(hi);
    }
  for (const auto& control : controls_)
    if (control->ParamIdx() == paramIdx) control->Clamp(lo, hi);
}

void IGraphics::SetAllControlsDirty() {
  for (const auto& control : controls_) control->SetDirty(false);
}

void IGraphics::AssignParamNameToolTips() {
  for (const auto& control : controls_)
    if (const IParam* param = control->GetParam()) control->SetTooltip(param->GetNameForHost());
}

void IGraphics::PromptUserInput(IControl* control, IParam* param, IRECT* r) {
  if (!control || !param || !r) return;
  const bool hasTexts = param->GetNDisplayTexts() > 0;
  char current[IParam::kMaxParamName * 2] = {};
  param->GetDisplayForHost(current, true);
  if (param->Type() == IParam::kTypeEnum || (param->Type() == IParam::kTypeBool && hasTexts)) {
    IPopupMenu menu;
    for (int i = 0; i < param->GetNDisplayTexts(); ++i) {
      const char* text = param->GetDisplayTextAtIdx(i);
      menu.AddItem(text)->SetChecked(std::string(text) == current);
    }
    if (CreateIPopupMenu(&menu, r))
      control->SetValueFromUserInput(param->GetNormalized(menu.GetChosenItemIdx()));
  } else {
    CreateTextEntry(control, control->GetText(), r, current, param);
  }
}

// The core's text path reads what the user typed; a text that names no value changes
// nothing.
void IGraphics::SetFromStringAfterPrompt(IControl* control, IParam* param, const char* text) {
  double value = 0.0;
  if (control && param && paramtext::toValue(*param, text, &value))
    control->SetValueFromUserInput(param->GetNormalized(value));
}

void IGraphics::OnGUIIdle() {
  if (plug_) plug_->OnIdle();
}

int IGraphics::GetParamIdxForPTAutomation(int x, int y) {
  const int controlIdx = GetMouseControlIdx(x, y);
  const IControl* control = controlIdx > 0 ? GetControl(controlIdx) : nullptr;
  lastClickedParam_ = control ? control->ParamIdx() : -1;
  return lastClickedParam_;
}

int IGraphics::GetLastClickedParamForPTAutomation() {
  const int paramIdx = lastClickedParam_;
  lastClickedParam_ = -1;
  return paramIdx;
}

const char* IGraphics::GetHoveredTooltip() const {
  const IControl* control = GetControl(mouseOver_);
  return control && !control->GetTooltip().empty() ? control->GetTooltip().c_str() : nullptr;
}

// Platform operations.

bool IGraphics::CanOpenWindow() const { return platform_->CanOpenWindow(); }
void* IGraphics::OpenWindow(void* parent) { return platform_->OpenWindow(parent); }
void IGraphics::CloseWindow() { platform_->CloseWindow(); }
void IGraphics::OnWindowIdle() { platform_->Idle(); }
int IGraphics::WindowEventFd() { return platform_->WindowEventFd(); }
bool IGraphics::OnHostKey(const IKeyPress& key, bool down) { return platform_->HostKey(key, down); }

int IGraphics::Scale() {
  if (hostScale_ > 0) return hostScale_;
  const int system = platform_->SystemScale();
  if (system > 0) return system;
  return preferredScale_ > 0 ? preferredScale_ : 1;
}

void IGraphics::SetHostScale(float factor) {
  const int before = Scale();
  // 1.5 and up (150 % desktops and more) get doubled pixels, as Xft.dpi 144 does.
  hostScale_ = factor >= 1.5f ? 2 : factor > 0.0f ? 1 : 0;
  if (Scale() != before) platform_->WindowResized(width_, height_);
}

void IGraphics::SetPreferredScale(int scale) {
  preferredScale_ = scale == 1 || scale == 2 ? scale : 0;
}
bool IGraphics::WindowIsOpen() { return platform_->WindowIsOpen(); }
void* IGraphics::GetWindow() { return platform_->GetWindow(); }
void IGraphics::ForceEndUserEdit() { platform_->ForceEndUserEdit(); }

int IGraphics::ShowMessageBox(const char* text, const char* caption, int type) {
  return platform_->ShowMessageBox(text ? text : "", caption ? caption : "", type);
}

IPopupMenu* IGraphics::CreateIPopupMenu(IPopupMenu* menu, IRECT* r) {
  ReleaseMouseCapture();
  if (!menu || !r || !WindowIsOpen()) return nullptr;
  return platform_->CreateIPopupMenu(menu, r);
}

void IGraphics::CreateTextEntry(IControl* control, IText* text, IRECT* r, const char* str,
                                IParam* param) {
  if (!control || !text || !r || !WindowIsOpen()) return;
  platform_->CreateTextEntry(control, text, r, str ? str : "", param);
}

void IGraphics::PromptForFile(const std::string& file, EFileAction action, const std::string& dir,
                              const char* extensions, FileChosenCallback done) {
  if (!done) done = [](const std::string&, const std::string&) {};
  if (!WindowIsOpen()) {
    done("", dir);
    return;
  }
  platform_->PromptForFile(file, action, dir.empty() ? "~/Desktop" : dir,
                           extensions ? extensions : "", std::move(done));
}

bool IGraphics::PromptForColor(IColor* color, const char* prompt) {
  return color && platform_->PromptForColor(color, prompt ? prompt : "");
}

bool IGraphics::OpenURL(const char* url, const char* windowTitle, const char* confirmText,
                        const char* errorText) {
  return url && platform_->OpenURL(url, windowTitle, confirmText, errorText);
}

void IGraphics::HostPath(std::string* path) { platform_->HostPath(path); }
void IGraphics::PluginPath(std::string* path) { platform_->PluginPath(path); }
void IGraphics::DesktopPath(std::string* path) { platform_->DesktopPath(path); }
void IGraphics::AppSupportPath(std::string* path, bool isSystem) {
  platform_->AppSupportPath(path, isSystem);
}
void IGraphics::SandboxSafeAppSupportPath(std::string* path) {
  platform_->SandboxSafeAppSupportPath(path);
}
void IGraphics::HideMouseCursor() { platform_->HideMouseCursor(); }
void IGraphics::ShowMouseCursor() { platform_->ShowMouseCursor(); }
void IGraphics::UpdateTooltips() {
  if (enableTooltips_) platform_->UpdateTooltips();
}

LICE_IBitmap* IGraphics::OSLoadBitmap(int id, const char* name) {
  return platform_->OSLoadBitmap(id, name ? name : "");
}
