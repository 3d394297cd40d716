// The editor's layout: each parameter's control and the band rows; the tweak view; the
// level meter; missing images.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "EditorTestSupport.h"
#include "gui/BitmapResources.h"
#include "gui/ITextControl.h"

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
  EXPECT_STREQ(static_cast<ITextControl*>(h.control(117))->GetTextForPlug(), "v1.1.3.1");
}

// What each view shows is fixed by the golden pictures; here the switch goes back and
// the tweak overlay (controls 18 to 108) takes clicks meant for the main view below it.
TEST(ZorqEditorLayout, TweakSwitchGoesBackAndTheOverlayTakesTheClicks) {
  EditorHarness h;
  h.open();
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

// Without any image the editor is still whole: controls sit at their corners without
// area, and redraws and clicks find nothing to crash on.
TEST(ZorqEditorImages, MissingImagesNeverCrashTheEditor) {
  evictEditorImages();
  BitmapResources::Clear();
  {
    EditorHarness h(false);
    h.open();
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

}  // namespace
