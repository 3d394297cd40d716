#include "formats/clap/ClapEvents.h"

#include <initializer_list>

namespace clapevents {
namespace {
clap_event_header_t header(uint32_t size, uint32_t time, uint16_t type, uint32_t flags) {
  return clap_event_header_t{size, time, kClapCoreEventSpaceId, type, flags};
}
}  // namespace

bool pushParamValue(const clap_output_events_t* out, uint32_t time, clap_id param, double value,
                    uint32_t flags) {
  if (!out || !out->try_push) return false;
  clap_event_param_value_t event{};
  event.header = header(sizeof event, time, kClapEventParamValue, flags);
  event.param_id = param;
  event.note_id = -1;
  event.port_index = event.channel = event.key = -1;
  event.value = value;
  return out->try_push(out, &event.header);
}

bool pushGesture(const clap_output_events_t* out, uint32_t time, clap_id param, bool begin) {
  if (!out || !out->try_push) return false;
  clap_event_param_gesture_t event{};
  event.header = header(sizeof event, time,
                        begin ? kClapEventParamGestureBegin : kClapEventParamGestureEnd, 0);
  event.param_id = param;
  return out->try_push(out, &event.header);
}

bool pushMidi(const clap_output_events_t* out, uint32_t time, uint8_t status, uint8_t data1,
              uint8_t data2) {
  if (!out || !out->try_push) return false;
  clap_event_midi_t event{};
  event.header = header(sizeof event, time, kClapEventMidi, 0);
  event.port_index = 0;
  event.data[0] = status;
  event.data[1] = data1;
  event.data[2] = data2;
  return out->try_push(out, &event.header);
}

const clap_event_header_t* coreEvent(const clap_input_events_t* in, uint32_t index) {
  const clap_event_header_t* event = in->get ? in->get(in, index) : nullptr;
  return event && event->space_id == kClapCoreEventSpaceId ? event : nullptr;
}

const clap_event_note_t* asNote(const clap_event_header_t* event) {
  if (!event) return nullptr;
  for (const uint16_t type :
       std::initializer_list<uint16_t>{kClapEventNoteOn, kClapEventNoteOff, kClapEventNoteChoke})
    if (const auto* note = as<clap_event_note_t>(event, type)) return note;
  return nullptr;
}

bool pushEdit(const clap_output_events_t* out, uint32_t time, const HostEditQueue::Edit& edit) {
  const clap_id param = static_cast<clap_id>(edit.param);
  if (edit.kind == HostEditQueue::Kind::kValue)
    return pushParamValue(out, time, param, edit.value, 0);
  return pushGesture(out, time, param, edit.kind == HostEditQueue::Kind::kBegin);
}

}  // namespace clapevents
