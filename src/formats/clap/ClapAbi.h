#pragma once

// The CLAP 1.x binary interface as both sides of it see it, declared for this project:
// the exported entry record, the plug-in factory, the plug-in and host records, the
// process record with its buffers and events, and the extension tables the adapter,
// its tests and the offline host use. Plain C layouts with natural alignment; every
// function pointer uses the platform's C calling convention. Constants keep only the
// interface's values; their names are ours. The x86-64 sizes and offsets of every
// record used are checked at the end. Usable from C and C++.

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t clap_id;
#define kClapInvalidId UINT32_MAX

// The version this declaration was written against; a host or plug-in is compatible
// when its major version is at least 1.
#define kClapVersionMajor 1u
#define kClapVersionMinor 2u
#define kClapVersionRevision 10u

typedef struct clap_version {
  uint32_t major;
  uint32_t minor;
  uint32_t revision;
} clap_version_t;

// Fixed text capacities, terminator included.
#define kClapNameSize 256
#define kClapPathSize 1024

// ---- Entry point and factory ---------------------------------------------------

// The library exports one constant object of this type named `clap_entry`.
typedef struct clap_plugin_entry {
  clap_version_t clap_version;
  bool (*init)(const char* plugin_path);
  void (*deinit)(void);
  const void* (*get_factory)(const char* factory_id);
} clap_plugin_entry_t;

#define kClapPluginFactoryId "clap.plugin-factory"

typedef struct clap_plugin_descriptor {
  clap_version_t clap_version;
  const char* id;
  const char* name;
  const char* vendor;
  const char* url;
  const char* manual_url;
  const char* support_url;
  const char* version;
  const char* description;
  const char* const* features;  // ended by a null pointer
} clap_plugin_descriptor_t;

struct clap_host;
struct clap_plugin;

typedef struct clap_plugin_factory {
  uint32_t (*get_plugin_count)(const struct clap_plugin_factory* factory);
  const clap_plugin_descriptor_t* (*get_plugin_descriptor)(
      const struct clap_plugin_factory* factory, uint32_t index);
  const struct clap_plugin* (*create_plugin)(const struct clap_plugin_factory* factory,
                                             const struct clap_host* host, const char* plugin_id);
} clap_plugin_factory_t;

// ---- Events --------------------------------------------------------------------

#define kClapCoreEventSpaceId 0

// clap_event_header.type
#define kClapEventNoteOn 0
#define kClapEventNoteOff 1
#define kClapEventNoteChoke 2
#define kClapEventNoteEnd 3
#define kClapEventNoteExpression 4
#define kClapEventParamValue 5
#define kClapEventParamMod 6
#define kClapEventParamGestureBegin 7
#define kClapEventParamGestureEnd 8
#define kClapEventTransport 9
#define kClapEventMidi 10
#define kClapEventMidiSysex 11
#define kClapEventMidi2 12

// clap_event_header.flags
#define kClapEventIsLive 0x1u
#define kClapEventDontRecord 0x2u

typedef struct clap_event_header {
  uint32_t size;  // the whole event, header included
  uint32_t time;  // frame offset inside the block
  uint16_t space_id;
  uint16_t type;
  uint32_t flags;
} clap_event_header_t;

typedef struct clap_event_note {
  clap_event_header_t header;
  int32_t note_id;  // -1: any
  int16_t port_index;
  int16_t channel;  // 0..15, -1: any
  int16_t key;      // 0..127, -1: any
  double velocity;  // 0..1
} clap_event_note_t;

typedef struct clap_event_note_expression {
  clap_event_header_t header;
  int32_t expression_id;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double value;
} clap_event_note_expression_t;

typedef struct clap_event_param_value {
  clap_event_header_t header;
  clap_id param_id;
  void* cookie;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double value;  // plain value in the parameter's range
} clap_event_param_value_t;

typedef struct clap_event_param_mod {
  clap_event_header_t header;
  clap_id param_id;
  void* cookie;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double amount;
} clap_event_param_mod_t;

typedef struct clap_event_param_gesture {
  clap_event_header_t header;
  clap_id param_id;
} clap_event_param_gesture_t;

// clap_event_transport.flags
#define kClapTransportHasTempo 0x1u
#define kClapTransportHasBeatsTimeline 0x2u
#define kClapTransportHasSecondsTimeline 0x4u
#define kClapTransportHasTimeSignature 0x8u
#define kClapTransportIsPlaying 0x10u

// Beat and second times are fixed point: the real value times 2^31.
#define kClapBeatTimeFactor (1LL << 31)
#define kClapSecTimeFactor (1LL << 31)

typedef struct clap_event_transport {
  clap_event_header_t header;
  uint32_t flags;
  int64_t song_pos_beats;
  int64_t song_pos_seconds;
  double tempo;
  double tempo_inc;
  int64_t loop_start_beats;
  int64_t loop_end_beats;
  int64_t loop_start_seconds;
  int64_t loop_end_seconds;
  int64_t bar_start;
  int32_t bar_number;
  uint16_t tsig_num;
  uint16_t tsig_denom;
} clap_event_transport_t;

typedef struct clap_event_midi {
  clap_event_header_t header;
  uint16_t port_index;
  uint8_t data[3];
} clap_event_midi_t;

typedef struct clap_event_midi_sysex {
  clap_event_header_t header;
  uint16_t port_index;
  const uint8_t* buffer;  // valid until process returns
  uint32_t size;
} clap_event_midi_sysex_t;

typedef struct clap_event_midi2 {
  clap_event_header_t header;
  uint16_t port_index;
  uint32_t data[4];
} clap_event_midi2_t;

typedef struct clap_input_events {
  void* ctx;
  uint32_t (*size)(const struct clap_input_events* list);
  const clap_event_header_t* (*get)(const struct clap_input_events* list, uint32_t index);
} clap_input_events_t;

typedef struct clap_output_events {
  void* ctx;
  bool (*try_push)(const struct clap_output_events* list, const clap_event_header_t* event);
} clap_output_events_t;

// ---- Processing ----------------------------------------------------------------

typedef struct clap_audio_buffer {
  float** data32;
  double** data64;
  uint32_t channel_count;
  uint32_t latency;
  uint64_t constant_mask;
} clap_audio_buffer_t;

typedef struct clap_process {
  int64_t steady_time;  // -1 when unknown
  uint32_t frames_count;
  const clap_event_transport_t* transport;  // null: free running
  const clap_audio_buffer_t* audio_inputs;
  clap_audio_buffer_t* audio_outputs;
  uint32_t audio_inputs_count;
  uint32_t audio_outputs_count;
  const clap_input_events_t* in_events;
  const clap_output_events_t* out_events;
} clap_process_t;

// process() results
#define kClapProcessError 0
#define kClapProcessContinue 1
#define kClapProcessContinueIfNotQuiet 2
#define kClapProcessTail 3
#define kClapProcessSleep 4

// ---- Plug-in and host ----------------------------------------------------------

typedef struct clap_plugin {
  const clap_plugin_descriptor_t* desc;
  void* plugin_data;
  bool (*init)(const struct clap_plugin* plugin);
  void (*destroy)(const struct clap_plugin* plugin);
  bool (*activate)(const struct clap_plugin* plugin, double sample_rate, uint32_t min_frames_count,
                   uint32_t max_frames_count);
  void (*deactivate)(const struct clap_plugin* plugin);
  bool (*start_processing)(const struct clap_plugin* plugin);
  void (*stop_processing)(const struct clap_plugin* plugin);
  void (*reset)(const struct clap_plugin* plugin);
  int32_t (*process)(const struct clap_plugin* plugin, const clap_process_t* process);
  const void* (*get_extension)(const struct clap_plugin* plugin, const char* id);
  void (*on_main_thread)(const struct clap_plugin* plugin);
} clap_plugin_t;

typedef struct clap_host {
  clap_version_t clap_version;
  void* host_data;
  const char* name;
  const char* vendor;
  const char* url;
  const char* version;
  const void* (*get_extension)(const struct clap_host* host, const char* extension_id);
  void (*request_restart)(const struct clap_host* host);
  void (*request_process)(const struct clap_host* host);
  void (*request_callback)(const struct clap_host* host);
} clap_host_t;

// ---- Extensions ----------------------------------------------------------------

#define kClapExtAudioPorts "clap.audio-ports"
#define kClapExtNotePorts "clap.note-ports"
#define kClapExtParams "clap.params"
#define kClapExtState "clap.state"
#define kClapExtLatency "clap.latency"
#define kClapExtRender "clap.render"
#define kClapExtGui "clap.gui"
#define kClapExtTimerSupport "clap.timer-support"
#define kClapExtPosixFdSupport "clap.posix-fd-support"
#define kClapExtLog "clap.log"
#define kClapExtThreadCheck "clap.thread-check"

// Audio ports.
#define kClapAudioPortIsMain 0x1u
#define kClapAudioPortSupports64Bits 0x2u
#define kClapPortMono "mono"
#define kClapPortStereo "stereo"

typedef struct clap_audio_port_info {
  clap_id id;
  char name[kClapNameSize];
  uint32_t flags;
  uint32_t channel_count;
  const char* port_type;
  clap_id in_place_pair;
} clap_audio_port_info_t;

typedef struct clap_plugin_audio_ports {
  uint32_t (*count)(const clap_plugin_t* plugin, bool is_input);
  bool (*get)(const clap_plugin_t* plugin, uint32_t index, bool is_input,
              clap_audio_port_info_t* info);
} clap_plugin_audio_ports_t;

typedef struct clap_host_audio_ports {
  bool (*is_rescan_flag_supported)(const clap_host_t* host, uint32_t flag);
  void (*rescan)(const clap_host_t* host, uint32_t flags);
} clap_host_audio_ports_t;

// Note ports.
#define kClapNoteDialectClap 0x1u
#define kClapNoteDialectMidi 0x2u
#define kClapNoteDialectMidiMpe 0x4u
#define kClapNoteDialectMidi2 0x8u

typedef struct clap_note_port_info {
  clap_id id;
  uint32_t supported_dialects;
  uint32_t preferred_dialect;
  char name[kClapNameSize];
} clap_note_port_info_t;

typedef struct clap_plugin_note_ports {
  uint32_t (*count)(const clap_plugin_t* plugin, bool is_input);
  bool (*get)(const clap_plugin_t* plugin, uint32_t index, bool is_input,
              clap_note_port_info_t* info);
} clap_plugin_note_ports_t;

typedef struct clap_host_note_ports {
  uint32_t (*supported_dialects)(const clap_host_t* host);
  void (*rescan)(const clap_host_t* host, uint32_t flags);
} clap_host_note_ports_t;

// Parameters.
#define kClapParamIsStepped 0x1u
#define kClapParamIsPeriodic 0x2u
#define kClapParamIsHidden 0x4u
#define kClapParamIsReadonly 0x8u
#define kClapParamIsBypass 0x10u
#define kClapParamIsAutomatable 0x20u
#define kClapParamIsModulatable 0x400u
#define kClapParamRequiresProcess 0x8000u
#define kClapParamIsEnum 0x10000u

#define kClapParamRescanValues 0x1u
#define kClapParamRescanText 0x2u
#define kClapParamRescanInfo 0x4u
#define kClapParamRescanAll 0x8u

typedef struct clap_param_info {
  clap_id id;
  uint32_t flags;
  void* cookie;
  char name[kClapNameSize];
  char module[kClapPathSize];
  double min_value;
  double max_value;
  double default_value;
} clap_param_info_t;

typedef struct clap_plugin_params {
  uint32_t (*count)(const clap_plugin_t* plugin);
  bool (*get_info)(const clap_plugin_t* plugin, uint32_t param_index, clap_param_info_t* info);
  bool (*get_value)(const clap_plugin_t* plugin, clap_id param_id, double* out_value);
  bool (*value_to_text)(const clap_plugin_t* plugin, clap_id param_id, double value,
                        char* out_buffer, uint32_t out_buffer_capacity);
  bool (*text_to_value)(const clap_plugin_t* plugin, clap_id param_id, const char* param_value_text,
                        double* out_value);
  void (*flush)(const clap_plugin_t* plugin, const clap_input_events_t* in,
                const clap_output_events_t* out);
} clap_plugin_params_t;

typedef struct clap_host_params {
  void (*rescan)(const clap_host_t* host, uint32_t flags);
  void (*clear)(const clap_host_t* host, clap_id param_id, uint32_t flags);
  void (*request_flush)(const clap_host_t* host);
} clap_host_params_t;

// State and streams: either call may move fewer bytes than asked.
typedef struct clap_istream {
  void* ctx;
  int64_t (*read)(const struct clap_istream* stream, void* buffer,
                  uint64_t size);  // 0: end, -1: error
} clap_istream_t;

typedef struct clap_ostream {
  void* ctx;
  int64_t (*write)(const struct clap_ostream* stream, const void* buffer,
                   uint64_t size);  // -1: error
} clap_ostream_t;

typedef struct clap_plugin_state {
  bool (*save)(const clap_plugin_t* plugin, const clap_ostream_t* stream);
  bool (*load)(const clap_plugin_t* plugin, const clap_istream_t* stream);
} clap_plugin_state_t;

typedef struct clap_host_state {
  void (*mark_dirty)(const clap_host_t* host);
} clap_host_state_t;

// Latency, render, log, thread check.
typedef struct clap_plugin_latency {
  uint32_t (*get)(const clap_plugin_t* plugin);
} clap_plugin_latency_t;

typedef struct clap_host_latency {
  void (*changed)(const clap_host_t* host);
} clap_host_latency_t;

#define kClapRenderRealtime 0
#define kClapRenderOffline 1

typedef struct clap_plugin_render {
  bool (*has_hard_realtime_requirement)(const clap_plugin_t* plugin);
  bool (*set)(const clap_plugin_t* plugin, int32_t mode);
} clap_plugin_render_t;

#define kClapLogDebug 0
#define kClapLogInfo 1
#define kClapLogWarning 2
#define kClapLogError 3
#define kClapLogHostMisbehaving 5

typedef struct clap_host_log {
  void (*log)(const clap_host_t* host, int32_t severity, const char* msg);
} clap_host_log_t;

typedef struct clap_host_thread_check {
  bool (*is_main_thread)(const clap_host_t* host);
  bool (*is_audio_thread)(const clap_host_t* host);
} clap_host_thread_check_t;

// GUI.
#define kClapWindowApiX11 "x11"
#define kClapWindowApiWin32 "win32"

typedef struct clap_window {
  const char* api;
  union {
    unsigned long x11;
    void* win32;  // HWND
    void* ptr;
  };
} clap_window_t;

typedef struct clap_gui_resize_hints {
  bool can_resize_horizontally;
  bool can_resize_vertically;
  bool preserve_aspect_ratio;
  uint32_t aspect_ratio_width;
  uint32_t aspect_ratio_height;
} clap_gui_resize_hints_t;

typedef struct clap_plugin_gui {
  bool (*is_api_supported)(const clap_plugin_t* plugin, const char* api, bool is_floating);
  bool (*get_preferred_api)(const clap_plugin_t* plugin, const char** api, bool* is_floating);
  bool (*create)(const clap_plugin_t* plugin, const char* api, bool is_floating);
  void (*destroy)(const clap_plugin_t* plugin);
  bool (*set_scale)(const clap_plugin_t* plugin, double scale);
  bool (*get_size)(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
  bool (*can_resize)(const clap_plugin_t* plugin);
  bool (*get_resize_hints)(const clap_plugin_t* plugin, clap_gui_resize_hints_t* hints);
  bool (*adjust_size)(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
  bool (*set_size)(const clap_plugin_t* plugin, uint32_t width, uint32_t height);
  bool (*set_parent)(const clap_plugin_t* plugin, const clap_window_t* window);
  bool (*set_transient)(const clap_plugin_t* plugin, const clap_window_t* window);
  void (*suggest_title)(const clap_plugin_t* plugin, const char* title);
  bool (*show)(const clap_plugin_t* plugin);
  bool (*hide)(const clap_plugin_t* plugin);
} clap_plugin_gui_t;

typedef struct clap_host_gui {
  void (*resize_hints_changed)(const clap_host_t* host);
  bool (*request_resize)(const clap_host_t* host, uint32_t width, uint32_t height);
  bool (*request_show)(const clap_host_t* host);
  bool (*request_hide)(const clap_host_t* host);
  void (*closed)(const clap_host_t* host, bool was_destroyed);
} clap_host_gui_t;

// Timers and file descriptors (main thread).
typedef struct clap_plugin_timer_support {
  void (*on_timer)(const clap_plugin_t* plugin, clap_id timer_id);
} clap_plugin_timer_support_t;

typedef struct clap_host_timer_support {
  bool (*register_timer)(const clap_host_t* host, uint32_t period_ms, clap_id* timer_id);
  bool (*unregister_timer)(const clap_host_t* host, clap_id timer_id);
} clap_host_timer_support_t;

#define kClapPosixFdRead 0x1u
#define kClapPosixFdWrite 0x2u
#define kClapPosixFdError 0x4u

typedef struct clap_plugin_posix_fd_support {
  void (*on_fd)(const clap_plugin_t* plugin, int fd, uint32_t flags);
} clap_plugin_posix_fd_support_t;

typedef struct clap_host_posix_fd_support {
  bool (*register_fd)(const clap_host_t* host, int fd, uint32_t flags);
  bool (*modify_fd)(const clap_host_t* host, int fd, uint32_t flags);
  bool (*unregister_fd)(const clap_host_t* host, int fd);
} clap_host_posix_fd_support_t;

#ifdef __cplusplus
}  // extern "C"
#endif

// Layout checks: the sizes and offsets of the published 1.x interface on x86-64
// Linux; records without pointers or doubles keep their layout on every target.
#if defined(__cplusplus)
#define ZORQ_CLAP_ABI_ASSERT(cond, text) static_assert(cond, text)
#define ZORQ_CLAP_ALIGNOF(type) alignof(type)
#else
#define ZORQ_CLAP_ABI_ASSERT(cond, text) _Static_assert(cond, text)
#define ZORQ_CLAP_ALIGNOF(type) _Alignof(type)
#endif

ZORQ_CLAP_ABI_ASSERT(sizeof(clap_version_t) == 12 && ZORQ_CLAP_ALIGNOF(clap_version_t) == 4,
                     "clap_version");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_event_header_t) == 16, "clap_event_header size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_header_t, time) == 4, "clap_event_header.time");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_header_t, space_id) == 8, "clap_event_header.space_id");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_header_t, type) == 10, "clap_event_header.type");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_header_t, flags) == 12, "clap_event_header.flags");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_event_param_gesture_t) == 20, "clap_event_param_gesture size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_param_gesture_t, param_id) == 16, "gesture.param_id");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_event_midi_t) == 24, "clap_event_midi size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_midi_t, port_index) == 16, "clap_event_midi.port_index");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_midi_t, data) == 18, "clap_event_midi.data");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_event_midi2_t) == 36 && ZORQ_CLAP_ALIGNOF(clap_event_midi2_t) == 4,
                     "clap_event_midi2 size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_note_port_info_t) == 268, "clap_note_port_info size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_note_port_info_t, supported_dialects) == 4,
                     "note port dialects");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_note_port_info_t, preferred_dialect) == 8,
                     "note port preferred");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_note_port_info_t, name) == 12, "clap_note_port_info.name");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_gui_resize_hints_t) == 12, "clap_gui_resize_hints size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_gui_resize_hints_t, can_resize_vertically) == 1,
                     "hints.vertically");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_gui_resize_hints_t, preserve_aspect_ratio) == 2,
                     "hints.preserve");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_gui_resize_hints_t, aspect_ratio_width) == 4, "hints.width");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_gui_resize_hints_t, aspect_ratio_height) == 8, "hints.height");

#if defined(__x86_64__)
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_plugin_entry_t) == 40, "clap_plugin_entry size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_entry_t, init) == 16, "clap_plugin_entry.init");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_entry_t, deinit) == 24, "clap_plugin_entry.deinit");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_entry_t, get_factory) == 32,
                     "clap_plugin_entry.get_factory");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_plugin_factory_t) == 24, "clap_plugin_factory size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_plugin_descriptor_t) == 88, "clap_plugin_descriptor size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_descriptor_t, id) == 16, "descriptor.id");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_descriptor_t, version) == 64, "descriptor.version");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_descriptor_t, features) == 80, "descriptor.features");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_plugin_t) == 96, "clap_plugin size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_t, plugin_data) == 8, "clap_plugin.plugin_data");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_t, init) == 16, "clap_plugin.init");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_t, activate) == 32, "clap_plugin.activate");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_t, reset) == 64, "clap_plugin.reset");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_t, process) == 72, "clap_plugin.process");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_t, get_extension) == 80, "clap_plugin.get_extension");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_t, on_main_thread) == 88, "clap_plugin.on_main_thread");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_host_t) == 88, "clap_host size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_host_t, host_data) == 16, "clap_host.host_data");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_host_t, name) == 24, "clap_host.name");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_host_t, get_extension) == 56, "clap_host.get_extension");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_host_t, request_callback) == 80, "clap_host.request_callback");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_process_t) == 64, "clap_process size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_process_t, frames_count) == 8, "clap_process.frames_count");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_process_t, transport) == 16, "clap_process.transport");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_process_t, audio_inputs) == 24, "clap_process.audio_inputs");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_process_t, audio_outputs) == 32, "clap_process.audio_outputs");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_process_t, audio_inputs_count) == 40,
                     "clap_process.inputs_count");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_process_t, audio_outputs_count) == 44,
                     "clap_process.outputs_count");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_process_t, in_events) == 48, "clap_process.in_events");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_process_t, out_events) == 56, "clap_process.out_events");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_audio_buffer_t) == 32, "clap_audio_buffer size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_audio_buffer_t, data64) == 8, "clap_audio_buffer.data64");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_audio_buffer_t, channel_count) == 16, "buffer.channel_count");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_audio_buffer_t, latency) == 20, "clap_audio_buffer.latency");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_audio_buffer_t, constant_mask) == 24, "buffer.constant_mask");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_event_note_t) == 40, "clap_event_note size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_note_t, note_id) == 16, "clap_event_note.note_id");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_note_t, port_index) == 20, "clap_event_note.port_index");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_note_t, channel) == 22, "clap_event_note.channel");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_note_t, key) == 24, "clap_event_note.key");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_note_t, velocity) == 32, "clap_event_note.velocity");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_event_note_expression_t) == 40, "clap_event_note_expression size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_event_param_value_t) == 56, "clap_event_param_value size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_param_value_t, param_id) == 16, "param_value.param_id");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_param_value_t, cookie) == 24, "param_value.cookie");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_param_value_t, note_id) == 32, "param_value.note_id");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_param_value_t, key) == 40, "param_value.key");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_param_value_t, value) == 48, "param_value.value");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_event_param_mod_t) == 56, "clap_event_param_mod size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_param_mod_t, amount) == 48, "param_mod.amount");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_event_transport_t) == 104, "clap_event_transport size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, flags) == 16, "transport.flags");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, song_pos_beats) == 24,
                     "transport.song_pos_beats");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, tempo) == 40, "transport.tempo");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, bar_start) == 88, "transport.bar_start");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, bar_number) == 96, "transport.bar_number");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, tsig_num) == 100, "transport.tsig_num");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, tsig_denom) == 102, "transport.tsig_denom");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_event_midi_sysex_t) == 40, "clap_event_midi_sysex size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_midi_sysex_t, port_index) == 16, "sysex.port_index");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_midi_sysex_t, buffer) == 24, "sysex.buffer");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_event_midi_sysex_t, size) == 32, "sysex.size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_input_events_t) == 24, "clap_input_events size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_output_events_t) == 16, "clap_output_events size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_audio_port_info_t) == 288, "clap_audio_port_info size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_audio_port_info_t, name) == 4, "audio_port_info.name");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_audio_port_info_t, flags) == 260, "audio_port_info.flags");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_audio_port_info_t, channel_count) == 264,
                     "audio_port_info.channels");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_audio_port_info_t, port_type) == 272,
                     "audio_port_info.port_type");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_audio_port_info_t, in_place_pair) == 280,
                     "audio_port_info.pair");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_param_info_t) == 1320, "clap_param_info size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_param_info_t, flags) == 4, "param_info.flags");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_param_info_t, cookie) == 8, "param_info.cookie");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_param_info_t, name) == 16, "param_info.name");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_param_info_t, module) == 272, "param_info.module");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_param_info_t, min_value) == 1296, "param_info.min_value");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_param_info_t, max_value) == 1304, "param_info.max_value");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_param_info_t, default_value) == 1312,
                     "param_info.default_value");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_window_t) == 16, "clap_window size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_window_t, x11) == 8, "clap_window.x11");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_istream_t) == 16 && offsetof(clap_istream_t, read) == 8,
                     "clap_istream");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_ostream_t) == 16 && offsetof(clap_ostream_t, write) == 8,
                     "clap_ostream");
// Function tables: 8 bytes per function, in the published order.
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_plugin_audio_ports_t) == 16, "clap_plugin_audio_ports size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_host_audio_ports_t) == 16, "clap_host_audio_ports size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_plugin_note_ports_t) == 16, "clap_plugin_note_ports size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_host_note_ports_t) == 16, "clap_host_note_ports size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_plugin_params_t) == 48, "clap_plugin_params size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_params_t, flush) == 40, "clap_plugin_params.flush");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_host_params_t) == 24, "clap_host_params size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_plugin_state_t) == 16, "clap_plugin_state size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_host_state_t) == 8, "clap_host_state size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_plugin_latency_t) == 8, "clap_plugin_latency size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_host_latency_t) == 8, "clap_host_latency size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_plugin_render_t) == 16, "clap_plugin_render size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_host_log_t) == 8, "clap_host_log size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_host_thread_check_t) == 16, "clap_host_thread_check size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_plugin_gui_t) == 120, "clap_plugin_gui size");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, set_parent) == 80, "clap_plugin_gui.set_parent");
ZORQ_CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, hide) == 112, "clap_plugin_gui.hide");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_host_gui_t) == 40, "clap_host_gui size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_plugin_timer_support_t) == 8, "clap_plugin_timer_support size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_host_timer_support_t) == 16, "clap_host_timer_support size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_plugin_posix_fd_support_t) == 8,
                     "clap_plugin_posix_fd_support size");
ZORQ_CLAP_ABI_ASSERT(sizeof(clap_host_posix_fd_support_t) == 24, "clap_host_posix_fd_support size");
#endif

#undef ZORQ_CLAP_ABI_ASSERT
#undef ZORQ_CLAP_ALIGNOF
