// What a hosted plug-in tells its host, kept for the tests to read: a HostObserver that
// records values, gestures, MIDI out and rescans in the order they came. The plug-in may
// report from its audio thread: read under `mutex` while it may still be running. The
// first few thousand reports of each kind are kept in room made at once (the audio
// thread's allocate nothing); every one is counted.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "hosting/HostObserver.h"

class HostRecorder : public HostObserver {
 public:
  struct Change {
    int index;
    double value;
    bool recordable;
  };
  using Midi = std::tuple<int, uint8_t, uint8_t, uint8_t>;  // frame, status, data 1 and 2

  HostRecorder() {
    changes.reserve(4096);
    midi.reserve(4096);
    edits.reserve(4096);
  }

  void parameterChanged(int index, double value, bool recordable) override {
    std::lock_guard<std::mutex> lock(mutex);
    if (changes.size() < changes.capacity()) changes.push_back({index, value, recordable});
    if (edits.size() < edits.capacity()) edits.push_back('V');
  }
  void gestureBegan(int) override { add('B'); }
  void gestureEnded(int) override { add('E'); }
  void midiOut(int frame, const uint8_t* bytes, int size) override {
    std::lock_guard<std::mutex> lock(mutex);
    ++midiCount;
    if (midi.size() < midi.capacity())
      midi.emplace_back(frame, bytes[0], size > 1 ? bytes[1] : uint8_t(0),
                        size > 2 ? bytes[2] : uint8_t(0));
  }
  void rescanRequested() override {
    std::lock_guard<std::mutex> lock(mutex);
    ++rescans;
  }

  std::mutex mutex;
  std::vector<Change> changes;
  std::vector<Midi> midi;
  std::string edits;  // 'B' gesture begins, 'V' value, 'E' gesture ends, in order
  int rescans = 0;
  size_t midiCount = 0;

 private:
  void add(char edit) {
    std::lock_guard<std::mutex> lock(mutex);
    if (edits.size() < edits.capacity()) edits.push_back(edit);
  }
};
