#include "framework/IMidiMsg.h"

#include <cmath>

namespace {

uint8_t dataByte(int value) { return static_cast<uint8_t>(value & 0x7F); }

uint8_t statusByte(int kind, int channel) {
  return static_cast<uint8_t>((kind << 4) | (channel & 0x0F));
}

}  // namespace

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const {
  if (mStatus < 0x80 || mStatus >= 0xF0) return kNone;
  return static_cast<EStatusMsg>(mStatus >> 4);
}

int IMidiMsg::NoteNumber() const {
  const EStatusMsg s = StatusMsg();
  return (s == kNoteOff || s == kNoteOn || s == kPolyAftertouch) ? mData1 : -1;
}

int IMidiMsg::Velocity() const {
  const EStatusMsg s = StatusMsg();
  return (s == kNoteOff || s == kNoteOn) ? mData2 : -1;
}

int IMidiMsg::PolyAfterTouch() const { return StatusMsg() == kPolyAftertouch ? mData2 : -1; }

int IMidiMsg::ChannelAfterTouch() const { return StatusMsg() == kChannelAftertouch ? mData1 : -1; }

int IMidiMsg::Program() const { return StatusMsg() == kProgramChange ? mData1 : -1; }

double IMidiMsg::PitchWheel() const {
  if (StatusMsg() != kPitchWheel) return 0.0;
  const int value = (mData2 << 7) + mData1;
  return (value - 8192) / 8192.0;
}

double IMidiMsg::ControlChange(int index) const {
  if (StatusMsg() != kControlChange || mData1 != index) return -1.0;
  return mData2 / 127.0;
}

void IMidiMsg::MakeNoteOnMsg(int note, int velocity, int offset, int channel) {
  *this = IMidiMsg(offset, statusByte(kNoteOn, channel), dataByte(note), dataByte(velocity));
}

void IMidiMsg::MakeNoteOffMsg(int note, int offset, int channel) {
  *this = IMidiMsg(offset, statusByte(kNoteOff, channel), dataByte(note), 0);
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel) {
  // Clamped in floating point first: out-of-range or NaN values must not reach the integer cast.
  double scaled = std::isnan(value) ? 0.0 : value * 8192.0;
  scaled = std::fmin(std::fmax(scaled, -8192.0), 8191.0);
  const int position = static_cast<int>(scaled) + 8192;
  *this =
      IMidiMsg(0, statusByte(kPitchWheel, channel), dataByte(position), dataByte(position >> 7));
}

void IMidiMsg::MakeControlChangeMsg(int index, double value, int channel) {
  double scaled = std::isnan(value) ? 0.0 : value * 127.0;
  scaled = std::fmin(std::fmax(scaled, 0.0), 127.0);
  *this = IMidiMsg(0, statusByte(kControlChange, channel), dataByte(index),
                   static_cast<uint8_t>(scaled));
}

void IMidiMsg::Clear() { *this = IMidiMsg(); }
