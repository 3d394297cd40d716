#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "framework/IMidiMsg.h"
#include "framework/IMidiQueue.h"

namespace {

// An event that carries its arrival number in its three bytes.
IMidiMsg numbered(int offset, int number) {
  return IMidiMsg(offset, static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 8),
                  static_cast<uint8_t>(number));
}
int numberOf(const IMidiMsg& msg) { return msg.mStatus << 16 | msg.mData1 << 8 | msg.mData2; }

struct Pseudorandom {
  uint32_t state;
  int below(int n) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int>((state >> 8) % static_cast<uint32_t>(n));
  }
};

// (offset, arrival number) of every event, in the order the queue must hand them out:
// by offset, ties in arrival order.
using Expected = std::vector<std::pair<int, int>>;
void sortAsTheQueueMust(Expected* events) {
  std::stable_sort(events->begin(), events->end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
}
Expected drain(IMidiQueue& queue) {
  Expected out;
  for (; !queue.Empty(); queue.Remove())
    out.emplace_back(queue.Peek().mOffset, numberOf(queue.Peek()));
  return out;
}

// Deliveries in any order (falling, rising, crowded ties, far ahead of or behind what is
// pending), with ticks that take the due events between them: every event comes out
// by offset, and events with equal offsets in arrival order, across deliveries too.
TEST(IMidiQueue, DeliveriesInAnyOrderComeOutByOffsetThenArrival) {
  IMidiQueue queue;
  Pseudorandom random{7};
  Expected pending, handedOut, expectedOut;
  int number = 0;
  for (int delivery = 0; delivery < 40; ++delivery) {
    const int count = random.below(3000);
    const int spread = delivery % 4 == 0 ? 4 : 2000;  // every fourth one crowded into 4 offsets
    for (int i = 0; i < count; ++i) {
      const int offset = delivery % 5 == 1   ? 3000 - i
                         : delivery % 5 == 2 ? i
                                             : random.below(spread);
      const IMidiMsg msg = numbered(offset, number);
      queue.Add(&msg);
      pending.emplace_back(offset, number++);
    }
    // A tick: what is due at 1000 goes, the rest waits with its offset lowered.
    sortAsTheQueueMust(&pending);
    for (; !queue.Empty() && queue.Peek().mOffset <= 1000; queue.Remove())
      handedOut.emplace_back(queue.Peek().mOffset, numberOf(queue.Peek()));
    const auto due =
        std::find_if(pending.begin(), pending.end(), [](const auto& e) { return e.first > 1000; });
    expectedOut.insert(expectedOut.end(), pending.begin(), due);
    pending.erase(pending.begin(), due);
    queue.Flush(1000);
    for (auto& event : pending) event.first -= 1000;
  }
  EXPECT_EQ(handedOut, expectedOut);
  EXPECT_EQ(drain(queue), pending);
  EXPECT_EQ(queue.Dropped(), 0);
}

// At its size limit the queue keeps the earliest events of all it was given and drops
// (and counts) the latest; among equal offsets the last to arrive goes first. Events
// due now displace far-future ones, also in a second delivery after a read.
TEST(IMidiQueue, FullAtItsLimitDropsTheLatestEventsAndCountsThem) {
  IMidiQueue queue;
  queue.Resize(IMidiQueue::kMaxCapacity);
  Pseudorandom random{11};
  Expected all;
  int number = 0;
  // spread 0: falling from lowest, two events per offset.
  auto deliver = [&](int count, int lowest, int spread) {
    for (int i = 0; i < count; ++i) {
      const int offset = spread > 0 ? lowest + random.below(spread) : lowest - i / 2;
      const IMidiMsg msg = numbered(offset, number);
      queue.Add(&msg);
      all.emplace_back(offset, number++);
    }
  };
  deliver(IMidiQueue::kMaxCapacity, 1000, 3000);
  EXPECT_EQ(queue.Dropped(), 0);
  deliver(3000, 0, 5000);
  EXPECT_EQ(queue.ToDo(), IMidiQueue::kMaxCapacity);
  deliver(2000, 0, 1000);  // all due before anything held
  deliver(10, 3999, 1);    // ties with the latest held: these arrived last, so they go
  deliver(1000, 3999, 0);  // once below the latest held, each soon displaces one of its own
  EXPECT_EQ(queue.Dropped(), 6010);
  sortAsTheQueueMust(&all);
  all.resize(IMidiQueue::kMaxCapacity);
  EXPECT_EQ(drain(queue), all);
}

// Full: compacts when the front has advanced, else grows by its step (up to the limit,
// beyond which events drop: above).
TEST(IMidiQueue, CompactsOrGrowsWhenFull) {
  IMidiQueue compacting, growing;
  for (int i = 0; i < 1024; ++i) {
    const IMidiMsg msg = numbered(i, i);
    compacting.Add(&msg);
    growing.Add(&msg);
  }
  compacting.Remove();
  const IMidiMsg last = numbered(5000, 1024);
  compacting.Add(&last);
  growing.Add(&last);
  EXPECT_EQ(compacting.Capacity(), 1024);
  EXPECT_EQ(compacting.ToDo(), 1024);
  EXPECT_EQ(growing.Capacity(), 2048);
  EXPECT_EQ(growing.ToDo(), 1025);
}

}  // namespace

// A pitch wheel message made on channel 2, clamped to fourteen bits, reads back as a
// position. A status below the top bit or a system one reads as none; each reader answers only
// for its kind and controller; the makers keep channel and data in range.
TEST(IMidiMsg, ReadersAndMakersKeepToTheirKindAndRange) {
  using Row = std::tuple<double, int, int, double>;
  for (const auto& [value, data1, data2, readBack] :
       {Row{1.0, 127, 127, 8191.0 / 8192.0}, Row{-1.0, 0, 0, -1.0}, Row{0.0, 0, 64, 0.0},
        Row{50.0, 127, 127, 8191.0 / 8192.0}, Row{-1e300, 0, 0, -1.0}, Row{NAN, 0, 64, 0.0}}) {
    IMidiMsg msg;
    msg.MakePitchWheelMsg(value, 2);
    EXPECT_EQ(msg.mStatus, 0xE2);
    EXPECT_EQ(msg.mData1, data1) << value;
    EXPECT_EQ(msg.mData2, data2) << value;
    EXPECT_DOUBLE_EQ(msg.PitchWheel(), readBack) << value;
  }
  EXPECT_EQ(IMidiMsg(0, 0x45, 1, 2).StatusMsg(), IMidiMsg::kNone);
  EXPECT_EQ(IMidiMsg(0, 0xF0, 1, 2).StatusMsg(), IMidiMsg::kNone);
  EXPECT_EQ(IMidiMsg(0, 0x9F, 1, 2).StatusMsg(), IMidiMsg::kNoteOn);
  EXPECT_EQ(IMidiMsg(0, 0x9F, 1, 2).Channel(), 15);
  const IMidiMsg noteOn(5, 0x90, 60, 100), cc(0, 0xB0, 64, 127);
  EXPECT_EQ(noteOn.Program(), -1);
  EXPECT_DOUBLE_EQ(noteOn.PitchWheel(), 0.0);
  for (int index = 0; index < 128; ++index) EXPECT_DOUBLE_EQ(noteOn.ControlChange(index), -1.0);
  EXPECT_EQ(IMidiMsg(0, 0xA0, 61, 33).Velocity(), -1);
  EXPECT_EQ(cc.ControlChangeIdx(), 64);
  EXPECT_DOUBLE_EQ(cc.ControlChange(64), 1.0);
  EXPECT_DOUBLE_EQ(cc.ControlChange(1), -1.0);
  IMidiMsg msg;
  msg.MakeNoteOnMsg(60, 100, 17, 19);  // channel wraps into 0..15
  EXPECT_EQ(msg.mStatus, 0x93);
  EXPECT_EQ(msg.mOffset, 17);
  msg.MakeNoteOffMsg(61, 9, 1);
  EXPECT_EQ(msg.mStatus, 0x81);
  EXPECT_EQ(msg.Velocity(), 0);
  msg.MakeControlChangeMsg(7, 3.0, 0);
  EXPECT_EQ(msg.mData2, 127);
}
