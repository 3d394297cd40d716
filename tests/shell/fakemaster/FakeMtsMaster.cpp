// A minimal tuning master for tests. Global tuning: every note sounds one semitone
// higher than 12-TET (three-decimal values); channel 1 asks for its own table, an
// octave above 12-TET. Notes 120 and up are filtered globally, notes below 12 on
// channel tables. Test controls: FakeMaster_SetConnected, FakeMaster_ClientCount.

#include <cmath>

namespace {

double globalTable[128];
double channelTables[16][128];
bool connected = true;
int clients = 0;

double twelveTet(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

struct Tables {
  Tables() {
    for (int n = 0; n < 128; ++n) {
      globalTable[n] = std::round(twelveTet(n + 1) * 1000.0) / 1000.0;
      for (auto& table : channelTables) table[n] = 2.0 * twelveTet(n);
    }
  }
} tables;

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void MTS_RegisterClient() { ++clients; }
__attribute__((visibility("default"))) void MTS_DeregisterClient() { --clients; }
__attribute__((visibility("default"))) bool MTS_HasMaster() { return connected; }
__attribute__((visibility("default"))) bool MTS_ShouldFilterNote(char note, char) {
  return note >= 120;
}
__attribute__((visibility("default"))) bool MTS_ShouldFilterNoteMultiChannel(char note, char) {
  return note < 12;
}
__attribute__((visibility("default"))) const double* MTS_GetTuningTable() { return globalTable; }
__attribute__((visibility("default"))) const double* MTS_GetMultiChannelTuningTable(char channel) {
  return channel >= 0 && channel < 16 ? channelTables[static_cast<unsigned char>(channel)]
                                      : nullptr;
}
__attribute__((visibility("default"))) bool MTS_UseMultiChannelTuning(char channel) {
  return channel == 1;
}
__attribute__((visibility("default"))) const char* MTS_GetScaleName() { return "Fake"; }

__attribute__((visibility("default"))) void FakeMaster_SetConnected(bool on) { connected = on; }
__attribute__((visibility("default"))) int FakeMaster_ClientCount() { return clients; }
}
