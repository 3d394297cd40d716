#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "formats/vst2/VstAbi.h"
#include "support/TestSystem.h"
#include "system/DynamicLibrary.h"

// A test host that loads ZORQ.so, answers the callback and records what the plug-in
// tells it (automation, MIDI output, edits), which the offline host of zorq-render
// does not keep. Several hosts may live on several threads: each effect's `user`
// field leads its callbacks to its host.
class RecordingHost {
 public:
  RecordingHost() {
    library_ = openLibrary(ZORQ_PLUGIN_PATH);
    if (!library_) return;
    auto entry = reinterpret_cast<VstPluginEntryProc>(librarySymbol(library_, "VSTPluginMain"));
    // Callbacks made while the entry point runs cannot know their effect yet.
    std::lock_guard<std::mutex> lock(creationMutex());
    current() = this;
    effect = entry ? entry(&RecordingHost::callback) : nullptr;
    if (effect) effect->user = this;
    current() = nullptr;
  }
  ~RecordingHost() {
    if (effect) dispatch(effClose);
    closeLibrary(library_);
  }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }

  // Sample rate, block size, open and switch on, as hosts do before processing.
  void start(float sampleRate = 44100.0f, int blockSize = 512) {
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effMainsChanged, 0, 1);
  }

  std::string text(VstInt32 opcode, VstInt32 index) {
    char buffer[256] = {};
    dispatch(opcode, index, 0, buffer);
    return buffer;
  }

  float parameter(int index) { return effect->getParameter(effect, index); }
  void setParameter(int index, float value) { effect->setParameter(effect, index, value); }

  // The bank (or the current program's) state chunk, copied.
  std::vector<char> chunk(bool bank) {
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
    if (size <= 0 || !data) return {};
    return std::vector<char>(static_cast<char*>(data), static_cast<char*>(data) + size);
  }
  VstIntPtr setChunk(bool bank, const std::vector<char>& bytes) {
    return dispatch(effSetChunk, bank ? 0 : 1, VstIntPtr(bytes.size()),
                    const_cast<char*>(bytes.data()));
  }

  VstIntPtr sendMidi(int offset, int status, int data1, int data2) {
    return sendMidi({{offset, status, data1, data2}});
  }
  // One event list of any length (offset, status, data 1, data 2 each), allocated as
  // hosts do with room for every pointer beyond the two slots the declaration shows.
  VstIntPtr sendMidi(const std::vector<std::array<int, 4>>& messages) {
    std::vector<VstMidiEvent> events(messages.size());
    const size_t slots = messages.size() + 2;
    std::vector<unsigned char> list(offsetof(VstEvents, events) + slots * sizeof(VstEvent*));
    auto* pointers = reinterpret_cast<VstEvent**>(list.data() + offsetof(VstEvents, events));
    for (size_t i = 0; i < messages.size(); ++i) {
      events[i].type = kVstMidiType;
      events[i].byteSize = sizeof(VstMidiEvent);
      events[i].deltaFrames = messages[i][0];
      for (int b = 0; b < 3; ++b) events[i].midiData[b] = static_cast<char>(messages[i][b + 1]);
      pointers[i] = reinterpret_cast<VstEvent*>(&events[i]);
    }
    reinterpret_cast<VstEvents*>(list.data())->numEvents = static_cast<VstInt32>(messages.size());
    return dispatch(effProcessEvents, 0, 0, list.data());
  }

  // Float (or double) processing of n frames; the mic carries a 440 Hz tone of the
  // given amplitude, the external inputs a constant. Returns the outputs, which start
  // as 9 so that samples left unwritten show.
  template <typename Sample = float>
  std::vector<std::vector<Sample>> process(int nFrames, Sample mic = 0, Sample ext = 0) {
    std::vector<std::vector<Sample>> in(4, std::vector<Sample>(nFrames, ext));
    for (int i = 0; i < nFrames; ++i)
      in[0][i] = in[1][i] = mic * static_cast<Sample>(std::sin(2.0 * M_PI * 440.0 * i / 44100.0));
    std::vector<std::vector<Sample>> out(2, std::vector<Sample>(nFrames, Sample(9)));
    Sample* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    Sample* outs[2] = {out[0].data(), out[1].data()};
    if constexpr (sizeof(Sample) == sizeof(float)) {
      effect->processReplacing(effect, ins, outs, nFrames);
    } else {
      effect->processDoubleReplacing(effect, ins, outs, nFrames);
    }
    return out;
  }

  // Float processing of `frames` frames in blocks: the voice into both mic inputs, the
  // carrier into both external inputs, each MIDI message (absolute frame, status, data 1,
  // data 2) sent before the block it falls in. Returns the left and right outputs.
  std::array<std::vector<float>, 2> render(const std::vector<float>& voice,
                                           const std::vector<float>& carrier, int frames, int block,
                                           const std::vector<std::array<int, 4>>& midi = {}) {
    std::array<std::vector<float>, 2> result;
    std::vector<float> in[4], out[2] = {std::vector<float>(block), std::vector<float>(block)};
    for (int done = 0; done < frames; done += block) {
      const int n = std::min(block, frames - done);
      std::vector<std::array<int, 4>> events;
      for (const auto& m : midi)
        if (m[0] >= done && m[0] < done + n) events.push_back({m[0] - done, m[1], m[2], m[3]});
      if (!events.empty()) sendMidi(events);
      for (int c = 0; c < 4; ++c)
        in[c].assign((c < 2 ? voice : carrier).begin() + done,
                     (c < 2 ? voice : carrier).begin() + done + n);
      float* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
      float* outs[2] = {out[0].data(), out[1].data()};
      effect->processReplacing(effect, ins, outs, n);
      for (int c = 0; c < 2; ++c)
        result[c].insert(result[c].end(), out[c].begin(), out[c].begin() + n);
    }
    return result;
  }

  // The recorded automation and MIDI output are filled from the plug-in's threads:
  // read them under this lock while another thread may still be running.
  std::mutex recordMutex;
  AEffect* effect = nullptr;
  std::string vendor = "Test Host Maker";
  std::vector<std::pair<int, float>> automation;
  // Begin-edit, automate and end-edit opcodes in the order they came.
  std::vector<int> edits;
  std::vector<std::vector<unsigned char>> midiOut;

 private:
  static RecordingHost*& current() {
    static RecordingHost* host = nullptr;
    return host;
  }
  static std::mutex& creationMutex() {
    static std::mutex mutex;
    return mutex;
  }

  static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr,
                            float opt) {
    RecordingHost* host =
        effect && effect->user ? static_cast<RecordingHost*>(effect->user) : current();
    if (!host) return 0;
    std::lock_guard<std::mutex> lock(host->recordMutex);
    switch (opcode) {
      case audioMasterVersion: return kVstVersion2400;
      case audioMasterAutomate: host->automation.emplace_back(index, opt); [[fallthrough]];
      case audioMasterBeginEdit:
      case audioMasterEndEdit: host->edits.push_back(opcode); return 0;
      case audioMasterGetVendorString:
        std::snprintf(static_cast<char*>(ptr), 64, "%s", host->vendor.c_str());
        return 1;
      case audioMasterGetProductString:
        std::snprintf(static_cast<char*>(ptr), 64, "Test Host");
        return 1;
      case audioMasterGetVendorVersion: return 10203;
      case audioMasterProcessEvents: {
        const VstEvents* events = static_cast<const VstEvents*>(ptr);
        for (int i = 0; i < events->numEvents; ++i) {
          const auto* data = reinterpret_cast<const VstMidiEvent*>(events->events[i])->midiData;
          host->midiOut.push_back({static_cast<unsigned char>(data[0]),
                                   static_cast<unsigned char>(data[1]),
                                   static_cast<unsigned char>(data[2])});
        }
        return 1;
      }
      default: return 0;
    }
  }

  void* library_ = nullptr;
};

// Writes the per-user INI file the instrument reads when it is created.
inline void writeUserIni(const std::string& contents) {
  const std::filesystem::path folder =
      std::filesystem::u8path(currentHomeFolder() + "/Music/ZanderVoltMusic");
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "zorq.ini") << contents;
}
