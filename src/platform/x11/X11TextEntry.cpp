#include "platform/x11/X11TextEntry.h"

#include <algorithm>
#include <string>

#include "framework/IParam.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "platform/x11/TextField.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11EditorWindow.h"
#include "platform/x11/X11Owned.h"
#include "raster/LICE.h"
#include "raster/RasterFont.h"

namespace {
// The characters a text field accepts for its parameter's type.
const char* allowedCharacters(const IParam* param) {
  if (!param) return "";
  return param->Type() == IParam::kTypeDouble ? "0123456789.-+" : "0123456789-+";
}
}  // namespace

X11TextEntry::X11TextEntry(IGraphics* graphics, X11Connection* connection, X11EditorWindow* window)
    : graphics_(graphics),
      connection_(connection),
      window_(window),
      clipboard_(connection, window->Window()) {}

X11TextEntry::~X11TextEntry() = default;

void X11TextEntry::Open(IControl* control, const IText* style, const IRECT& r, const char* text,
                        IParam* param) {
  if (field_ || !control || !style) return;
  const IRECT rect = r.Intersect(IRECT(0, 0, graphics_->Width(), graphics_->Height()));
  if (rect.Empty() || rect.W() <= 0 || rect.H() <= 0) return;
  style_ = *style;
  control_ = control;
  param_ = param;
  rect_ = rect;
  field_ = std::make_unique<TextField>(text ? text : "", allowedCharacters(param),
                                       param ? control->GetTextEntryLength() : 0);
  // The style's face at 0.9 times its size (truncated).
  const int size = std::max(int(style->mSize * 0.9), 1);
  font_ = RasterFont::Create({style->mFont, size, style->mStyle == IText::kStyleBold,
                              style->mStyle == IText::kStyleItalic, 0, 4});
  picture_.resize(rect.W(), rect.H());
  showCaret();
  takeFocus();
}

void X11TextEntry::End(bool apply) {
  if (!field_) return;
  const std::string text = field_->Text();
  IControl* control = control_;
  IParam* param = param_;
  field_.reset();
  font_.reset();
  selecting_ = false;
  window_->Invalidate(rect_);
  returnFocus();
  if (!apply) return;
  if (param)
    graphics_->SetFromStringAfterPrompt(control, param, text.c_str());
  else
    control->TextFromTextEntry(text.c_str());
}

void X11TextEntry::Key(const IKeyPress& key) {
  if (!field_) return;
  if (key.control && (key.character == 'v' || key.character == 'V')) {
    clipboard_.Request();
    return;
  }
  switch (field_->Key(key)) {
    case TextField::kApply: End(true); return;
    case TextField::kCancel: End(false); return;
    case TextField::kEdited: showCaret(); return;
    case TextField::kNone: return;
  }
}

bool X11TextEntry::Button(int x, int y, bool right, bool press, bool shift) {
  if (!field_) return false;
  if (rect_.Contains(x, y) && !right) {
    if (press) {
      takeFocus();
      field_->ClickAt(x - rect_.L, shift, font_.get(), rect_.W(), style_.mAlign);
      window_->Invalidate(rect_);
    }
    selecting_ = press;
    return true;
  }
  if (selecting_ && !press) {
    selecting_ = false;
    return true;
  }
  // A click elsewhere ends the edit as focus loss does, then acts as usual.
  if (press) End(true);
  return false;
}

void X11TextEntry::Drag(int x) {
  if (!field_ || !selecting_) return;
  field_->ClickAt(x - rect_.L, true, font_.get(), rect_.W(), style_.mAlign);
  window_->Invalidate(rect_);
}

bool X11TextEntry::HandleEvent(const xcb_generic_event_t* event) {
  std::string pasted;
  if (clipboard_.HandleEvent(event, &pasted)) {
    // The field may have closed, or another opened, since the paste was asked for.
    if (field_ && field_->InsertText(pasted)) showCaret();
    return true;
  }
  if ((event->response_type & 0x7f) != XCB_FOCUS_OUT) return false;
  // Focus taken by another window while the field edits: the text applies.
  const auto* focus = reinterpret_cast<const xcb_focus_out_event_t*>(event);
  if (focus->event == window_->Window() && field_ && tookFocus_ &&
      focus->mode == XCB_NOTIFY_MODE_NORMAL && focus->detail != XCB_NOTIFY_DETAIL_INFERIOR &&
      focus->detail != XCB_NOTIFY_DETAIL_POINTER) {
    tookFocus_ = false;
    End(true);
  }
  return true;
}

void X11TextEntry::Tick(Clock::time_point now) {
  if (!field_ || now < nextBlink_) return;
  caretOn_ = !caretOn_;
  nextBlink_ = now + std::chrono::milliseconds(kCaretBlinkMs);
  window_->Invalidate(rect_);
}

void X11TextEntry::Compose(LICE_IBitmap* screen) {
  if (!field_) return;
  field_->Draw(&picture_, font_.get(), style_, caretOn_);
  LICE_Blit(screen, &picture_, rect_.L, rect_.T, 0, 0, rect_.W(), rect_.H(), 1.0f,
            LICE_BLIT_MODE_COPY);
}

// The caret shows at once after an edit and blinks from then on.
void X11TextEntry::showCaret() {
  caretOn_ = true;
  nextBlink_ = Clock::now() + std::chrono::milliseconds(kCaretBlinkMs);
  window_->Invalidate(rect_);
}

void X11TextEntry::takeFocus() {
  if (tookFocus_ || window_->Destroyed()) return;
  xcb_connection_t* c = connection_->Get();
  const X11Owned<xcb_get_input_focus_reply_t> focus(
      xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  previousFocus_ = focus ? focus->focus : 0;
  if (previousFocus_ == window_->Window()) return;
  xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window_->Window(), XCB_CURRENT_TIME);
  tookFocus_ = true;
}

void X11TextEntry::returnFocus() {
  if (!tookFocus_) return;
  tookFocus_ = false;
  if (window_->Destroyed()) return;
  xcb_connection_t* c = connection_->Get();
  const X11Owned<xcb_get_input_focus_reply_t> focus(
      xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  if (focus && focus->focus == window_->Window())
    xcb_set_input_focus(
        c, XCB_INPUT_FOCUS_PARENT,
        previousFocus_ > XCB_INPUT_FOCUS_POINTER_ROOT ? previousFocus_ : window_->Parent(),
        XCB_CURRENT_TIME);
}
