// The editor's layout: every control in attach order with its rectangle and binding;
// the normal and tweak views; the level meter; embedded, skinned and missing images.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "gui/BitmapResources.h"
#include "gui/ITextControl.h"
#include "shell/ZorqVersion.h"
#include "support/TempFolder.h"

namespace {

// Each parameter has at most one control; the four rows of band controls run from band 1
// on the left to band 20 on the right. (The golden pictures fix where everything is.)
TEST(ZorqEditorLayout, BindsEachParameterOnceAndTheBandsLeftToRight) {
  EditorHarness h;
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

// What each view shows is fixed by the golden pictures; here the switch goes back and
// the tweak overlay (controls 18 to 108) takes clicks meant for the main view below it.
TEST(ZorqEditorLayout, TweakSwitchGoesBackAndTheOverlayTakesTheClicks) {
  OpenEditor h;
  const double volume = h.controlValue(kFinalVolume);
  h.click(769, 316);
  h.click(730, 126);  // "Final Volume" lies under the overlay
  h.click(769, 316);
  EXPECT_FALSE(h.editor->tweakMode());
  for (int i = 18; i <= 108; ++i) EXPECT_TRUE(h.control(i)->IsHidden()) << i;
  EXPECT_EQ(h.controlValue(kFinalVolume), volume);
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
  size_t count = 0;
  const EmbeddedBitmap* embedded = embeddedBitmaps(&count);
  for (size_t i = 0; i < count; ++i)
    if (std::string(embedded[i].name) == "prev") {
      std::unique_ptr<LICE_IBitmap> image(
          LICE_LoadPNGFromMemory(embedded[i].bytes, embedded[i].size));
      writePicture("prev.png", image->getWidth(), image->getHeight());
    }
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

}  // namespace
