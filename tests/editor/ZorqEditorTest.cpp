// The editor's layout: every control in attach order with its rectangle and binding;
// the normal and tweak views; the chance picture; the level meter; embedded, skinned
// and missing images.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

#include "EditorTestSupport.h"
#include "gui/ITextControl.h"
#include "platform/BitmapResources.h"
#include "support/TempFolder.h"

static void PrintTo(const IRECT& r, std::ostream* out) {
  *out << "(" << r.L << ", " << r.T << ", " << r.R << ", " << r.B << ")";
}

namespace {

struct Row {
  IRECT rect;
  int param;
};
IRECT knob(int x, int y) { return IRECT(x, y, x + 48, y + 48); }
IRECT switchV(int x, int y) { return IRECT(x, y, x + 16, y + 28); }
IRECT trimpot(int x, int y) { return IRECT(x - 4, y, x + 36, y + 48); }

// Index by index, as attached (rows 28 to 107: four controls per band).
std::vector<Row> expectedRows() {
  std::vector<Row> rows = {
      {IRECT(0, 0, 800, 360), -1}, {knob(46, 60), kTune}, {switchV(55, 184), kOctaveUp}, {knob(118, 180), kInBalance},
      {knob(182, 180), kExtLevel}, {IRECT(246, 136, 294, 154), kMeterMode}, {knob(294, 180), kMicLevel},
      {knob(46, 276), kAccentBend}, {knob(118, 276), kVibratoSpeed}, {knob(182, 276), kVibratoDepth},
      {switchV(248, 280), kEnsemble}, {knob(294, 276), kPitchBend}, {IRECT(706, 102, 770, 166), kFinalVolume},
      {knob(710, 180), kOutBalance}, {knob(710, 244), kVelocity}, {switchV(759, 248), kKeyboard},
      {IRECT(204, 56, 336, 78), 112}, {IRECT(530, 160, 662, 232), -1}, {IRECT(0, 0, 800, 360), -1},
      {trimpot(24, 292), kBias}, {trimpot(56, 292), kLimit}, {trimpot(88, 292), kSpeed}, {trimpot(136, 292), kAttack},
      {trimpot(168, 292), kRelease}, {trimpot(216, 292), kEnsembleLeftRate1}, {trimpot(248, 292), kEnsembleLeftRate2},
      {trimpot(288, 292), kEnsembleRightRate1}, {trimpot(320, 292), kEnsembleRightRate2}};
  for (int b = 0; b < 20; ++b) {
    rows.push_back({trimpot(64 + 36 * b, 80), kAnalysisFreq1 + b});
    rows.push_back({trimpot(64 + 36 * b, 128), kSynthesisFreq1 + b});
    rows.push_back({trimpot(64 + 36 * b, 176), kSynthesisLevel1 + b});
    rows.push_back({switchV(73 + 36 * b, 224), kSynthesisFixed1 + b});
  }
  rows.insert(rows.end(), {{IRECT(731, 260, 779, 280), -114}, {IRECT(546, 262, 674, 278), kVocoderMode},
                           {IRECT(410, 262, 538, 278), kInputMode}, {IRECT(390, 308, 633, 324), -1},
                           {IRECT(365, 305, 387, 327), -108}, {IRECT(416, 305, 438, 327), -109},
                           {IRECT(646, 306, 694, 326), -110}, {IRECT(759, 306, 779, 326), -113},
                           {IRECT(702, 305, 754, 327), -111}, {IRECT(712, 24, 776, 36), -1}});
  return rows;
}

// Hidden in the normal view: the overlay, its nine small knobs, the 80 band controls
// and the tools menu.
bool isTweakControl(int index) { return index >= 18 && index <= 108; }
constexpr int kChancePicture = 17;

TEST(ZorqEditorLayout, AttachesEveryControlInOrderBoundAsListed) {
  EditorHarness h;
  const std::vector<Row> rows = expectedRows();
  ASSERT_EQ(rows.size(), 118u);
  ASSERT_EQ(h.editor->NControls(), ZorqEditor::kNumControls);
  for (int i = 0; i < ZorqEditor::kNumControls; ++i) {
    EXPECT_EQ(h.control(i)->GetRECT(), rows[size_t(i)].rect) << "control " << i;
    EXPECT_EQ(h.control(i)->ParamIdx(), rows[size_t(i)].param) << "control " << i;
  }
  EXPECT_STREQ(static_cast<ITextControl*>(h.control(117))->GetTextForPlug(), "v1.1.3.1");
}

TEST(ZorqEditorLayout, TweakSwitchShowsAndHidesExactlyTheTweakControls) {
  EditorHarness h;
  h.open();
  auto expectView = [&](bool tweak) {
    for (int i = 0; i < h.editor->NControls(); ++i)
      if (i != kChancePicture) {
        EXPECT_EQ(h.control(i)->IsHidden(), isTweakControl(i) && !tweak) << i;
      }
  };
  expectView(false);
  std::vector<double> mainValues;
  for (int i = 1; i <= 16; ++i) mainValues.push_back(h.control(i)->GetValue());
  h.click(769, 316);
  EXPECT_TRUE(h.editor->tweakMode());
  expectView(true);
  h.click(730, 126);  // "Final Volume" lies under the overlay, which takes the click
  h.click(769, 316);
  expectView(false);
  for (int i = 1; i <= 16; ++i) EXPECT_EQ(h.control(i)->GetValue(), mainValues[size_t(i - 1)]) << i;
}

// Visible from construction; with the window open, on about one redraw in ten.
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
  double level, expected;
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
                      MeterCase{"zeroDB", 1.0, 30.0 / 36.0}, MeterCase{"exactlyTwo", 2.0, (20.0 * std::log10(2.0) + 30.0) / 36.0},
                      MeterCase{"aboveTwo", 2.5, 1.0}, MeterCase{"notANumber", std::nan(""), 0.0}),
    [](const ::testing::TestParamInfo<MeterCase>& info) { return std::string(info.param.name); });

TEST(ZorqEditorMeter, IdleShowsTheEngineLevelWhileTheWindowIsOpen) {
  EditorHarness h;
  h.instrument.SetSampleRate(44100.0);
  h.instrument.Reset();
  h.instrument.OnActivate(true);
  std::vector<double> tone(441), silence(441, 0.0), outL(441), outR(441);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = 0.5 * std::sin(2.0 * M_PI * 1000.0 * double(i) / 44100.0);
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

// The embedded images by base name; a skin folder replaces some of them by name.
TEST(ZorqEditorImages, EmbeddedImagesAreFoundByNameAndSkinsReplaceThem) {
  TempFolder skin;
  LICE_MemBitmap small(7, 5);
  ASSERT_TRUE(LICE_WritePNG((skin / "knob.png").c_str(), &small));
  registerEditorBitmaps(skin.path());
  std::unique_ptr<LICE_IBitmap> skinned(BitmapResources::Load("resources/img/knob.png"));
  std::unique_ptr<LICE_IBitmap> back(BitmapResources::Load("back.png"));
  registerEditorBitmaps();
  std::unique_ptr<LICE_IBitmap> knob(BitmapResources::Load("resources/img/knob.png"));
  ASSERT_TRUE(skinned && back && knob);
  EXPECT_EQ(skinned->getWidth(), 7);
  EXPECT_EQ(back->getWidth(), 800);
  EXPECT_EQ(knob->getWidth(), 48);
  EXPECT_EQ(knob->getHeight(), 48 * 65);
  size_t count = 0;
  embeddedBitmaps(&count);
  EXPECT_EQ(count, 13u);
}

// Without any image the editor is still whole: controls sit at their corners without
// area, and redraws and clicks find nothing to crash on.
TEST(ZorqEditorImages, MissingImagesNeverCrashTheEditor) {
  const std::pair<int, const char*> images[] = {{1, "back"}, {2, "knob"},  {3, "knob_big"}, {5, "switch_v"},
                                                {6, "switch_h"}, {7, "vumeter"}, {8, "learn"}, {9, "unlearn"},
                                                {10, "prev"}, {11, "next"}, {12, "responce"}, {13, "tweak"}, {14, "trimpot"}};
  auto evictCachedImages = [&] {
    IGraphics scratch(nullptr, 10, 10, 0, std::make_unique<HeadlessPlatform>());
    for (const auto& [id, name] : images) {
      IBitmap cached = scratch.LoadIBitmap(id, (std::string(name) + ".png").c_str());
      scratch.ReleaseBitmap(&cached);
    }
  };
  evictCachedImages();
  BitmapResources::Clear();
  {
    auto headless = std::make_unique<HeadlessPlatform>();
    HeadlessPlatform* platform = headless.get();
    ZORQ instrument;
    ZorqEditor* editor = ZorqEditor::attach(&instrument, std::move(headless));
    editor->OpenWindow(nullptr);
    EXPECT_EQ(editor->GetControl(1)->GetRECT(), IRECT(46, 60, 46, 60));
    for (const auto& [x, y] : {std::pair{769, 316}, {710, 310}, {376, 316}, {427, 316}, {769, 316}}) {
      IMouseMod left(true);
      editor->OnMouseDown(x, y, &left);
      editor->OnMouseUp(x, y, &left);
      while (platform->Tick()) {
      }
    }
    EXPECT_EQ(instrument.GetCurrentPresetIdx(), 0);  // the program buttons have no area
  }
  evictCachedImages();
  registerEditorBitmaps();
}

}  // namespace
