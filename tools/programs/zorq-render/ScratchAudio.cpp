#include "zorq-render/ScratchAudio.h"

#include <cerrno>

#include "framework/FileBytes.h"
#include "system/Files.h"
#include "zorq-render/Interruption.h"
#include "zorq-render/RenderError.h"

namespace {

constexpr size_t kReplayFrames = 8192;

// Fills size bytes unless the file ends first; returns the bytes read.
size_t readUpTo(int fd, char* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const long n = readDescriptor(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw RenderError("cannot read back the scratch file for --normalize");
    if (n == 0) break;
    done += size_t(n);
  }
  return done;
}

}  // namespace

ScratchAudio::ScratchAudio(const std::string& besidePath, int channels) : channels_(channels) {
  std::string path;
  descriptor_ = createTemporaryBeside(besidePath, &path);
  if (descriptor_ < 0)
    throw RenderError("cannot create a scratch file beside '" + besidePath + "'");
  removeFile(path);  // Windows: gone once closed, since the file shares deletion
}

ScratchAudio::~ScratchAudio() {
  if (descriptor_ >= 0) closeDescriptor(descriptor_);
}

void ScratchAudio::write(const float* interleaved, size_t frames) {
  if (!writeAll(descriptor_, interleaved, frames * channels_ * sizeof(float)))
    throw RenderError("cannot write the scratch file for --normalize (disk full?)");
}

void ScratchAudio::replay(float gain, FrameSink& sink) {
  if (!rewindDescriptor(descriptor_)) throw RenderError("cannot rewind the scratch file");
  buffer_.resize(kReplayFrames * size_t(channels_));
  const size_t frameBytes = size_t(channels_) * sizeof(float);
  for (;;) {
    Interruption::check();
    const size_t bytes = readUpTo(descriptor_, reinterpret_cast<char*>(buffer_.data()),
                                  buffer_.size() * sizeof(float));
    const size_t frames = bytes / frameBytes;
    if (frames == 0) break;
    for (size_t i = 0; i < frames * size_t(channels_); ++i) buffer_[i] *= gain;
    sink.write(buffer_.data(), frames);
  }
}
