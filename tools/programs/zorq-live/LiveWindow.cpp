#include "zorq-live/LiveWindow.h"

#include <memory>

#include "editor/EditorCommands.h"
#include "editor/ZorqEditor.h"
#include "engine/ZORQ.h"
#include "gui/IPopupMenu.h"
#include "platform/x11/X11Platform.h"

namespace {
// The window menu's items, in order; separators carry kNone.
struct MenuEntry {
  const char* text;
  LiveCommand command;
};
constexpr MenuEntry kMenu[] = {
    {"Load Program...  Ctrl+O", LiveCommand::kLoadProgram},
    {"Save Program...  Ctrl+S", LiveCommand::kSaveProgram},
    {"Load Bank...  Ctrl+Shift+O", LiveCommand::kLoadBank},
    {"Save Bank...  Ctrl+Shift+S", LiveCommand::kSaveBank},
    {nullptr, LiveCommand::kNone},
    {"Previous Program  Page Up", LiveCommand::kPreviousProgram},
    {"Next Program  Page Down", LiveCommand::kNextProgram},
    {nullptr, LiveCommand::kNone},  // the program list goes here
    {nullptr, LiveCommand::kNone},
    {"Quit  Ctrl+Q", LiveCommand::kQuit},
};
constexpr int kProgramsItem = 7;
}  // namespace

LiveCommand liveCommandForKey(const IKeyPress& key) {
  if (key.key == IKeyPress::kPageUp && !key.control) return LiveCommand::kPreviousProgram;
  if (key.key == IKeyPress::kPageDown && !key.control) return LiveCommand::kNextProgram;
  if (!key.control || key.alt) return LiveCommand::kNone;
  switch (key.character) {
    case 'o':
    case 'O': return key.shift ? LiveCommand::kLoadBank : LiveCommand::kLoadProgram;
    case 's':
    case 'S': return key.shift ? LiveCommand::kSaveBank : LiveCommand::kSaveProgram;
    case 'm':
    case 'M': return key.shift ? LiveCommand::kNone : LiveCommand::kMenu;
    case 'q':
    case 'Q': return key.shift ? LiveCommand::kNone : LiveCommand::kQuit;
    default: return LiveCommand::kNone;
  }
}

LiveWindow::LiveWindow(ZORQ* instrument, ZorqEditor* editor, X11Platform* platform,
                       std::function<void()> quit, std::function<void()> close)
    : instrument_(instrument),
      editor_(editor),
      platform_(platform),
      quit_(std::move(quit)),
      close_(std::move(close)) {
  platform_->SetTopLevel(this, title_, "zorq-live", "ZORQ");
}

LiveWindow::~LiveWindow() {
  Hide();
  platform_->SetTopLevel(nullptr, title_, "zorq-live", "ZORQ");
}

void LiveWindow::SetTitle(const std::string& title) {
  title_ = title;
  platform_->SetTopLevel(this, title_, "zorq-live", "ZORQ");
}

bool LiveWindow::Show() {
  if (shown_) return true;
  if (!editor_->OpenWindow(nullptr)) return false;
  shown_ = true;
  IMutexLock lock(instrument_->Mutex());
  instrument_->OnGUIOpen();
  return true;
}

void LiveWindow::Hide() {
  if (!shown_) return;
  {
    IMutexLock lock(instrument_->Mutex());
    instrument_->OnGUIClose();
  }
  editor_->CloseWindow();
  shown_ = false;
}

void LiveWindow::Idle() {
  if (shown_) editor_->OnWindowIdle();
}

void LiveWindow::Run(LiveCommand command) {
  switch (command) {
    case LiveCommand::kLoadProgram:
      runCommand(instrument_, editor_, nullptr, File::kLoadProgram);
      break;
    case LiveCommand::kSaveProgram:
      runCommand(instrument_, editor_, nullptr, File::kSaveProgram);
      break;
    case LiveCommand::kLoadBank: runCommand(instrument_, editor_, nullptr, File::kLoadBank); break;
    case LiveCommand::kSaveBank: runCommand(instrument_, editor_, nullptr, File::kSaveBank); break;
    case LiveCommand::kPreviousProgram: stepProgram(-1); break;
    case LiveCommand::kNextProgram: stepProgram(1); break;
    case LiveCommand::kMenu: runMenu(); break;
    case LiveCommand::kQuit: quit_(); break;
    case LiveCommand::kNone: break;
  }
}

void LiveWindow::stepProgram(int step) {
  const int n = instrument_->NPresets();
  if (n < 1) return;
  instrument_->changePreset(((instrument_->GetCurrentPresetIdx() + step) % n + n) % n);
}

void LiveWindow::runMenu() {
  if (!shown_) return;
  IPopupMenu menu;
  auto* programs = new IPopupMenu;
  programs->SetPrefix(2);
  int current = 0;
  const std::vector<std::string> names = instrument_->programNames(&current);
  for (const std::string& name : names) programs->AddItem(name.c_str());
  programs->CheckItemAlone(current);
  for (int i = 0; i < int(std::size(kMenu)); ++i) {
    if (i == kProgramsItem)
      menu.AddItem("Programs", programs);
    else if (kMenu[i].text)
      menu.AddItem(kMenu[i].text);
    else
      menu.AddSeparator();
  }
  IRECT at(8, 0, 8, 8);
  IPopupMenu* chosen = editor_->CreateIPopupMenu(&menu, &at);
  if (!chosen) return;
  if (chosen == programs) {
    if (chosen->GetChosenItemIdx() >= 0) instrument_->changePreset(chosen->GetChosenItemIdx());
    return;
  }
  const int item = chosen->GetChosenItemIdx();
  if (item >= 0 && item < int(std::size(kMenu))) Run(kMenu[item].command);
}
