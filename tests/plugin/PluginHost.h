#pragma once

#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/VstAbi.h"

// A minimal test host: loads ZORQ.so, answers the callback and records what the
// plug-in tells it (automation, MIDI output, edits).
class PluginHost {
 public:
  PluginHost() {
    library_ = dlopen(ZORQ_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!library_) return;
    auto entry = reinterpret_cast<VstPluginEntryProc>(dlsym(library_, "VSTPluginMain"));
    current() = this;
    effect = entry ? entry(&PluginHost::callback) : nullptr;
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

  AEffect* effect = nullptr;
  std::string vendor = "Test Host Maker";
  std::string product = "Test Host";
  std::vector<std::pair<int, float>> automation;
  std::vector<std::vector<unsigned char>> midiOut;

 private:
  static PluginHost*& current() {
    static PluginHost* host = nullptr;
    return host;
  }

  static VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr,
                            float opt) {
    PluginHost* host = current();
    switch (opcode) {
      case audioMasterVersion: return kVstVersion2400;
      case audioMasterAutomate: host->automation.emplace_back(index, opt); return 0;
      case audioMasterGetVendorString:
        std::snprintf(static_cast<char*>(ptr), 64, "%s", host->vendor.c_str());
        return 1;
      case audioMasterGetProductString:
        std::snprintf(static_cast<char*>(ptr), 64, "%s", host->product.c_str());
        return 1;
      case audioMasterGetVendorVersion: return 10203;
      case audioMasterProcessEvents: {
        const VstEvents* events = static_cast<const VstEvents*>(ptr);
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
