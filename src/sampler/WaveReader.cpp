#include "sampler/WaveReader.h"

#include <algorithm>
#include <cstring>

#include "system/Files.h"

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr size_t kPlainFormatSize = 16;
constexpr size_t kExtensibleFormatSize = 40;
constexpr size_t kFrameBufferBytes = 4096;

// Bytes 4..15 of the sub-format identifier shared by every standard
// extensible sub-format; bytes 0..3 hold the plain format tag.
constexpr unsigned char kSubFormatTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                              0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t readU16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t readU32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool isFormatAccepted(uint32_t tag, uint32_t bits) {
  if (tag == kFormatPcm) return bits == 8 || bits == 16 || bits == 24 || bits == 32;
  if (tag == kFormatFloat) return bits == 32 || bits == 64;
  return false;
}

// Sample conversions to [-1, 1):
//   8-bit unsigned x / 128 - 1; 16/24/32-bit signed x / 2^(bits-1); float as is.
double convertSample(const unsigned char* p, uint32_t bits, bool isFloat) {
  if (isFloat) {
    if (bits == 32) {
      float f;
      std::memcpy(&f, p, sizeof f);
      return f;
    }
    double d;
    std::memcpy(&d, p, sizeof d);
    return d;
  }
  switch (bits) {
    case 8: return p[0] / 128.0 - 1.0;
    case 16: return static_cast<int16_t>(readU16(p)) / 32768.0;
    case 24: {
      int32_t v = static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
      if (v & 0x800000) v -= 0x1000000;
      return v / 8388608.0;
    }
    default: return static_cast<int32_t>(readU32(p)) / 2147483648.0;
  }
}

}  // namespace

WaveReader::~WaveReader() { Close(); }

void WaveReader::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  length_ = 0;
  framesLeft_ = 0;
  hasDataPosition_ = false;
}

void WaveReader::clearFormat() {
  bits_ = 0;
  channels_ = 0;
  sampleRate_ = 0;
  floatSamples_ = false;
}

void WaveReader::readFormat(const unsigned char* body, size_t size) {
  uint32_t tag = readU16(body);
  const uint32_t channels = readU16(body + 2);
  const uint32_t rate = readU32(body + 4);
  const uint32_t bits = readU16(body + 14);
  if (tag == kFormatExtensible) {
    // The extensible wrapper names the real format in its sub-format.
    const bool standard = size >= kExtensibleFormatSize && readU16(body + 16) >= 22 &&
                          std::memcmp(body + 28, kSubFormatTail, sizeof kSubFormatTail) == 0;
    tag = standard ? readU32(body + 24) : 0;
  }
  const bool accepted = isFormatAccepted(tag, bits) && channels >= 1 && channels <= kMaxChannels &&
                        rate >= kMinSampleRate && rate <= kMaxSampleRate;
  if (!accepted) {
    clearFormat();
    return;
  }
  bits_ = bits;
  channels_ = channels;
  sampleRate_ = rate;
  floatSamples_ = tag == kFormatFloat;
}

// A chunk size up to 4 GiB must stay a forward seek (on 32-bit targets the build
// asks for 64-bit offsets).
static_assert(sizeof(off_t) == 8, "file offsets must be 64-bit");

bool WaveReader::skip(uint64_t bytes) {
  return bytes == 0 || fseeko(file_, static_cast<off_t>(bytes), SEEK_CUR) == 0;
}

bool WaveReader::Open(const char* path) {
  Close();
  clearFormat();
  fileName_ = path ? path : "";
  // Only regular files: opening a FIFO or device could block or never end.
  FileStatus info;
  if (!path || !statusOf(path, &info) || !info.isRegular) return false;
  file_ = openFile(path, "rb");
  if (!file_) return false;

  unsigned char header[12];
  bool found = std::fread(header, 1, sizeof header, file_) == sizeof header &&
               std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "WAVE", 4) == 0;
  while (found) {
    unsigned char chunk[8];
    if (std::fread(chunk, 1, sizeof chunk, file_) != sizeof chunk) {
      found = false;
      break;
    }
    const uint32_t size = readU32(chunk + 4);
    // RIFF pads odd-sized chunks to an even length.
    const uint64_t padded = static_cast<uint64_t>(size) + (size & 1u);
    if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= kPlainFormatSize) {
      unsigned char body[kExtensibleFormatSize];
      const size_t wanted = std::min<size_t>(size, sizeof body);
      if (std::fread(body, 1, wanted, file_) != wanted) {
        clearFormat();
        found = false;
        break;
      }
      readFormat(body, wanted);
      found = skip(padded - wanted);
    } else if (std::memcmp(chunk, "data", 4) == 0 && size > 0 && bits_ != 0) {
      length_ = size / (channels_ * (bits_ / 8));
      framesLeft_ = length_;
      hasDataPosition_ = std::fgetpos(file_, &dataPosition_) == 0;
      if (!hasDataPosition_) found = false;
      break;
    } else {
      found = skip(padded);
    }
  }
  if (!found) Close();
  return found;
}

bool WaveReader::rewindToData() {
  if (!file_ || !hasDataPosition_ || std::fsetpos(file_, &dataPosition_) != 0) return false;
  framesLeft_ = length_;
  return true;
}

unsigned WaveReader::ReadDoublesNI(double** dest, unsigned offset, unsigned count, int channels) {
  if (!file_ || !dest || channels_ < 1 || channels_ > kMaxChannels) return 0;
  const unsigned arrays = channels < 1 ? channels_ : static_cast<unsigned>(channels);
  const unsigned converted =
      (channels >= 1 && static_cast<unsigned>(channels) < channels_) ? channels : channels_;
  const unsigned bytesPerSample = bits_ / 8;
  const size_t frameBytes = static_cast<size_t>(channels_) * bytesPerSample;
  const unsigned framesPerRead = static_cast<unsigned>(kFrameBufferBytes / frameBytes);
  const unsigned frames = std::min(count, framesLeft_);

  unsigned char buffer[kFrameBufferBytes];
  unsigned done = 0;
  while (done < frames) {
    const unsigned wanted = std::min(framesPerRead, frames - done);
    const unsigned got = static_cast<unsigned>(std::fread(buffer, frameBytes, wanted, file_));
    for (unsigned k = 0; k < got; ++k) {
      const unsigned char* frame = buffer + k * frameBytes;
      for (unsigned c = 0; c < converted; ++c)
        dest[c][offset + done + k] =
            convertSample(frame + c * bytesPerSample, bits_, floatSamples_);
    }
    done += got;
    if (got < wanted) {
      framesLeft_ = done;  // the file ends before its declared data length
      break;
    }
  }
  framesLeft_ -= done;
  for (unsigned c = converted; c < arrays; ++c)
    std::copy(dest[c % converted] + offset, dest[c % converted] + offset + done, dest[c] + offset);
  return done;
}
