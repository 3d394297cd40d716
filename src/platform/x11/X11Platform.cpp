#include "platform/x11/X11Platform.h"

#include <dlfcn.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "framework/NumberText.h"
#include "gui/BitmapResources.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "platform/x11/ChildProcess.h"
#include "platform/x11/PortalFileChooser.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11MessageBox.h"
#include "platform/x11/X11PopupMenu.h"
#include "platform/x11/X11TextEntry.h"
#include "platform/x11/X11View.h"

namespace {
std::string homeFolder() {
  const char* home = std::getenv("HOME");
  return home ? home : "";
}
}  // namespace

X11Platform::X11Platform() = default;

X11Platform::~X11Platform() { CloseWindow(); }

void* X11Platform::OpenWindow(void* parent) {
  CloseWindow();
  if (!graphics_) return nullptr;
  view_ = X11View::Create(graphics_, xcb_window_t(reinterpret_cast<uintptr_t>(parent)),
                          graphics_->Scale(), trySharedMemory_);
  if (!view_) return nullptr;
  if (!parent) {
    view_->SetOwner(owner_);
    view_->SetTitle(title_);
    if (!className_.empty()) view_->SetClass(instance_, className_);
  }
  graphics_->SetAllControlsDirty();
  graphics_->UpdateTooltips();
  return GetWindow();
}

void X11Platform::SetTopLevel(X11WindowOwner* owner, const std::string& title,
                              const std::string& instance, const std::string& className) {
  owner_ = owner;
  title_ = title;
  instance_ = instance;
  className_ = className;
  if (view_) {
    view_->SetTitle(title_);
    view_->SetClass(instance_, className_);
  }
}

void X11Platform::CloseWindow() {
  if (!view_) return;
  // A dialog still open ends unanswered; its command sees a cancelled prompt.
  if (filePrompt_) finishFilePrompt("");
  view_.reset();
  hiddenCursor_ = 0;  // it went with the connection
}

void* X11Platform::GetWindow() {
  return view_ ? reinterpret_cast<void*>(uintptr_t(view_->Window())) : nullptr;
}

void X11Platform::WindowResized(int width, int height) {
  if (view_) view_->Resize(width, height, graphics_->Scale());
}

void X11Platform::Idle() {
  if (!view_) return;
  view_->Idle();
  if (filePrompt_) pollFilePrompt();
}

int X11Platform::WindowEventFd() {
  if (!view_ || view_->Destroyed() || view_->Connection()->Broken()) return -1;
  return view_->Connection()->Fd();
}

bool X11Platform::HostKey(const IKeyPress& key, bool down) {
  return view_ && view_->HostKey(key, down);
}

double X11Platform::ResourceDpi(const std::string& resources) {
  std::istringstream lines(resources);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("Xft.dpi:", 0) != 0) continue;
    double dpi = 0.0;
    const bool read = numbertext::ReadLeading(line.c_str() + 8, &dpi);
    return read && std::isfinite(dpi) && dpi > 0.0 ? dpi : 0.0;
  }
  return 0.0;
}

int X11Platform::SystemScale() {
  if (systemScale_ < 0) {
    systemScale_ = 0;
    // Asked once: before the window exists too (hosts ask for its size first).
    std::unique_ptr<X11Connection> connection = X11Connection::Open();
    if (connection && connection->DefaultScreen())
      systemScale_ =
          ResourceDpi(connection->ResourceManager(connection->DefaultScreen()->root)) >= 144.0 ? 2
                                                                                               : 0;
  }
  return systemScale_;
}

void X11Platform::DrawScreen(const IRECT* r) {
  if (view_ && r) view_->Invalidate(*r);
}

IPopupMenu* X11Platform::CreateIPopupMenu(IPopupMenu* menu, const IRECT* r) {
  if (!view_ || !r) return nullptr;
  ForceEndUserEdit();
  return X11PopupMenu::Run(view_.get(), menu, *r);
}

void X11Platform::CreateTextEntry(IControl* control, const IText* text, const IRECT* r,
                                  const char* str, IParam* param) {
  if (view_ && r) view_->TextEntry()->Open(control, text, *r, str, param);
}

void X11Platform::ForceEndUserEdit() {
  if (view_) view_->TextEntry()->End(false);
}

int X11Platform::ShowMessageBox(const char* text, const char* caption, int type) {
  if (!view_) return 0;
  ForceEndUserEdit();
  return X11MessageBox::Run(view_.get(), text ? text : "", caption ? caption : "", type);
}

X11Platform::FilePrompt::~FilePrompt() = default;

void X11Platform::PromptForFile(const std::string& file, EFileAction action, const std::string& dir,
                                const char* extensions, FileChosenCallback done) {
  if (!view_ || filePrompt_) {  // one dialog at a time
    done("", dir);
    return;
  }
  auto prompt = std::make_unique<FilePrompt>();
  prompt->request.action = action;
  prompt->request.dir = dir;
  prompt->request.file = file;
  prompt->request.extensions = extensions ? extensions : "";
  prompt->request.parentWindow = view_->Connection()->TopLevelOf(view_->Window());
  prompt->done = std::move(done);
  if (!startDialog(prompt.get(), true)) {
    prompt->done("", dir);
    return;
  }
  filePrompt_ = std::move(prompt);
}

bool X11Platform::startDialog(FilePrompt* prompt, bool tryPortal) {
  if (tryPortal) prompt->portal = PortalFileChooser::Start(prompt->request);
  if (prompt->portal) return true;
  DialogTool tool;
  if (ChooseDialogTool(&tool))
    prompt->child = ChildProcess::Start(DialogArguments(tool, prompt->request));
  if (prompt->child) return true;
  ShowMessageBox("No file dialog could be opened. Install zenity or kdialog to choose files.",
                 "File Dialog", 0);
  return false;
}

void X11Platform::pollFilePrompt() {
  FilePrompt& prompt = *filePrompt_;
  if (prompt.portal) {
    switch (prompt.portal->Poll()) {
      case PortalFileChooser::kWaiting: return;
      case PortalFileChooser::kAnswered: finishFilePrompt(prompt.portal->File()); return;
      case PortalFileChooser::kFailed:
        prompt.portal.reset();
        if (!startDialog(&prompt, false)) finishFilePrompt("");
        return;
    }
  }
  if (prompt.child && prompt.child->Poll())
    finishFilePrompt(
        DialogAnswer(prompt.request, prompt.child->ExitStatus(), prompt.child->Output()));
}

void X11Platform::finishFilePrompt(const std::string& file) {
  std::unique_ptr<FilePrompt> prompt = std::move(filePrompt_);
  prompt->portal.reset();
  prompt->child.reset();
  if (file.empty())
    prompt->done("", prompt->request.dir);
  else
    prompt->done(file, FolderOf(file));
}

bool X11Platform::OpenURL(const char* url, const char*, const char*, const char*) {
  return url && url[0] && ChildProcess::StartDetached({"xdg-open", url});
}

void X11Platform::HostPath(std::string* path) {
  char buffer[PATH_MAX] = {};
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  *path = n > 0 ? FolderOf(std::string(buffer, size_t(n))) : "";
}

void X11Platform::PluginPath(std::string* path) {
  Dl_info info{};
  *path = dladdr(reinterpret_cast<void*>(&homeFolder), &info) && info.dli_fname
              ? FolderOf(info.dli_fname)
              : "";
}

void X11Platform::DesktopPath(std::string* path) { *path = homeFolder() + "/Desktop"; }

void X11Platform::AppSupportPath(std::string* path, bool isSystem) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  *path = isSystem ? "/etc/xdg" : config && config[0] ? config : homeFolder() + "/.config";
}

void X11Platform::SandboxSafeAppSupportPath(std::string* path) { AppSupportPath(path, false); }

void X11Platform::HideMouseCursor() {
  if (!view_) return;
  xcb_connection_t* c = view_->Connection()->Get();
  if (!hiddenCursor_) {
    // A cursor of one transparent pixel.
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, 1, pixmap, view_->Window(), 1, 1);
    hiddenCursor_ = xcb_generate_id(c);
    xcb_create_cursor(c, hiddenCursor_, pixmap, pixmap, 0, 0, 0, 0, 0, 0, 0, 0);
    xcb_free_pixmap(c, pixmap);
  }
  xcb_change_window_attributes(c, view_->Window(), XCB_CW_CURSOR, &hiddenCursor_);
}

void X11Platform::ShowMouseCursor() {
  if (!view_) return;
  const uint32_t none = XCB_CURSOR_NONE;
  xcb_change_window_attributes(view_->Connection()->Get(), view_->Window(), XCB_CW_CURSOR, &none);
}

void X11Platform::UpdateTooltips() {
  if (!view_ || !graphics_) return;
  std::vector<IRECT> regions;
  for (int i = 0; i < graphics_->NControls(); ++i) {
    const IControl* control = graphics_->GetControl(i);
    if (!control->IsHidden() && !control->GetTargetRECT().Empty())
      regions.push_back(control->GetTargetRECT());
  }
  view_->SetTooltipRegions(std::move(regions));
}

LICE_IBitmap* X11Platform::OSLoadBitmap(int, const char* name) {
  return BitmapResources::Load(name);
}
