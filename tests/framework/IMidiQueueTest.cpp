#include <gtest/gtest.h>

#include <vector>

#include "framework/IMidiQueue.h"

namespace {

IMidiMsg noteAt(int offset, int note) {
  return IMidiMsg(offset, 0x90, static_cast<uint8_t>(note), 100);
}

TEST(IMidiQueue, SortsByOffsetKeepingArrivalOrderForTies) {
  IMidiQueue queue;
  for (const IMidiMsg& msg :
       {noteAt(50, 1), noteAt(10, 2), noteAt(50, 3), noteAt(10, 4), noteAt(0, 5), noteAt(10, 6)})
    queue.Add(&msg);
  std::vector<int> notes;
  for (; !queue.Empty(); queue.Remove()) notes.push_back(queue.Peek().mData1);
  EXPECT_EQ(notes, (std::vector<int>{5, 2, 4, 6, 1, 3}));
}

TEST(IMidiQueue, FlushCompactsAndLowersOffsets) {
  IMidiQueue queue;
  for (const IMidiMsg& msg : {noteAt(10, 1), noteAt(100, 2)}) queue.Add(&msg);
  queue.Remove();
  queue.Flush(44);
  ASSERT_EQ(queue.ToDo(), 1);
  EXPECT_EQ(queue.Peek().mOffset, 56);
}

// Full: compacts when the front has advanced, else grows by its step up to the limit,
// beyond which events drop.
TEST(IMidiQueue, CompactsOrGrowsWhenFullAndDropsBeyondTheLimit) {
  IMidiQueue compacting, growing, limited;
  for (int i = 0; i < 1024; ++i) {
    const IMidiMsg msg = noteAt(i, i & 127);
    compacting.Add(&msg);
    growing.Add(&msg);
  }
  compacting.Remove();
  const IMidiMsg last = noteAt(5000, 9);
  compacting.Add(&last);
  growing.Add(&last);
  EXPECT_EQ(compacting.Capacity(), 1024);
  EXPECT_EQ(compacting.ToDo(), 1024);
  EXPECT_EQ(growing.Capacity(), 2048);
  EXPECT_EQ(growing.ToDo(), 1025);
  limited.Resize(IMidiQueue::kMaxCapacity);
  for (int i = 0; i < IMidiQueue::kMaxCapacity + 10; ++i) limited.Add(&last);
  EXPECT_EQ(limited.ToDo(), IMidiQueue::kMaxCapacity);
}

// The capacity becomes whole pages of the block size (512 at least) and keeps what is queued.
TEST(IMidiQueue, ResizeTakesWholePagesOfTheBlock) {
  struct Case {
    int blockSize, queued, step, capacity;
  };
  for (const Case& c : {Case{512, 0, 512, 512}, Case{513, 0, 1024, 1024}, Case{-5, 0, 512, 512},
                        Case{100, 700, 512, 1024}}) {
    IMidiQueue queue;
    for (int i = 0; i < c.queued; ++i) {
      const IMidiMsg msg = noteAt(i, 1);
      queue.Add(&msg);
    }
    queue.Resize(c.blockSize);
    EXPECT_EQ(queue.GrowthStep(), c.step) << c.blockSize;
    EXPECT_EQ(queue.Capacity(), c.capacity) << c.blockSize;
    EXPECT_EQ(queue.ToDo(), c.queued) << c.blockSize;
  }
}

}  // namespace
