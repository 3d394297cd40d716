// The build's LV2 bundle for the LV2 suites, through the hosting library: instances of
// ZORQ_dsp.so, the programs and signals they play, renders, the editor's state request
// and the plug-in's saved state read back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/ZORQ.h"
#include "formats/lv2/Lv2Messages.h"
#include "framework/ByteChunk.h"
#include "framework/PortValue.h"
#include "hosting/Lv2PluginHost.h"
#include "plugin/lv2/ZorqLv2Description.h"
#include "support/HostRender.h"
#include "support/TestBank.h"
#include "support/TestSignals.h"

constexpr const char* kZorqUri = "urn:zandervoltmusic:zorq";

// The bundle, read once for the test program: instances share its URID map.
inline std::shared_ptr<Lv2Bundle> sharedBundle() {
  static const auto bundle = std::make_shared<Lv2Bundle>(ZORQ_LV2_BUNDLE);
  return bundle;
}

// The values of one program of the test bank.
inline std::vector<double> programValues(int program) {
  ZORQ zorq;
  testBank(program, &zorq);
  std::vector<double> values;
  for (int i = 0; i < zorq.NParams(); ++i) values.push_back(zorq.GetParam(i)->Value());
  return values;
}

// A state property holding an Int.
inline Lv2Property intProperty(int32_t value) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
  return {LV2_ATOM__Int, {bytes, bytes + sizeof value}};
}

// An instance holding the test bank with program `current`, its ports at the program's
// values.
inline std::unique_ptr<Lv2PluginHost> instanceWithBank(int current) {
  auto host = std::make_unique<Lv2PluginHost>(sharedBundle());
  EXPECT_TRUE(host->restoreProperties(
      {{kZorqUri + std::string("#bank"), {LV2_ATOM__Chunk, testBank(current)}},
       {kZorqUri + std::string("#currentProgram"), intProperty(current)}}));
  const std::vector<double> values = programValues(current);
  const Lv2Description description = zorqLv2Description();
  const ZORQ zorq;
  for (size_t i = 0; i < values.size(); ++i)  // what a host shows after reading the values
    host->port(description.paramPorts[i].symbol) =
        static_cast<float>(portvalue::FromPlain(*zorq.GetParam(static_cast<int>(i)), values[i]));
  return host;
}

// A voice and a carrier of deterministic noise.
struct TestSignal {
  explicit TestSignal(int frames)
      : voice(noise(size_t(frames), 3, 0.5f)), carrier(noise(size_t(frames), 4, 0.3f)) {}
  std::vector<float> voice, carrier;
};

// Renders `frames` frames from `start` of the signal in blocks through an instance,
// MIDI at absolute frames (allocations in run() added up when asked; HostRender.h); left
// and right interleaved. A carrier not connected is left unconnected.
inline std::vector<float> renderLv2(Lv2PluginHost& host, const TestSignal& signal, int start,
                                    int frames, int block, const std::vector<HostMidiEvent>& midi,
                                    bool carrierConnected = true, size_t* allocations = nullptr) {
  std::vector<HostMidiEvent> shifted;
  for (const HostMidiEvent& m : midi)
    shifted.push_back({m.frame - start, m.status, m.data1, m.data2});
  const float* voice = signal.voice.data() + start;
  const float* carrier = carrierConnected ? signal.carrier.data() + start : nullptr;
  const auto out =
      renderBlocks(host, {voice, voice, carrier, carrier}, frames, {block}, shifted, allocations);
  std::vector<float> interleaved;
  for (int i = 0; i < frames; ++i) interleaved.insert(interleaved.end(), {out[0][i], out[1][i]});
  return interleaved;
}

// The editor's request for the plug-in's whole state, as an atom.
inline std::vector<uint8_t> stateRequest(Lv2Bundle& bundle) {
  const Lv2Uris uris(bundle.map(), kZorqUri);
  const Lv2Messages messages(uris, bundle.map());
  return messages.build(
      64, [&](LV2_Atom_Forge* forge) { return messages.writeEmpty(forge, uris.msgStateRequest); });
}

// The instance's live state as its state interface saves it, read by a ZORQ.
inline std::unique_ptr<ZORQ> savedState(Lv2PluginHost& host) {
  auto properties = host.saveProperties();
  const std::string uri = kZorqUri;
  const std::vector<uint8_t>& bank = properties[uri + "#bank"].value;
  int32_t current = -1;
  std::memcpy(&current, properties[uri + "#currentProgram"].value.data(), sizeof current);
  ByteChunk chunk;
  chunk.PutBytes(bank.data(), static_cast<int>(bank.size()));
  auto zorq = std::make_unique<ZORQ>();
  zorq->SelectPreset(current);
  if (zorq->unserializeBankChunk(&chunk) <= 0) return nullptr;
  return zorq;
}
