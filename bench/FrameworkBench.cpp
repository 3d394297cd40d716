// The MIDI queue under floods a host can deliver in one call: the cost of queueing a
// call's events and ordering them for the first control tick, which the audio thread
// waits for under the plug-in mutex. Read the figures as ratios between builds.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "framework/IMidiMsg.h"
#include "framework/IMidiQueue.h"

namespace {
constexpr int kBlock = 512;
constexpr int kFarFuture = 1000000;

// count note-ons whose offsets run from firstOffset through offsetCycle values, again
// and again.
void deliver(IMidiQueue& queue, int count, int firstOffset, int offsetCycle) {
  for (int i = 0; i < count; ++i) {
    const IMidiMsg msg(firstOffset + i % offsetCycle, 0x90, static_cast<uint8_t>(i & 127), 100);
    queue.Add(&msg);
  }
}

// A queue sized for the block holding `pending` far-future events (untimed) receives one
// call of `count` events with deltas cycling 0..511; the first tick then looks at it.
void measureCall(benchmark::State& state, int capacity, int pending, int count) {
  IMidiQueue queue;
  queue.Resize(capacity);
  for (auto _ : state) {
    state.PauseTiming();
    queue.Clear();
    deliver(queue, pending, kFarFuture, pending > 0 ? pending : 1);
    queue.ToDo();
    state.ResumeTiming();
    deliver(queue, count, 0, kBlock);
    benchmark::DoNotOptimize(queue.Peek());
  }
  state.SetItemsProcessed(state.iterations() * count);
}

void BM_MidiQueueCyclingDeltas(benchmark::State& state) { measureCall(state, kBlock, 0, 100000); }
BENCHMARK(BM_MidiQueueCyclingDeltas)->Unit(benchmark::kMillisecond);

void BM_MidiQueueBehindFarFuture(benchmark::State& state) {
  measureCall(state, kBlock, 500000, 10000);
}
BENCHMARK(BM_MidiQueueBehindFarFuture)->Unit(benchmark::kMillisecond);

// At its size limit and full of far-future events, the queue receives 100,000 due ones.
void BM_MidiQueueFullReceivesDueEvents(benchmark::State& state) {
  measureCall(state, IMidiQueue::kMaxCapacity, IMidiQueue::kMaxCapacity, 100000);
}
BENCHMARK(BM_MidiQueueFullReceivesDueEvents)->Unit(benchmark::kMillisecond);

}  // namespace
