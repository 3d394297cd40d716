#include "zorq-render/NoteList.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "framework/NumberText.h"
#include "zorq-render/RenderError.h"
#include "hosting/Text.h"

namespace {

constexpr double kDefaultLengthSeconds = 1.0;
constexpr int kDefaultVelocity = 100;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kNoteOff = 0x80;

[[noreturn]] void fail(const std::string& entry, const std::string& what) {
  throw RenderError("bad note list entry '" + entry + "': " + what);
}

// The whole text as a finite number, or false.
bool parseNumber(const std::string& text, double& value) {
  const std::string t = trimBlanks(text);
  if (t.empty()) return false;
  return numbertext::Read(t, &value) && std::isfinite(value);
}

// Splits off the part after the last occurrence of mark; returns false if absent.
bool splitField(std::string& rest, char mark, std::string& field) {
  const size_t at = rest.rfind(mark);
  if (at == std::string::npos) return false;
  field = rest.substr(at + 1);
  rest = rest.substr(0, at);
  return true;
}

}  // namespace

int NoteList::parseNote(const std::string& text) {
  const std::string t = trimBlanks(text);
  double number = 0.0;
  if (parseNumber(t, number)) {
    if (number != std::floor(number) || number < 0 || number > 127)
      throw RenderError("note number '" + t + "' is not a whole number 0..127");
    return int(number);
  }
  static const int kSemitoneOfLetter[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (t.empty()) throw RenderError("empty note");
  const char letter = char(std::toupper(static_cast<unsigned char>(t[0])));
  if (letter < 'A' || letter > 'G') throw RenderError("'" + t + "' is not a note");
  int semitone = kSemitoneOfLetter[letter - 'A'];
  size_t position = 1;
  if (position < t.size() && (t[position] == '#' || t[position] == 'b')) {
    semitone += t[position] == '#' ? 1 : -1;
    ++position;
  }
  const std::string octaveText = t.substr(position);
  if (!parseNumber(octaveText, number) || number != std::floor(number) ||
      octaveText.find_first_of(".eE") != std::string::npos)
    throw RenderError("'" + t + "' has no octave (write e.g. C4 or F#3)");
  const double note = (number + 1) * 12 + semitone;
  if (note < 0 || note > 127) throw RenderError("note '" + t + "' is outside 0..127");
  return int(note);
}

MidiSequence NoteList::parse(const std::string& text) {
  MidiSequence sequence;
  std::vector<TimedMidiEvent> events;
  double cursor = 0.0;
  size_t begin = 0;
  while (begin <= text.size()) {
    size_t end = text.find(',', begin);
    if (end == std::string::npos) end = text.size();
    const std::string entry = trimBlanks(text.substr(begin, end - begin));
    begin = end + 1;
    if (entry.empty()) fail(entry, "empty entry");

    std::string rest = entry, field;
    int velocity = kDefaultVelocity;
    double length = kDefaultLengthSeconds, start = cursor, number = 0.0;
    if (splitField(rest, '/', field)) {
      if (!parseNumber(field, number) || number < 1 || number > 127 || number != std::floor(number))
        fail(entry, "velocity must be a whole number 1..127");
      velocity = int(number);
    }
    if (splitField(rest, ':', field)) {
      if (!parseNumber(field, length) || length <= 0) fail(entry, "length must be above 0 seconds");
    }
    if (splitField(rest, '@', field)) {
      if (!parseNumber(field, start) || start < 0) fail(entry, "start must be 0 seconds or later");
    }
    cursor = start + length;

    if (trimBlanks(rest) == "r" || trimBlanks(rest) == "R") continue;
    size_t noteBegin = 0;
    while (noteBegin <= rest.size()) {
      size_t noteEnd = rest.find('+', noteBegin);
      if (noteEnd == std::string::npos) noteEnd = rest.size();
      int note = 0;
      try {
        note = parseNote(rest.substr(noteBegin, noteEnd - noteBegin));
      } catch (const RenderError& e) {
        fail(entry, e.what());
      }
      noteBegin = noteEnd + 1;
      events.push_back({start, kNoteOn, uint8_t(note), uint8_t(velocity)});
      events.push_back({start + length, kNoteOff, uint8_t(note), 0});
    }
  }
  // Time order; at equal times note-offs go first so a repeated note restarts.
  std::stable_sort(events.begin(), events.end(),
                   [](const TimedMidiEvent& a, const TimedMidiEvent& b) {
                     if (a.seconds != b.seconds) return a.seconds < b.seconds;
                     return (a.status == kNoteOff) > (b.status == kNoteOff);
                   });
  sequence.events = std::move(events);
  return sequence;
}
