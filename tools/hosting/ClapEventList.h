#pragma once

#include <cstdint>
#include <vector>

#include "formats/clap/ClapAbi.h"

// Input events for one CLAP block or flush, kept in time order as hosts must send them
// (an event goes after those of its time already in). Clearing keeps the storage, so a
// list refilled for every block allocates nothing once it has been long enough.
class ClapEventList {
 public:
  void note(uint16_t type, uint32_t time, int key, double velocity, int channel = 0);
  void midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2);
  void param(uint32_t time, clap_id id, double value, uint16_t space = kClapCoreEventSpaceId);
  void transport(uint32_t time, double tempo);
  void clear();
  // Room for `events` events of any kind, so that filling the list allocates nothing.
  void reserve(size_t events);
  bool empty() const { return offsets_.empty(); }

  // The list as the plug-in reads it; valid until the next change.
  const clap_input_events_t* list();

 private:
  void add(const void* event, uint32_t size);

  std::vector<uint64_t> storage_;  // events back to back, 8-byte aligned
  std::vector<size_t> offsets_;    // in storage_ words, in time order
  clap_input_events_t list_{};
};
