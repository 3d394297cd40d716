#pragma once

// The plug-in as a JACK client: one audio port per input and output channel of the
// plug-in (named from the channel labels, with pretty names and an order in the
// server's metadata) and one MIDI input. Each period the process callback hands the
// MIDI events to the plug-in at their frame offsets, then processes the period in
// pieces of at most ProcessFrames() frames, under the plug-in mutex, as any format
// adapter does. A change of the server's period or sample rate sets the plug-in up
// anew (block size, rate, Reset) and fades the outputs in again. The host never starts
// a JACK server: without one, Open fails with a message that says so.
//
// Threads: Open, Close, Autoconnect and the queries run on the application's main
// thread; the process callback on JACK's real-time thread (plug-in mutex, nothing
// else: no allocation, no file access); the period, rate, xrun and shutdown callbacks
// on JACK's notification thread.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/GainRamp.h"
#include "framework/IPlugHost.h"

class IPlugBase;
// libjack's own type names, declared so that this header needs no JACK header.
struct _jack_client;  // NOLINT(bugprone-reserved-identifier)
struct _jack_port;    // NOLINT(bugprone-reserved-identifier)

class JackHost : public IPlugHost {
 public:
  // Channels the process callback handles in each direction.
  static constexpr int kMaxChannels = 16;

  // What Autoconnect did: connections made, and those it could not make (one
  // readable line each, naming both ports and the reason).
  struct Connections {
    std::vector<std::string> made;
    std::vector<std::string> failed;
  };

  // Hosts `plug` (not owned; it must outlive the host). Main thread.
  explicit JackHost(IPlugBase* plug);
  ~JackHost() override;
  JackHost(const JackHost&) = delete;
  JackHost& operator=(const JackHost&) = delete;

  // Opens a client called `name` on the running server, registers the ports, sets the
  // plug-in up for the server's rate and period and activates the client. False with
  // *error set when no server runs, the name is refused, or a port cannot be made.
  // Main thread.
  bool Open(const std::string& name, std::string* error);
  // Deactivates and closes the client (its ports and their metadata go). Main thread.
  void Close();
  bool IsOpen() const { return client_ != nullptr; }
  // The name the server gave the client (it may add a suffix when the name is taken).
  const std::string& ClientName() const { return clientName_; }
  // "client:port" of the audio inputs, the audio outputs and the MIDI input.
  std::vector<std::string> InputPorts() const;
  std::vector<std::string> OutputPorts() const;
  std::string MidiInputPort() const;

  // Physical capture 1 and 2 to the first two inputs (one capture port feeds both),
  // every output to the physical playback port of its number, every hardware MIDI
  // output to the MIDI input. A request the server accepts but does not carry out (a
  // session policy may drop a client's own connections) counts as failed. Main thread.
  Connections Autoconnect();

  // The server shut the client down (it stopped, or threw the client out); the
  // reason is what it said. Any thread.
  bool ServerGone() const { return serverGone_.load(); }
  std::string ShutdownReason() const;
  // Xruns the server reported since Open. Any thread.
  unsigned Xruns() const { return xruns_.load(); }
  // Server period and rate the plug-in is set up for. Main thread.
  int Period() const { return period_.load(); }
  double SampleRate() const { return sampleRate_.load(); }

  // IPlugHost. Automation, gestures, program changes and sizes need no answer here;
  // there is no MIDI output port, so outgoing MIDI is dropped.
  void InformHostOfParamChange(int, double) override {}
  void BeginInformHostOfParamChange(int) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  void SendMidiMsg(const IMidiMsg&) override {}
  void ResizeGraphics(int, int) override {}
  void SetLatency(int) override {}

 private:
  // JACK's callbacks (JackHost.cpp); no exception leaves them.
  friend struct JackCallbacks;

  void process(uint32_t nFrames);
  void deliverMidi(uint32_t nFrames);
  // Plug-in set up for a period and rate; notification or main thread, takes the mutex.
  void setUp(int period, double rate);
  bool registerPorts(std::string* error);
  void describePort(_jack_port* port, const std::string& prettyName, int order);
  // Whether the port named `from` is connected to the one named `to`.
  bool connected(const std::string& from, const std::string& to) const;

  IPlugBase* plug_;
  _jack_client* client_ = nullptr;
  std::string clientName_;
  std::vector<_jack_port*> inputs_;
  std::vector<_jack_port*> outputs_;
  _jack_port* midiInput_ = nullptr;
  GainRamp ramp_;  // under the plug-in mutex: the fade-in after a reset while running
  std::atomic<int> period_{0};
  std::atomic<double> sampleRate_{0.0};
  std::atomic<unsigned> xruns_{0};
  std::atomic<bool> serverGone_{false};
  // Callbacks inside our code, and whether Close has asked them to do nothing.
  std::atomic<int> busy_{0};
  std::atomic<bool> stopping_{false};
  char shutdownReason_[256] = {};  // written once, before serverGone_ is set
};
