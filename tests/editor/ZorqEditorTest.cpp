// The editor's layout: every control in attach order with its class, rectangle and
// binding; the normal and tweak views; the level meter; embedded and missing images.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <ostream>
#include <set>
#include <vector>

#include "EditorTestSupport.h"
#include "editor/IZVKnobMultiControlText.h"
#include "editor/IZVLoadWAVControl.h"
#include "editor/IZVMenus.h"
#include "editor/IZVPopUpMenuControl.h"
#include "editor/IZVPresetMenu.h"
#include "editor/IZVSwitches.h"
#include "gui/IKnobControl.h"
#include "gui/ITextControl.h"
#include "platform/BitmapResources.h"
#include "support/TempFolder.h"

static void PrintTo(const IRECT& r, std::ostream* out) {
  *out << "(" << r.L << ", " << r.T << ", " << r.R << ", " << r.B << ")";
}

namespace {

std::string kindOf(IControl* c) {
  if (dynamic_cast<IZVKnobMultiControlText*>(c)) return "small knob";
  if (dynamic_cast<IZVToolsMenu*>(c)) return "tools menu";
  if (dynamic_cast<IZVOptionMenu*>(c)) return "options menu";
  if (dynamic_cast<IZVPopUpMenuControl*>(c)) return "popup";
  if (dynamic_cast<IZVLoadWAVControl*>(c)) return "wav";
  if (dynamic_cast<IZVPresetMenu*>(c)) return "program";
  if (dynamic_cast<IZVUtilityKick*>(c)) return "kick";
  if (dynamic_cast<IZVSwitchMidiLearn*>(c)) return "learn";
  if (dynamic_cast<IZVInvisibleSwitch*>(c)) return "invisible";
  if (dynamic_cast<ITextControl*>(c)) return "text";
  if (dynamic_cast<IKnobMultiControl*>(c)) return "knob";
  if (dynamic_cast<ISwitchControl*>(c)) return "switch";
  if (dynamic_cast<IBitmapControl*>(c)) return "bitmap";
  return "other";
}

struct Row {
  int index;
  std::string kind;
  IRECT rect;
  int param;
};

IRECT knob(int x, int y) { return IRECT(x, y, x + 48, y + 48); }
IRECT switchV(int x, int y) { return IRECT(x, y, x + 16, y + 28); }
IRECT trimpot(int x, int y) { return IRECT(x - 4, y, x + 36, y + 48); }

std::vector<Row> expectedRows() {
  std::vector<Row> rows = {
      {0, "bitmap", IRECT(0, 0, 800, 360), -1},
      {1, "knob", knob(46, 60), kTune},
      {2, "switch", switchV(55, 184), kOctaveUp},
      {3, "knob", knob(118, 180), kInBalance},
      {4, "knob", knob(182, 180), kExtLevel},
      {5, "switch", IRECT(246, 136, 294, 154), kMeterMode},
      {6, "knob", knob(294, 180), kMicLevel},
      {7, "knob", knob(46, 276), kAccentBend},
      {8, "knob", knob(118, 276), kVibratoSpeed},
      {9, "knob", knob(182, 276), kVibratoDepth},
      {10, "switch", switchV(248, 280), kEnsemble},
      {11, "knob", knob(294, 276), kPitchBend},
      {12, "knob", IRECT(706, 102, 770, 166), kFinalVolume},
      {13, "knob", knob(710, 180), kOutBalance},
      {14, "knob", knob(710, 244), kVelocity},
      {15, "switch", switchV(759, 248), kKeyboard},
      {16, "knob", IRECT(204, 56, 336, 78), 112},
      {17, "bitmap", IRECT(530, 160, 662, 232), -1},
      {18, "bitmap", IRECT(0, 0, 800, 360), -1},
      {19, "small knob", trimpot(24, 292), kBias},
      {20, "small knob", trimpot(56, 292), kLimit},
      {21, "small knob", trimpot(88, 292), kSpeed},
      {22, "small knob", trimpot(136, 292), kAttack},
      {23, "small knob", trimpot(168, 292), kRelease},
      {24, "small knob", trimpot(216, 292), kEnsembleLeftRate1},
      {25, "small knob", trimpot(248, 292), kEnsembleLeftRate2},
      {26, "small knob", trimpot(288, 292), kEnsembleRightRate1},
      {27, "small knob", trimpot(320, 292), kEnsembleRightRate2},
  };
  for (int b = 0; b < 20; ++b) {
    rows.push_back({28 + 4 * b, "small knob", trimpot(64 + 36 * b, 80), kAnalysisFreq1 + b});
    rows.push_back({29 + 4 * b, "small knob", trimpot(64 + 36 * b, 128), kSynthesisFreq1 + b});
    rows.push_back({30 + 4 * b, "small knob", trimpot(64 + 36 * b, 176), kSynthesisLevel1 + b});
    rows.push_back({31 + 4 * b, "switch", switchV(73 + 36 * b, 224), kSynthesisFixed1 + b});
  }
  const std::vector<Row> last = {
      {108, "tools menu", IRECT(731, 260, 779, 280), -114},
      {109, "popup", IRECT(546, 262, 674, 278), kVocoderMode},
      {110, "wav", IRECT(410, 262, 538, 278), kInputMode},
      {111, "program", IRECT(390, 308, 633, 324), -1},
      {112, "kick", IRECT(365, 305, 387, 327), -108},
      {113, "kick", IRECT(416, 305, 438, 327), -109},
      {114, "options menu", IRECT(646, 306, 694, 326), -110},
      {115, "invisible", IRECT(759, 306, 779, 326), -113},
      {116, "learn", IRECT(702, 305, 754, 327), -111},
      {117, "text", IRECT(712, 24, 776, 36), -1},
  };
  rows.insert(rows.end(), last.begin(), last.end());
  return rows;
}

// The controls that the view switch hides in the normal view: the overlay, its nine
// small knobs, the 80 band controls and the tools menu.
bool isTweakControl(int index) { return index >= 18 && index <= 108; }
constexpr int kChancePicture = 17;

TEST(ZorqEditorLayout, AttachesEveryControlInOrderBoundAsListed) {
  EditorHarness h;
  const std::vector<Row> rows = expectedRows();
  ASSERT_EQ(rows.size(), 118u);
  ASSERT_EQ(h.editor->NControls(), ZorqEditor::kNumControls);
  for (const Row& row : rows) {
    IControl* c = h.control(row.index);
    EXPECT_EQ(kindOf(c), row.kind) << "control " << row.index;
    EXPECT_EQ(c->GetRECT(), row.rect) << "control " << row.index;
    EXPECT_EQ(c->ParamIdx(), row.param) << "control " << row.index;
  }
  EXPECT_STREQ(static_cast<ITextControl*>(h.control(117))->GetTextForPlug(), "v1.1.3.1");
  EXPECT_EQ(h.instrument.GetGUI(), h.editor);
}

TEST(ZorqEditorLayout, TweakSwitchShowsAndHidesExactlyTheTweakControls) {
  EditorHarness h;
  h.open();
  auto expectView = [&](bool tweak) {
    for (int i = 0; i < h.editor->NControls(); ++i) {
      if (i == kChancePicture) continue;
      EXPECT_EQ(h.control(i)->IsHidden(), isTweakControl(i) && !tweak) << "control " << i << (tweak ? " in tweak view" : "");
    }
  };
  expectView(false);
  std::vector<double> mainValues;
  for (int i = 1; i <= 16; ++i) mainValues.push_back(h.control(i)->GetValue());

  h.click(769, 316);
  EXPECT_TRUE(h.editor->tweakMode());
  expectView(true);
  // The overlay now takes the clicks over the main knobs: "Final Volume" stays.
  h.click(730, 126);
  h.click(769, 316);
  EXPECT_FALSE(h.editor->tweakMode());
  expectView(false);
  for (int i = 1; i <= 16; ++i) EXPECT_EQ(h.control(i)->GetValue(), mainValues[size_t(i - 1)]) << i;
}

// Visible from construction; then, with the window open, on about one redraw in ten.
TEST(ZorqEditorLayout, ChancePictureShowsOnAboutOneRedrawInTen) {
  EditorHarness h;
  IControl* picture = h.control(kChancePicture);
  h.instrument.RedrawParamControls();
  EXPECT_FALSE(picture->IsHidden());
  h.open();
  int shown = 0;
  for (int i = 0; i < 1000; ++i) {
    h.instrument.RedrawParamControls();
    shown += picture->IsHidden() ? 0 : 1;
  }
  EXPECT_GT(shown, 60);
  EXPECT_LT(shown, 140);
}

struct MeterCase {
  const char* name;
  double level;
  double expected;
};
void PrintTo(const MeterCase& c, std::ostream* out) { *out << c.name; }

class MeterMapping : public ::testing::TestWithParam<MeterCase> {};

TEST_P(MeterMapping, MapsLevelToMeterValue) {
  EXPECT_NEAR(ZorqEditor::meterValue(GetParam().level), GetParam().expected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, MeterMapping,
    ::testing::Values(MeterCase{"silence", 0.0, 0.0}, MeterCase{"justBelowMinus30dB", 0.0316, 0.0},
                      MeterCase{"minus30dB", 0.031623, (20.0 * std::log10(0.031623) + 30.0) / 36.0},
                      MeterCase{"zeroDB", 1.0, 30.0 / 36.0},
                      MeterCase{"exactlyTwo", 2.0, (20.0 * std::log10(2.0) + 30.0) / 36.0},
                      MeterCase{"aboveTwo", 2.5, 1.0}, MeterCase{"notANumber", std::nan(""), 0.0}),
    [](const ::testing::TestParamInfo<MeterCase>& info) { return std::string(info.param.name); });

TEST(ZorqEditorMeter, IdleShowsTheEngineLevelOnlyWhileTheWindowIsOpen) {
  EditorHarness h;
  h.instrument.SetSampleRate(44100.0);
  h.instrument.Reset();
  h.instrument.OnActivate(true);
  std::vector<double> tone(441), silence(441, 0.0);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = 0.5 * std::sin(2.0 * M_PI * 1000.0 * double(i) / 44100.0);
  double* in[4] = {tone.data(), tone.data(), silence.data(), silence.data()};
  std::vector<double> outLeft(441), outRight(441);
  double* out[2] = {outLeft.data(), outRight.data()};
  h.instrument.ProcessDoubleReplacing(in, out, 441);
  const double level = std::fabs(h.instrument.meterAccumulator()) * h.instrument.reciprocal();
  ASSERT_GT(level, 0.031623);

  IControl* meter = h.control(16);
  h.instrument.OnIdle();
  EXPECT_EQ(meter->GetValue(), 0.0);
  h.open();
  h.instrument.OnIdle();
  EXPECT_DOUBLE_EQ(meter->GetValue(), ZorqEditor::meterValue(level));
  // A drag on the meter reaches no parameter.
  const std::vector<double> before = [&] {
    std::vector<double> values;
    for (int i = 0; i < h.instrument.NParams(); ++i) values.push_back(h.instrument.GetParam(i)->Value());
    return values;
  }();
  IMouseMod left(true);
  h.editor->OnMouseDown(250, 66, &left);
  h.editor->OnMouseDrag(250, 40, &left);
  h.editor->OnMouseUp(250, 40, &left);
  for (int i = 0; i < h.instrument.NParams(); ++i) EXPECT_EQ(h.instrument.GetParam(i)->Value(), before[size_t(i)]) << i;
}

TEST(ZorqEditorImages, EveryArtworkImageIsEmbeddedAndFoundByBaseName) {
  registerEditorBitmaps();
  size_t count = 0;
  const EmbeddedBitmap* images = embeddedBitmaps(&count);
  std::set<std::string> names;
  for (size_t i = 0; i < count; ++i) names.insert(images[i].name);
  EXPECT_EQ(names, (std::set<std::string>{"back", "knob", "knob_big", "learn", "next", "prev", "responce",
                                          "switch_h", "switch_v", "trimpot", "tweak", "unlearn", "vumeter"}));
  std::unique_ptr<LICE_IBitmap> knob(BitmapResources::Load("resources/img/knob.png"));
  ASSERT_NE(knob, nullptr);
  EXPECT_EQ(knob->getWidth(), 48);
  EXPECT_EQ(knob->getHeight(), 48 * 65);
}

// A skin folder replaces images by name; the others stay embedded.
TEST(ZorqEditorImages, SkinFolderReplacesImagesByName) {
  TempFolder skin;
  LICE_MemBitmap small(7, 5);
  ASSERT_TRUE(LICE_WritePNG((skin / "knob.png").c_str(), &small));
  registerEditorBitmaps(skin.path());
  std::unique_ptr<LICE_IBitmap> knob(BitmapResources::Load("knob.png"));
  std::unique_ptr<LICE_IBitmap> back(BitmapResources::Load("back.png"));
  registerEditorBitmaps();
  ASSERT_NE(knob, nullptr);
  EXPECT_EQ(knob->getWidth(), 7);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->getWidth(), 800);
}

// Without any image the editor is still whole: controls sit at their corners with
// no area, clicks and redraws find nothing to crash on.
TEST(ZorqEditorImages, MissingImagesNeverCrashTheEditor) {
  const char* names[] = {"back", "knob", "knob_big", "switch_v", "switch_h", "vumeter", "learn",
                         "unlearn", "prev", "next", "responce", "tweak", "trimpot"};
  const int ids[] = {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
  auto evict = [&] {
    HeadlessPlatform* platform = new HeadlessPlatform;
    IGraphics scratch(nullptr, 10, 10, 0, std::unique_ptr<IGraphicsPlatform>(platform));
    for (size_t i = 0; i < std::size(ids); ++i) {
      IBitmap cached = scratch.LoadIBitmap(ids[i], (std::string(names[i]) + ".png").c_str());
      scratch.ReleaseBitmap(&cached);
    }
  };
  evict();
  BitmapResources::Clear();
  {
    auto headless = std::make_unique<HeadlessPlatform>();
    HeadlessPlatform* platform = headless.get();
    ZORQ instrument;
    ZorqEditor* editor = ZorqEditor::attach(&instrument, std::move(headless));
    ASSERT_EQ(editor->NControls(), ZorqEditor::kNumControls);
    editor->OpenWindow(nullptr);
    while (platform->Tick()) {
    }
    EXPECT_EQ(editor->GetControl(1)->GetRECT(), IRECT(46, 60, 46, 60));
    for (const auto& [x, y] : {std::pair{769, 316}, {710, 310}, {376, 316}, {427, 316}, {769, 316}}) {
      IMouseMod left(true);
      editor->OnMouseDown(x, y, &left);
      editor->OnMouseUp(x, y, &left);
      while (platform->Tick()) {
      }
    }
    // The program buttons have no area without their pictures: nothing changed.
    EXPECT_EQ(instrument.GetCurrentPresetIdx(), 0);
  }
  evict();
  registerEditorBitmaps();
}

}  // namespace
