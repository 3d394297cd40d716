// Which scale the editor's window gets (the host's factor, else the screen's, else
// the user's), and how the adapter's editor rectangle and the host follow it.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"

namespace {

struct ScaleCase {
  const char* name;
  float hostFactor;  // 0: the host sent none
  int systemScale;
  int preferred;
  int expected;
};
void PrintTo(const ScaleCase& c, std::ostream* os) { *os << c.name; }

class EditorScale : public testing::TestWithParam<ScaleCase> {};

TEST_P(EditorScale, DecidesTheWindowSize) {
  const ScaleCase& c = GetParam();
  TestEditor editor;
  editor.platform->canOpenWindow = true;
  editor.platform->systemScale = c.systemScale;
  editor.graphics->SetPreferredScale(c.preferred);
  editor.attach();
  if (c.hostFactor > 0)
    editor.plug.GetAEffect()->dispatcher(editor.plug.GetAEffect(), effVendorSpecific, kVstScaleVendorIndex,
                                         kVstScaleVendorValue, nullptr, c.hostFactor);
  ERect* rect = nullptr;
  AEffect* effect = editor.plug.GetAEffect();
  ASSERT_EQ(effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0), 1);
  EXPECT_EQ(rect->right, 200 * c.expected);
  EXPECT_EQ(rect->bottom, 100 * c.expected);
  EXPECT_TRUE(effect->flags & effFlagsHasEditor);
}

INSTANTIATE_TEST_SUITE_P(Sources, EditorScale,
                         testing::Values(ScaleCase{"NothingSaysSoOne", 0, 0, 0, 1},
                                         ScaleCase{"UsersChoice", 0, 0, 2, 2},
                                         ScaleCase{"ScreenBeforeUser", 0, 2, 1, 2},
                                         ScaleCase{"HostBeforeScreen", 1.0f, 2, 2, 1},
                                         ScaleCase{"HostOneAndAHalfDoubles", 1.5f, 0, 0, 2},
                                         ScaleCase{"HostBelowOneAndAHalf", 1.25f, 0, 2, 1}),
                         [](const testing::TestParamInfo<ScaleCase>& info) { return std::string(info.param.name); });

TEST(EditorScale, AnOpenWindowsHostIsAskedToResize) {
  TestEditor editor;
  editor.attach();
  AEffect* effect = editor.plug.GetAEffect();
  EXPECT_FALSE(effect->flags & effFlagsHasEditor);  // the headless layer shows no window
  ASSERT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, nullptr, 0), 1);
  effect->dispatcher(effect, effVendorSpecific, kVstScaleVendorIndex, kVstScaleVendorValue, nullptr, 2.0f);
  effect->dispatcher(effect, effVendorSpecific, kVstScaleVendorIndex, kVstScaleVendorValue, nullptr, 2.0f);
  std::vector<HostCall> resizes;
  for (const HostCall& call : editor.plug.calls)
    if (call.opcode == audioMasterSizeWindow) resizes.push_back(call);
  ASSERT_EQ(resizes.size(), 1u);  // the second message changed nothing
  EXPECT_EQ(resizes[0].index, 400);
  EXPECT_TRUE(editor.platform->Called("WindowResized", {"200", "100"}));
  EXPECT_EQ(effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0), 1);
  EXPECT_FALSE(editor.graphics->WindowIsOpen());
}

}  // namespace
