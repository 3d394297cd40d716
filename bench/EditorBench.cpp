// The instrument's editor through the headless platform: a full redraw of the main
// view and of the tweak view, and the typical timer tick in which one knob and the
// level meter changed. Counters: microseconds per tick, and the share of the editor's
// 40 ms redraw tick it takes.
#include <benchmark/benchmark.h>

#include <memory>

#include "editor/EmbeddedBitmaps.h"
#include "editor/ZorqEditor.h"
#include "engine/ZORQ.h"
#include "gui/IControl.h"
#include "platform/headless/HeadlessPlatform.h"
#include "raster/LICE.h"

namespace {
constexpr double kTickSeconds = 0.040;

struct OpenEditor {
  explicit OpenEditor(bool tweak) {
    registerEditorBitmaps();
    instrument = std::make_unique<ZORQ>();
    auto headless = std::make_unique<HeadlessPlatform>();
    platform = headless.get();
    editor = ZorqEditor::attach(instrument.get(), std::move(headless));
    editor->OpenWindow(nullptr);
    if (tweak) {
      editor->setTweakMode(true);
      editor->hideTweakControls(false);
    }
    while (platform->Tick()) platform->calls.clear();
  }
  std::unique_ptr<ZORQ> instrument;
  ZorqEditor* editor = nullptr;
  HeadlessPlatform* platform = nullptr;
};

void setTickCounters(benchmark::State& state) {
  const double ticks = static_cast<double>(state.iterations());
  state.counters["us_per_tick"] =
      benchmark::Counter(ticks * 1e-6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["tick_share"] = benchmark::Counter(
      ticks * kTickSeconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void fullRedraw(benchmark::State& state, bool tweak) {
  OpenEditor e(tweak);
  for (auto _ : state) {
    e.editor->SetAllControlsDirty();
    e.platform->Tick();
    benchmark::DoNotOptimize(e.editor->GetDrawBitmap()->getBits());
    e.platform->calls.clear();
  }
  setTickCounters(state);
}

void BM_EditorFullRedrawMain(benchmark::State& state) { fullRedraw(state, false); }
void BM_EditorFullRedrawTweak(benchmark::State& state) { fullRedraw(state, true); }

// "Tune" moves (host automation) and the meter shows a new level, as in playing.
void BM_EditorTypicalTick(benchmark::State& state) {
  OpenEditor e(false);
  IControl* meter = e.editor->GetControl(16);
  int step = 0;
  for (auto _ : state) {
    ++step;
    e.editor->SetParameterFromPlug(kTune, (step % 2) ? 0.25 : 0.75, true);
    meter->SetValueFromPlug((step % 31) / 30.0);
    e.platform->Tick();
    benchmark::DoNotOptimize(e.editor->GetDrawBitmap()->getBits());
    e.platform->calls.clear();
  }
  setTickCounters(state);
}

BENCHMARK(BM_EditorFullRedrawMain)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFullRedrawTweak)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorTypicalTick)->Unit(benchmark::kMicrosecond);
}  // namespace
