#include "zorq-render/AudioInput.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sstream>

#include "system/Files.h"
#include "zorq-render/RenderError.h"

namespace {

constexpr size_t kBlockFrames = 4096;
constexpr int kMaxChannels = 64;

// libsndfile notes every header size it corrected as "... (should be N)"; its
// serious complaints start with "***".
std::string correctionsInLog(sf_private_tag* file) {
  char log[16384] = {};
  sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
  std::istringstream lines(log);
  std::string line, found;
  while (std::getline(lines, line)) {
    if (line.find("should be") == std::string::npos && line.rfind("***", 0) != 0) continue;
    const size_t first = line.find_first_not_of(" *");
    if (first == std::string::npos) continue;
    found += (found.empty() ? "" : "; ") + line.substr(first);
  }
  return found;
}

}  // namespace

AudioInput::AudioInput(const std::string& path) : path_(path) {
  SF_INFO info{};
  // Opened by the system's UTF-8 call (wide on Windows), then handed to libsndfile.
  const int descriptor = openDescriptor(path, OpenFor::kRead);
  if (descriptor < 0)
    throw RenderError("cannot read audio file '" + path + "': " + std::strerror(errno));
  file_ = sf_open_fd(descriptor, SFM_READ, &info, SF_TRUE);
  if (!file_) throw RenderError("cannot read audio file '" + path + "': " + sf_strerror(nullptr));
  if (info.channels < 1 || info.channels > kMaxChannels || info.samplerate < 1 || info.frames < 0) {
    sf_close(file_);
    throw RenderError("audio file '" + path + "' has an unusable channel count or sample rate");
  }
  fileRate_ = info.samplerate;
  fileChannels_ = info.channels;
  fileFrames_ = info.frames;
  frames_ = size_t(fileFrames_);
  const std::string corrections = correctionsInLog(file_);
  if (!corrections.empty())
    warnings_.push_back("'" + path + "' is damaged; rendering what it holds (" + corrections + ")");
}

AudioInput::~AudioInput() {
  if (converter_) src_delete(converter_);
  sf_close(file_);
}

void AudioInput::convertTo(double sampleRate) {
  if (sampleRate == fileRate_) return;
  ratio_ = sampleRate / fileRate_;
  frames_ = size_t(std::llround(double(fileFrames_) * ratio_));
  int error = 0;
  converter_ = src_callback_new(&AudioInput::supplyInput, SRC_SINC_MEDIUM_QUALITY, fileChannels_,
                                &error, this);
  if (!converter_)
    throw RenderError(std::string("sample-rate conversion failed: ") + src_strerror(error));
}

size_t AudioInput::readFile(float* interleaved, size_t frames) {
  if (ended_) return 0;
  const sf_count_t got = sf_readf_float(file_, interleaved, sf_count_t(frames));
  if (got > 0) framesRead_ += got;
  if (got < sf_count_t(frames)) {
    ended_ = true;
    if (sf_error(file_) != SF_ERR_NO_ERROR)
      warnings_.push_back("'" + path_ + "' could not be read to its end: " + sf_strerror(file_));
    else if (framesRead_ < fileFrames_)
      warnings_.push_back("'" + path_ + "' ended after " + std::to_string(framesRead_) + " of " +
                          std::to_string(fileFrames_) + " frames; the rest is silence");
  }
  return got > 0 ? size_t(got) : 0;
}

long AudioInput::supplyInput(void* self, float** data) {
  AudioInput& input = *static_cast<AudioInput*>(self);
  input.fileBlock_.resize(kBlockFrames * size_t(input.fileChannels_));
  *data = input.fileBlock_.data();
  return long(input.readFile(input.fileBlock_.data(), kBlockFrames));
}

void AudioInput::read(float* left, float* right, size_t count) {
  const size_t channels = size_t(fileChannels_);
  renderBlock_.resize(kBlockFrames * channels);
  while (count > 0) {
    const size_t wanted = std::min({count, kBlockFrames, frames_ - std::min(frames_, delivered_)});
    size_t got = 0;
    if (wanted > 0)
      got = converter_ ? size_t(std::max(0L, src_callback_read(converter_, ratio_, long(wanted),
                                                               renderBlock_.data())))
                       : readFile(renderBlock_.data(), wanted);
    for (size_t i = 0; i < got; ++i) {
      left[i] = renderBlock_[i * channels];
      right[i] = renderBlock_[i * channels + std::min<size_t>(1, channels - 1)];
    }
    // Past the end (or a converter that gave less): silence for this call.
    const size_t filled = got == 0 ? std::min(count, kBlockFrames) : got;
    std::fill(left + got, left + filled, 0.0f);
    std::fill(right + got, right + filled, 0.0f);
    delivered_ += filled;
    left += filled;
    right += filled;
    count -= filled;
  }
}

std::vector<std::string> AudioInput::takeWarnings() {
  std::vector<std::string> taken;
  taken.swap(warnings_);
  return taken;
}
