// zorq-snapshot: both views drawn, parameters set by name on the drawn instrument, an
// unknown parameter refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>

#include "gui/IGraphicsStructs.h"
#include "raster/LICE.h"
#include "support/TempFolder.h"
#include "zorq-render/RenderError.h"
#include "zorq-snapshot/Snapshot.h"

namespace {

// The picture of the instrument with one setting, in either view.
std::unique_ptr<LICE_IBitmap> snapshot(const TempFolder& folder, const std::string& setting,
                                       bool tweakView = false) {
  SnapshotOptions options{"", {setting}, tweakView, false, folder / "shot.png"};
  std::ostringstream out;
  renderSnapshot(options, out);
  std::unique_ptr<LICE_IBitmap> picture(LICE_LoadPNG(options.output.c_str()));
  std::remove(options.output.c_str());  // the next picture must be written anew
  return picture;
}

// The rectangle that holds every differing pixel; empty when the pictures agree.
IRECT differences(const LICE_IBitmap& a, const LICE_IBitmap& b) {
  IRECT r;
  for (int y = 0; y < a.getHeight(); ++y)
    for (int x = 0; x < a.getWidth(); ++x)
      if (LICE_RowPointer(&a, y)[x] != LICE_RowPointer(&b, y)[x])
        r = r.Union(IRECT(x, y, x + 1, y + 1));
  return r;
}

TEST(ZorqSnapshot, DrawsBothViewsWithParametersSetByName) {
  TempFolder folder;
  const auto main = snapshot(folder, "Vocoder Mode=VE-10 Standard");
  const auto changed = snapshot(folder, "Vocoder Mode=VE-10 Full Bands");
  const auto tweaked = snapshot(folder, "Vocoder Mode=VE-10 Standard", true);
  ASSERT_TRUE(main && changed && tweaked);
  EXPECT_EQ(main->getWidth(), 800);
  EXPECT_EQ(main->getHeight(), 360);
  // Only the "Vocoder Mode" display changed.
  const IRECT changedArea = differences(*main, *changed);
  EXPECT_FALSE(changedArea.Empty());
  EXPECT_EQ(changedArea.Intersect(IRECT(546, 262, 674, 278)), changedArea);
  EXPECT_FALSE(differences(*main, *tweaked).Empty());
  EXPECT_THROW(snapshot(folder, "No Such Knob=1"), RenderError);
}

}  // namespace
