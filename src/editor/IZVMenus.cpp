#include "editor/IZVMenus.h"

#include "editor/EditorCommands.h"
#include "editor/ZorqEditor.h"
#include "engine/ZORQ.h"
#include "gui/IGraphics.h"
#include "gui/IPopupMenu.h"

namespace {
constexpr int kPathItemsIndex = 13;  // where the two folder items go
constexpr int kMidiSubmenuPosition = 15;
constexpr int kOnlineSubmenuPosition = 19;

// The position of a submenu among the items of menu, or -1.
int submenuPosition(const IPopupMenu& menu, const IPopupMenu* submenu) {
  for (int i = 0; i < menu.GetNItems(); ++i)
    if (menu.GetItem(i)->GetSubmenu() == submenu) return i;
  return -1;
}

// The command of an answer: the chosen position in the top menu, or plus the offset
// of the submenu at `first` or `second` position.
int chosenCode(const IPopupMenu& menu, const IPopupMenu* chosen, int first, int firstOffset,
               int second, int secondOffset) {
  if (!chosen || chosen->GetChosenItemIdx() < 0) return -1;
  const int position = chosen->GetChosenItemIdx();
  if (chosen == &menu) return position;
  const int submenu = submenuPosition(menu, chosen);
  if (submenu == first) return position + firstOffset;
  if (submenu == second) return position + secondOffset;
  return -1;
}

int disabledUnless(bool enabled) {
  return enabled ? IPopupMenuItem::kNoFlags : IPopupMenuItem::kDisabled;
}
int checkedWhen(bool checked) {
  return checked ? IPopupMenuItem::kChecked : IPopupMenuItem::kNoFlags;
}

void addFrequencyItems(IPopupMenu* submenu, const char* copyText) {
  for (const char* text :
       {copyText, "Distribute (logarithmic)", "Distribute (linear)", "Reverse", "Reset"})
    submenu->AddItem(text);
  submenu->AddSeparator();
  for (const char* text :
       {"Shift 1 octave up", "Shift 1 semitone up", "Shift 1 semitone down", "Shift 1 octave down"})
    submenu->AddItem(text);
}
}  // namespace

// --- options menu

IZVOptionMenu::IZVOptionMenu(ZORQ* instrument, IRECT rect)
    : IControl(instrument, rect, ZorqEditor::kOptionsMenu), instrument_(instrument) {}

bool IZVOptionMenu::Draw(IGraphics* graphics) {
  return graphics->FillIRect(&COLOR_TRANSPARENT, &rect_);
}

void IZVOptionMenu::buildMenu(IPopupMenu& menu, const ZORQ& instrument) {
  const Configuration& settings = instrument.configuration();
  const bool hasStartupBank = !settings.startupFxb().empty();
  menu.AddItem("Copy Program");
  menu.AddItem("Paste Program", -1, disabledUnless(instrument.hasClipboard()));
  menu.AddItem("Init Program");
  menu.AddSeparator();
  for (const char* text : {"Load Program", "Save Program", "Load Bank", "Save Bank"})
    menu.AddItem(text);
  menu.AddSeparator();
  menu.AddItem("Select Startup Bank");
  menu.AddItem("Load Startup Bank", -1, disabledUnless(hasStartupBank));
  menu.AddItem("Unselect Startup Bank", -1, disabledUnless(hasStartupBank));
  menu.AddSeparator();
  // Inserted behind the end first, then before it: "Program Files" lands at 13,
  // "WAV Files" at 14.
  menu.AddItem("Default Path for WAV Files", kPathItemsIndex + 1);
  menu.AddItem("Default Path for Program Files", kPathItemsIndex);

  auto* midi = new IPopupMenu;
  midi->AddItem("MIDI Thru", -1, checkedWhen(settings.midiThru()));
  midi->AddItem("Ignore Program Change", -1, checkedWhen(settings.ignoreProgramChange()));
  menu.AddItem("Global MIDI Settings...", midi);
  menu.AddItem("Reload Configuration");
  menu.AddItem("Save Configuration");
  menu.AddSeparator();
  auto* online = new IPopupMenu;
  online->AddItem("Check Online for Update");
  online->AddItem("Zander Volt Music Web Site...");
  menu.AddItem("Go Online...", online);
}

int IZVOptionMenu::chosenCommand(const IPopupMenu& menu, const IPopupMenu* chosen) {
  return chosenCode(menu, chosen, kMidiSubmenuPosition, kMidiSubmenuOffset, kOnlineSubmenuPosition,
                    kOnlineSubmenuOffset);
}

void IZVOptionMenu::OnMouseDown(int x, int y, IMouseMod*) {
  if (!graphics_) return;
  IPopupMenu menu;
  buildMenu(menu, *instrument_);
  IRECT at(x, y, x, y);
  const int command = chosenCommand(menu, graphics_->CreateIPopupMenu(&menu, &at));
  if (command < 0) return;
  if (command == File::kWebSite)
    openWebSite(graphics_);
  else
    runCommand(instrument_, graphics_, this, static_cast<File::Command>(command));
  graphics_->SetAllControlsDirty();
}

// --- tools menu

IZVToolsMenu::IZVToolsMenu(ZORQ* instrument, IRECT rect)
    : IControl(instrument, rect, ZorqEditor::kToolsMenu), instrument_(instrument) {}

bool IZVToolsMenu::Draw(IGraphics* graphics) {
  return graphics->FillIRect(&COLOR_TRANSPARENT, &rect_);
}

void IZVToolsMenu::buildMenu(IPopupMenu& menu) {
  auto* analysis = new IPopupMenu;
  addFrequencyItems(analysis, "Copy from Synthesis frequencies");
  auto* synthesis = new IPopupMenu;
  addFrequencyItems(synthesis, "Copy from Analysis frequencies");
  menu.AddItem("Analysis frequencies...", analysis);
  menu.AddItem("Synthesis frequencies...", synthesis);
  menu.AddSeparator();
  for (const char* text : {"Set all levels equal to level 1", "Set all levels to +6 dB",
                           "Set all levels to 0 dB", "Set all levels to -oo dB"})
    menu.AddItem(text);
  menu.AddSeparator();
  menu.AddItem("Set all to \"Modulate\"");
  menu.AddItem("Set all to \"Fixed\"");
  menu.AddSeparator();
  menu.AddItem("Reset all to default");
}

int IZVToolsMenu::chosenCommand(const IPopupMenu& menu, const IPopupMenu* chosen) {
  return chosenCode(menu, chosen, 0, kAnalysisSubmenuOffset, 1, kSynthesisSubmenuOffset);
}

void IZVToolsMenu::OnMouseDown(int x, int y, IMouseMod*) {
  if (!graphics_) return;
  IPopupMenu menu;
  buildMenu(menu);
  IRECT at(x, y, x, y);
  const int command = chosenCommand(menu, graphics_->CreateIPopupMenu(&menu, &at));
  if (command < 0) return;
  instrument_->runToolsCommand(static_cast<Properties::ToolsCmd>(command));
  graphics_->SetAllControlsDirty();
}
