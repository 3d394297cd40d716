// The editor's layout: every control in attach order with its rectangle and binding;
// the normal and tweak views; the level meter; embedded, skinned and missing images; the
// editor's own controls (menus, the WAV control, the program display, MIDI learn).
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "EditorTestSupport.h"
#include "editor/EditorText.h"
#include "editor/IZVLoadWAVControl.h"
#include "editor/IZVMenus.h"
#include "editor/IZVPresetMenu.h"
#include "framework/IMidiMsg.h"
#include "gui/BitmapResources.h"
#include "gui/IPopupMenu.h"
#include "gui/ITextControl.h"
#include "sampler/WavTestFile.h"
#include "support/AllocationCounter.h"
#include "shell/ZorqVersion.h"
#include "support/TempFolder.h"

namespace {

// What each view shows is fixed by the golden pictures; here the switch goes back and
// the tweak overlay (controls 18 to 108) takes clicks meant for the main view below it.
// Each parameter has at most one control; the four rows of band controls run from band 1
// on the left to band 20 on the right. (The golden pictures fix where everything is.)
TEST(ZorqEditorLayout, BindsEachParameterOnceTheTweakSwitchGoesBackAndTheOverlayTakesClicks) {
  OpenEditor h;
  const double volume = h.controlValue(kFinalVolume);
  h.click(769, 316);
  h.click(730, 126);  // "Final Volume" lies under the overlay
  h.click(769, 316);
  EXPECT_FALSE(h.editor->tweakMode());
  for (int i = 18; i <= 108; ++i) EXPECT_TRUE(h.control(i)->IsHidden()) << i;
  EXPECT_EQ(h.controlValue(kFinalVolume), volume);
  std::map<int, IRECT> rectOf;
  for (int i = 0; i < h.editor->NControls(); ++i) {
    const int param = h.control(i)->ParamIdx();
    if (param < 0 || param >= kNumParams) continue;
    EXPECT_EQ(rectOf.count(param), 0u) << param;
    rectOf[param] = h.control(i)->GetRECT();
  }
  for (int first : {kAnalysisFreq1, kSynthesisFreq1, kSynthesisLevel1, kSynthesisFixed1})
    for (int b = 1; b < kNumBands; ++b) {
      ASSERT_TRUE(rectOf.count(first + b) && rectOf.count(first + b - 1)) << first + b;
      EXPECT_GT(rectOf[first + b].L, rectOf[first + b - 1].L) << first + b;
      EXPECT_EQ(rectOf[first + b].T, rectOf[first + b - 1].T) << first + b;
    }
  EXPECT_EQ(std::string(static_cast<ITextControl*>(h.control(117))->GetTextForPlug()),
            std::string("v") + ZorqVersion::kText + ".1");
}

TEST(ZorqEditorMeter, IdleShowsTheEngineLevelWhileTheWindowIsOpen) {
  EditorHarness h;
  h.instrument.SetSampleRate(44100.0);
  h.instrument.Reset();
  h.instrument.OnActivate(true);
  std::vector<double> tone(441), silence(441, 0.0), outL(441), outR(441);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = 0.5 * std::sin(2.0 * M_PI * double(i) / 44.1);
  double* in[4] = {tone.data(), tone.data(), silence.data(), silence.data()};
  double* out[2] = {outL.data(), outR.data()};
  h.instrument.ProcessDoubleReplacing(in, out, 441);
  const double level = std::fabs(h.instrument.meterAccumulator()) * h.instrument.reciprocal();
  ASSERT_GT(level, 0.031623);
  IControl* meter = h.control(16);
  h.instrument.OnIdle();
  EXPECT_EQ(meter->GetValue(), 0.0);
  h.open();
  h.instrument.OnIdle();
  EXPECT_DOUBLE_EQ(meter->GetValue(), ZorqEditor::meterValue(level));
}

// A skin with one good picture and a knob of the wrong size: the good picture is drawn
// in its place and every other picture is the built-in one: the editor matches the
// golden picture everywhere else, the knobs' size and frames included. (Which files are
// refused, and the one report of each, are the picture table's tests; dragging a knob
// is the controls' test.)
TEST(ZorqEditorImages, ASkinReplacesThePicturesThatFitAndNoOther) {
  TempFolder skin;
  const LICE_pixel kMagenta = LICE_PackPixel(255, 255, 0, 255);
  auto writePicture = [&](const char* name, int w, int h) {
    LICE_MemBitmap picture(w, h);
    LICE_FillRect(&picture, 0, 0, w, h, kMagenta, 1.0f, LICE_BLIT_MODE_COPY);
    ASSERT_TRUE(LICE_WritePNG((skin / name).c_str(), &picture));
  };
  registerEditorBitmaps();
  const std::unique_ptr<LICE_IBitmap> builtInPrev(BitmapResources::Load("prev.png"));
  ASSERT_TRUE(builtInPrev);
  writePicture("prev.png", builtInPrev->getWidth(), builtInPrev->getHeight());
  writePicture("knob.png", 1, 1);

  evictEditorImages();
  registerEditorBitmaps(skin.path());
  testing::internal::CaptureStderr();
  {
    OpenEditor h(false);
    IControl* prevButton = nullptr;
    for (int i = 0; i < h.editor->NControls(); ++i)
      if (h.control(i)->ParamIdx() == ZorqEditor::kPreviousProgram) prevButton = h.control(i);
    ASSERT_TRUE(prevButton);
    const IRECT prevRect = prevButton->GetRECT();
    EXPECT_EQ(compareWithGolden(h.editor->GetDrawBitmap(), "golden-main.png", &prevRect), 0);
    for (int y = prevRect.T; y < prevRect.B; ++y)
      for (int x = prevRect.L; x < prevRect.R; ++x)
        ASSERT_EQ(LICE_RowPointer(h.editor->GetDrawBitmap(), y)[x], kMagenta) << x << "," << y;
  }
  testing::internal::GetCapturedStderr();
  evictEditorImages();
  registerEditorBitmaps();
}

// Without any image the editor is still whole: controls sit at their corners without
// area, and redraws and clicks find nothing to crash on.
TEST(ZorqEditorImages, MissingImagesNeverCrashTheEditor) {
  evictEditorImages();
  BitmapResources::Clear();
  {
    OpenEditor h(false);
    EXPECT_EQ(h.control(1)->GetRECT(), IRECT(46, 60, 46, 60));
    for (const auto& [x, y] :
         {std::pair{769, 316}, {710, 310}, {376, 316}, {427, 316}, {769, 316}}) {
      h.click(x, y);
      h.settle();
    }
    EXPECT_EQ(h.instrument.GetCurrentPresetIdx(), 0);  // the program buttons have no area
  }
  evictEditorImages();
  registerEditorBitmaps();
}

// The editor's two views at default settings, drawn through the headless platform and
// compared pixel by pixel with committed pictures (fonts from the pinned Debian font
// package). After an intended change of the layout, the controls or the artwork,
// `make golden` draws them again; look at tests/editor/data/golden-*.png before
// committing them.

class GoldenEditor : public ::testing::TestWithParam<GoldenView> {};

TEST_P(GoldenEditor, ViewAtDefaultsMatchesItsPicture) {
  EditorHarness h;
  EXPECT_EQ(compareWithGolden(drawGoldenView(h, GetParam()), GetParam().file), 0);
}

INSTANTIATE_TEST_SUITE_P(Views, GoldenEditor, ::testing::ValuesIn(kGoldenViews),
                         [](const auto& paramInfo) {
                           return std::string(paramInfo.param.tweak ? "Tweak" : "Main");
                         });

// The editor's own controls through the headless platform: menu commands, the WAV
// control, the program display with its rename field, the program buttons and the
// MIDI-learn switch.
constexpr int kWavControl = 110;
constexpr int kLearnSwitch = 116;

// The menu's answer for a path of positions, as the platform gives it.
const IPopupMenu* choose(IPopupMenu& menu, const std::vector<int>& path) {
  IPopupMenu* level = &menu;
  for (size_t i = 0; i + 1 < path.size(); ++i) level = level->GetItem(path[i])->GetSubmenu();
  level->SetChosenItemIdx(path.back());
  return level;
}

// --- options and tools menus

// A top-level item and an item of a submenu of each menu.
TEST(IZVMenus, ChoiceGivesItsCommand) {
  ZORQ instrument;
  // The tools menu (else the options menu), the positions chosen, the command.
  using Row = std::tuple<bool, std::vector<int>, int>;
  for (const auto& [tools, path, command] : {Row{false, {13}, 13}, Row{false, {15, 1}, 21},
                                             Row{true, {11}, 11}, Row{true, {1, 7}, 29}}) {
    IPopupMenu menu;
    tools ? IZVToolsMenu::buildMenu(menu) : IZVOptionMenu::buildMenu(menu, instrument);
    const auto chosenCommand = tools ? IZVToolsMenu::chosenCommand : IZVOptionMenu::chosenCommand;
    EXPECT_EQ(chosenCommand(menu, choose(menu, path)), command) << command;
  }
}

// --- program display, menu, rename and buttons

// The menu groups the programs by sixteen; the buttons beside it step through them.
TEST(IZVPresetMenu, ProgramMenuGroupsProgramsBySixteenAndTheButtonsStepThroughThem) {
  EditorHarness h;
  h.instrument.changePreset(37);
  IPopupMenu menu;
  IZVPresetMenu::buildMenu(menu, h.instrument);
  std::string groups;
  for (int i = 0; i < menu.GetNItems(); ++i) groups += menu.GetItemText(i) + std::string("|");
  EXPECT_EQ(groups, "00 - 15|16 - 31|32 - 47|48 - 63|");
  const IPopupMenu* third = menu.GetItem(2)->GetSubmenu();
  ASSERT_EQ(third->GetNItems(), 16);
  EXPECT_EQ(std::string(third->GetItemText(5)),
            cutText("37: " + std::string(h.instrument.GetPresetName(37)), 31));
  EXPECT_TRUE(third->GetItem(5)->GetChecked());
  EXPECT_EQ(IZVPresetMenu::chosenProgram(menu, choose(menu, {3, 15})), 63);

  h.open();
  h.platform->menuAnswers.push_back({0, 4});
  h.click(400, 315);
  EXPECT_EQ(h.instrument.GetCurrentPresetIdx(), 4);
  h.instrument.changePreset(63);
  h.click(427, 316);  // next
  EXPECT_EQ(h.instrument.GetCurrentPresetIdx(), 0);
  h.click(376, 316);  // previous
  EXPECT_EQ(h.instrument.GetCurrentPresetIdx(), 63);
}

TEST(IZVPresetMenu, RenameThroughTheTextField) {
  OpenEditor h;
  h.click(500, 314);
  ASSERT_TRUE(h.platform->TextEntryOpen());
  h.platform->CommitTextEntry("Choir Pad");
  EXPECT_STREQ(h.instrument.GetPresetName(0), "Choir Pad");

  // An empty text keeps the name.
  h.click(500, 314);
  EXPECT_TRUE(h.platform->Called("CreateTextEntry", {"Choir Pad", "441,308,633,322"}));
  h.platform->CommitTextEntry("");
  EXPECT_STREQ(h.instrument.GetPresetName(0), "Choir Pad");

  // A long text: the program keeps 255 characters (what a host's buffer takes is the
  // VST 2 adapter's test).
  const std::string longName(300, 'x');
  h.click(500, 314);
  h.platform->CommitTextEntry(longName.c_str());
  EXPECT_EQ(std::string(h.instrument.GetPresetName(0)), longName.substr(0, 255));
}

// --- WAV control

TEST(IZVLoadWAVControl, ShortNameDropsFoldersAndTheLastExtension) {
  for (const auto& [path, shown] : {std::pair{"/a.b/take.1.wav", "take.1"},
                                    {"C:\\loops\\beat.WAV", "beat"},
                                    {"loops/noext", "noext"}})
    EXPECT_EQ(IZVLoadWAVControl::shortName(path), shown) << path;
}

TEST(IZVLoadWAVControl, LoadsAChosenFileReportsAFailureAndSurvivesACancel) {
  OpenEditor h;
  wavtest::TempDir folder;
  auto* wav = static_cast<IZVLoadWAVControl*>(h.control(kWavControl));
  auto inputMode = [&] { return h.instrument.GetParam(kInputMode)->Value(); };
  auto chooseInMenu = [&](int position) {
    h.platform->menuAnswers.push_back({position});
    h.click(450, 270);
    h.settle();
  };
  const std::string voice =
      folder.write("voice.take1.wav", wavtest::floatWav(1, 44100, wavtest::sine(441, 220, 44100)));
  h.platform->fileAnswers.push_back(voice);
  chooseInMenu(IZVLoadWAVControl::kLoad);
  EXPECT_TRUE(h.platform->Called(
      "CreateIPopupMenu", {"MIC Input|No WAV file loaded||Legato||Unload WAV file|Load WAV file...",
                           "450,262,578,278"}));
  EXPECT_EQ(h.instrument.sampleFileName(), voice);
  EXPECT_EQ(inputMode(), 1.0);
  EXPECT_EQ(wav->GetTooltip(), voice);
  const bool legato = h.instrument.GetParam(kSampleLegato)->Bool();
  chooseInMenu(IZVLoadWAVControl::kLegato);  // flips "Sample Legato", leaves "Input Mode"
  EXPECT_EQ(h.instrument.GetParam(kSampleLegato)->Bool(), !legato);
  EXPECT_EQ(inputMode(), 1.0);
  chooseInMenu(IZVLoadWAVControl::kMicInput);
  EXPECT_EQ(inputMode(), 0.0);
  EXPECT_EQ(wav->GetTooltip(), "");
  chooseInMenu(IZVLoadWAVControl::kUnload);
  EXPECT_EQ(h.instrument.sampleFileName(), "");

  // A file that fails to load is reported; a cancelled prompt changes nothing.
  const std::string missing = folder / "gone.wav";
  h.platform->fileAnswers.push_back(missing);
  chooseInMenu(IZVLoadWAVControl::kLoad);
  EXPECT_TRUE(h.platform->Called("ShowMessageBox", {"Cannot open WAV file!", "Error", "0"}));
  EXPECT_EQ(wav->GetTooltip(), "Could not load \"" + missing + "\"!");
  h.platform->fileAnswers.push_back(std::nullopt);
  chooseInMenu(IZVLoadWAVControl::kLoad);
  EXPECT_EQ(h.instrument.sampleFileName(), missing);
  EXPECT_EQ(wav->GetState(), IFileSelectorControl::kIdle);  // answers clicks again
}

// --- MIDI learn switch

TEST(IZVSwitchMidiLearn, ArmsLearningAndTurnsOffWhenAnAssignmentCompletes) {
  OpenEditor h;
  IControl* learnSwitch = h.control(kLearnSwitch);
  h.click(720, 315);
  EXPECT_TRUE(h.instrument.midiLearn().isLearning());
  EXPECT_EQ(learnSwitch->GetValue(), 1.0);

  h.instrument.setMidiLearnParam(kFinalVolume);
  h.instrument.setMidiLearnCC(7);
  EXPECT_FALSE(h.instrument.midiLearn().isLearning());
  EXPECT_EQ(h.instrument.configuration().controllerParameter(7), kFinalVolume);
  EXPECT_EQ(learnSwitch->GetValue(), 0.0);
  EXPECT_TRUE(learnSwitch->IsDirty());

  h.click(720, 315, IMouseMod(false, true));
  EXPECT_TRUE(h.instrument.midiLearn().isUnlearning());
  h.click(720, 315, IMouseMod(true, true));  // both flags: a left click, ending unlearn
  EXPECT_FALSE(h.instrument.midiLearn().isUnlearning());
}

// --- parameter popup

TEST(IZVPopUpMenuControl, OffersTheDisplayTextsAndSetsTheChosenOne) {
  OpenEditor h;
  h.platform->menuAnswers.push_back({1});
  h.click(600, 270);
  EXPECT_TRUE(h.platform->Called("CreateIPopupMenu",
                                 {"VE-10 Standard|VE-10 Full Bands", "546,262,674,278"}));
  EXPECT_EQ(h.instrument.GetParam(kVocoderMode)->Int(), 1);
}

// MIDI with the editor open: after a program change or a learned controller the
// editor's controls follow, and the audio thread allocates nothing for them.

TEST(MidiWithEditor, ControlsFollowWithoutAllocatingOnTheAudioThread) {
  EditorHarness h;
  ZORQ& plug = h.instrument;
  plug.EnsureDefaultPreset();
  plug.GetParam(kFinalVolume)->Set(0.4);
  plug.changePreset(3);  // program 0 stores 0.4
  plug.changePreset(0);  // program 3 keeps its default, 0.25
  plug.configuration().setControllerParameter(7, kBias);
  plug.SetSampleRate(44100.0);
  plug.Reset();
  plug.OnActivate(true);
  h.open();

  std::vector<double> in(256, 0.0), left(256), right(256);
  double* inputs[4] = {in.data(), in.data(), in.data(), in.data()};
  double* outputs[2] = {left.data(), right.data()};
  plug.ProcessDoubleReplacing(inputs, outputs, 256);  // the first block sizes everything

  IMidiMsg change(10, 0xC0, 3, 0), controller(20, 0xB0, 7, 127);
  const size_t before = allocationCount();
  plug.ProcessMidiMsg(&change);
  plug.ProcessMidiMsg(&controller);
  plug.ProcessDoubleReplacing(inputs, outputs, 256);
  EXPECT_EQ(allocationCount(), before) << (countsMalloc() ? "" : "(operator new only)");

  h.settle();
  EXPECT_EQ(plug.GetParam(kFinalVolume)->Value(), 0.25);
  EXPECT_DOUBLE_EQ(h.controlValue(kFinalVolume), plug.GetParam(kFinalVolume)->GetNormalized());
  EXPECT_EQ(plug.GetParam(kBias)->Value(), 1.0);
  EXPECT_DOUBLE_EQ(h.controlValue(kBias), 1.0);
}

}  // namespace
