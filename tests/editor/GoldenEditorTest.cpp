// The editor's two views at default settings, drawn through the headless platform and
// compared pixel by pixel with committed pictures (fonts from the pinned Debian font
// package). After an intended change of the layout, the controls or the artwork,
// regenerate them with
//   ZORQ_REGENERATE_GOLDEN=1 editor_tests --gtest_filter='GoldenEditor.*'
// and look at tests/editor/data/golden-main.png and golden-tweak.png.
#include <gtest/gtest.h>

#include "EditorTestSupport.h"

namespace {

TEST(GoldenEditor, MainViewAtDefaults) {
  EditorHarness h;
  h.open();
  EXPECT_EQ(compareWithGolden(h.editor->GetDrawBitmap(), "golden-main.png"), 0);
}

TEST(GoldenEditor, TweakViewAtDefaults) {
  EditorHarness h;
  h.open();
  h.click(769, 316);
  h.settle();
  EXPECT_EQ(compareWithGolden(h.editor->GetDrawBitmap(), "golden-tweak.png"), 0);
}

}  // namespace
