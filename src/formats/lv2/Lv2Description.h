// The LV2 format adapter: what a plug-in built on the format-neutral core looks like
// as an LV2 plug-in, and the order of its ports. The adapter hosts any IPlugBase; the
// instrument's entry points describe it with an Lv2Description (URIs, the audio
// ports in channel order, one stable symbol per parameter) and a function that builds
// it. Both the plug-in (Lv2Plugin) and its editor (Lv2Ui) and the Turtle writer
// (Lv2Ttl) read the same description, so the ports they number always agree.
//
// Port order: the audio ports as listed (inputs are the plug-in's input channels in
// order, outputs its output channels), then the atom input (MIDI and messages from
// the editor), the atom output (messages to the editor, MIDI out), the enabled port,
// the latency port, and one control input per parameter in index order.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class IPlugBase;

struct Lv2AudioPort {
  const char* symbol;
  const char* name;
  bool input;
  // A side-chain input: optional, a host may connect nothing (silence).
  bool sideChain;
  const char* group;        // port group symbol ("voice", "carrier", "out")
  const char* designation;  // "left" or "right" within a stereo group
};

struct Lv2ParamPort {
  // The port's identity in sessions and presets: renamed only when its values change
  // meaning, so that a stored value is never read in another unit.
  const char* symbol;
  // A unit of the LV2 units vocabulary ("hz", "cent", ...), or null; a gain's port is
  // in decibels whatever this says (framework/PortValue.h).
  const char* unit;
};

struct Lv2Description {
  const char* pluginUri;
  const char* uiUri;
  const char* dspBinary;  // file names inside the bundle
  const char* uiBinary;
  const char* ttlFile;
  const char* presetsFile;
  const char* pluginClass;  // an lv2: class below lv2:Plugin
  std::vector<Lv2AudioPort> audioPorts;
  std::vector<Lv2ParamPort> paramPorts;
  // Builds the plug-in without an editor (the DSP side, the Turtle writer).
  std::unique_ptr<IPlugBase> (*createPlugin)();
  // Builds the editor's copy of the plug-in with its editor attached (the UI side).
  std::unique_ptr<IPlugBase> (*createEditorCopy)();

  uint32_t audioPortCount() const { return static_cast<uint32_t>(audioPorts.size()); }
  uint32_t controlInPort() const { return audioPortCount(); }
  uint32_t notifyPort() const { return audioPortCount() + 1; }
  uint32_t enabledPort() const { return audioPortCount() + 2; }
  uint32_t latencyPort() const { return audioPortCount() + 3; }
  uint32_t firstParamPort() const { return audioPortCount() + 4; }
  uint32_t portCount() const { return firstParamPort() + static_cast<uint32_t>(paramPorts.size()); }
  // The parameter of a port, or -1.
  int paramOfPort(uint32_t port) const {
    return port >= firstParamPort() && port < portCount()
               ? static_cast<int>(port - firstParamPort())
               : -1;
  }
};

// The sizes the atom ports ask hosts for (rsz:minimumSize), in bytes.
constexpr uint32_t kLv2AtomPortMinimumSize = 65536;
