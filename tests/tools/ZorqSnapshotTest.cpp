// zorq-snapshot: both views drawn, parameters set by name on the drawn instrument, an
// unknown parameter refused.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "gui/IGraphicsStructs.h"
#include "raster/LICE.h"
#include "support/TempFolder.h"
#include "zorq-render/RenderError.h"
#include "zorq-snapshot/Snapshot.h"

namespace {

std::unique_ptr<LICE_IBitmap> snapshot(SnapshotOptions options, const std::string& path) {
  options.output = path;
  std::ostringstream out;
  renderSnapshot(options, out);
  return std::unique_ptr<LICE_IBitmap>(LICE_LoadPNG(path.c_str()));
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
  SnapshotOptions standard;
  standard.settings = {"Vocoder Mode=VE-10 Standard"};
  const auto main = snapshot(standard, folder / "main.png");
  SnapshotOptions fullBands;
  fullBands.settings = {"Vocoder Mode=VE-10 Full Bands"};
  const auto changed = snapshot(fullBands, folder / "full.png");
  SnapshotOptions tweak = standard;
  tweak.tweakView = true;
  const auto tweaked = snapshot(tweak, folder / "tweak.png");
  ASSERT_TRUE(main && changed && tweaked);
  EXPECT_EQ(main->getWidth(), 800);
  EXPECT_EQ(main->getHeight(), 360);
  // Only the "Vocoder Mode" display changed.
  const IRECT changedArea = differences(*main, *changed);
  EXPECT_FALSE(changedArea.Empty());
  EXPECT_EQ(changedArea.Intersect(IRECT(546, 262, 674, 278)), changedArea);
  EXPECT_FALSE(differences(*main, *tweaked).Empty());
  SnapshotOptions unknown;
  unknown.settings = {"No Such Knob=1"};
  EXPECT_THROW(snapshot(unknown, folder / "x.png"), RenderError);
}

}  // namespace
