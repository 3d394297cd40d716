#include "gui/SkinPicture.h"

#include <cerrno>
#include <cstdint>
#include <vector>

#include "raster/Png.h"
#include "system/Files.h"

namespace {
// A PNG opens with its 8-byte signature and then the IHDR chunk: length 13, "IHDR",
// width and height as big-endian 32-bit numbers.
constexpr unsigned char kPngStart[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n',
                                       0,    0,   0,   13,  'I',  'H',  'D',  'R'};

uint32_t bigEndian32(const unsigned char* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// The size the header declares; false when the bytes do not start as a PNG does.
bool declaredSize(const std::vector<unsigned char>& png, uint32_t* width, uint32_t* height) {
  if (png.size() < sizeof kPngStart + 8) return false;
  for (size_t i = 0; i < sizeof kPngStart; ++i)
    if (png[i] != kPngStart[i]) return false;
  *width = bigEndian32(png.data() + sizeof kPngStart);
  *height = bigEndian32(png.data() + sizeof kPngStart + 4);
  return true;
}

std::string sizeText(uint64_t width, uint64_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

// Reads the whole file, one byte more than its size if it can: a file that grows while
// it is read is refused. Non-blocking open: a pipe or device under the picture's name
// must not hang the editor. No refusal and no bytes: there is no such file.
std::string readPicture(const std::string& path, std::vector<unsigned char>* bytes) {
  const int fd = openDescriptor(path, OpenFor::kRead);
  if (fd < 0) return errno == ENOENT ? "" : "cannot be read";
  FileStatus status;
  std::string refusal;
  if (!statusOfDescriptor(fd, &status) || !status.isRegular) {
    refusal = "not a regular file";
  } else if (status.size > kMaxSkinPictureBytes) {
    refusal = "larger than 16 MB (" + std::to_string(status.size) + " bytes)";
  } else if (status.size == 0) {
    refusal = "empty file";
  } else {
    bytes->resize(size_t(status.size) + 1);
    size_t got = 0;
    while (got < bytes->size()) {
      const long n = readDescriptor(fd, bytes->data() + got, bytes->size() - got);
      if (n < 0) refusal = "cannot be read";
      if (n <= 0) break;
      got += size_t(n);
    }
    if (refusal.empty() && got != size_t(status.size)) refusal = "changed while it was read";
    bytes->resize(refusal.empty() ? got : 0);
  }
  closeDescriptor(fd);
  return refusal;
}
}  // namespace

SkinPicture LoadSkinPicture(const std::string& path, int width, int height) {
  SkinPicture result;
  std::vector<unsigned char> png;
  result.refusal = readPicture(path, &png);
  if (!result.refusal.empty() || png.empty()) return result;
  uint32_t foundWidth = 0, foundHeight = 0;
  if (!declaredSize(png, &foundWidth, &foundHeight)) {
    result.refusal = "damaged PNG";
    return result;
  }
  // Refused before decoding: a wrong size needs no pixels.
  if (foundWidth != uint32_t(width) || foundHeight != uint32_t(height)) {
    result.refusal = "wrong size: " + sizeText(foundWidth, foundHeight) + " pixels, wanted " +
                     sizeText(uint32_t(width), uint32_t(height));
    return result;
  }
  result.bitmap.reset(LICE_LoadPNGFromMemory(png.data(), png.size()));
  if (!result.bitmap) result.refusal = "damaged PNG";
  return result;
}
