// Hosts call the processing callbacks on their audio thread and everything else on
// their user-interface thread, and they run several instances side by side. This
// test does the same for a bounded time; under ThreadSanitizer it proves the plug-in
// mutex and the process-wide tables keep the threads apart. The run time is
// ZORQ_STRESS_SECONDS (default 2; raise it for longer local runs).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "HostedZorq.h"
#include "engine/ZORQ.h"
#include "sampler/WavTestFile.h"
#include "system/DynamicLibrary.h"
#include "support/UserIni.h"

namespace {
using Clock = std::chrono::steady_clock;

// Now plus the run time (ZORQ_STRESS_SECONDS, default 2) times `fraction`.
Clock::time_point deadlineAfter(double fraction) {
  const char* text = std::getenv("ZORQ_STRESS_SECONDS");
  const double seconds = (text && std::atof(text) > 0.0 ? std::atof(text) : 2.0) * fraction;
  return Clock::now() +
         std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

// A program in "File" input mode naming `wavPath`, as a program chunk.
std::vector<uint8_t> programNamingSample(const std::string& wavPath) {
  ZORQ zorq;
  zorq.EnsureDefaultPreset();
  zorq.GetParam(kInputMode)->Set(1.0);
  zorq.setSampleFileName(wavPath.c_str());
  ByteChunk chunk;
  zorq.serializeProgramChunk(&chunk);
  return {chunk.GetBytes(), chunk.GetBytes() + chunk.Size()};
}

void midi(Vst2PluginHost& host, int offset, int status, int data1, int data2) {
  host.sendEvents({{offset, uint8_t(status), uint8_t(data1), uint8_t(data2)}});
}

template <typename Sample>
bool allFinite(const std::vector<std::vector<Sample>>& out) {
  for (const auto& channel : out)
    for (Sample v : channel)
      if (!std::isfinite(v)) return false;
  return true;
}

// What the audio thread of a host does per block: MIDI first, then processing,
// single and double precision in turn. Returns the number of blocks with a
// non-finite output sample.
struct AudioThread {
  Vst2PluginHost& host;
  std::atomic<bool>& stop;
  int blocks = 0;
  int nonFiniteBlocks = 0;

  void run() {
    std::mt19937 random(7);
    while (!stop.load()) {
      const int frames = 1 + static_cast<int>(random() % 700);
      const int note = 36 + static_cast<int>(random() % 48);
      midi(host, static_cast<int>(random() % frames), 0x90, note, 1 + random() % 127);
      midi(host, static_cast<int>(random() % frames), 0x80, note - 7, 0);
      midi(host, 0, 0xE0, 0, static_cast<int>(random() % 128));
      midi(host, static_cast<int>(random() % frames), 0xB0, 7, static_cast<int>(random() % 128));
      midi(host, 0, 0xB0, 64, (blocks / 16) % 2 ? 127 : 0);
      if (blocks % 13 == 0) midi(host, static_cast<int>(random() % frames), 0xC0, blocks % 64, 0);
      const bool ok = blocks % 2 ? allFinite(toneBlock(host, frames, 0.3f, 0.1f))
                                 : allFinite(toneBlock<double>(host, frames, 0.3, 0.1));
      if (!ok) ++nonFiniteBlocks;
      if (++blocks % 97 == 0) midi(host, 0, 0xB0, 123, 0);
    }
  }
};

class Concurrency : public ::testing::Test {
 protected:
  void SetUp() override {
    // A learned controller: CC 7 drives "Final Volume" from the audio thread.
    writeUserIni("[MIDI Global]\nMIDI Thru=true\n[MIDI Control]\nCC7=4\n");
    // Two short files at another rate than the host's, so the converter runs.
    for (int i = 0; i < 2; ++i) {
      const auto samples = wavtest::sine(8000 + 4000 * i, 300.0 + 100 * i, 22050.0);
      wavPaths[i] = folder.write("voice" + std::to_string(i) + ".wav",
                                 wavtest::wav(1, 16, 1, 22050, samples));
    }
  }

  wavtest::TempDir folder;
  std::string wavPaths[2];
};
}  // namespace

// Instances side by side, each created, driven and closed on a thread of its own (twice,
// the second time while the others run): they share the wavetables, the noise generator,
// the INI cache and the microtuning connection. In each, an audio thread plays notes,
// pitch wheel, a learned controller, program changes and the pedal while the
// user-interface thread sets parameters (by value and by text), switches programs, saves
// and restores program and bank chunks and loads samples.
TEST_F(Concurrency, AudioAndUserInterfaceThreadsOfInstancesSideBySide) {
  // The library stays loaded until every thread has joined, so its static destructors
  // run after the instances' last use. (The loader's own lock orders one thread's unload
  // after another's close, but ThreadSanitizer cannot see it.)
  void* library = openLibrary(ZORQ_PLUGIN_PATH);
  ASSERT_NE(library, nullptr);
  const std::vector<uint8_t> sampleChunks[2] = {programNamingSample(wavPaths[0]),
                                                programNamingSample(wavPaths[1])};
  std::atomic<int> audioBlocks{0}, chunkLoads{0}, nonFiniteBlocks{0};
  auto instance = [&](uint32_t seed, double fraction) {
    HostedZorq zorq;
    Vst2PluginHost& host = zorq.host;
    host.start(seed % 2 ? 48000.0 : 44100.0, 512);
    // The spliced chunk restores the file name, as a saved song would.
    EXPECT_TRUE(host.setChunk(false, sampleChunks[seed % 2]));
    std::atomic<bool> stop{false};
    AudioThread audio{host, stop};
    std::thread audioThread([&audio] { audio.run(); });
    std::mt19937 random(seed);
    const auto deadline = deadlineAfter(fraction);
    while (Clock::now() < deadline) {
      const int index = static_cast<int>(random() % kNumParams);
      switch (random() % 8) {
        case 0:
        case 1: host.setParameter(index, float(random() % 1001) / 1000.0f); break;
        case 2: {
          char text[32];
          std::snprintf(text, sizeof text, "%g", double(random() % 2000) / 100.0);
          host.dispatch(effString2Parameter, index, 0, text);
          break;
        }
        case 3: host.dispatch(effSetProgram, 0, static_cast<VstIntPtr>(random() % 64)); break;
        case 4: {
          const bool bank = random() % 2 == 0;
          const std::vector<uint8_t> chunk = host.chunk(bank);
          if (!chunk.empty()) chunkLoads += host.setChunk(bank, chunk);
          break;
        }
        case 5: chunkLoads += host.setChunk(false, sampleChunks[random() % 2]); break;
        case 6: {
          host.getParameter(index);
          host.paramDisplay(index);
          host.currentProgramName();
          host.idle();  // finishes a program change made by MIDI
          break;
        }
        default:
          host.setParameter(kInputMode, random() % 2 ? 1.0f : 0.0f);
          host.setParameter(kEnsemble, random() % 2 ? 1.0f : 0.0f);
          break;
      }
    }
    stop = true;
    audioThread.join();
    audioBlocks += audio.blocks;
    nonFiniteBlocks += audio.nonFiniteBlocks;
    std::lock_guard<std::mutex> lock(zorq.recorder.mutex);
    EXPECT_FALSE(zorq.recorder.midi.empty());  // "MIDI Thru" sends from the audio thread
  };
  std::vector<std::thread> threads;
  for (uint32_t seed : {11u, 12u})
    threads.emplace_back([&instance, seed] {
      instance(seed, 0.25);
      instance(seed + 2, 0.75);
    });
  for (std::thread& thread : threads) thread.join();
  closeLibrary(library);
  EXPECT_GT(audioBlocks.load(), 40);
  EXPECT_GT(chunkLoads.load(), 0);
  EXPECT_EQ(nonFiniteBlocks.load(), 0);
}
