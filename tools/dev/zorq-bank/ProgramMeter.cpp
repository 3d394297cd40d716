#include "zorq-bank/ProgramMeter.h"

#include "zorq-render/AudioInput.h"
#include "zorq-render/FrameSink.h"
#include "zorq-render/MidiFile.h"
#include "hosting/OpenPluginHost.h"
#include "zorq-render/Renderer.h"

namespace {

constexpr uint8_t kProgramChange = 0xC0;

class StereoRecorder : public FrameSink {
 public:
  void write(const float* interleaved, size_t frames) override {
    for (size_t i = 0; i < frames; ++i) {
      left.push_back(interleaved[2 * i]);
      right.push_back(interleaved[2 * i + 1]);
    }
  }
  std::vector<float> left, right;
};

std::unique_ptr<AudioInput> openAt(const std::string& path, double sampleRate) {
  auto input = std::make_unique<AudioInput>(path);
  input->convertTo(sampleRate);
  return input;
}

}  // namespace

ProgramMeter::ProgramMeter(const Setup& setup) : setup_(setup), midi_(MidiFile::read(setup.midi)) {
  const std::unique_ptr<AudioInput> voice = openAt(setup.voice, setup.sampleRate);
  std::vector<float> left(voice->frames()), right(voice->frames());
  voice->read(left.data(), right.data(), left.size());
  analyser_ = std::make_unique<SignalAnalyser>(left, setup.sampleRate);
  openAt(setup.carrier, setup.sampleRate);  // refused here rather than in the middle of a run
}

ProgramMeter::~ProgramMeter() = default;

ProgramMeter::Result ProgramMeter::measure(int program, bool externalCarrier) const {
  const std::unique_ptr<AudioInput> voice = openAt(setup_.voice, setup_.sampleRate);
  const std::unique_ptr<AudioInput> carrier =
      externalCarrier ? openAt(setup_.carrier, setup_.sampleRate) : nullptr;
  RenderJob job;
  job.modulator = voice.get();
  job.carrier = carrier.get();
  job.midi = midi_;
  job.midi.events.insert(job.midi.events.begin(),
                         {0.0, kProgramChange, uint8_t(program & 0x7f), 0});
  job.sampleRate = setup_.sampleRate;
  job.blockSize = setup_.blockSize;
  job.tailSeconds = setup_.tailSeconds;
  job.lengthLimitSeconds = setup_.excerptSeconds;

  const std::unique_ptr<PluginHost> opened = openPluginHost(setup_.plugin);
  PluginHost& host = *opened;
  host.start(job.sampleRate, job.blockSize);
  StereoRecorder recorder;
  Renderer::render(host, job, recorder);
  Result result;
  result.figures = analyser_->measure(recorder.left, recorder.right);
  result.programAfter = host.currentProgram();
  result.name = host.programName(program);
  return result;
}
