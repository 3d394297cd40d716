// Writes the reference files the tests compare with, each from the code its test uses:
// the editor's two views (tests/editor/data), the cross-build state in its four forms
// (tests/engine/data/cross-build) and the golden program and bank file
// (tests/framework/data). Run by `make golden` after an intended change; look at what
// changed (`git diff --stat`, the pictures) before committing it. The byte images are
// the 64-bit build's, which the 32-bit build must then match.
#include <gtest/gtest.h>

#include <string>

#include "editor/EditorTestSupport.h"
#include "engine/CrossBuildState.h"
#include "engine/EngineHarness.h"
#include "framework/FileBytes.h"
#include "framework/GoldenProgramFiles.h"
#include "support/TempFolder.h"

namespace {
const std::string kTests = ZORQ_TESTS_DIR;

TEST(GoldenWriter, EditorViews) {
  for (const GoldenView& view : kGoldenViews) {
    EditorHarness h;
    const std::string path = kTests + "/editor/data/" + view.file;
    ASSERT_TRUE(LICE_WritePNG(path.c_str(), drawGoldenView(h, view))) << path;
  }
}

TEST(GoldenWriter, CrossBuildState) {
  ASSERT_EQ(sizeof(void*), 8u) << "the references are the 64-bit build's";
  TempFolder temp;
  for (const crossbuild::Form& form : crossbuild::kForms) {
    EngineHarness source;  // a fresh one per form, as the test makes it
    crossbuild::setFixedState(*source.plug);
    const std::string path = kTests + "/engine/data/cross-build/" + form.file;
    ASSERT_TRUE(writeFileAtomically(path, crossbuild::write(*source.plug, form, temp / "scratch")))
        << path;
  }
}

TEST(GoldenWriter, ProgramFiles) {
  for (const std::string& name : goldenprogramfiles::kNames) {
    const std::string path = kTests + "/framework/data/" + name;
    ASSERT_TRUE(goldenprogramfiles::save(name, path)) << path;
  }
}
}  // namespace
