#include <gtest/gtest.h>

#include <cmath>

#include "framework/IMidiMsg.h"

namespace {

// Made on channel 2, clamped to fourteen bits, then read back as a position.
TEST(IMidiMsg, PitchWheelClampsToFourteenBitsAndReadsThePosition) {
  struct Case {
    double value;
    uint8_t data1, data2;
    double readBack;
  };
  for (const Case& c :
       {Case{1.0, 127, 127, 8191.0 / 8192.0}, Case{-1.0, 0, 0, -1.0}, Case{0.0, 0, 64, 0.0},
        Case{50.0, 127, 127, 8191.0 / 8192.0}, Case{-1e300, 0, 0, -1.0}, Case{NAN, 0, 64, 0.0}}) {
    IMidiMsg msg;
    msg.MakePitchWheelMsg(c.value, 2);
    EXPECT_EQ(msg.mStatus, 0xE2);
    EXPECT_EQ(msg.mData1, c.data1) << c.value;
    EXPECT_EQ(msg.mData2, c.data2) << c.value;
    EXPECT_DOUBLE_EQ(msg.PitchWheel(), c.readBack) << c.value;
  }
}

TEST(IMidiMsg, StatusBelowTopBitOrSystemReadsAsNone) {
  EXPECT_EQ(IMidiMsg(0, 0x45, 1, 2).StatusMsg(), IMidiMsg::kNone);
  EXPECT_EQ(IMidiMsg(0, 0xF0, 1, 2).StatusMsg(), IMidiMsg::kNone);
  EXPECT_EQ(IMidiMsg(0, 0x9F, 1, 2).StatusMsg(), IMidiMsg::kNoteOn);
  EXPECT_EQ(IMidiMsg(0, 0x9F, 1, 2).Channel(), 15);
}

TEST(IMidiMsg, ReadersAnswerOnlyForTheirKindAndController) {
  const IMidiMsg noteOn(5, 0x90, 60, 100), cc(0, 0xB0, 64, 127);
  EXPECT_EQ(noteOn.Program(), -1);
  EXPECT_DOUBLE_EQ(noteOn.PitchWheel(), 0.0);
  for (int index = 0; index < 128; ++index) EXPECT_DOUBLE_EQ(noteOn.ControlChange(index), -1.0);
  EXPECT_EQ(IMidiMsg(0, 0xA0, 61, 33).Velocity(), -1);
  EXPECT_EQ(cc.ControlChangeIdx(), 64);
  EXPECT_DOUBLE_EQ(cc.ControlChange(64), 1.0);
  EXPECT_DOUBLE_EQ(cc.ControlChange(1), -1.0);
}

TEST(IMidiMsg, MakersKeepChannelAndDataInRange) {
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

}  // namespace
