#pragma once

// MIDI message records exchanged between the host adapter and the instrument.
// Each carries its sample offset inside the current audio block.

#include <cstdint>

// One channel message.
struct IMidiMsg {
  enum EStatusMsg {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  int32_t mOffset = 0;
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;

  IMidiMsg() = default;
  IMidiMsg(int32_t offset, uint8_t status, uint8_t data1, uint8_t data2)
      : mOffset(offset), mStatus(status), mData1(data1), mData2(data2) {}

  // Message kind from the status high nibble; kNone for data bytes and system messages.
  EStatusMsg StatusMsg() const;
  int Channel() const { return mStatus & 0x0F; }
  int NoteNumber() const;
  int Velocity() const;
  int PolyAfterTouch() const;
  int ChannelAfterTouch() const;
  int Program() const;
  // -1 .. 8191/8192; 0 for other messages.
  double PitchWheel() const;
  int ControlChangeIdx() const { return mData1; }
  // Controller value 0..1 when this is a change of controller index, else -1.
  double ControlChange(int index) const;

  void MakeNoteOnMsg(int note, int velocity, int offset, int channel = 0);
  void MakeNoteOffMsg(int note, int offset, int channel = 0);
  void MakePitchWheelMsg(double value, int channel = 0);
  void MakeControlChangeMsg(int index, double value, int channel = 0);
  void Clear();
};

// System-exclusive message; the bytes belong to the sender.
struct ISysEx {
  int32_t mOffset = 0;
  int32_t mSize = 0;
  const uint8_t* mData = nullptr;

  ISysEx() = default;
  ISysEx(int32_t offset, const uint8_t* data, int32_t size)
      : mOffset(offset), mSize(size), mData(data) {}
  void Clear() { *this = ISysEx(); }
};
