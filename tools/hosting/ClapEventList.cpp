#include "hosting/ClapEventList.h"

#include <cstring>

void ClapEventList::add(const void* event, uint32_t size) {
  const size_t offset = storage_.size();
  storage_.resize(offset + (size + 7) / 8, 0);
  std::memcpy(storage_.data() + offset, event, size);
  const uint32_t time = static_cast<const clap_event_header_t*>(event)->time;
  size_t at = offsets_.size();
  while (at > 0 &&
         reinterpret_cast<const clap_event_header_t*>(storage_.data() + offsets_[at - 1])->time >
             time)
    --at;
  offsets_.insert(offsets_.begin() + static_cast<std::ptrdiff_t>(at), offset);
}

void ClapEventList::clear() {
  storage_.clear();
  offsets_.clear();
}

void ClapEventList::reserve(size_t events) {
  storage_.reserve(events * (sizeof(clap_event_transport_t) + 7) / 8);
  offsets_.reserve(events);
}

const clap_input_events_t* ClapEventList::list() {
  list_.ctx = this;
  list_.size = [](const clap_input_events_t* l) {
    return static_cast<uint32_t>(static_cast<ClapEventList*>(l->ctx)->offsets_.size());
  };
  list_.get = [](const clap_input_events_t* l, uint32_t index) -> const clap_event_header_t* {
    const auto* self = static_cast<ClapEventList*>(l->ctx);
    return index < self->offsets_.size() ? reinterpret_cast<const clap_event_header_t*>(
                                               self->storage_.data() + self->offsets_[index])
                                         : nullptr;
  };
  return &list_;
}

void ClapEventList::note(uint16_t type, uint32_t time, int key, double velocity, int channel) {
  clap_event_note_t event{};
  event.header = {sizeof event, time, kClapCoreEventSpaceId, type, 0};
  event.note_id = -1;
  event.port_index = 0;
  event.channel = static_cast<int16_t>(channel);
  event.key = static_cast<int16_t>(key);
  event.velocity = velocity;
  add(&event, sizeof event);
}

void ClapEventList::midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2) {
  clap_event_midi_t event{};
  event.header = {sizeof event, time, kClapCoreEventSpaceId, kClapEventMidi, 0};
  event.data[0] = status;
  event.data[1] = data1;
  event.data[2] = data2;
  add(&event, sizeof event);
}

void ClapEventList::param(uint32_t time, clap_id id, double value, uint16_t space) {
  clap_event_param_value_t event{};
  event.header = {sizeof event, time, space, kClapEventParamValue, 0};
  event.param_id = id;
  event.note_id = -1;
  event.port_index = event.channel = event.key = -1;
  event.value = value;
  add(&event, sizeof event);
}

void ClapEventList::transport(uint32_t time, double tempo) {
  clap_event_transport_t event{};
  event.header = {sizeof event, time, kClapCoreEventSpaceId, kClapEventTransport, 0};
  event.flags = kClapTransportHasTempo | kClapTransportIsPlaying;
  event.tempo = tempo;
  event.tsig_num = event.tsig_denom = 4;
  add(&event, sizeof event);
}
