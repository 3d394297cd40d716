// The raster work of one full editor frame: an 800 x 360 background copied
// opaquely, 100 knob frames of 48 x 48 blended with their source alpha and 20
// short texts.
#include <benchmark/benchmark.h>

#include "raster/LICE.h"
#include "raster/RasterFont.h"

namespace {

constexpr int kWidth = 800, kHeight = 360, kKnob = 48;

// A round knob: opaque inside, an anti-aliased rim, transparent corners.
void paintKnob(LICE_IBitmap* knob) {
  for (int y = 0; y < kKnob; ++y)
    for (int x = 0; x < kKnob; ++x) {
      const int dx = 2 * x - kKnob + 1, dy = 2 * y - kKnob + 1;
      const int edge = kKnob * kKnob - (dx * dx + dy * dy);
      const int alpha = edge <= 0 ? 0 : edge >= 400 ? 255 : edge * 255 / 400;
      LICE_RowPointer(knob, y)[x] =
          LICE_PackPixel(uint8_t(alpha), uint8_t(4 * x), 90, uint8_t(4 * y));
    }
}

// budget_factor: how many times a frame fits into the 2 ms a full redraw may take;
// tick_share: the part of a 40 ms redraw tick one frame uses.
void setFrameCounters(benchmark::State& state) {
  const double frames = double(state.iterations());
  state.counters["budget_factor"] = benchmark::Counter(frames * 2e-3, benchmark::Counter::kIsRate);
  state.counters["tick_share"] =
      benchmark::Counter(frames * 40e-3, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_KnobBlit(benchmark::State& state) {
  LICE_SysBitmap screen(kWidth, kHeight);
  LICE_MemBitmap knob(kKnob, kKnob);
  paintKnob(&knob);
  int i = 0;
  for (auto _ : state) {
    LICE_Blit(&screen, &knob, (i * 53) % (kWidth - kKnob), (i * 29) % (kHeight - kKnob), 0, 0,
              kKnob, kKnob, 1.f, LICE_BLIT_USE_ALPHA);
    ++i;
  }
  benchmark::DoNotOptimize(screen.getBits());
}
BENCHMARK(BM_KnobBlit);

void BM_EditorFrameRaster(benchmark::State& state) {
  LICE_SysBitmap screen(kWidth, kHeight);
  LICE_MemBitmap background(kWidth, kHeight), knob(kKnob, kKnob);
  LICE_FillRect(&background, 0, 0, kWidth, kHeight, LICE_PackPixel(255, 30, 34, 40), 1.f, 0);
  paintKnob(&knob);
  auto font = RasterFont::Create({"Arial", 12, false, false, 0, 0});
  if (!font) {
    state.SkipWithError("no font");
    return;
  }
  for (auto _ : state) {
    LICE_Blit(&screen, &background, 0, 0, 0, 0, kWidth, kHeight, 1.f, LICE_BLIT_MODE_COPY);
    for (int k = 0; k < 100; ++k)
      LICE_Blit(&screen, &knob, 10 + (k % 14) * 56, 10 + (k / 14) * 48, 0, 0, kKnob, kKnob, 1.f,
                LICE_BLIT_USE_ALPHA);
    for (int t = 0; t < 20; ++t)
      font->Draw(&screen, "Band 12: 3.5 kHz", 20 + (t % 5) * 150, 300 + (t / 5) * 14, 255, 230, 230,
                 220);
    benchmark::DoNotOptimize(screen.getBits());
  }
  setFrameCounters(state);
}
BENCHMARK(BM_EditorFrameRaster)->Unit(benchmark::kMicrosecond);

}  // namespace
