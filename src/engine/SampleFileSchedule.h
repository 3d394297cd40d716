#pragma once

// What is still to happen to the sample file, and who does it. The live sample file's
// name changes where no file may be read: on the audio thread at a MIDI program change,
// or inside a host call that holds the plug-in mutex. The work waits here:
//
//   MIDI program change (audio thread)
//     to a stored program with another file -> that program's file is to be adopted
//     to a never-used slot                  -> the slot is to be named and stored
//   adopted (next idle, or before the live state is stored anywhere)
//     the program's file becomes the live name   -> read at the next idle
//   a host call restored a state, or the idle completes a program change
//     (the plug-in mutex is held)                 -> read when the mutex is free
//
// A read asked for sooner is never put off by one asked for later. Not locked: every
// caller holds the plug-in mutex; nothing here allocates.
class SampleFileSchedule {
 public:
  static constexpr int kNone = -1;

  // When the live name's file is to be read, soonest last.
  enum class Read { kNothingToRead, kAtNextIdle, kWhenMutexFree };

  // Audio thread, a MIDI program change to a stored program whose sample file is
  // another than the live one (its name is adopted later) or the same one.
  void programChanged(int program, bool sameFile);
  // Audio thread, a MIDI program change to a slot never used.
  void unusedSlotSelected(int slot) { unusedSlot_ = slot; }
  // A restored state names its own file: no program's file is adopted any more.
  void stateRestored() { programFile_ = kNone; }

  // The program whose file is to become the live name, or kNone; asked once.
  int takeProgramFile() { return take(programFile_); }
  // The never-used slot made current, or kNone; asked once.
  int takeUnusedSlot() { return take(unusedSlot_); }

  // The live name changed: its file is read `when` at the latest.
  void readBy(Read when);
  // True (once) when the file is to be read at `when`; a read due sooner stays.
  bool takeRead(Read when);
  Read read() const { return read_; }

 private:
  static int take(int& index);

  int programFile_ = kNone;
  int unusedSlot_ = kNone;
  Read read_ = Read::kNothingToRead;
};
