#pragma once

// The host as the plug-in base sees it. Each plug-in format's adapter implements it and
// attaches itself to the plug-in it hosts (IPlugBase::SetHost); the base forwards what
// the instrument and its editor tell the host through it. Without an attached host
// every call is dropped, so the instrument runs on its own in tools and tests.
struct IMidiMsg;

class IPlugHost {
 public:
  virtual ~IPlugHost() = default;

  // A parameter's new normalised value, for the host's automation and display.
  // Editor, host or audio thread (learned MIDI controllers); plug-in mutex held.
  virtual void InformHostOfParamChange(int paramIdx, double normalized) = 0;
  // A gesture on a parameter begins or ends (the user grabs or lets go of a knob).
  // Editor thread; plug-in mutex may be held.
  virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
  virtual void EndInformHostOfParamChange(int paramIdx) = 0;
  // The current program or many values changed at once: the host reads them again.
  // Any thread, plug-in mutex held: the audio thread calls it for a MIDI program change,
  // so an implementation only records the request there and acts on it later.
  virtual void InformHostOfProgramChange() = 0;
  // One MIDI message out to the host, timed within the current block. Audio thread,
  // plug-in mutex held; never allocates.
  virtual void SendMidiMsg(const IMidiMsg& msg) = 0;
  // The editor's size or scale changed. Editor thread.
  virtual void ResizeGraphics(int width, int height) = 0;
  // The plug-in's latency in samples changed. Plug-in mutex held.
  virtual void SetLatency(int samples) = 0;
};
