#include "EngineCases.h"

#include "framework/IMidiMsg.h"
#include "support/TestSystem.h"

namespace bench {

std::vector<double> noise(int n, uint32_t seed) {
  std::vector<double> s(static_cast<size_t>(n));
  for (auto& v : s) {
    seed = seed * 1664525u + 1013904223u;
    v = 0.5 * (static_cast<double>(seed) / 2147483648.0 - 1.0);
  }
  return s;
}

void setParam(ZORQ& plug, int index, double value) {
  plug.GetParam(index)->Set(value);
  plug.OnParamChange(index);
}

void activate(ZORQ& plug, double rate, SimdKernel kernel) {
  setEnvironment("ZORQ_SIMD", simd::name(kernel));
  plug.SetSampleRate(rate);
  plug.Reset();
  plug.OnActivate(true);
  unsetEnvironment("ZORQ_SIMD");
}

void holdNotes(ZORQ& plug, std::initializer_list<int> notes) {
  for (int note : notes) {
    IMidiMsg msg(0, 0x90, static_cast<uint8_t>(note), 100);
    plug.ProcessMidiMsg(&msg);
  }
}

void releaseNotes(ZORQ& plug, std::initializer_list<int> notes) {
  for (int note : notes) {
    IMidiMsg msg(0, 0x80, static_cast<uint8_t>(note), 0);
    plug.ProcessMidiMsg(&msg);
  }
}

namespace {

// "VE-10 Full Bands", the noise inputs as modulator and external carrier.
void fullBands(ZORQ& plug) {
  setParam(plug, kVocoderMode, 1);
  setParam(plug, kKeyboard, 0);
}

// Eight held voices with noise and the ensemble, "VE-10 Standard", "In Balance" 0.3.
void eightVoices(ZORQ& plug) {
  setParam(plug, kVocoderMode, 0);
  setParam(plug, kInBalance, 0.3);
  setParam(plug, kEnsemble, 1);
  holdNotes(plug, {36, 43, 48, 52, 55, 60, 64, 67});
}

// Every voice held (the default program).
void sixtyFourVoices(ZORQ& plug) {
  for (int note = 30; note < 94; ++note) holdNotes(plug, {note});
}

// A second at full scale, the notes released, 30 s of silence: asleep.
void silenceAfterBurst(ZORQ& plug) { burstThenSilence(plug, true); }

}  // namespace

void fullBandsChord(ZORQ& plug) {
  setParam(plug, kVocoderMode, 1);
  setParam(plug, kEnsemble, 1);
  holdNotes(plug, {36, 43, 48, 52, 55, 60, 64, 67});
}

void burstThenSilence(ZORQ& plug, bool releaseNotesAfterBurst) {
  fullBandsChord(plug);
  Blocks loud(kBlock, 2.0), quiet(kBlock, 0.0);
  for (int b = 0; b < static_cast<int>(kRate) / kBlock; ++b)
    plug.ProcessDoubleReplacing(loud.inputs, loud.outputs, kBlock);
  if (releaseNotesAfterBurst) releaseNotes(plug, {36, 43, 48, 52, 55, 60, 64, 67});
  for (int b = 0; b < 30 * static_cast<int>(kRate) / kBlock; ++b)
    plug.ProcessDoubleReplacing(quiet.inputs, quiet.outputs, kBlock);
}

const EngineCase kEngineCases[8] = {
    {"FullBands", kRate, kBlock, fullBands},
    {"EightVoicesStandardEnsemble", kRate, kBlock, eightVoices},
    {"SixtyFourVoices", kRate, kBlock, sixtyFourVoices},
    {"FullBands48k", 48000.0, kBlock, fullBands},
    {"FullBands96k", 96000.0, kBlock, fullBands},
    {"FullBandsBlock32", kRate, 32, fullBands},
    {"FullBandsBlock1024", kRate, 1024, fullBands},
    {"SilenceAfterBurst", kRate, kBlock, silenceAfterBurst, 0.0},
};

bool startCase(benchmark::State& state, ZORQ& plug, const EngineCase& c, SimdKernel kernel) {
  if (!simd::isSupported(kernel)) {
    state.SkipWithError("this processor lacks the kernel's instruction set");
    return false;
  }
  activate(plug, c.rate, kernel);
  c.setup(plug);
  return true;
}

Blocks::Blocks(int frames, double amplitude)
    : in{noise(frames, 1), noise(frames, 2), noise(frames, 3), noise(frames, 4)},
      out{std::vector<double>(static_cast<size_t>(frames)),
          std::vector<double>(static_cast<size_t>(frames))} {
  for (auto& channel : in)
    for (double& v : channel) v *= amplitude;
  for (int c = 0; c < 4; ++c) inputs[c] = in[c].data();
  for (int c = 0; c < 2; ++c) outputs[c] = out[c].data();
}

}  // namespace bench
