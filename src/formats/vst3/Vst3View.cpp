#include "formats/vst3/Vst3View.h"

#include <cstring>

#include "formats/vst3/IPlugVST3.h"
#include "framework/IPlugGUI.h"

Vst3View::Vst3View(IPlugVST3& owner) : owner_(owner) { owner_.addRef(); }

Vst3View::~Vst3View() {
  removed();
  setFrame(nullptr);
  owner_.ViewClosed(this);
  owner_.release();
}

vst3::tresult Vst3View::queryInterface(const vst3::TUID interfaceId, void** obj) {
  if (!obj) return vst3::kInvalidArgument;
  *obj = nullptr;
  if (interfaceId && (vst3::sameUid(interfaceId, vst3::FUnknown::iid.bytes) ||
                      vst3::sameUid(interfaceId, vst3::IPlugView::iid.bytes)))
    *obj = static_cast<vst3::IPlugView*>(this);
  else if (interfaceId && vst3::sameUid(interfaceId, vst3::IPlugViewContentScaleSupport::iid.bytes))
    *obj = static_cast<vst3::IPlugViewContentScaleSupport*>(this);
  if (!*obj) return vst3::kNoInterface;
  addRef();
  return vst3::kResultOk;
}

vst3::uint32 Vst3View::release() {
  const vst3::uint32 left = --references_;
  if (left == 0) delete this;
  return left;
}

IPlugGUI* Vst3View::gui() const { return owner_.Plug()->GetGUI(); }

vst3::tresult Vst3View::isPlatformTypeSupported(vst3::FIDString type) {
  return type && !std::strcmp(type, kWindowType) ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult Vst3View::attached(void* parent, vst3::FIDString type) {
  IPlugGUI* editor = gui();
  if (open_ || !editor || !parent || isPlatformTypeSupported(type) != vst3::kResultTrue)
    return vst3::kResultFalse;
#if defined(__linux__)
  vst3::linux_ui::IRunLoop* loop = Vst3RunLoop::offeredBy(frame_);
  if (!loop) return vst3::kResultFalse;
#endif
  if (!editor->OpenWindow(parent)) return vst3::kResultFalse;
  {
    IMutexLock lock(owner_.Plug()->Mutex());
    owner_.Plug()->OnGUIOpen();
  }
  open_ = true;
#if defined(__linux__)
  const bool ticking = runLoop_.start(loop, editor->WindowEventFd(), [this] { tick(); });
#else
  const bool ticking = timer_.Start(unsigned(Vst3RunLoop::kTimerMs), [this] { tick(); });
#endif
  if (!ticking) {
    removed();
    return vst3::kResultFalse;
  }
  return vst3::kResultOk;
}

vst3::tresult Vst3View::removed() {
  if (!open_) return vst3::kResultFalse;
  runLoop_.stop();
  timer_.Stop();
  {
    IMutexLock lock(owner_.Plug()->Mutex());
    owner_.Plug()->OnGUIClose();
  }
  if (IPlugGUI* editor = gui()) editor->CloseWindow();
  open_ = false;
  owner_.FlushToHost();
  return vst3::kResultOk;
}

// A connection that is lost (or a window the host destroyed) would keep its
// descriptor readable: the host stops watching it.
void Vst3View::tick() {
  if (!open_) return;
  owner_.Plug()->OnIdle();
  IPlugGUI* editor = gui();
  if (editor) editor->OnWindowIdle();
  if (runLoop_.watchedFd() >= 0 && (!editor || editor->WindowEventFd() != runLoop_.watchedFd()))
    runLoop_.stopWatchingFd();
  owner_.FlushToHost();
}

// Only a character the editor's open text field takes is used; the host keeps the rest.
vst3::tresult Vst3View::key(vst3::char16 character, bool down) {
  IPlugGUI* editor = gui();
  if (!open_ || !editor || character == 0) return vst3::kResultFalse;
  IKeyPress press;
  press.character = character;
  return editor->OnHostKey(press, down) ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult Vst3View::onKeyDown(vst3::char16 character, vst3::int16, vst3::int16) {
  return key(character, true);
}

vst3::tresult Vst3View::onKeyUp(vst3::char16 character, vst3::int16, vst3::int16) {
  return key(character, false);
}

vst3::ViewRect Vst3View::size() const {
  IPlugGUI* editor = gui();
  const int scale = editor ? editor->Scale() : 1;
  return vst3::ViewRect{0, 0, editor ? editor->Width() * scale : 0,
                        editor ? editor->Height() * scale : 0};
}

vst3::tresult Vst3View::getSize(vst3::ViewRect* rect) {
  if (!rect) return vst3::kInvalidArgument;
  *rect = size();
  return vst3::kResultOk;
}

vst3::tresult Vst3View::checkSizeConstraint(vst3::ViewRect* rect) {
  if (!rect) return vst3::kInvalidArgument;
  const vst3::ViewRect fixed = size();
  rect->right = rect->left + fixed.right;
  rect->bottom = rect->top + fixed.bottom;
  return vst3::kResultTrue;
}

vst3::tresult Vst3View::setFrame(vst3::IPlugFrame* frame) {
  if (frame) frame->addRef();
  if (frame_) frame_->release();
  frame_ = frame;
  return vst3::kResultOk;
}

vst3::tresult Vst3View::setContentScaleFactor(float factor) {
  IPlugGUI* editor = gui();
  if (!editor || !(factor > 0.0f)) return vst3::kResultFalse;
  editor->SetHostScale(factor);
  editorResized();
  return vst3::kResultTrue;
}

void Vst3View::editorResized() {
  vst3::ViewRect rect = size();
  if (frame_ && open_) frame_->resizeView(this, &rect);
}
