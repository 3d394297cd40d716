#pragma once

#include <dlfcn.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "framework/VstAbi.h"

// A minimal test host: loads ZORQ.so, answers the callback and records what the
// plug-in tells it (automation, MIDI output, edits). Several hosts may live on
// several threads: each effect's `user` field leads its callbacks to its host.
class PluginHost {
 public:
  PluginHost() {
    library_ = dlopen(ZORQ_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!library_) return;
    auto entry = reinterpret_cast<VstPluginEntryProc>(dlsym(library_, "VSTPluginMain"));
    // Callbacks made while the entry point runs cannot know their effect yet.
    std::lock_guard<std::mutex> lock(creationMutex());
    current() = this;
    effect = entry ? entry(&PluginHost::callback) : nullptr;
    if (effect) effect->user = this;
    current() = nullptr;
  }
  ~PluginHost() {
    if (effect) dispatch(effClose);
    if (library_) dlclose(library_);
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

  void sendMidi(int offset, int status, int data1, int data2) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof event;
    event.deltaFrames = offset;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&event);
    dispatch(effProcessEvents, 0, 0, &events);
  }

  // Float processing of n frames; the mic carries a 440 Hz tone of the given
  // amplitude, the external inputs a constant. Returns the outputs.
  std::vector<std::vector<float>> process(int nFrames, float mic = 0.0f, float ext = 0.0f) {
    std::vector<std::vector<float>> in(4, std::vector<float>(nFrames, ext));
    for (int i = 0; i < nFrames; ++i)
      in[0][i] = in[1][i] = mic * static_cast<float>(std::sin(2.0 * M_PI * 440.0 * i / 44100.0));
    std::vector<std::vector<float>> out(2, std::vector<float>(nFrames, 9.0f));
    float* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    float* outs[2] = {out[0].data(), out[1].data()};
    effect->processReplacing(effect, ins, outs, nFrames);
    return out;
  }

  // Double processing of n frames, the same signals as process().
  std::vector<std::vector<double>> processDouble(int nFrames, double mic = 0.0, double ext = 0.0) {
    std::vector<std::vector<double>> in(4, std::vector<double>(nFrames, ext));
    for (int i = 0; i < nFrames; ++i)
      in[0][i] = in[1][i] = mic * std::sin(2.0 * M_PI * 440.0 * i / 44100.0);
    std::vector<std::vector<double>> out(2, std::vector<double>(nFrames, 9.0));
    double* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    double* outs[2] = {out[0].data(), out[1].data()};
    effect->processDoubleReplacing(effect, ins, outs, nFrames);
    return out;
  }

  // The recorded automation and MIDI output are filled from the plug-in's threads:
  // read them under this lock while another thread may still be running.
  std::mutex recordMutex;
  AEffect* effect = nullptr;
  std::string vendor = "Test Host Maker";
  std::string product = "Test Host";
  std::vector<std::pair<int, float>> automation;
  // Begin-edit, automate and end-edit opcodes in the order they came.
  std::vector<int> edits;
  std::vector<std::vector<unsigned char>> midiOut;

 private:
  static PluginHost*& current() {
    static PluginHost* host = nullptr;
    return host;
  }
  static std::mutex& creationMutex() {
    static std::mutex mutex;
    return mutex;
  }

  static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr,
                            void* ptr, float opt) {
    PluginHost* host = effect && effect->user ? static_cast<PluginHost*>(effect->user) : current();
    if (!host) return 0;
    switch (opcode) {
      case audioMasterVersion: return kVstVersion2400;
      case audioMasterAutomate: {
        std::lock_guard<std::mutex> lock(host->recordMutex);
        host->automation.emplace_back(index, opt);
        host->edits.push_back(opcode);
        return 0;
      }
      case audioMasterBeginEdit:
      case audioMasterEndEdit: {
        std::lock_guard<std::mutex> lock(host->recordMutex);
        host->edits.push_back(opcode);
        return 0;
      }
      case audioMasterGetVendorString:
        std::snprintf(static_cast<char*>(ptr), 64, "%s", host->vendor.c_str());
        return 1;
      case audioMasterGetProductString:
        std::snprintf(static_cast<char*>(ptr), 64, "%s", host->product.c_str());
        return 1;
      case audioMasterGetVendorVersion: return 10203;
      case audioMasterProcessEvents: {
        const VstEvents* events = static_cast<const VstEvents*>(ptr);
        std::lock_guard<std::mutex> lock(host->recordMutex);
        for (int i = 0; i < events->numEvents; ++i) {
          const VstMidiEvent* e = reinterpret_cast<const VstMidiEvent*>(events->events[i]);
          host->midiOut.push_back({static_cast<unsigned char>(e->midiData[0]),
                                   static_cast<unsigned char>(e->midiData[1]),
                                   static_cast<unsigned char>(e->midiData[2])});
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
  const std::string folder = std::string(std::getenv("HOME")) + "/Music/ZanderVoltMusic";
  mkdir((std::string(std::getenv("HOME")) + "/Music").c_str(), 0755);
  mkdir(folder.c_str(), 0755);
  std::ofstream(folder + "/zorq.ini") << contents;
}
