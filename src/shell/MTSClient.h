#pragma once

// Client side of the MTS-ESP microtuning protocol. A tuning master is an optional
// shared library that publishes tuning tables; it is opened once per process, when
// this library is loaded, from its fixed install path. Every query falls back to
// 12-tone equal temperament when no master is connected.

// One registration with the master; created by MTS_RegisterClient.
class MTSClient {
 public:
  MTSClient();

  double retuning[128];  // 12-TET frequencies in Hz
  const char* scaleName = "12-TET";
  bool frequencyChannelValid = false;  // last frequency query named a channel 0..15
  bool filterChannelValid = false;     // last note-filter query named a channel 0..15
  bool frequencyRequested = false;
};

// Any thread; the client belongs to the caller. Never returns null.
MTSClient* MTS_RegisterClient();
// Any thread; null is ignored.
void MTS_DeregisterClient(MTSClient* client);
// Whether a master is connected now (asked anew on every call).
bool MTS_HasMaster(MTSClient* client);
// Frequency in Hz of note (modulo 128) on channel (0..15, anything else means none).
double MTS_NoteToFrequency(MTSClient* client, char note, char channel);
// Whether the master asks for the note to be left unplayed.
bool MTS_ShouldFilterNote(MTSClient* client, char note, char channel);

namespace mts {

// The master's fixed install path, opened when the program is loaded.
extern const char* const kMasterLibraryPath;

// Test-only: closes the current master and opens the library at path instead
// (null or an unloadable path leaves no master). Returns whether a library opened.
// Not for use while clients are being queried on other threads.
bool reloadMasterForTesting(const char* path);

}  // namespace mts
