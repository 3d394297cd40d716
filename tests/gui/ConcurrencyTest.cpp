// Values pushed into the controls from the audio thread (learned controllers) and
// the host's automation thread while the editor's thread draws and edits. The
// ThreadSanitizer build (make test-tsan) reports any unsynchronised access.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "GuiTestSupport.h"
#include "gui/IBitmapControl.h"
#include "gui/IKnobControl.h"

namespace {

TEST(Concurrency, PushedValuesAndEditorThreadShareControlsSafely) {
  TestEditor editor(120, 60);
  auto frames = numberedFrames(20, 20, 65);
  IBitmap knobBitmap(frames.get(), 20, 20 * 65, 65);
  auto* gain = editor.add(new IKnobMultiControl(&editor.plug, 0, 0, 0, &knobBitmap));
  auto* follower = editor.add(new IKnobMultiControl(&editor.plug, 30, 0, 1, &knobBitmap));
  follower->AddAuxParam(0);
  IBitmap lamp(frames.get(), 20, 40, 2);
  editor.add(new ISwitchControl(&editor.plug, 60, 0, 2, &lamp));
  editor.attach();
  editor.platform->windowOpen = true;
  AEffect* effect = editor.effect();

  constexpr int kRounds = 4000;
  std::atomic<int> running{2};
  std::thread audio([&] {
    for (int i = 0; i < kRounds; ++i) {
      editor.graphics->SetParameterFromPlug(0, (i % 100) / 100.0, true);
      editor.graphics->SetParameterFromPlug(2, i & 1, false);
    }
    --running;
  });
  std::thread automation([&] {
    for (int i = 0; i < kRounds; ++i) effect->setParameter(effect, 0, float(i % 7) / 7.0f);
    --running;
  });
  IMouseMod mod(true);
  int y = 10;
  while (running > 0) {
    editor.platform->Tick();
    editor.graphics->OnMouseDown(10, 10, &mod);
    editor.graphics->OnMouseDrag(10, y = (y == 10 ? 4 : 10), &mod);
    editor.graphics->OnMouseUp(10, y, &mod);
    editor.graphics->OnMouseDown(65, 5, &mod);
    editor.graphics->OnMouseUp(65, 5, &mod);
  }
  audio.join();
  automation.join();
  editor.settle();
  for (const double value : {gain->GetValue(), follower->GetAuxParam(0)->mValue.load()}) {
    EXPECT_GE(value, 0.0);
    EXPECT_LE(value, 1.0);
  }
}

}  // namespace
