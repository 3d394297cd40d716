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

// The path once checkOutput accepts it, before a temporary file is created for it.
const std::string& checkedOutput(const std::string& path, SampleFormat format) {
  AudioFileWriter::checkOutput(path, format);
  return path;
}

}  // namespace

SampleFormat AudioFileWriter::parseFormat(const std::string& text) {
  if (text == "16") return SampleFormat::kPcm16;
  if (text == "24") return SampleFormat::kPcm24;
  if (text == "float" || text == "32f") return SampleFormat::kFloat;
  throw UsageError("unknown sample format '" + text + "' (use 16, 24 or float)");
}

const char* AudioFileWriter::describe(SampleFormat format) {
  return format == SampleFormat::kPcm16   ? "16-bit"
         : format == SampleFormat::kPcm24 ? "24-bit"
                                          : "float";
}

void AudioFileWriter::checkOutput(const std::string& path, SampleFormat format) {
  const std::string extension = lowerExtension(path);
  if (extension != "wav" && extension != "flac")
    throw UsageError("output '" + path + "' must end in .wav or .flac");
  if (extension == "flac" && format == SampleFormat::kFloat)
    throw UsageError("FLAC holds integer samples only: use --bits 16 or 24");
}

AudioFileWriter::AudioFileWriter(const std::string& path, int channels, int sampleRate,
                                 SampleFormat format)
    : path_(path), output_(checkedOutput(path, format)) {
  const int type = lowerExtension(path) == "wav" ? SF_FORMAT_WAV : SF_FORMAT_FLAC;
  const int subtype = format == SampleFormat::kPcm16   ? SF_FORMAT_PCM_16
                      : format == SampleFormat::kPcm24 ? SF_FORMAT_PCM_24
                                                       : SF_FORMAT_FLOAT;
  if (!output_.isOpen())
    throw RenderError("cannot write '" + path + "': cannot create a file in its folder");
  SF_INFO info{};
  info.channels = channels;
  info.samplerate = sampleRate;
  info.format = type | subtype;
  file_ = sf_open_fd(output_.descriptor(), SFM_WRITE, &info, SF_FALSE);
  if (!file_) {
    const std::string reason = sf_strerror(nullptr);
    discard();
    throw RenderError("cannot write '" + path + "': " + reason);
  }
  // Integer formats: clip instead of wrapping around on overs.
  sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioFileWriter::~AudioFileWriter() { discard(); }

void AudioFileWriter::discard() {
  if (file_) sf_close(file_);
  file_ = nullptr;
  output_.discard();
}

void AudioFileWriter::write(const float* interleaved, size_t frames) {
  if (sf_writef_float(file_, interleaved, sf_count_t(frames)) != sf_count_t(frames))
    throw RenderError("cannot write '" + path_ + "': " + sf_strerror(file_));
}

void AudioFileWriter::commit() {
  const bool closed = sf_close(file_) == 0;
  file_ = nullptr;
  if (!closed) output_.discard();
  if (!output_.place()) throw RenderError("cannot write '" + path_ + "'");
}
