#include "zorq-render/AudioFileWriter.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "zorq-render/RenderError.h"

namespace {

std::string lowerExtension(const std::string& path) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string extension = path.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return extension;
}

}  // namespace

SampleFormat AudioFileWriter::parseFormat(const std::string& text) {
  if (text == "16") return SampleFormat::kPcm16;
  if (text == "24") return SampleFormat::kPcm24;
  if (text == "float" || text == "32f") return SampleFormat::kFloat;
  throw RenderError("unknown sample format '" + text + "' (use 16, 24 or float)");
}

AudioFileWriter::AudioFileWriter(const std::string& path, int channels, int sampleRate,
                                 SampleFormat format)
    : path_(path), partPath_(path + ".part") {
  const std::string extension = lowerExtension(path);
  int type = 0;
  if (extension == "wav") {
    type = SF_FORMAT_WAV;
  } else if (extension == "flac") {
    type = SF_FORMAT_FLAC;
    if (format == SampleFormat::kFloat)
      throw RenderError("FLAC holds integer samples only: use --bits 16 or 24");
  } else {
    throw RenderError("output '" + path + "' must end in .wav or .flac");
  }
  const int subtype = format == SampleFormat::kPcm16   ? SF_FORMAT_PCM_16
                      : format == SampleFormat::kPcm24 ? SF_FORMAT_PCM_24
                                                       : SF_FORMAT_FLOAT;
  SF_INFO info{};
  info.channels = channels;
  info.samplerate = sampleRate;
  info.format = type | subtype;
  file_ = sf_open(partPath_.c_str(), SFM_WRITE, &info);
  if (!file_) throw RenderError("cannot write '" + path + "': " + sf_strerror(nullptr));
  // Integer formats: clip instead of wrapping around on overs.
  sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioFileWriter::~AudioFileWriter() {
  if (file_) {
    sf_close(file_);
    std::remove(partPath_.c_str());
  }
}

void AudioFileWriter::write(const float* interleaved, size_t frames) {
  if (sf_writef_float(file_, interleaved, sf_count_t(frames)) != sf_count_t(frames))
    throw RenderError("cannot write '" + path_ + "': " + sf_strerror(file_));
}

void AudioFileWriter::commit() {
  const int error = sf_close(file_);
  file_ = nullptr;
  if (error != 0 || std::rename(partPath_.c_str(), path_.c_str()) != 0) {
    std::remove(partPath_.c_str());
    throw RenderError("cannot write '" + path_ + "'");
  }
}
