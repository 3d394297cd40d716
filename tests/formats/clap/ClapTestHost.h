#pragma once

// A CLAP host for the tests, the way hosts and the public validator drive a plug-in:
// it loads a .clap file (or takes a plug-in record made in the test process), offers
// the host extensions a desktop host offers (parameters, state, latency, editor,
// timers, file descriptors), records what the plug-in asks of it, and runs blocks
// with input events, stereo voice and carrier inputs and a stereo output, keeping the
// events the plug-in sends back. Single-threaded: the test's thread is both the main
// and the audio thread.
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "formats/clap/ClapAbi.h"

// A .clap file opened and initialised (deinit and close at the end).
class ClapLibrary {
 public:
  explicit ClapLibrary(const std::string& path);
  ~ClapLibrary();
  ClapLibrary(const ClapLibrary&) = delete;
  ClapLibrary& operator=(const ClapLibrary&) = delete;

  const clap_plugin_entry_t* entry() const { return entry_; }
  const clap_plugin_factory_t* factory() const;
  const clap_plugin_descriptor_t* descriptor() const;

 private:
  void* handle_ = nullptr;
  const clap_plugin_entry_t* entry_ = nullptr;
  bool initialised_ = false;
};

// Input events for one block, kept in time order as the host must send them.
class ClapEventList {
 public:
  void note(uint16_t type, uint32_t time, int key, double velocity, int channel = 0);
  void midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2);
  void param(uint32_t time, clap_id id, double value, uint16_t space = kClapCoreEventSpaceId);
  void transport(uint32_t time, double tempo);
  // The list as the plug-in reads it; valid until the next change.
  const clap_input_events_t* list();

 private:
  void add(const void* event, uint32_t size);

  std::vector<uint64_t> storage_;  // events back to back, 8-byte aligned
  std::vector<size_t> offsets_;    // in storage_ words
  std::vector<const clap_event_header_t*> pointers_;
  clap_input_events_t list_{};
};

class ClapTestHost {
 public:
  // What the plug-in sent in a block or flush, copied.
  struct OutEvent {
    uint16_t type;
    uint32_t time;
    uint32_t flags;
    clap_id param;
    double value;
    uint8_t midi[3];
  };

  // What the host offers an editor (the window, timers, descriptor watches): everything
  // from the start, nothing at all while the plug-in initialises (the host's extensions
  // come later, as some hosts do it), or never.
  enum class EditorSupport { kFromTheStart, kAfterInit, kNever };
  explicit ClapTestHost(EditorSupport editorSupport = EditorSupport::kFromTheStart);
  ~ClapTestHost();
  ClapTestHost(const ClapTestHost&) = delete;
  ClapTestHost& operator=(const ClapTestHost&) = delete;

  const clap_host_t* host() const { return &host_; }
  // Creates the plug-in through a factory and initialises it; false when either fails.
  bool create(const clap_plugin_factory_t* factory, const char* id);
  // Takes a record made in the test process and initialises it.
  bool adopt(const clap_plugin_t* plugin);
  const clap_plugin_t* plugin() const { return plugin_; }
  template <typename Extension>
  const Extension* extension(const char* id) const {
    return plugin_ ? static_cast<const Extension*>(plugin_->get_extension(plugin_, id)) : nullptr;
  }

  bool activate(double sampleRate, uint32_t maxFrames);
  void deactivate();
  // One block: voice and carrier inputs (empty = silence), events; returns the status.
  // The outputs land in `left` and `right` (appended), the events sent in `sent`.
  int32_t process(uint32_t frames, const float* voice, const float* carrier, ClapEventList* events,
                  bool withTransport = false);
  std::vector<float> left, right;
  std::vector<OutEvent> sent;

  // Parameters.
  double value(clap_id id) const;
  std::string text(clap_id id, double value) const;
  bool toValue(clap_id id, const std::string& text, double* value) const;
  void flush(ClapEventList* events);

  // State through streams that move at most `piece` bytes per call.
  std::vector<uint8_t> saveState(size_t piece = SIZE_MAX) const;
  bool loadState(const std::vector<uint8_t>& bytes, size_t piece = SIZE_MAX) const;

  // What the plug-in asked of the host.
  int valueRescans = 0, flushRequests = 0, callbackRequests = 0;
  std::map<clap_id, uint32_t> timers;  // id -> period
  std::map<int, uint32_t> fds;         // fd -> flags

  static ClapTestHost& of(const clap_host_t* host) {
    return *static_cast<ClapTestHost*>(host->host_data);
  }

 private:
  static const void* getExtension(const clap_host_t* host, const char* id);
  static bool record(const clap_output_events_t* list, const clap_event_header_t* event);

  clap_host_t host_{};
  EditorSupport editorSupport_;
  bool initialising_ = false;
  const clap_plugin_t* plugin_ = nullptr;
  bool active_ = false;
  bool processing_ = false;
  clap_id nextTimer_ = 1;
};

// Deterministic noise in -amplitude..amplitude.
std::vector<float> noise(size_t frames, uint32_t seed, float amplitude = 0.5f);
