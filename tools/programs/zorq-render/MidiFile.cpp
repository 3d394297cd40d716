#include "zorq-render/MidiFile.h"

#include <algorithm>

#include "framework/ByteChunk.h"
#include "framework/FileBytes.h"
#include "zorq-render/RenderError.h"

namespace {

constexpr uint8_t kMetaEvent = 0xFF;
constexpr uint8_t kMetaEndOfTrack = 0x2F;
constexpr uint8_t kMetaTempo = 0x51;

// A bounds-checked reader over one span of the file.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool atEnd() const { return position_ >= size_; }
  size_t remaining() const { return size_ - position_; }

  uint8_t byte() {
    if (atEnd()) fail("unexpected end of data");
    return data_[position_++];
  }
  uint8_t peek() const {
    if (atEnd()) fail("unexpected end of data");
    return data_[position_];
  }
  uint32_t bigEndian(int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | byte();
    return value;
  }
  // Variable-length quantity: at most four bytes of seven bits each.
  uint32_t variableLength() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const uint8_t b = byte();
      value = (value << 7) | (b & 0x7F);
      if (!(b & 0x80)) return value;
    }
    fail("variable-length number longer than four bytes");
    return 0;
  }
  const uint8_t* take(size_t count) {
    if (count > remaining()) fail("length runs past the end of the data");
    const uint8_t* start = data_ + position_;
    position_ += count;
    return start;
  }
  [[noreturn]] static void fail(const std::string& what) {
    throw RenderError("bad MIDI file: " + what);
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

// Events at the same tick keep their file order (stable sorts below).
struct TickEvent {
  uint64_t tick;
  TimedMidiEvent event;
};

struct TempoEvent {
  uint64_t tick;
  uint32_t microsecondsPerBeat;
};

int dataBytesFor(uint8_t status) {
  const uint8_t kind = status & 0xF0;
  return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

void readTrack(ByteReader track, std::vector<TickEvent>& events, std::vector<TempoEvent>& tempos) {
  uint64_t tick = 0;
  uint8_t runningStatus = 0;
  while (!track.atEnd()) {
    tick += track.variableLength();
    uint8_t status = track.peek();
    if (status & 0x80) {
      track.byte();
    } else if (runningStatus) {
      status = runningStatus;
    } else {
      ByteReader::fail("data byte without a status");
    }

    if (status == kMetaEvent) {
      const uint8_t type = track.byte();
      const uint32_t length = track.variableLength();
      const uint8_t* data = track.take(length);
      if (type == kMetaEndOfTrack) return;
      if (type == kMetaTempo && length == 3) {
        const uint32_t us = (uint32_t(data[0]) << 16) | (uint32_t(data[1]) << 8) | data[2];
        if (us > 0) tempos.push_back({tick, us});
      }
      runningStatus = 0;
    } else if (status == 0xF0 || status == 0xF7) {
      track.take(track.variableLength());
      runningStatus = 0;
    } else if (status >= 0xF1) {
      ByteReader::fail("system message inside a track");
    } else {
      runningStatus = status;
      TimedMidiEvent event;
      event.status = status;
      event.data1 = track.byte();
      if (dataBytesFor(status) == 2) event.data2 = track.byte();
      if ((event.data1 | event.data2) & 0x80) ByteReader::fail("data byte out of range");
      events.push_back({tick, event});
    }
  }
}

}  // namespace

MidiSequence MidiFile::parse(const std::vector<uint8_t>& bytes) {
  ByteReader file(bytes.data(), bytes.size());
  if (bytes.size() < 14 || std::string(reinterpret_cast<const char*>(file.take(4)), 4) != "MThd")
    ByteReader::fail("not a Standard MIDI File");
  const uint32_t headerLength = file.bigEndian(4);
  if (headerLength < 6) ByteReader::fail("header too short");
  ByteReader header(file.take(headerLength), headerLength);
  const uint32_t format = header.bigEndian(2);
  const uint32_t trackCount = header.bigEndian(2);
  const uint32_t division = header.bigEndian(2);
  if (format > 1)
    ByteReader::fail("only types 0 and 1 are supported (this is type " + std::to_string(format) +
                     ")");

  MidiSequence sequence;
  if (division & 0x8000) {
    // SMPTE: frames per second (negative, 29 meaning 29.97) times ticks per frame.
    const int frames = -int8_t(division >> 8);
    const int ticksPerFrame = division & 0xFF;
    if (frames <= 0 || ticksPerFrame == 0) ByteReader::fail("bad time division");
    const double fps = frames == 29 ? 30000.0 / 1001.0 : frames;
    sequence.tempo = TempoMap(0, 1.0 / (fps * ticksPerFrame));
  } else {
    if (division == 0) ByteReader::fail("time division is zero");
    sequence.tempo = TempoMap(int(division));
  }

  std::vector<TickEvent> events;
  std::vector<TempoEvent> tempos;
  uint32_t tracksRead = 0;
  while (file.remaining() >= 8 && tracksRead < trackCount) {
    const std::string id(reinterpret_cast<const char*>(file.take(4)), 4);
    const uint32_t length = file.bigEndian(4);
    const uint8_t* data = file.take(length);
    if (id != "MTrk") continue;  // unknown chunks are skipped
    readTrack(ByteReader(data, length), events, tempos);
    ++tracksRead;
  }
  if (tracksRead == 0) ByteReader::fail("no track");

  std::stable_sort(tempos.begin(), tempos.end(),
                   [](const TempoEvent& a, const TempoEvent& b) { return a.tick < b.tick; });
  for (const TempoEvent& t : tempos) sequence.tempo.addTempoChange(t.tick, t.microsecondsPerBeat);

  std::stable_sort(events.begin(), events.end(),
                   [](const TickEvent& a, const TickEvent& b) { return a.tick < b.tick; });
  sequence.events.reserve(events.size());
  for (const TickEvent& e : events) {
    TimedMidiEvent event = e.event;
    event.seconds = sequence.tempo.secondsAtTick(e.tick);
    sequence.events.push_back(event);
  }
  return sequence;
}

MidiSequence MidiFile::read(const std::string& path) {
  ByteChunk file;
  if (!readWholeFile(path, &file)) throw RenderError("cannot open MIDI file '" + path + "'");
  const std::vector<uint8_t> bytes(file.GetBytes(), file.GetBytes() + file.Size());
  try {
    return parse(bytes);
  } catch (const RenderError& e) {
    throw RenderError(std::string(e.what()) + " ('" + path + "')");
  }
}
