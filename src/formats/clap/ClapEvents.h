#pragma once

// Building the CLAP events the adapter sends, the editor's edits among them.
#include <cstdint>

#include "formats/clap/ClapAbi.h"
#include "framework/HostEditQueue.h"

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

// One of the editor's edits as the event of its kind.
bool pushEdit(const clap_output_events_t* out, uint32_t time, const HostEditQueue::Edit& edit);

}  // namespace clapevents
