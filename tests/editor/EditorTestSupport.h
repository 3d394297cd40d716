// The instrument with its editor on the headless platform, the embedded images
// registered, and helpers that click, draw and compare pictures.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "editor/EmbeddedBitmaps.h"
#include "editor/ZorqEditor.h"
#include "engine/ZORQ.h"
#include "gui/IControl.h"
#include "platform/headless/HeadlessPlatform.h"
#include "raster/LICE.h"

struct EditorHarness {
  explicit EditorHarness(bool registerImages = true) {
    if (registerImages) registerEditorBitmaps();
    auto headless = std::make_unique<HeadlessPlatform>();
    platform = headless.get();
    editor = ZorqEditor::attach(&instrument, std::move(headless));
  }
  // Opens the (headless) window and draws everything.
  void open() {
    editor->OpenWindow(nullptr);
    settle();
  }
  void settle() {
    while (platform->Tick()) {
    }
  }
  void click(int x, int y, IMouseMod mod = IMouseMod(true)) {
    editor->OnMouseDown(x, y, &mod);
    editor->OnMouseUp(x, y, &mod);
  }
  IControl* control(int index) const { return editor->GetControl(index); }
  // The value of the first control bound to param.
  double controlValue(int param) const {
    for (int i = 0; i < editor->NControls(); ++i)
      if (control(i)->ParamIdx() == param) return control(i)->GetValue();
    return -1.0;
  }

  ZORQ instrument;
  ZorqEditor* editor = nullptr;  // owned by the instrument
  HeadlessPlatform* platform = nullptr;
};

// The same with its (headless) window open.
struct OpenEditor : EditorHarness {
  explicit OpenEditor(bool registerImages = true) : EditorHarness(registerImages) { open(); }
};

// The editor's two views at default settings as the committed pictures show them
// (data/golden-main.png, golden-tweak.png; only `make golden` writes them again).
struct GoldenView {
  const char* file;
  bool tweak;
};
inline const GoldenView kGoldenViews[] = {{"golden-main.png", false}, {"golden-tweak.png", true}};

// Opens the editor, switches to the view and returns the drawn raster.
inline const LICE_IBitmap* drawGoldenView(EditorHarness& h, const GoldenView& view) {
  h.open();
  if (view.tweak) {
    h.click(769, 316);  // the view switch
    h.settle();
  }
  return h.editor->GetDrawBitmap();
}

// Compares the editor's raster with a committed picture pixel by pixel, outside the
// rectangle `except` when one is given. Returns the number of pixels that differ (-1
// when the picture is missing or has another size).
inline int compareWithGolden(const LICE_IBitmap* drawn, const std::string& fileName,
                             const IRECT* except = nullptr) {
  const char* folder = std::getenv("ZORQ_TEST_DATA");
  if (!folder || !drawn) return -1;
  const std::string path = std::string(folder) + "/" + fileName;
  std::unique_ptr<LICE_IBitmap> expected(LICE_LoadPNG(path.c_str()));
  if (!expected || expected->getWidth() != drawn->getWidth() ||
      expected->getHeight() != drawn->getHeight())
    return -1;
  int differing = 0;
  for (int y = 0; y < drawn->getHeight(); ++y)
    for (int x = 0; x < drawn->getWidth(); ++x)
      differing += (!except || !except->Contains(x, y)) &&
                   LICE_RowPointer(drawn, y)[x] != LICE_RowPointer(expected.get(), y)[x];
  return differing;
}

// Drops the editor's images (ids 1 to 14) from the process-wide bitmap cache, so that
// the next editor loads them again, from the images registered then.
inline void evictEditorImages() {
  IGraphics scratch(nullptr, 10, 10, 0, std::make_unique<HeadlessPlatform>());
  for (int id = 1; id <= 14; ++id) {
    IBitmap cached = scratch.LoadIBitmap(id, "none.png");
    scratch.ReleaseBitmap(&cached);
  }
}
