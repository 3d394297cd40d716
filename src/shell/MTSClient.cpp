#include "shell/MTSClient.h"

#include "system/DynamicLibrary.h"

#include <cassert>
#include <cmath>

namespace {

using RegisterFn = void (*)();
using DeregisterFn = void (*)();
using HasMasterFn = bool (*)();
using FilterNoteFn = bool (*)(char, char);
using TuningTableFn = const double* (*)();
using ChannelTuningTableFn = const double* (*)(char);
using UseMultiChannelFn = bool (*)(char);
using ScaleNameFn = const char* (*)();

constexpr int kChannels = 16;

double twelveTetHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

bool isValidChannel(char channel) { return static_cast<unsigned char>(channel) < kChannels; }

int noteIndex(char note) { return static_cast<unsigned char>(note) & 127; }

// The master library and its entry points; one per process.
class MasterLibrary {
 public:
  MasterLibrary() {
    for (int n = 0; n < 128; ++n) inverseTwelveTet_[n] = 1.0 / twelveTetHz(n);
    open(mts::kMasterLibraryPath);
  }
  ~MasterLibrary() { close(); }
  MasterLibrary(const MasterLibrary&) = delete;
  MasterLibrary& operator=(const MasterLibrary&) = delete;

  bool open(const char* path) {
    close();
    if (path == nullptr) return false;
    handle_ = openLibrary(path);
    if (handle_ == nullptr) return false;
    resolve(registerClient, "MTS_RegisterClient");
    resolve(deregisterClient, "MTS_DeregisterClient");
    resolve(hasMaster, "MTS_HasMaster");
    resolve(shouldFilterNote, "MTS_ShouldFilterNote");
    resolve(shouldFilterNoteMultiChannel, "MTS_ShouldFilterNoteMultiChannel");
    resolve(getTuningTable, "MTS_GetTuningTable");
    resolve(getMultiChannelTuningTable, "MTS_GetMultiChannelTuningTable");
    resolve(useMultiChannelTuning, "MTS_UseMultiChannelTuning");
    resolve(getScaleName, "MTS_GetScaleName");
    if (getTuningTable != nullptr) tuningTable = getTuningTable();
    if (getMultiChannelTuningTable != nullptr) {
      for (int c = 0; c < kChannels; ++c)
        channelTables[c] = getMultiChannelTuningTable(static_cast<char>(c));
    }
    return true;
  }

  void close() {
    registerClient = nullptr;
    deregisterClient = nullptr;
    hasMaster = nullptr;
    shouldFilterNote = nullptr;
    shouldFilterNoteMultiChannel = nullptr;
    getTuningTable = nullptr;
    getMultiChannelTuningTable = nullptr;
    useMultiChannelTuning = nullptr;
    getScaleName = nullptr;
    tuningTable = nullptr;
    for (auto& table : channelTables) table = nullptr;
    closeLibrary(handle_);
    handle_ = nullptr;
  }

  bool connected() const { return tuningTable != nullptr && hasMaster != nullptr && hasMaster(); }

  // note is already taken modulo 128 by every caller.
  double twelveTet(int note) const {
    assert(note >= 0 && note < 128);
    return 1.0 / inverseTwelveTet_[note];
  }

  RegisterFn registerClient = nullptr;
  DeregisterFn deregisterClient = nullptr;
  HasMasterFn hasMaster = nullptr;
  FilterNoteFn shouldFilterNote = nullptr;
  FilterNoteFn shouldFilterNoteMultiChannel = nullptr;
  TuningTableFn getTuningTable = nullptr;
  ChannelTuningTableFn getMultiChannelTuningTable = nullptr;
  UseMultiChannelFn useMultiChannelTuning = nullptr;
  ScaleNameFn getScaleName = nullptr;
  const double* tuningTable = nullptr;  // owned by the master, read in place
  const double* channelTables[kChannels] = {};

 private:
  template <typename Fn>
  void resolve(Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(librarySymbol(handle_, name));
  }

  void* handle_ = nullptr;
  double inverseTwelveTet_[128];
};

MasterLibrary& master() {
  static MasterLibrary library;
  return library;
}

// Opens the master when the program is loaded rather than at the first query.
const bool kMasterOpenedAtLoad = (master(), true);

bool usesChannelTable(const MasterLibrary& lib, char channel) {
  return lib.useMultiChannelTuning != nullptr && lib.useMultiChannelTuning(channel);
}

}  // namespace

namespace mts {

bool reloadMasterForTesting(const char* path) { return master().open(path); }

}  // namespace mts

MTSClient::MTSClient() {
  for (int n = 0; n < 128; ++n) retuning[n] = twelveTetHz(n);
}

MTSClient* MTS_RegisterClient() {
  auto* client = new MTSClient();
  if (master().registerClient != nullptr) master().registerClient();
  return client;
}

void MTS_DeregisterClient(MTSClient* client) {
  if (client == nullptr) return;
  if (master().deregisterClient != nullptr) master().deregisterClient();
  delete client;
}

bool MTS_HasMaster(MTSClient* client) { return client != nullptr && master().connected(); }

double MTS_NoteToFrequency(MTSClient* client, char note, char channel) {
  const int n = noteIndex(note);
  const MasterLibrary& lib = master();
  if (client == nullptr) return lib.twelveTet(n);
  client->frequencyRequested = true;
  client->frequencyChannelValid = isValidChannel(channel);
  if (!lib.connected()) return client->retuning[n];
  if (client->filterChannelValid && client->frequencyChannelValid &&
      usesChannelTable(lib, channel)) {
    const double* table = lib.channelTables[static_cast<unsigned char>(channel)];
    if (table != nullptr) return table[n];
  }
  return lib.tuningTable[n];
}

bool MTS_ShouldFilterNote(MTSClient* client, char note, char channel) {
  if (client == nullptr) return false;
  client->filterChannelValid = isValidChannel(channel);
  if (!client->frequencyRequested) client->frequencyChannelValid = client->filterChannelValid;
  const MasterLibrary& lib = master();
  if (!lib.connected()) return false;
  const char n = static_cast<char>(noteIndex(note));
  if (client->filterChannelValid && client->frequencyChannelValid &&
      usesChannelTable(lib, channel)) {
    return lib.shouldFilterNoteMultiChannel != nullptr &&
           lib.shouldFilterNoteMultiChannel(n, channel);
  }
  return lib.shouldFilterNote != nullptr && lib.shouldFilterNote(n, channel);
}
