// Whether audio could run while the instrument works on files: another thread, standing
// in for audio, tries the plug-in mutex now, or at every file call the instrument makes.
#pragma once

#include <thread>

#include "engine/ZORQ.h"
#include "support/FileCallCounter.h"

inline bool mutexFreeElsewhere(ZORQ& plug) {
  bool free = false;
  std::thread([&] {
    if ((free = plug.Mutex().try_lock())) plug.Mutex().unlock();
  }).join();
  return free;
}

// Counts the file calls made while it lives, with the mutex free and with it held.
class MutexAtFileCalls {
 public:
  explicit MutexAtFileCalls(ZORQ& plug) {
    plug_ = &plug;
    free = held = 0;
    setFileCallObserver([] { ++(mutexFreeElsewhere(*plug_) ? free : held); });
  }
  ~MutexAtFileCalls() { setFileCallObserver(nullptr); }
  static inline int free = 0, held = 0;

 private:
  static inline ZORQ* plug_ = nullptr;
};
