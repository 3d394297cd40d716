// One full redraw of an 800 x 360 editor: an opaque background, 100 knobs drawn from
// 48 x 48 frames with source alpha, and 20 short texts. Counters: microseconds per
// frame, and the share of the editor's 40 ms redraw tick one frame takes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "framework/IPlugBase.h"
#include "gui/IBitmapControl.h"
#include "gui/IGraphics.h"
#include "gui/IKnobControl.h"
#include "gui/ITextControl.h"
#include "platform/headless/HeadlessPlatform.h"
#include "raster/LICE.h"

namespace {
constexpr int kWidth = 800, kHeight = 360;
constexpr int kKnobs = 100, kTexts = 20, kFrames = 65, kKnobSize = 48;
constexpr double kTickSeconds = 0.040;

class BenchPlug : public IPlugBase {
 public:
  BenchPlug()
      : IPlugBase(0, "2-2", 1, "Bench", "Bench", "Bench", 0x10000, 1, 1, 0, false, true, false, 0) {
  }
};

// Discs with a soft edge, so most pixels need the source-alpha blend.
std::unique_ptr<LICE_MemBitmap> knobFrames() {
  auto bitmap = std::make_unique<LICE_MemBitmap>(kKnobSize, kKnobSize * kFrames);
  for (int y = 0; y < kKnobSize * kFrames; ++y) {
    LICE_pixel* row = LICE_RowPointer(bitmap.get(), y);
    for (int x = 0; x < kKnobSize; ++x) {
      const int dx = 2 * x + 1 - kKnobSize, dy = 2 * (y % kKnobSize) + 1 - kKnobSize;
      const int d2 = dx * dx + dy * dy;
      const int alpha = d2 < 1600 ? 255 : d2 < 2304 ? (2304 - d2) * 255 / 704 : 0;
      row[x] = LICE_PackPixel(uint8_t(alpha), 140, uint8_t(y % 200), 160);
    }
  }
  return bitmap;
}

void BM_FullEditorRedraw(benchmark::State& state) {
  BenchPlug plug;
  auto headless = std::make_unique<HeadlessPlatform>();
  HeadlessPlatform* platform = headless.get();
  auto* graphics = new IGraphics(&plug, kWidth, kHeight, 0, std::move(headless));
  auto frames = knobFrames();
  LICE_MemBitmap backImage(kWidth, kHeight);
  LICE_FillRect(&backImage, 0, 0, kWidth, kHeight, LICE_PackPixel(255, 30, 40, 60), 1.0f, 0);
  IBitmap knob(frames.get(), kKnobSize, kKnobSize * kFrames, kFrames);
  IBitmap back(&backImage, kWidth, kHeight, 1);
  graphics->AttachControl(new IBitmapControl(&plug, 0, 0, -1, &back, IChannelBlend::kBlendClobber));
  for (int i = 0; i < kKnobs; ++i) {
    auto* control = new IKnobMultiControl(&plug, (i % 16) * 50, (i / 16) * 51, -1, &knob);
    graphics->AttachControl(control);
    control->SetValueFromPlug((i % 65) / 64.0);
  }
  IColor color(160, 255, 255, 192);
  IText style(11, &color, "Arial");
  for (int i = 0; i < kTexts; ++i) {
    char label[16];
    std::snprintf(label, sizeof label, "%d.%02d dB", i - 10, i * 7 % 100);
    graphics->AttachControl(new ITextControl(
        &plug, IRECT((i % 10) * 80, 300 + (i / 10) * 20, (i % 10) * 80 + 80, 316 + (i / 10) * 20),
        &style, label));
  }
  plug.AttachGraphics(graphics);
  platform->windowOpen = true;

  for (auto _ : state) {
    graphics->SetAllControlsDirty();
    IRECT r;
    graphics->IsDirty(&r);
    graphics->Draw(&r);
    benchmark::DoNotOptimize(graphics->GetDrawBitmap()->getBits());
    platform->calls.clear();
  }
  const double frameCount = static_cast<double>(state.iterations());
  state.counters["us_per_frame"] = benchmark::Counter(
      frameCount * 1e-6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["tick_share"] = benchmark::Counter(
      frameCount * kTickSeconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FullEditorRedraw)->Unit(benchmark::kMicrosecond);
}  // namespace
