// The editor's opcodes: its rectangle, opening, closing and idling its window, keys
// the host forwards, and the host's scale factor. They run on the host's editor thread
// without holding the plug-in mutex: menus and message boxes keep effEditIdle busy
// while the user answers, and the audio thread must not wait for that. The instrument
// takes the mutex itself where the editor changes it.
#include <cstdint>

#include "formats/vst2/IPlugVST.h"

namespace {
IKeyPress::ENamedKey namedKey(VstIntPtr virtualKey) {
  switch (virtualKey) {
    case VKEY_BACK: return IKeyPress::kBackspace;
    case VKEY_TAB: return IKeyPress::kTab;
    case VKEY_RETURN:
    case VKEY_ENTER: return IKeyPress::kReturn;
    case VKEY_ESCAPE: return IKeyPress::kEscape;
    case VKEY_END: return IKeyPress::kEnd;
    case VKEY_HOME: return IKeyPress::kHome;
    case VKEY_LEFT: return IKeyPress::kLeft;
    case VKEY_UP: return IKeyPress::kUp;
    case VKEY_RIGHT: return IKeyPress::kRight;
    case VKEY_DOWN: return IKeyPress::kDown;
    case VKEY_PAGEUP: return IKeyPress::kPageUp;
    case VKEY_PAGEDOWN: return IKeyPress::kPageDown;
    case VKEY_DELETE: return IKeyPress::kDelete;
    default:
      return virtualKey >= VKEY_F1 && virtualKey < VKEY_F1 + 12 ? IKeyPress::kOtherKey
                                                                : IKeyPress::kNoNamedKey;
  }
}

// index carries the character; the numeric keypad and space arrive as virtual keys.
IKeyPress hostKey(VstInt32 index, VstIntPtr value, float opt) {
  IKeyPress key;
  key.key = namedKey(value);
  if (value == VKEY_SPACE)
    key.character = ' ';
  else if (value >= VKEY_NUMPAD0 && value < VKEY_NUMPAD0 + 10)
    key.character = uint32_t('0' + (value - VKEY_NUMPAD0));
  else if (key.key == IKeyPress::kNoNamedKey && index > 0 && index < 0x110000)
    key.character = uint32_t(index);
  const int modifiers = int(opt);
  key.shift = modifiers & MODIFIER_SHIFT;
  key.alt = modifiers & MODIFIER_ALTERNATE;
  key.control = modifiers & (MODIFIER_COMMAND | MODIFIER_CONTROL);
  return key;
}
}  // namespace

bool IPlugVST::isEditorCall(VstInt32 opcode, VstInt32 index, VstIntPtr value) {
  switch (opcode) {
    case effEditGetRect:
    case effEditOpen:
    case effEditClose:
    case effEditIdle:
    case effEditKeyDown:
    case effEditKeyUp: return true;
    case effVendorSpecific: return index == kVstScaleVendorIndex && value == kVstScaleVendorValue;
    default: return false;
  }
}

bool IPlugVST::refreshEditorRect() {
  IPlugGUI* gui = plug_->GetGUI();
  if (!gui) return false;
  const int scale = gui->Scale();
  const ERect rect{0, 0, int16_t(gui->Height() * scale), int16_t(gui->Width() * scale)};
  const bool changed = rect.bottom != editorRect_.bottom || rect.right != editorRect_.right;
  editorRect_ = rect;
  return changed;
}

void IPlugVST::ResizeGraphics(int, int) {
  if (refreshEditorRect() && plug_->GetGUI()->WindowIsOpen())
    hostCall(audioMasterSizeWindow, editorRect_.right, editorRect_.bottom);
}

VstIntPtr IPlugVST::dispatchEditor(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
  IPlugGUI* gui = plug_->GetGUI();
  switch (opcode) {
    case effEditGetRect:
      if (!ptr || !gui) return 0;
      refreshEditorRect();
      *static_cast<ERect**>(ptr) = &editorRect_;
      return 1;
    case effEditOpen: {
      if (!gui) return 0;
      refreshEditorRect();
      // ptr is the host's window; a Display pointer some hosts pass in value is not
      // used: the editor opens its own connection on this thread.
      if (!gui->OpenWindow(ptr)) return 0;
      IMutexLock lock(plug_->Mutex());
      plug_->OnGUIOpen();
      return 1;
    }
    case effEditClose:
      if (!gui) return 0;
      {
        IMutexLock lock(plug_->Mutex());
        plug_->OnGUIClose();
      }
      gui->CloseWindow();
      return 1;
    case effEditIdle: {
      IMutexLock lock(plug_->Mutex());
      plug_->OnIdle();
    }
      if (gui) gui->OnWindowIdle();
      return 0;
    case effEditKeyDown:
    case effEditKeyUp:
      return gui && gui->OnHostKey(hostKey(index, value, opt), opcode == effEditKeyDown) ? 1 : 0;
    case effVendorSpecific:
      if (!gui) return 0;
      gui->SetHostScale(opt);
      ResizeGraphics(gui->Width(), gui->Height());
      return 1;
    default: return 0;
  }
}
