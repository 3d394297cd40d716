// Programs, signals and renders shared by the LV2 tests.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/ZORQ.h"
#include "formats/lv2/Lv2TestHost.h"
#include "framework/PortValue.h"
#include "plugin/lv2/ZorqLv2Description.h"

// A bank whose first three programs differ audibly; `current` is selected. Only the
// third uses the noise carrier, whose generator all instances in a process share: two
// instances rendered one after the other give the same samples only without it.
inline std::vector<uint8_t> testBank(int current = 0, ZORQ* copy = nullptr) {
  ZORQ zorq;
  zorq.EnsureDefaultPreset();
  struct Setting {
    int program, param;
    double value;
  };
  const Setting settings[] = {{0, kFinalVolume, 0.5}, {1, kVocoderMode, 1},
                              {1, kFinalVolume, 0.8}, {1, kSynthesisLevel1 + 3, 1.7},
                              {1, kOctaveUp, 1},      {2, kEnsemble, 1},
                              {2, kTune, 30},         {2, kExtLevel, 0.3},
                              {2, kInBalance, 0.4}};
  for (int program = 0; program < 3; ++program) {
    zorq.RestorePreset(program);
    for (const Setting& s : settings)
      if (s.program == program) zorq.GetParam(s.param)->Set(s.value);
    zorq.OnParamReset();
    const char* names[] = {"Plain", "Robot", "Choir"};
    zorq.ModifyCurrentPreset(names[program]);
  }
  zorq.RestorePreset(current);
  ByteChunk bank;
  zorq.serializeBankChunk(&bank);
  if (copy) {
    copy->SelectPreset(current);
    copy->unserializeBankChunk(&bank);
  }
  return std::vector<uint8_t>(bank.GetBytes(), bank.GetBytes() + bank.Size());
}

// The values of one program of the test bank.
inline std::vector<double> programValues(int program) {
  ZORQ zorq;
  testBank(program, &zorq);
  std::vector<double> values;
  for (int i = 0; i < zorq.NParams(); ++i) values.push_back(zorq.GetParam(i)->Value());
  return values;
}

// The host's control ports at the given values (what a host shows after reading them).
inline void setControls(Lv2Instance& instance, const std::vector<double>& values) {
  const Lv2Description description = zorqLv2Description();
  const ZORQ zorq;
  for (size_t i = 0; i < values.size(); ++i)
    instance.control(description.paramPorts[i].symbol) =
        static_cast<float>(portvalue::FromPlain(*zorq.GetParam(static_cast<int>(i)), values[i]));
}

// A voice of two partials with a slow tremolo, and a buzzy carrier; deterministic.
struct TestSignal {
  explicit TestSignal(int frames) : voice(frames), carrier(frames) {
    for (int i = 0; i < frames; ++i) {
      const double t = i / 44100.0;
      voice[i] = static_cast<float>(0.3 * std::sin(2 * M_PI * 220 * t) *
                                        (0.6 + 0.4 * std::sin(2 * M_PI * 3 * t)) +
                                    0.2 * std::sin(2 * M_PI * 1330 * t));
      carrier[i] = static_cast<float>(0.25 * std::fmod(110.0 * t, 1.0) - 0.125);
    }
  }
  std::vector<float> voice, carrier;
};

// One MIDI message at an absolute frame of a render.
struct TimedMidi {
  int frame;
  std::array<uint8_t, 3> bytes;
  int size;
};

// Renders `frames` frames in blocks through an LV2 instance; left and right interleaved.
inline std::vector<float> renderLv2(Lv2Instance& instance, const TestSignal& signal, int start,
                                    int frames, int block, const std::vector<TimedMidi>& midi,
                                    bool carrierConnected = true) {
  std::vector<float> out(2 * static_cast<size_t>(frames));
  std::vector<float> left(block), right(block);
  for (int done = 0; done < frames; done += block) {
    const int n = std::min(block, frames - done);
    for (const TimedMidi& m : midi)
      if (m.frame >= start + done && m.frame < start + done + n)
        instance.midi(static_cast<uint32_t>(m.frame - start - done),
                      std::vector<uint8_t>(m.bytes.begin(), m.bytes.begin() + m.size));
    const float* voice = signal.voice.data() + start + done;
    const float* carrier = carrierConnected ? signal.carrier.data() + start + done : nullptr;
    instance.run(voice, voice, carrier, carrier, left.data(), right.data(),
                 static_cast<uint32_t>(n));
    for (int i = 0; i < n; ++i) {
      out[2 * static_cast<size_t>(done + i)] = left[i];
      out[2 * static_cast<size_t>(done + i) + 1] = right[i];
    }
  }
  return out;
}

// The editor's request for the plug-in's whole state, as an atom.
inline std::vector<uint8_t> stateRequest(Lv2World& world) {
  std::vector<uint8_t> request(64);
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, &world.urids.map);
  lv2_atom_forge_set_buffer(&forge, request.data(), request.size());
  LV2_Atom_Forge_Frame frame;
  lv2_atom_forge_object(&forge, &frame, 0, world.urids("urn:zandervoltmusic:zorq#StateRequest"));
  lv2_atom_forge_pop(&forge, &frame);
  return request;
}

// The instance's live state as its state interface saves it, read by a ZORQ.
inline std::unique_ptr<ZORQ> savedState(Lv2Instance& instance) {
  auto properties = instance.savedProperties();
  const std::vector<uint8_t>& bank = properties["urn:zandervoltmusic:zorq#bank"];
  int32_t current = -1;
  std::memcpy(&current, properties["urn:zandervoltmusic:zorq#currentProgram"].data(),
              sizeof current);
  ByteChunk chunk;
  chunk.PutBytes(bank.data(), static_cast<int>(bank.size()));
  auto zorq = std::make_unique<ZORQ>();
  zorq->SelectPreset(current);
  if (zorq->unserializeBankChunk(&chunk) <= 0) return nullptr;
  return zorq;
}

inline double rms(const std::vector<float>& samples) {
  double sum = 0;
  for (float s : samples) sum += double(s) * s;
  return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}
