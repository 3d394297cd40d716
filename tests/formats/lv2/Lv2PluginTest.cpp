// The built ZORQ_dsp.so driven through the hosting library's LV2 host (lilv): a MIDI
// program change that the host's ports do not follow kept through a saved and restored
// state, presets and sample files in states, older states, a state of the wrong type or
// cut short refused, bypass, and run() beside the worker. (What every format does alike
// is the parity suite's.)
#include <gtest/gtest.h>
#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include <atomic>
#include <cstring>
#include <map>
#include <string>
#include <thread>

#include "formats/lv2/Lv2Fixture.h"
#include "support/Commands.h"
#include "support/TempFolder.h"
#include "sampler/WavTestFile.h"

namespace {

constexpr int kBlock = 512;
const std::vector<HostMidiEvent> kNotes = {
    {10, 0x90, 48, 100}, {10, 0x90, 55, 90}, {30000, 0x80, 48, 0}};

class Lv2Plugin : public ::testing::Test {
 protected:
  // Two instances play the same samples, and sound, from `start` on.
  void expectSamePlaying(Lv2PluginHost& a, Lv2PluginHost& b, int start = 0, int frames = 20000) {
    const std::vector<float> played = renderLv2(a, signal, start, frames, kBlock, kNotes);
    EXPECT_GT(rms(played), 1e-4);
    EXPECT_EQ(played, renderLv2(b, signal, start, frames, kBlock, kNotes));
  }

  Lv2Bundle& bundle = *sharedBundle();
  TestSignal signal{44100 * 2};
};

// The host's ports stay at program 0 while a MIDI program change plays program 1; the
// state saved then (through lilv's Turtle) and restored in lilv's order (state, then
// those port values) plays program 1, as a fresh instance of program 1 does. A port the
// host moves after that is applied on top of the program.
TEST_F(Lv2Plugin, MidiProgramChangeSurvivesSaveAndRestoreAndMovedPortsApply) {
  auto played = instanceWithBank(0);
  renderLv2(*played, signal, 0, 4096, kBlock, {{100, 0xC0, 1, 0}});
  LilvState* saved = played->saveState();
  ASSERT_NE(saved, nullptr);
  char* text = lilv_state_to_string(bundle.world(), bundle.map(), bundle.unmap(), saved,
                                    "urn:test:saved", nullptr);
  LilvState* reread = lilv_state_new_from_string(bundle.world(), bundle.map(), text);
  ASSERT_NE(reread, nullptr);

  Lv2PluginHost restored(sharedBundle());
  restored.restoreState(reread);
  const ZORQ shown;
  EXPECT_EQ(restored.port("final_volume_db"),
            static_cast<float>(portvalue::FromPlain(*shown.GetParam(kFinalVolume),
                                                    programValues(0)[kFinalVolume])));
  auto fresh = instanceWithBank(1);
  expectSamePlaying(restored, *fresh, 0, 30000);
  auto quieter = instanceWithBank(1);
  quieter->port("final_volume_db") = restored.port("final_volume_db") = -20.0f;
  renderLv2(*quieter, signal, 0, 30000, kBlock, kNotes);
  expectSamePlaying(restored, *quieter, 30000);
  lilv_state_free(reread);
  lilv_free(text);
  lilv_state_free(saved);
}

// A preset holds its program's state besides the port values: restoring it through
// lilv selects the program and plays its stored values to the bit.
TEST_F(Lv2Plugin, APresetRestoresItsProgramToTheBit) {
  Lv2PluginHost instance(sharedBundle());
  LilvNode* preset = lilv_new_uri(bundle.world(), "urn:zandervoltmusic:zorq#preset03");
  lilv_world_load_resource(bundle.world(), preset);
  LilvState* state = lilv_state_new_from_world(bundle.world(), bundle.map(), preset);
  ASSERT_NE(state, nullptr);
  instance.restoreState(state);
  renderLv2(instance, signal, 0, 512, kBlock, {});
  const std::unique_ptr<ZORQ> played = savedState(instance);
  ASSERT_TRUE(played);
  EXPECT_EQ(played->GetCurrentPresetIdx(), 2);
  ZORQ builtIn;
  builtIn.EnsureDefaultPreset();
  builtIn.RestorePreset(2);
  EXPECT_STREQ(played->GetPresetName(2), builtIn.GetPresetName(2));
  for (int i = 0; i < played->NParams(); ++i)
    EXPECT_EQ(played->GetParam(i)->Value(), builtIn.GetParam(i)->Value()) << i;
  lilv_state_free(state);
  lilv_node_free(preset);
}

// A state that plays a sample file: lilv saves it with the file as a mapped path and
// links the file into the state's folder; a new instance restored from that folder
// reads it on the worker and plays it.
TEST_F(Lv2Plugin, SampleFileTravelsWithTheState) {
  TempFolder folder;
  const std::string wav = folder / "voice.wav";
  const wavtest::Bytes bytes = wavtest::floatWav(1, 44100, wavtest::sine(44100, 330.0, 44100.0));
  writeBytes(wav, bytes);
  ZORQ source;
  source.EnsureDefaultPreset();
  source.GetParam(kInputMode)->Set(1);  // "File"
  source.setSampleFileName(wav.c_str());
  source.ModifyCurrentPreset("Sampled");
  ByteChunk bank;
  source.serializeBankChunk(&bank);
  Lv2PluginHost played(sharedBundle());
  ASSERT_TRUE(played.setChunk(true, {bank.GetBytes(), bank.GetBytes() + bank.Size()}));
  played.port("input_mode") = 1.0f;
  TestSignal silentVoice = signal;
  std::fill(silentVoice.voice.begin(), silentVoice.voice.end(), 0.0f);  // only the file can speak
  const auto sounds = [&](Lv2PluginHost& host) {
    renderLv2(host, silentVoice, 0, 2048, kBlock, {});
    return rms(renderLv2(host, silentVoice, 2048, 20000, kBlock, {{2148, 0x90, 48, 100}})) > 1e-4;
  };
  EXPECT_TRUE(sounds(played));

  const std::string saved = folder / "saved.lv2";
  LilvState* state = played.saveState(saved);
  ASSERT_NE(state, nullptr);
  ASSERT_EQ(lilv_state_save(bundle.world(), bundle.map(), bundle.unmap(), state, "urn:test:saved",
                            saved.c_str(), "state.ttl"),
            0);
  lilv_state_free(state);
  // Mapped, not the absolute path.
  EXPECT_EQ(readText(saved + "/state.ttl").find(folder.path()), std::string::npos);

  LilvNode* subject = lilv_new_uri(bundle.world(), "urn:test:saved");
  LilvState* reread = lilv_state_new_from_file(bundle.world(), bundle.map(), subject,
                                               (saved + "/state.ttl").c_str());
  lilv_node_free(subject);
  ASSERT_NE(reread, nullptr);
  Lv2PluginHost restored(sharedBundle());
  restored.restoreState(reread);
  lilv_state_free(reread);
  EXPECT_TRUE(sounds(restored));
}

// A state of an older build held gains as plain factors, under port symbols that are
// gone, and the values last seen as plain values. Restored into an instance whose gain
// ports hold their defaults (a session) or values left from before (a preset loaded
// later), it plays its own program, as the same program restored today does.
TEST_F(Lv2Plugin, AnOlderStatePlaysWhatItStored) {
  const std::vector<double> values = programValues(1);
  const std::vector<float> singles(values.begin(), values.end());
  const LV2_Atom_Vector_Body body{sizeof(float), bundle.urid(LV2_ATOM__Float)};
  std::vector<uint8_t> plain(sizeof body + sizeof(float) * singles.size());
  std::memcpy(plain.data(), &body, sizeof body);
  std::memcpy(plain.data() + sizeof body, singles.data(), sizeof(float) * singles.size());

  const ZORQ table;
  const Lv2Description description = zorqLv2Description();
  for (const bool gainPortsLeftElsewhere : {false, true}) {
    SCOPED_TRACE(gainPortsLeftElsewhere ? "gain ports left elsewhere" : "gain ports at defaults");
    Lv2PluginHost older(sharedBundle());
    for (int i = 0; i < table.NParams(); ++i) {
      float& port = older.port(description.paramPorts[static_cast<size_t>(i)].symbol);
      // The host sets the ports the state names; the gain ports keep what they hold.
      if (!table.GetParam(i)->IsGain())
        port = static_cast<float>(values[static_cast<size_t>(i)]);
      else if (gainPortsLeftElsewhere)
        port = -3.0f;
    }
    const std::string uri = kZorqUri;
    ASSERT_TRUE(older.restoreProperties({{uri + "#bank", {LV2_ATOM__Chunk, testBank(1)}},
                                         {uri + "#currentProgram", intProperty(1)},
                                         {uri + "#portValues", {LV2_ATOM__Vector, plain}}}));
    expectSamePlaying(older, *instanceWithBank(1));
  }
}

// A bank stored as another type than a chunk, or cut short and naming another current
// program (as a session does), is refused and changes nothing, the program included.
TEST_F(Lv2Plugin, ABankOfAnotherTypeOrCutShortIsRefused) {
  const std::string uri = kZorqUri;
  const std::vector<uint8_t> bank = testBank(2);
  const std::map<std::string, Lv2Property> refused[] = {
      {{uri + "#bank", {LV2_ATOM__String, bank}}},
      {{uri + "#bank", {LV2_ATOM__Chunk, {bank.begin(), bank.begin() + long(bank.size() / 2)}}},
       {uri + "#currentProgram", intProperty(2)}}};
  for (const auto& properties : refused) {
    auto instance = instanceWithBank(1);
    const auto before = instance->saveProperties();
    EXPECT_FALSE(instance->restoreProperties(properties));
    EXPECT_EQ(instance->saveProperties().size(), before.size());
    for (const auto& [key, property] : before)
      EXPECT_EQ(instance->saveProperties()[key].value, property.value) << key;
  }
}

// Bypass reaches the core's crossfade (whose shape is the core's test): the first samples
// are on their way to the voice input, and after the fade the output is the voice.
TEST_F(Lv2Plugin, BypassFadesToTheVoice) {
  auto instance = instanceWithBank(0);
  renderLv2(*instance, signal, 0, 8192, kBlock, kNotes);
  instance->port("enabled") = 0.0f;
  const std::vector<float> during = renderLv2(*instance, signal, 8192, 4096, kBlock, {});
  EXPECT_NE(during[0], signal.voice[8192]);
  EXPECT_EQ(during[2 * 4000], signal.voice[8192 + 4000]);
}

// Hosts call work() and save() from other threads while run() plays: nothing breaks (and
// the sanitizer builds watch the rings and the mutex between them).
TEST_F(Lv2Plugin, RunsBesideTheWorkerAndSave) {
  auto instance = instanceWithBank(1);  // its own worker is not run here: no idle()
  LV2_Handle handle = lilv_instance_get_handle(instance->instance());
  const auto* worker = static_cast<const LV2_Worker_Interface*>(
      lilv_instance_get_extension_data(instance->instance(), LV2_WORKER__interface));
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance->instance(), LV2_STATE__interface));
  std::atomic<bool> stop{false};
  std::atomic<int> saves{0};
  std::thread other([&] {
    const uint32_t job = 1;
    while (!stop.load()) {
      worker->work(
          handle,
          [](LV2_Worker_Respond_Handle, uint32_t, const void*) { return LV2_WORKER_SUCCESS; },
          nullptr, sizeof job, &job);
      state->save(
          handle,
          [](LV2_State_Handle, uint32_t, const void*, size_t, uint32_t, uint32_t) {
            return LV2_STATE_SUCCESS;
          },
          nullptr, 0, instance->features());
      ++saves;
    }
  });
  EXPECT_TRUE(eventually([&] { return saves.load() > 0; }));  // the other thread runs
  const std::vector<uint8_t> request = stateRequest(bundle);
  instance->sendMessage(request.data(), static_cast<uint32_t>(request.size()));
  std::vector<float> voice(128, 0.1f), left(128), right(128), out;
  float* in[4] = {voice.data(), voice.data(), voice.data(), voice.data()};
  float* outputs[2] = {left.data(), right.data()};
  for (int block = 0; block < 344; ++block) {
    if (block % 8 == 0) instance->sendEvents({{0, uint8_t(block % 16 ? 0x80 : 0x90), 60, 100}});
    if (block == 170) instance->sendEvents({{0, 0xC0, 2, 0}});
    instance->process(in, outputs, 128);
    out.insert(out.end(), left.begin(), left.end());
  }
  stop = true;
  other.join();
  EXPECT_GT(rms(out), 1e-4);
}

}  // namespace
