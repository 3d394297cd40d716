// Instrument shell: the layer between the format-neutral plug-in base and the vocoder
// engine. It fixes the plug-in's identity and channel layout and offers the program
// operations, activation and reset handling shared by the instrument. Every plug-in
// format hosts the same instrument through its own adapter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dsp/ParamIndex.h"
#include "framework/IMidiQueue.h"
#include "framework/IPlugBase.h"
#include "shell/Configuration.h"
#include "shell/MidiLearn.h"
#include "shell/UpdateCheck.h"
#include "shell/ZorqVersion.h"

class MTSClient;

class Synth : public IPlugBase {
 public:
  static constexpr int kNumParams = ::kNumParams;
  static constexpr int kNumPresets = 64;
  static constexpr int kVersion = ZorqVersion::kPacked;
  static constexpr const char* kEffectName = "ZORQ";
  static constexpr const char* kMfrName = "Zander Volt Music";
  static constexpr int kUniqueID = ('z' << 24) | ('o' << 16) | ('r' << 8) | 'q';

  static constexpr int kNumMidiNotes = 128;
  // The block size until a host sets one.
  static constexpr int kDefaultBlockSize = 1024;

  Synth();
  ~Synth() override;

  // The editor gets the user's configured scale ("Editor Scale"), then is attached.
  void AttachGraphics(IPlugGUI* graphics) override;

  // Plug-in mutex held by every caller of these hooks.
  void Reset() override;
  void OnParamChange(int paramIdx) override;
  void OnActivate(bool active) override;

  virtual void allNotesOff() {}
  virtual void initParameters() {}
  virtual void initPreset();
  // Loads the fallback bank (the startup bank has failed by then); a failure
  // leaves the presets as they are. Editor or construction thread.
  virtual void initAllPrograms();

  // Program operations of the editor; user-interface thread, take the plug-in mutex.
  void copyPreset();
  void pastePreset();
  void changePreset(int index);
  bool hasClipboard() const { return clipboard_.Size() > 0; }

  // Folder that holds the loaded plug-in file ("" when unknown), with a trailing '/'.
  static std::string pluginFolder();

  // Frequency in Hz of a pitch in 1/128 semitone (the built-in equal-tempered rule).
  static double convert2Hz(int pitch);
  // Microtuning queries; any thread. Without a tuning master: 12-TET, no note skipped.
  bool hasMTSMaster() const;
  // Pitch in 1/128 semitone that the master gives the note (note x 128 without one).
  int getFrequency(int note) const;
  bool noteShouldBeSkipped(int note) const;

  // Held keys (audio thread, plug-in mutex held); fixed storage, no allocation.
  // A velocity below 1 removes the key; notes outside 0..127 are ignored.
  void addPressedKey(int note, int velocity);
  void removePressedKey(int note);
  void clearKeyBuffer();
  int pressedKeyCount() const { return pressedKeyCount_; }
  // Velocity of a held key, 0 when it is not held.
  int pressedKeyVelocity(int note) const;

  // Configuration: constructor or editor thread, never audio. Each takes the plug-in
  // mutex only to read or change the settings the audio thread uses, and reads or
  // writes the INI file with it released.
  //
  // Reads the INI file, then swaps its settings in under the mutex.
  virtual int loadConfig();
  void saveConfig(int item);
  void storeDefaultWAVPath(const char* folder);
  void storeProgramPath(const char* folder);
  void setStartupFxb(const char* path);
  void unsetStartupFxb();
  void saveStartupFxb();
  // "MIDI Thru" and "Ignore Program Change" switched over and written.
  void toggleMidiThru();
  void toggleIgnoreProgramChange();
  static bool fileExists(const char* path) { return path && Configuration::fileExists(path); }
  // The folders, files and switches change only on the editor's (or construction)
  // thread, which may read them without the mutex; the controller map changes on the
  // audio thread too (MIDI learn): read it under the plug-in mutex.
  Configuration& configuration() { return config_; }
  const Configuration& configuration() const { return config_; }

  // MIDI learn: arms or ends a learn or unlearn phase; any thread, takes the plug-in
  // mutex (the audio thread reads the flags).
  void doMidiLearn(bool on);
  void doMidiUnlearn(bool on);
  // Plug-in mutex held.
  void setMidiLearnCC(int controller) { midiLearn_.setMidiLearnCC(controller); }
  void setMidiLearnParam(int index) { midiLearn_.setMidiLearnParam(index); }
  MidiLearn& midiLearn() { return midiLearn_; }

  // Programs as the editor shows them; any thread, take the plug-in mutex.
  // The current program's index, and its name in `name`.
  int currentProgram(std::string* name) const;
  // Every program's name, and the current program's index in `current`.
  std::vector<std::string> programNames(int* current) const;
  // The current program takes the name (an empty one keeps it) and the live state,
  // and the host hears of it.
  void renameCurrentProgram(const char* name);

  // "Check Online for Update": asks the version server (the INI file may name
  // another one) and reports through the editor's dialogs. Editor thread; blocks
  // for at most about ten seconds; touches no audio state.
  int checkVersionAgainstWeb(UpdateCheck::Dialogs& dialogs) const;

  // Loads a whole chunk-form bank file image held in memory (SynthBank.cpp); host or
  // editor thread, takes the plug-in mutex. False when the preset list is incomplete.
  bool loadFXBfromBlob(const void* bytes, int size);

  // InitEnum on parameter `index`, then one display text per entry.
  void initListParameter(int index, const char* name, int defaultValue, int count,
                         const char** labels);

 protected:
  // MIDI events waiting for their control tick.
  IMidiQueue midiQueue_;
  // User settings: folders, startup bank, MIDI switches and the controller map.
  Configuration config_{kNumParams};
  MidiLearn midiLearn_{config_};
  // Program clipboard: the copied state and the preset it came from.
  ByteChunk clipboard_;
  int clipboardSourceIndex_ = -1;

 private:
  // A copy of the settings taken under the plug-in mutex, for writing the file with
  // the mutex released.
  Configuration lockedConfiguration() const;
  // Applies `change` to the settings under the plug-in mutex; returns a copy of them.
  template <typename Change>
  Configuration changedConfiguration(Change change) {
    IMutexLock lock(Mutex());
    change(config_);
    return config_;
  }

  uint8_t pressedKeys_[kNumMidiNotes] = {};  // velocity per held note, 0 = not held
  int pressedKeyCount_ = 0;
  MTSClient* mtsClient_ = nullptr;
};
