// The editor's two views at default settings, drawn through the headless platform and
// compared pixel by pixel with committed pictures (fonts from the pinned Debian font
// package). After an intended change of the layout, the controls or the artwork,
// `make golden` draws them again; look at tests/editor/data/golden-*.png before
// committing them.
#include <gtest/gtest.h>

#include "EditorTestSupport.h"

namespace {

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
