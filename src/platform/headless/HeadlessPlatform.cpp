#include "platform/headless/HeadlessPlatform.h"

#include <algorithm>

#include "gui/BitmapResources.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "gui/IPopupMenu.h"

namespace {
std::string rectText(const IRECT* r) {
  return std::to_string(r->L) + "," + std::to_string(r->T) + "," + std::to_string(r->R) + "," +
         std::to_string(r->B);
}

std::string itemTexts(const IPopupMenu* menu) {
  std::string texts;
  for (int i = 0; i < menu->GetNItems(); ++i)
    texts += (i ? "|" : "") + std::string(menu->GetItemText(i));
  return texts;
}

// The first button of each message box type: OK, or Yes.
int firstButton(int type) { return type == 3 || type == 4 ? 6 : 1; }
}  // namespace

int HeadlessPlatform::Count(const std::string& op) const {
  return static_cast<int>(
      std::count_if(calls.begin(), calls.end(), [&op](const Call& call) { return call.op == op; }));
}

bool HeadlessPlatform::Called(const std::string& op, const std::vector<std::string>& args) const {
  return std::any_of(calls.begin(), calls.end(),
                     [&](const Call& call) { return call.op == op && call.args == args; });
}

void HeadlessPlatform::record(const char* op, std::vector<std::string> args) {
  calls.push_back({op, std::move(args)});
}

bool HeadlessPlatform::Tick() {
  IRECT r;
  if (!graphics_ || !graphics_->IsDirty(&r)) return false;
  graphics_->Draw(&r);
  return true;
}

void* HeadlessPlatform::OpenWindow(void*) {
  record("OpenWindow", {});
  windowOpen = true;
  if (graphics_) graphics_->UpdateTooltips();
  return this;
}

void HeadlessPlatform::CloseWindow() {
  if (!windowOpen) return;
  record("CloseWindow", {});
  ForceEndUserEdit();
  windowOpen = false;
}

void HeadlessPlatform::WindowResized(int width, int height) {
  record("WindowResized", {std::to_string(width), std::to_string(height)});
}

void HeadlessPlatform::DrawScreen(const IRECT* r) { record("DrawScreen", {rectText(r)}); }

IPopupMenu* HeadlessPlatform::CreateIPopupMenu(IPopupMenu* menu, const IRECT* r) {
  record("CreateIPopupMenu", {itemTexts(menu), rectText(r)});
  if (menuAnswers.empty()) return nullptr;
  const std::vector<int> path = menuAnswers.front();
  menuAnswers.pop_front();
  IPopupMenu* level = menu;
  for (size_t i = 0; i < path.size(); ++i) {
    const IPopupMenuItem* item = level->GetItem(path[i]);
    if (!item || !item->GetEnabled() || item->GetIsSeparator()) return nullptr;
    if (i + 1 == path.size()) {
      if (item->GetSubmenu()) return nullptr;  // opens its submenu, chooses nothing
      level->SetChosenItemIdx(path[i]);
      return level;
    }
    level = item->GetSubmenu();
    if (!level) return nullptr;
  }
  return nullptr;
}

void HeadlessPlatform::CreateTextEntry(IControl* control, const IText*, const IRECT* r,
                                       const char* str, IParam* param) {
  record("CreateTextEntry", {str, rectText(r)});
  if (TextEntryOpen()) return;
  textEntry_ = {control, param};
  if (textEntryAnswers.empty()) return;
  const std::optional<std::string> answer = textEntryAnswers.front();
  textEntryAnswers.pop_front();
  if (answer) endTextEntry(&*answer);
}

void HeadlessPlatform::CommitTextEntry(const char* text) {
  const std::string typed = text ? text : "";
  endTextEntry(&typed);
}

void HeadlessPlatform::ForceEndUserEdit() { endTextEntry(nullptr); }

void HeadlessPlatform::endTextEntry(const std::string* text) {
  const TextEntry entry = textEntry_;
  textEntry_ = {};
  if (!entry.control || !text) return;
  if (entry.param)
    graphics_->SetFromStringAfterPrompt(entry.control, entry.param, text->c_str());
  else
    entry.control->TextFromTextEntry(text->c_str());
}

int HeadlessPlatform::ShowMessageBox(const char* text, const char* caption, int type) {
  record("ShowMessageBox", {text, caption, std::to_string(type)});
  if (messageBoxAnswers.empty()) return firstButton(type);
  const int answer = messageBoxAnswers.front();
  messageBoxAnswers.pop_front();
  return answer;
}

void HeadlessPlatform::PromptForFile(const std::string& file, EFileAction action,
                                     const std::string& dir, const char* extensions,
                                     FileChosenCallback done) {
  record("PromptForFile", {file, action == kFileSave ? "save" : "open", dir, extensions});
  std::optional<std::string> answer;
  if (!fileAnswers.empty()) {
    answer = fileAnswers.front();
    fileAnswers.pop_front();
  }
  if (!answer || answer->empty()) {
    done("", dir);
    return;
  }
  const size_t slash = answer->rfind('/');
  done(*answer, slash != std::string::npos ? answer->substr(0, slash + 1) : dir);
}

bool HeadlessPlatform::OpenURL(const char* url, const char*, const char*, const char*) {
  record("OpenURL", {url});
  return openURLResult;
}

void HeadlessPlatform::UpdateTooltips() {
  tooltips.clear();
  for (int i = 0; graphics_ && i < graphics_->NControls(); ++i) {
    const IControl* control = graphics_->GetControl(i);
    if (!control->IsHidden() && !control->GetTargetRECT().Empty())
      tooltips.emplace_back(control->GetTargetRECT(), control->GetTooltip());
  }
  record("UpdateTooltips", {std::to_string(tooltips.size())});
}

LICE_IBitmap* HeadlessPlatform::OSLoadBitmap(int id, const char* name) {
  record("OSLoadBitmap", {std::to_string(id), name});
  return BitmapResources::Load(name);
}
