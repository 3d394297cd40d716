// Processing as hosts and validators run it (what every format shares is the parity
// suite's, rates, block sizes and automation points at their tick too): 64-bit samples,
// blocks without samples or buffers, the side chain left off, notes, bypass, the program
// parameter, the MIDI controller parameters, and no allocation on the audio path.
#include <algorithm>

#include "Vst3Fixture.h"

namespace {
// A chord at the start of the next block.
void chord(HostedVst3& hosted) {
  for (int key : {48, 55, 60, 64}) hosted.host->events().note(true, 0, key, 0.8f);
}

// `total` frames of a noise voice and carrier in blocks of the given sizes (cycled),
// the chord in the first block.
void render(HostedVst3& hosted, int total, const std::vector<int>& blocks, bool carrier = true) {
  const std::vector<float> voice = noise(size_t(total), 1), other = noise(size_t(total), 2, 0.2f);
  chord(hosted);
  size_t next = 0;
  for (int done = 0; done < total;) {
    const int n = std::min(blocks[next++ % blocks.size()], total - done);
    hosted.process(n, voice.data() + done, carrier ? other.data() + done : nullptr);
    done += n;
  }
}

}  // namespace

// The engine is double inside: 64-bit blocks give the samples of 32-bit ones.
TEST(Vst3Process, WideSamplesGiveTheSamplesOfNarrowOnes) {
  HostedVst3 narrow, wide;
  ASSERT_EQ(wide.object->canProcessSampleSize(vst3::kSample64), vst3::kResultTrue);
  narrow.start(44100.0, 1024);
  wide.start(44100.0, 1024, true);
  render(narrow, 10000, {1000});
  render(wide, 10000, {1000});
  EXPECT_EQ(wide.left, narrow.left);
}

// Blocks without samples (flushes), without buses, or with buses that carry no
// buffers are harmless; a flush applies its values at once.
TEST(Vst3Process, BlocksWithoutSamplesOrBuffersAreHarmless) {
  HostedVst3 hosted;
  hosted.start();
  hosted.host->changes().add(kFinalVolume, 0, 0.5);
  hosted.host->changes().add(IPlugVST3::kBypassId, 0, 1.0);
  hosted.host->flush();
  EXPECT_DOUBLE_EQ(hosted.zorq->GetParam(kFinalVolume)->GetNormalized(), 0.5);
  EXPECT_EQ(hosted.object->getParamNormalized(IPlugVST3::kBypassId), 1.0);

  vst3::AudioBusBuffers empty[2]{};
  vst3::ProcessData data{};
  data.numSamples = 256;
  data.numInputs = 2;
  data.numOutputs = 1;
  data.inputs = empty;
  data.outputs = empty;
  EXPECT_EQ(hosted.object->process(data), vst3::kResultOk);
  float* none[2] = {nullptr, nullptr};
  empty[0].numChannels = empty[1].numChannels = 2;
  empty[0].channelBuffers32 = empty[1].channelBuffers32 = none;
  EXPECT_EQ(hosted.object->process(data), vst3::kResultOk);
}

// The carrier bus off (the host's default) is silence, whatever buffers the host passes.
TEST(Vst3Process, SideChainOffIsSilence) {
  HostedVst3 off, absent;
  off.start();
  absent.start();
  for (const bool on : {false, true}) {
    off.carrierOn(on);
    render(off, 4096, {512}, true);
    render(absent, 4096, {512}, false);
    EXPECT_EQ(off.left == absent.left, !on);
  }
}

// A note-on of velocity 0 is a note-off.
TEST(Vst3Process, NoteOnOfVelocityZeroEndsTheNote) {
  HostedVst3 on0, off;
  on0.start();
  off.start();
  const std::vector<float> voice = noise(4096, 3);
  for (HostedVst3* hosted : {&on0, &off}) {
    chord(*hosted);
    hosted->process(1024, voice.data());
    hosted->host->events().note(hosted != &off, 100, 60, 0.0f);
    hosted->process(3072, voice.data() + 1024);
  }
  EXPECT_EQ(on0.left, off.left);
}

// Bypass reaches the core's crossfade (whose shape is the core's test): the first samples
// are on their way to the voice, and after the ramp the output is the voice.
TEST(Vst3Process, BypassCrossfadesToTheVoice) {
  HostedVst3 hosted;
  hosted.start(44100.0, 512);
  const std::vector<float> voice = noise(6144, 3, 0.3f);
  chord(hosted);
  hosted.process(2048, voice.data());
  hosted.host->changes().add(IPlugVST3::kBypassId, 0, 1.0);
  hosted.process(4096, voice.data() + 2048);
  EXPECT_NE(hosted.left[2048], voice[2048]);
  EXPECT_EQ(std::vector<float>(hosted.left.begin() + 2048 + 441, hosted.left.end()),
            std::vector<float>(voice.begin() + 2048 + 441, voice.end()));
}

// The program parameter switches the program at its tick, and the host hears every
// value that moved (the host reading them all again, and pitch bend through its mapped
// parameter, are the parity suite's).
TEST(Vst3Process, ProgramParameterSwitchesPrograms) {
  HostedVst3 hosted;
  hosted.start();
  hosted.zorq->changePreset(2);
  hosted.zorq->SetParameterFromGUI(kFinalVolume, 0.9);
  hosted.zorq->ModifyCurrentPreset();
  hosted.zorq->changePreset(0);
  hosted.object->FlushToHost();
  hosted.host->changes().add(IPlugVST3::kProgramId, 100, 2.0 / 63.0);
  hosted.process(512);
  EXPECT_EQ(hosted.zorq->GetCurrentPresetIdx(), 2);
  EXPECT_DOUBLE_EQ(hosted.host->reported().last(kFinalVolume), 0.9);
}
