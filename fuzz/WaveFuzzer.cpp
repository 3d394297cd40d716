// WAV files through the reader and the sample player. Input: a control byte
// (bits 0-2 host rate, bits 3-4 sub-block size, bits 5-7 channel arrays asked
// of the reader), then the file. The reader's frames go into guarded arrays at
// an offset; the player then plays the file at the chosen host rate (mostly not
// the file's own, so the converter runs), through a rate change while open, an
// attack and a release. A file the reader refuses must fail closed.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "sampler/Sampler.h"
#include "sampler/WaveReader.h"

namespace {

constexpr double kHostRates[8] = {44100.0, 48000.0,  22050.0, 96000.0,
                                  8000.0,  192000.0, 11025.0, 44101.0};
constexpr unsigned kSubBlocks[4] = {1, 17, 44, 133};
constexpr double kGuard = -7777.0;
constexpr unsigned kOffset = 3;

void checkGuards(const std::vector<double>& buffer, size_t used, const char* what) {
  for (size_t i = used; i < buffer.size(); ++i)
    if (buffer[i] != kGuard) {
      std::fprintf(stderr, "zorq fuzz: %s written past its end\n", what);
      std::abort();
    }
}

void readWithReader(const std::string& path, int arrays, unsigned count) {
  WaveReader reader;
  if (!reader.Open(path.c_str())) {
    // A refused file fails closed: no frames, and a read writes nothing.
    double sample = kGuard;
    double* one[1] = {&sample};
    if (reader.length() != 0 || reader.ReadDoublesNI(one, 0, 1, 1) != 0 || sample != kGuard) {
      std::fprintf(stderr, "zorq fuzz: a refused file still gives frames\n");
      std::abort();
    }
    return;
  }
  const unsigned fileChannels = reader.channelCount();
  const unsigned wanted = arrays < 1 ? fileChannels : static_cast<unsigned>(arrays);
  std::vector<std::vector<double>> dest(wanted, std::vector<double>(kOffset + count + 4, kGuard));
  std::vector<double*> pointers;
  for (auto& channel : dest) pointers.push_back(channel.data());
  for (int pass = 0; pass < 3; ++pass) {
    const unsigned got = reader.ReadDoublesNI(pointers.data(), kOffset, count, arrays);
    if (got > count) {
      std::fprintf(stderr, "zorq fuzz: reader delivered more frames than asked\n");
      std::abort();
    }
    for (auto& channel : dest) checkGuards(channel, kOffset + count, "reader output");
    if (pass == 1) reader.rewindToData();
  }
}

void playWithSampler(const std::string& path, double hostRate, unsigned subBlock) {
  Sampler sampler;
  sampler.init(hostRate, subBlock);
  if (!sampler.openWAV(path.c_str())) return;
  sampler.setAttack(0.1);
  sampler.setRelease(0.2);
  std::vector<double> left(subBlock + 2, kGuard), right(subBlock + 2, kGuard);
  double* buffers[2] = {left.data(), right.data()};
  sampler.restart();
  for (int block = 0; block < 6; ++block) {
    if (block == 2) sampler.init(hostRate * 0.75 + 1000.0, subBlock);  // the host's rate changes
    if (block == 3) sampler.restart();
    if (block == 4) sampler.stop();
    sampler.processSamples(buffers, static_cast<int>(subBlock));
    checkGuards(left, subBlock, "player output");
    checkGuards(right, subBlock, "player output");
  }
  sampler.closeWAV();
  sampler.processSamples(buffers, static_cast<int>(subBlock));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t control = data[0];
  const std::string path = fuzz::writeScratchFile("input.wav", data + 1, size - 1);
  const int arrays = static_cast<int>(control >> 5) - 1;  // -1 .. 6; below 1 means all
  const unsigned subBlock = kSubBlocks[(control >> 3) & 3];
  readWithReader(path, arrays, subBlock * 3);
  playWithSampler(path, kHostRates[control & 7], subBlock);
  return 0;
}
