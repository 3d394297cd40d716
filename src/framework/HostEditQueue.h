#pragma once

// Gesture begins, values and gesture ends of parameters, in the order the editor made
// them, waiting for a moment when the format adapter may pass them to its host (the
// editor makes them with the plug-in mutex held, and some formats send them only from
// their process or flush call). A value that follows a value of the same parameter
// replaces it (a drag between two calls sends its last position). A full queue drops
// new values and begins (and the end of a dropped begin), so gestures stay paired.
// Every caller holds the plug-in mutex; adding and draining never allocate.
#include <cstddef>
#include <cstdint>
#include <vector>

class HostEditQueue {
 public:
  static constexpr size_t kCapacity = 4096;
  enum class Kind : uint8_t { kBegin, kValue, kEnd };
  struct Edit {
    Kind kind;
    int param;
    double value;  // the plain value, for kValue
  };

  HostEditQueue() { edits_.reserve(kCapacity); }

  void add(Kind kind, int param, double value = 0.0);
  // Hands every edit to send(edit) in order and empties the queue.
  template <typename Send>
  void drain(Send send) {
    for (const Edit& edit : edits_) send(edit);
    edits_.clear();
  }
  bool empty() const { return edits_.empty(); }
  size_t size() const { return edits_.size(); }

 private:
  std::vector<Edit> edits_;
  int droppedBegins_ = 0;  // ends still to drop for begins that did not fit
};
