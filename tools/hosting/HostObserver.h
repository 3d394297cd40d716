#pragma once

#include <cstdint>

// What a hosted plug-in tells its host besides its audio, whatever its format: values
// it moved itself, gestures, MIDI it sends, requests to read every value again, and
// the timers and file descriptors its editor asks the host to run. Every method has an
// empty default; a host calls the observer it was given (HostSetup::observer) from the
// thread the plug-in calls it on, so an observer that keeps what it hears from the
// audio thread locks, and never allocates there.
class HostObserver {
 public:
  virtual ~HostObserver() = default;

  // The plug-in moved parameter `index` itself (its editor, a learned MIDI controller)
  // to `normalised` (the host's scale, PluginHost::getParameter); `recordable` is false
  // when it asks the host not to record the move as automation. Any thread.
  virtual void parameterChanged(int /*index*/, double /*normalised*/, bool /*recordable*/) {}
  // The user grabs, or lets go of, the parameter's control in the plug-in's editor.
  virtual void gestureBegan(int /*index*/) {}
  virtual void gestureEnded(int /*index*/) {}
  // One MIDI message out, at a frame of the block being processed. Audio thread.
  virtual void midiOut(int /*frame*/, const uint8_t* /*bytes*/, int /*size*/) {}
  // Many values changed at once (a program, a state): the host reads them again.
  virtual void rescanRequested() {}
  // The editor asks for a timer of the given period, or lets it go. Main thread.
  virtual void timerRegistered(uint32_t /*id*/, uint32_t /*periodMs*/) {}
  virtual void timerUnregistered(uint32_t /*id*/) {}
  // The editor asks the host to watch a file descriptor (for the given events), or to
  // stop. Main thread.
  virtual void descriptorWatched(int /*fd*/, uint32_t /*events*/) {}
  virtual void descriptorUnwatched(int /*fd*/) {}
};
