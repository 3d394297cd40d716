#include "zorq-render/AudioFile.h"

#include <samplerate.h>
#include <sndfile.h>

#include <cmath>

#include "zorq-render/RenderError.h"

namespace {
constexpr size_t kReadFrames = 65536;
constexpr int kMaxChannels = 64;
}  // namespace

AudioBuffer AudioFile::read(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file)
    throw RenderError("cannot read audio file '" + path + "': " + sf_strerror(nullptr));
  if (info.channels < 1 || info.channels > kMaxChannels || info.samplerate < 1) {
    sf_close(file);
    throw RenderError("audio file '" + path + "' has an unusable channel count or sample rate");
  }
  // Read in pieces rather than trusting the header's frame count with one allocation.
  AudioBuffer audio;
  audio.sampleRate = info.samplerate;
  audio.channels.resize(size_t(info.channels));
  std::vector<float> interleaved(kReadFrames * size_t(info.channels));
  for (;;) {
    const sf_count_t got = sf_readf_float(file, interleaved.data(), sf_count_t(kReadFrames));
    if (got <= 0) break;
    for (int c = 0; c < info.channels; ++c)
      for (sf_count_t frame = 0; frame < got; ++frame)
        audio.channels[c].push_back(interleaved[size_t(frame) * info.channels + c]);
  }
  const int error = sf_error(file);
  sf_close(file);
  if (error != SF_ERR_NO_ERROR)
    throw RenderError("cannot read audio file '" + path + "': " + sf_error_number(error));
  return audio;
}

AudioBuffer AudioFile::resample(const AudioBuffer& audio, double sampleRate) {
  if (audio.sampleRate == sampleRate || audio.frames() == 0 || audio.channels.empty()) {
    AudioBuffer same = audio;
    same.sampleRate = sampleRate;
    return same;
  }
  const double ratio = sampleRate / audio.sampleRate;
  const size_t channels = audio.channels.size();
  std::vector<float> in(audio.frames() * channels);
  for (size_t frame = 0; frame < audio.frames(); ++frame)
    for (size_t c = 0; c < channels; ++c) in[frame * channels + c] = audio.channels[c][frame];
  const size_t outFrames = size_t(std::ceil(audio.frames() * ratio)) + 1;
  std::vector<float> out(outFrames * channels);

  SRC_DATA data{};
  data.data_in = in.data();
  data.data_out = out.data();
  data.input_frames = long(audio.frames());
  data.output_frames = long(outFrames);
  data.src_ratio = ratio;
  const int error = src_simple(&data, SRC_SINC_MEDIUM_QUALITY, int(channels));
  if (error) throw RenderError(std::string("sample-rate conversion failed: ") + src_strerror(error));

  AudioBuffer result;
  result.sampleRate = sampleRate;
  result.channels.assign(channels, std::vector<float>(size_t(data.output_frames_gen)));
  for (size_t frame = 0; frame < size_t(data.output_frames_gen); ++frame)
    for (size_t c = 0; c < channels; ++c) result.channels[c][frame] = out[frame * channels + c];
  return result;
}
