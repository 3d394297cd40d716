#include "platform/x11/X11View.h"

#include <algorithm>

#include "gui/IGraphics.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11EditorWindow.h"
#include "platform/x11/X11EventPump.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11TextEntry.h"
#include "platform/x11/X11Tooltips.h"
#include "platform/x11/X11WindowOwner.h"

namespace {
// Longest sleep of a modal loop between two looks at its state.
constexpr auto kModalWait = std::chrono::milliseconds(100);
}  // namespace

std::unique_ptr<X11View> X11View::Create(IGraphics* graphics, xcb_window_t parent, int scale,
                                         bool trySharedMemory) {
  std::unique_ptr<X11Connection> connection = X11Connection::Open();
  if (!connection || !graphics) return nullptr;
  std::unique_ptr<X11View> view(new X11View(graphics, std::move(connection), scale));
  view->window_ = X11EditorWindow::Create(view->connection_.get(), parent, graphics->Width(),
                                          graphics->Height(), scale, trySharedMemory);
  if (!view->window_) return nullptr;
  X11Connection* c = view->connection_.get();
  view->keyboard_ = std::make_unique<X11Keyboard>(c);
  view->textEntry_ = std::make_unique<X11TextEntry>(graphics, c, view->window_.get());
  view->tooltips_ =
      std::make_unique<X11Tooltips>(c, view->window_->Window(), view->window_->Root());
  view->nextTick_ = Clock::now();
  return view;
}

X11View::X11View(IGraphics* graphics, std::unique_ptr<X11Connection> connection, int scale)
    : graphics_(graphics),
      connection_(std::move(connection)),
      pump_(std::make_unique<X11EventPump>(connection_.get())),
      fonts_(std::make_unique<PlatformFonts>(scale)),
      period_(std::chrono::microseconds(1000000 / std::max(graphics->FPS(), 1))) {}

X11View::~X11View() {
  // The field gives the focus back while the window still exists; the window goes
  // before its connection.
  if (textEntry_) textEntry_->End(false);
  tooltips_.reset();
  textEntry_.reset();
  window_.reset();
}

xcb_window_t X11View::Window() const { return window_->Window(); }
xcb_window_t X11View::Root() const { return window_->Root(); }
int X11View::Scale() const { return window_->Scale(); }
bool X11View::UsesSharedMemory() const { return window_->UsesSharedMemory(); }
bool X11View::Destroyed() const { return window_->Destroyed(); }

void X11View::Invalidate(const IRECT& r) { window_->Invalidate(r); }

void X11View::SetTooltipRegions(std::vector<IRECT> regions) {
  tooltips_->SetRegions(std::move(regions));
}

void X11View::SetTitle(const std::string& title) { window_->SetTitle(title); }

void X11View::SetClass(const std::string& instance, const std::string& className) {
  window_->SetClass(instance, className);
}

void X11View::Resize(int width, int height, int scale) {
  if (Destroyed()) return;
  fonts_ = std::make_unique<PlatformFonts>(scale);
  tooltips_->Hide();
  textEntry_->End(false);
  // A copy in flight must complete before its segment goes.
  while (window_->CopyInFlight() && !connection_->Broken() && !Destroyed()) {
    pump_->DispatchPending([this](const xcb_generic_event_t* event) { handleEvent(event); },
                           [this] { return !window_->CopyInFlight(); });
    if (window_->CopyInFlight()) pump_->WaitForInput(kModalWait);
  }
  window_->Resize(width, height, scale);
}

void X11View::Idle() {
  if (!connection_ || connection_->Broken()) return;
  pump_->DispatchPending([this](const xcb_generic_event_t* event) { handleEvent(event); });
  const Clock::time_point now = Clock::now();
  tickIfDue(now);
  if (!inModal_ && !buttonHeld_ && !textEntry_->IsOpen() && !Destroyed())
    tooltips_->Update(now, mouseX_, mouseY_, graphics_->GetHoveredTooltip(), fonts_.get(), Scale());
  xcb_flush(connection_->Get());
  if (!inModal_ && window_->TakeCloseRequest() && owner_) owner_->CloseRequested();
}

void X11View::tickIfDue(Clock::time_point now) {
  if (Destroyed()) return;
  if (now >= nextTick_) {
    nextTick_ += period_;
    // Late: one tick now, the next a full period later, no queue of missed ones.
    if (nextTick_ <= now) nextTick_ = now + period_;
    IRECT r;
    if (graphics_->IsDirty(&r)) graphics_->Draw(&r);
  }
  textEntry_->Tick(now);
  upload();
}

void X11View::upload() {
  window_->Upload(graphics_->GetDrawBitmap(),
                  [this](LICE_IBitmap* screen) { textEntry_->Compose(screen); });
}

bool X11View::handleWindowEvent(const xcb_generic_event_t* event) {
  return window_->HandleEvent(event) || tooltips_->HandleEvent(event);
}

bool X11View::RunModal(const std::function<bool(const xcb_generic_event_t*)>& handle,
                       const std::function<bool()>& finished) {
  xcb_connection_t* c = connection_->Get();
  inModal_ = true;
  tooltips_->Hide();
  bool ok = true;
  while (!finished()) {
    xcb_flush(c);
    if (connection_->Broken() || Destroyed()) {
      ok = false;
      break;
    }
    pump_->DispatchPending(
        [&](const xcb_generic_event_t* event) {
          if (!handle(event)) handleWindowEvent(event);
        },
        finished);
    if (finished()) break;
    tickIfDue(Clock::now());
    xcb_flush(c);
    const auto wait =
        std::chrono::duration_cast<std::chrono::milliseconds>(nextTick_ - Clock::now());
    pump_->WaitForInput(std::clamp(wait, std::chrono::milliseconds(1), kModalWait));
  }
  inModal_ = false;
  // The button that opened a menu or box was released there, not here.
  buttonHeld_ = false;
  xcb_flush(c);
  return ok;
}
