#pragma once

// Building the CLAP events the adapter sends, and the queue of parameter events the
// editor leaves for the next process or flush call.
#include <cstdint>
#include <vector>

#include "formats/clap/ClapAbi.h"

namespace clapevents {

// Each pushes one core event at `time` to the host's list; false when the host
// refused it. Audio thread (or the thread of flush); no allocation.
bool pushParamValue(const clap_output_events_t* out, uint32_t time, clap_id param, double value,
                    uint32_t flags);
bool pushGesture(const clap_output_events_t* out, uint32_t time, clap_id param, bool begin);
bool pushMidi(const clap_output_events_t* out, uint32_t time, uint8_t status, uint8_t data1,
              uint8_t data2);

// The event at `index` of an input list when it is a core event, else null.
const clap_event_header_t* coreEvent(const clap_input_events_t* in, uint32_t index);
// The event as the record of its type when it is of `type` and long enough to be read
// as that record, else null.
template <typename Record>
const Record* as(const clap_event_header_t* event, uint16_t type) {
  if (!event || event->type != type || event->size < sizeof(Record)) return nullptr;
  return reinterpret_cast<const Record*>(event);
}
// A note-on, note-off or choke, else null.
const clap_event_note_t* asNote(const clap_event_header_t* event);

}  // namespace clapevents

// Gesture begins, values and gesture ends of parameters, in the order the editor made
// them, waiting to go out as events. A value that follows a value of the same
// parameter replaces it (a drag between two calls sends its last position). A full
// queue drops new values and begins (and the end of a dropped begin), so gestures stay
// paired. Every caller holds the plug-in mutex.
class ClapParamEventQueue {
 public:
  static constexpr size_t kCapacity = 4096;
  enum class Kind : uint8_t { kBegin, kValue, kEnd };

  ClapParamEventQueue() { entries_.reserve(kCapacity); }

  // Editor thread.
  void add(Kind kind, clap_id param, double value = 0.0);
  // Audio thread (or flush): pushes every entry at `time` and empties the queue.
  void pushTo(const clap_output_events_t* out, uint32_t time);
  bool empty() const { return entries_.empty(); }
  size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    Kind kind;
    clap_id param;
    double value;
  };
  std::vector<Entry> entries_;
  int droppedBegins_ = 0;  // ends still to drop for begins that did not fit
};
