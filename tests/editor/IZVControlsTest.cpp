// The editor's own controls through the headless platform: menus with their texts,
// flags and command numbers, the WAV control, the program display with its rename
// field, the program buttons, the small knobs and the MIDI-learn switch.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "editor/EditorText.h"
#include "editor/IZVLoadWAVControl.h"
#include "editor/IZVMenus.h"
#include "editor/IZVPresetMenu.h"
#include "editor/IZVSwitches.h"
#include "gui/IPopupMenu.h"
#include "sampler/WavTestFile.h"

namespace {

constexpr int kWavControl = 110;
constexpr int kLearnSwitch = 116;

std::vector<std::string> texts(const IPopupMenu& menu) {
  std::vector<std::string> all;
  for (int i = 0; i < menu.GetNItems(); ++i) all.push_back(menu.GetItem(i)->GetIsSeparator() ? "-" : menu.GetItemText(i));
  return all;
}

std::vector<int> flags(const IPopupMenu& menu) {
  std::vector<int> all;
  for (int i = 0; i < menu.GetNItems(); ++i) all.push_back(menu.GetItem(i)->GetFlags() & ~IPopupMenuItem::kSeparator);
  return all;
}

// The menu's answer for a path of positions, as the platform gives it.
const IPopupMenu* choose(IPopupMenu& menu, const std::vector<int>& path) {
  IPopupMenu* level = &menu;
  for (size_t i = 0; i + 1 < path.size(); ++i) level = level->GetItem(path[i])->GetSubmenu();
  level->SetChosenItemIdx(path.back());
  return level;
}

constexpr int D = IPopupMenuItem::kDisabled;
constexpr int C = IPopupMenuItem::kChecked;

// --- options and tools menus

TEST(IZVOptionMenu, ListsItsItemsWithTheFolderItemsInsertedAt13And14) {
  EditorHarness h;
  IPopupMenu menu;
  IZVOptionMenu::buildMenu(menu, h.instrument);
  EXPECT_EQ(texts(menu), (std::vector<std::string>{
                             "Copy Program", "Paste Program", "Init Program", "-", "Load Program", "Save Program",
                             "Load Bank", "Save Bank", "-", "Select Startup Bank", "Load Startup Bank",
                             "Unselect Startup Bank", "-", "Default Path for Program Files",
                             "Default Path for WAV Files", "Global MIDI Settings...", "Reload Configuration",
                             "Save Configuration", "-", "Go Online..."}));
  // Nothing copied, no startup bank: those items are disabled.
  EXPECT_EQ(flags(menu), (std::vector<int>{0, D, 0, 0, 0, 0, 0, 0, 0, 0, D, D, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(texts(*menu.GetItem(15)->GetSubmenu()), (std::vector<std::string>{"MIDI Thru", "Ignore Program Change"}));
  EXPECT_EQ(menu.GetItem(19)->GetSubmenu()->GetItemText(0), std::string("Check Online for Update"));

  h.instrument.copyPreset();
  h.instrument.configuration().setMidiThru(true);
  IPopupMenu after;
  IZVOptionMenu::buildMenu(after, h.instrument);
  EXPECT_TRUE(after.GetItem(1)->GetEnabled());
  EXPECT_EQ(flags(*after.GetItem(15)->GetSubmenu()), (std::vector<int>{C, 0}));
}

struct CommandCase {
  const char* name;
  std::vector<int> path;
  int command;
};
void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.name; }
std::string caseName(const ::testing::TestParamInfo<CommandCase>& info) { return info.param.name; }

class OptionCommands : public ::testing::TestWithParam<CommandCase> {};
TEST_P(OptionCommands, ChoiceGivesItsCommand) {
  ZORQ instrument;
  IPopupMenu menu;
  IZVOptionMenu::buildMenu(menu, instrument);
  EXPECT_EQ(IZVOptionMenu::chosenCommand(menu, choose(menu, GetParam().path)), GetParam().command);
}
INSTANTIATE_TEST_SUITE_P(Menu, OptionCommands,
                         ::testing::Values(CommandCase{"CopyProgram", {0}, 0}, CommandCase{"ProgramPath", {13}, 13},
                                           CommandCase{"WavPath", {14}, 14}, CommandCase{"SaveConfig", {17}, 17},
                                           CommandCase{"MidiThru", {15, 0}, 20},
                                           CommandCase{"IgnoreProgramChange", {15, 1}, 21},
                                           CommandCase{"CheckUpdate", {19, 0}, 22}, CommandCase{"WebSite", {19, 1}, 23}),
                         caseName);

class ToolsCommands : public ::testing::TestWithParam<CommandCase> {};
TEST_P(ToolsCommands, ChoiceGivesItsCommand) {
  IPopupMenu menu;
  IZVToolsMenu::buildMenu(menu);
  EXPECT_EQ(IZVToolsMenu::chosenCommand(menu, choose(menu, GetParam().path)), GetParam().command);
}
INSTANTIATE_TEST_SUITE_P(Menu, ToolsCommands,
                         ::testing::Values(CommandCase{"LevelsEqual", {3}, 3}, CommandCase{"AllFixed", {9}, 9},
                                           CommandCase{"ResetAll", {11}, 11}, CommandCase{"AnalysisCopy", {0, 0}, 12},
                                           CommandCase{"AnalysisReverse", {0, 3}, 15},
                                           CommandCase{"AnalysisOctaveDown", {0, 9}, 21},
                                           CommandCase{"SynthesisCopy", {1, 0}, 22},
                                           CommandCase{"SynthesisSemitoneUp", {1, 7}, 29}),
                         caseName);

TEST(IZVToolsMenu, ListsItsItemsAndSubmenus) {
  IPopupMenu menu;
  IZVToolsMenu::buildMenu(menu);
  EXPECT_EQ(texts(menu), (std::vector<std::string>{
                             "Analysis frequencies...", "Synthesis frequencies...", "-",
                             "Set all levels equal to level 1", "Set all levels to +6 dB", "Set all levels to 0 dB",
                             "Set all levels to -oo dB", "-", "Set all to \"Modulate\"", "Set all to \"Fixed\"", "-",
                             "Reset all to default"}));
  EXPECT_EQ(texts(*menu.GetItem(1)->GetSubmenu()),
            (std::vector<std::string>{"Copy from Analysis frequencies", "Distribute (logarithmic)",
                                      "Distribute (linear)", "Reverse", "Reset", "-", "Shift 1 octave up",
                                      "Shift 1 semitone up", "Shift 1 semitone down", "Shift 1 octave down"}));
  EXPECT_EQ(menu.GetItem(0)->GetSubmenu()->GetItemText(0), std::string("Copy from Synthesis frequencies"));
}

// A dismissed menu changes nothing, not even the redraw state.
TEST(IZVOptionMenu, DismissedMenuRunsNothing) {
  EditorHarness h;
  h.open();
  h.click(660, 316);
  EXPECT_EQ(h.platform->Count("CreateIPopupMenu"), 1);
  EXPECT_FALSE(h.platform->Tick());
}

// --- program display, menu, rename and buttons

TEST(IZVPresetMenu, ProgramMenuGroupsProgramsBySixteen) {
  EditorHarness h;
  h.instrument.changePreset(37);
  IPopupMenu menu;
  IZVPresetMenu::buildMenu(menu, h.instrument);
  EXPECT_EQ(texts(menu), (std::vector<std::string>{"00 - 15", "16 - 31", "32 - 47", "48 - 63"}));
  const IPopupMenu* third = menu.GetItem(2)->GetSubmenu();
  ASSERT_EQ(third->GetNItems(), 16);
  EXPECT_EQ(std::string(third->GetItemText(5)), cutText("37: " + std::string(h.instrument.GetPresetName(37)), 31));
  EXPECT_TRUE(third->GetItem(5)->GetChecked());
  EXPECT_EQ(IZVPresetMenu::chosenProgram(menu, choose(menu, {3, 15})), 63);

  h.open();
  h.platform->menuAnswers.push_back({0, 4});
  h.click(400, 315);
  EXPECT_EQ(h.instrument.GetCurrentPresetIdx(), 4);
}

TEST(IZVPresetMenu, RenameThroughTheTextField) {
  EditorHarness h;
  h.open();
  auto hostName = [&] {
    char name[64] = {};
    h.instrument.GetAEffect()->dispatcher(h.instrument.GetAEffect(), effGetProgramName, 0, 0, name, 0.0f);
    return std::string(name);
  };
  h.click(500, 314);
  ASSERT_TRUE(h.platform->TextEntryOpen());
  h.platform->CommitTextEntry("Choir Pad");
  EXPECT_STREQ(h.instrument.GetPresetName(0), "Choir Pad");

  // An empty text keeps the name.
  h.click(500, 314);
  EXPECT_TRUE(h.platform->Called("CreateTextEntry", {"Choir Pad", "441,308,633,322"}));
  h.platform->CommitTextEntry("");
  EXPECT_STREQ(h.instrument.GetPresetName(0), "Choir Pad");

  // A long text: the program keeps 255 characters, the host's field shows 23.
  const std::string longName(300, 'x');
  h.click(500, 314);
  h.platform->CommitTextEntry(longName.c_str());
  EXPECT_EQ(std::string(h.instrument.GetPresetName(0)), longName.substr(0, 255));
  EXPECT_EQ(hostName(), longName.substr(0, 23));
}

struct WrapCase {
  int index, current, target;
};
void PrintTo(const WrapCase& c, std::ostream* out) {
  *out << (c.index == -109 ? "next from " : "previous from ") << c.current;
}
class ProgramButtons : public ::testing::TestWithParam<WrapCase> {};
TEST_P(ProgramButtons, StepAndWrapAroundTheSixtyFourPrograms) {
  EXPECT_EQ(IZVUtilityKick::targetProgram(GetParam().index, GetParam().current, 64), GetParam().target);
}
INSTANTIATE_TEST_SUITE_P(Programs, ProgramButtons,
                         ::testing::Values(WrapCase{-109, 0, 1}, WrapCase{-109, 62, 63}, WrapCase{-109, 63, 0},
                                           WrapCase{-108, 63, 62}, WrapCase{-108, 1, 0}, WrapCase{-108, 0, 63}));

TEST(IZVUtilityKick, ClicksChangeThePrograms) {
  EditorHarness h;
  h.open();
  h.instrument.changePreset(63);
  h.click(427, 316);  // next
  EXPECT_EQ(h.instrument.GetCurrentPresetIdx(), 0);
  h.click(376, 316);  // previous
  EXPECT_EQ(h.instrument.GetCurrentPresetIdx(), 63);
  EXPECT_EQ(h.control(113)->GetValue(), 0.0);  // popped out again
}

// --- WAV control

struct ShortNameCase {
  const char* path;
  const char* shown;
};
void PrintTo(const ShortNameCase& c, std::ostream* out) { *out << '"' << c.path << '"'; }
class WavShortName : public ::testing::TestWithParam<ShortNameCase> {};
TEST_P(WavShortName, DropsFoldersAndTheLastExtension) {
  EXPECT_EQ(IZVLoadWAVControl::shortName(GetParam().path), GetParam().shown);
}
INSTANTIATE_TEST_SUITE_P(Paths, WavShortName,
                         ::testing::Values(ShortNameCase{"/home/me/voice.wav", "voice"},
                                           ShortNameCase{"/a.b/take.1.wav", "take.1"},
                                           ShortNameCase{"C:\\loops\\beat.WAV", "beat"},
                                           ShortNameCase{"loops/noext", "noext"}, ShortNameCase{"plain", "plain"}));

TEST(IZVLoadWAVControl, MenuFlagsFollowTheFileTheValueAndLegato) {
  IPopupMenu none;
  IZVLoadWAVControl::buildMenu(none, "", 0.0, true);
  EXPECT_EQ(texts(none), (std::vector<std::string>{"MIC Input", "No WAV file loaded", "-", "Legato", "-",
                                                   "Unload WAV file", "Load WAV file..."}));
  EXPECT_EQ(flags(none), (std::vector<int>{C, D, 0, D, 0, D, 0}));
  IPopupMenu file;
  IZVLoadWAVControl::buildMenu(file, "/x/voice.wav", 1.0, true);
  EXPECT_EQ(file.GetItemText(1), std::string("/x/voice.wav"));
  EXPECT_EQ(flags(file), (std::vector<int>{0, C, 0, C, 0, 0, 0}));
  IPopupMenu mic;
  IZVLoadWAVControl::buildMenu(mic, "/x/voice.wav", 0.0, false);
  EXPECT_EQ(flags(mic), (std::vector<int>{C, 0, 0, 0, 0, 0, 0}));
}

struct WavHarness : EditorHarness {
  WavHarness() {
    voice = folder.write("takes/voice.take1.wav", wavtest::floatWav(1, 44100, wavtest::sine(441, 220, 44100)));
    open();
  }
  IZVLoadWAVControl* wav() { return static_cast<IZVLoadWAVControl*>(control(kWavControl)); }
  double inputMode() { return instrument.GetParam(kInputMode)->Value(); }
  void chooseInMenu(int position) {
    platform->menuAnswers.push_back({position});
    click(450, 270);
    settle();
  }
  wavtest::TempDir folder;
  std::string voice;
};

TEST(IZVLoadWAVControl, LoadsAChosenFileAndShowsItsShortName) {
  WavHarness h;
  h.platform->fileAnswers.push_back(h.voice);
  h.chooseInMenu(IZVLoadWAVControl::kLoad);
  EXPECT_TRUE(h.platform->Called("CreateIPopupMenu", {"MIC Input|No WAV file loaded||Legato||Unload WAV file|Load WAV file...",
                                                      "450,262,578,278"}));
  EXPECT_EQ(h.instrument.sampleFileName(), h.voice);
  EXPECT_EQ(h.inputMode(), 1.0);
  EXPECT_EQ(h.wav()->GetTooltip(), h.voice);
  EXPECT_EQ(h.platform->Count("ShowMessageBox"), 0);

  // Legato flips "Sample Legato" and leaves "Input Mode".
  const bool legato = h.instrument.GetParam(kSampleLegato)->Bool();
  h.chooseInMenu(IZVLoadWAVControl::kLegato);
  EXPECT_EQ(h.instrument.GetParam(kSampleLegato)->Bool(), !legato);
  EXPECT_EQ(h.inputMode(), 1.0);

  h.chooseInMenu(IZVLoadWAVControl::kMicInput);
  EXPECT_EQ(h.inputMode(), 0.0);
  EXPECT_EQ(h.wav()->GetTooltip(), "");
  h.chooseInMenu(IZVLoadWAVControl::kFile);
  EXPECT_EQ(h.inputMode(), 1.0);

  h.chooseInMenu(IZVLoadWAVControl::kUnload);
  EXPECT_EQ(h.instrument.sampleFileName(), "");
  EXPECT_EQ(h.inputMode(), 0.0);
}

TEST(IZVLoadWAVControl, ReportsAFileThatFailsToLoad) {
  WavHarness h;
  const std::string missing = h.folder / "gone.wav";
  h.platform->fileAnswers.push_back(missing);
  h.chooseInMenu(IZVLoadWAVControl::kLoad);
  EXPECT_TRUE(h.platform->Called("ShowMessageBox", {"Cannot open WAV file!", "Error", "0"}));
  EXPECT_TRUE(h.instrument.sampleLoadFailed());
  EXPECT_EQ(h.wav()->GetTooltip(), "Could not load \"" + missing + "\"!");

  // A cancelled prompt keeps the name, and the control answers clicks again.
  h.platform->fileAnswers.push_back(std::nullopt);
  h.chooseInMenu(IZVLoadWAVControl::kLoad);
  EXPECT_EQ(h.instrument.sampleFileName(), missing);
  EXPECT_EQ(h.wav()->GetState(), IFileSelectorControl::kIdle);
  EXPECT_EQ(h.platform->Count("PromptForFile"), 2);
}

// --- small knobs

int brightestRed(const LICE_IBitmap* bitmap, const IRECT& r) {
  int red = 0;
  for (int y = r.T; y < r.B; ++y)
    for (int x = r.L; x < r.R; ++x) red = std::max(red, int(LICE_PixelR(LICE_RowPointer(bitmap, y)[x])));
  return red;
}

TEST(IZVKnobMultiControlText, TextTurnsDimAtZeroAndDoubleClickRestoresTheDefault) {
  EditorHarness h;
  h.open();
  h.click(769, 316);  // tweak view
  h.settle();
  const IRECT text(64 - 4, 176 + 34, 64 + 36, 176 + 44);  // "Synthesis Level 1"
  const int atOne = brightestRed(h.editor->GetDrawBitmap(), text);
  h.instrument.SetParameterFromGUI(kSynthesisLevel1, 0.0);
  h.instrument.RedrawParamControls();
  h.settle();
  const int atZero = brightestRed(h.editor->GetDrawBitmap(), text);
  // Full-coverage text pixels: 160/255 of 255 (normal) or of 128 (at zero) over the panel.
  EXPECT_GT(atOne, 120);
  EXPECT_LT(atZero, 100);

  IMouseMod left(true);
  h.editor->OnMouseDblClick(80, 190, &left);
  EXPECT_EQ(h.instrument.GetParam(kSynthesisLevel1)->Value(), 1.0);
}

// --- MIDI learn switch

TEST(IZVSwitchMidiLearn, ArmsLearningAndTurnsOffWhenAnAssignmentCompletes) {
  EditorHarness h;
  h.open();
  IControl* learnSwitch = h.control(kLearnSwitch);
  h.click(720, 315);
  EXPECT_TRUE(h.instrument.midiLearn().isLearning());
  EXPECT_EQ(learnSwitch->GetValue(), 1.0);
  h.settle();

  h.instrument.setMidiLearnParam(kFinalVolume);
  h.instrument.setMidiLearnCC(7);
  EXPECT_FALSE(h.instrument.midiLearn().isLearning());
  EXPECT_EQ(h.instrument.configuration().controllerParameter(7), kFinalVolume);
  EXPECT_EQ(learnSwitch->GetValue(), 0.0);
  EXPECT_TRUE(learnSwitch->IsDirty());

  h.click(720, 315, IMouseMod(false, true));
  EXPECT_TRUE(h.instrument.midiLearn().isUnlearning());
  h.click(720, 315, IMouseMod(false, true));
  EXPECT_FALSE(h.instrument.midiLearn().isLearning());
  // A click with both flags counts as a left click.
  h.click(720, 315, IMouseMod(true, true));
  EXPECT_TRUE(h.instrument.midiLearn().isLearning());
  EXPECT_FALSE(h.instrument.midiLearn().isUnlearning());
}

// --- parameter popup

TEST(IZVPopUpMenuControl, OffersTheDisplayTextsAndSetsTheChosenOne) {
  EditorHarness h;
  h.open();
  h.platform->menuAnswers.push_back({1});
  h.click(600, 270);
  EXPECT_TRUE(h.platform->Called("CreateIPopupMenu", {"VE-10 Standard|VE-10 Full Bands", "546,262,674,278"}));
  EXPECT_EQ(h.instrument.GetParam(kVocoderMode)->Int(), 1);
}

}  // namespace
