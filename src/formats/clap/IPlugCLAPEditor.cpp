// The editor, embedded in the host's X11 window (a win32 one on Windows). Its window
// runs on the host's main thread: the host watches the window's X11 connection
// (posix-fd-support) and calls back when events arrive, and its timer (timer-support)
// drives the redraw tick; either one alone also runs both. On Windows the host's
// message loop runs the window, and the host's timer the plug-in's idle work. The editor is offered
// to every host, since hosts decide whether a plug-in has one when they scan it, often with a host
// that offers nothing; only create refuses, when the host offers neither at that moment. Hidden,
// the window is closed and the callbacks stop; the controls stay. Main thread, plug-in mutex not
// held: a menu or message box may keep a call busy while the user answers, and audio must go on
// meanwhile.
#include <cstring>

#include "formats/clap/IPlugCLAP.h"

namespace {
#if defined(_WIN32)
constexpr const char* kEditorWindowApi = kClapWindowApiWin32;
void* parentOf(const clap_window_t* window) { return window->win32; }
#else
constexpr const char* kEditorWindowApi = kClapWindowApiX11;
void* parentOf(const clap_window_t* window) { return reinterpret_cast<void*>(window->x11); }
#endif
}  // namespace

const clap_plugin_gui_t IPlugCLAP::kGui = {
    [](const clap_plugin_t* p, const char* api, bool isFloating) {
      return clapCall(p, false, [&](IPlugCLAP& self) {
        return self.editorBuilt() && api && !std::strcmp(api, kEditorWindowApi) && !isFloating;
      });
    },
    [](const clap_plugin_t* p, const char** api, bool* isFloating) {
      return clapCall(p, false, [&](IPlugCLAP& self) {
        if (!self.editorBuilt() || !api || !isFloating) return false;
        *api = kEditorWindowApi;
        *isFloating = false;
        return true;
      });
    },
    [](const clap_plugin_t* p, const char* api, bool isFloating) {
      return clapCall(p, false, [&](IPlugCLAP& self) { return self.guiCreate(api, isFloating); });
    },
    [](const clap_plugin_t* p) { clapCall(p, [](IPlugCLAP& self) { self.guiDestroy(); }); },
    [](const clap_plugin_t* p, double scale) {
      return clapCall(p, false, [&](IPlugCLAP& self) { return self.guiSetScale(scale); });
    },
    [](const clap_plugin_t* p, uint32_t* width, uint32_t* height) {
      return clapCall(p, false, [&](IPlugCLAP& self) { return self.guiSize(width, height); });
    },
    [](const clap_plugin_t*) { return false; },  // can_resize: the editor has one size
    [](const clap_plugin_t*, clap_gui_resize_hints_t*) { return false; },
    [](const clap_plugin_t* p, uint32_t* width, uint32_t* height) {
      return clapCall(p, false, [&](IPlugCLAP& self) { return self.guiSize(width, height); });
    },
    [](const clap_plugin_t* p, uint32_t width, uint32_t height) {
      return clapCall(p, false, [&](IPlugCLAP& self) {
        uint32_t w = 0, h = 0;
        return self.guiSize(&w, &h) && w == width && h == height;
      });
    },
    [](const clap_plugin_t* p, const clap_window_t* window) {
      return clapCall(p, false, [&](IPlugCLAP& self) { return self.guiSetParent(window); });
    },
    [](const clap_plugin_t*, const clap_window_t*) {
      return false;
    },                                         // set_transient: floating only
    [](const clap_plugin_t*, const char*) {},  // suggest_title: floating only
    [](const clap_plugin_t* p) {
      return clapCall(p, false, [](IPlugCLAP& self) { return self.guiShow(); });
    },
    [](const clap_plugin_t* p) {
      return clapCall(p, false, [](IPlugCLAP& self) { return self.guiHide(); });
    },
};

const clap_plugin_timer_support_t IPlugCLAP::kTimerSupport = {
    [](const clap_plugin_t* p, clap_id timer) {
      clapCall(p, [&](IPlugCLAP& self) { self.onTimer(timer); });
    },
};

const clap_plugin_posix_fd_support_t IPlugCLAP::kPosixFdSupport = {
    [](const clap_plugin_t* p, int fd, uint32_t flags) {
      clapCall(p, [&](IPlugCLAP& self) { self.onFd(fd, flags); });
    },
};

bool IPlugCLAP::editorBuilt() const {
  const IPlugGUI* gui = plug_->GetGUI();
  return gui && gui->CanOpenWindow();
}

bool IPlugCLAP::hostCanRunEditor() const {
  const bool timers = hostTimer_ && hostTimer_->register_timer && hostTimer_->unregister_timer;
  const bool fds = hostFd_ && hostFd_->register_fd && hostFd_->unregister_fd;
  return timers || fds;
}

bool IPlugCLAP::guiCreate(const char* api, bool isFloating) {
  if (guiCreated_ || !editorBuilt() || !api || std::strcmp(api, kEditorWindowApi) != 0 ||
      isFloating)
    return false;
  askHostForExtensions();
  if (!hostCanRunEditor()) return false;
  guiCreated_ = true;
  return true;
}

void IPlugCLAP::guiDestroy() {
  if (!guiCreated_) return;
  guiHide();
  guiParent_ = nullptr;
  guiCreated_ = false;
}

bool IPlugCLAP::guiSetScale(double scale) {
  IPlugGUI* gui = plug_->GetGUI();
  if (!guiCreated_ || !gui || !(scale > 0.0)) return false;
  gui->SetHostScale(static_cast<float>(scale));
  return true;
}

bool IPlugCLAP::guiSize(uint32_t* width, uint32_t* height) const {
  IPlugGUI* gui = plug_->GetGUI();
  if (!guiCreated_ || !gui || !width || !height) return false;
  const int scale = gui->Scale();
  *width = static_cast<uint32_t>(gui->Width() * scale);
  *height = static_cast<uint32_t>(gui->Height() * scale);
  return true;
}

bool IPlugCLAP::guiSetParent(const clap_window_t* window) {
  if (!guiCreated_ || !window || !window->api || std::strcmp(window->api, kEditorWindowApi) != 0 ||
      !parentOf(window))
    return false;
  guiHide();
  guiParent_ = parentOf(window);
  return guiShow();
}

bool IPlugCLAP::guiShow() {
  IPlugGUI* gui = plug_->GetGUI();
  if (!guiCreated_ || !guiParent_ || !gui) return false;
  if (guiShown_) return true;
  if (!gui->OpenWindow(guiParent_)) return false;
  {
    IMutexLock lock(plug_->Mutex());
    plug_->OnGUIOpen();
  }
  guiShown_ = true;
  if (hostTimer_ && hostTimer_->register_timer &&
      !hostTimer_->register_timer(host_, kEditorTimerMs, &timerId_))
    timerId_ = kClapInvalidId;
  const int fd = gui->WindowEventFd();
  if (fd >= 0 && hostFd_ && hostFd_->register_fd &&
      hostFd_->register_fd(host_, fd, kClapPosixFdRead))
    eventFd_ = fd;
  return true;
}

bool IPlugCLAP::guiHide() {
  IPlugGUI* gui = plug_->GetGUI();
  if (!guiShown_ || !gui) return guiCreated_;
  stopEditorCallbacks();
  {
    IMutexLock lock(plug_->Mutex());
    plug_->OnGUIClose();
  }
  gui->CloseWindow();
  guiShown_ = false;
  return true;
}

void IPlugCLAP::stopEditorCallbacks() {
  if (timerId_ != kClapInvalidId) hostTimer_->unregister_timer(host_, timerId_);
  timerId_ = kClapInvalidId;
  stopWatchingFd();
}

void IPlugCLAP::stopWatchingFd() {
  if (eventFd_ >= 0) hostFd_->unregister_fd(host_, eventFd_);
  eventFd_ = -1;
}

void IPlugCLAP::onTimer(clap_id timer) {
  if (timer == timerId_ && guiShown_) runEditor();
}

void IPlugCLAP::onFd(int fd, uint32_t) {
  if (fd == eventFd_ && guiShown_) runEditor();
}

// A connection that is lost (or a window the host destroyed) would keep its
// descriptor readable: the host stops watching it.
void IPlugCLAP::runEditor() {
  plug_->OnIdle();
  IPlugGUI* gui = plug_->GetGUI();
  if (gui) gui->OnWindowIdle();
  if (eventFd_ >= 0 && (!gui || gui->WindowEventFd() != eventFd_)) stopWatchingFd();
  requestFlushIfPending();
}

void IPlugCLAP::ResizeGraphics(int, int) {
  uint32_t width = 0, height = 0;
  if (guiShown_ && hostGui_ && hostGui_->request_resize && guiSize(&width, &height))
    hostGui_->request_resize(host_, width, height);
}
