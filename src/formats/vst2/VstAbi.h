#pragma once

// The VST 2.4 binary interface as both sides of it see it: the plug-in record that
// the entry point returns, the callback types, the opcode numbers of the plug-in's
// dispatcher and of the host callback, and the records that cross the boundary
// (events, time information, pin and speaker properties, editor rectangle).
// Plain C layouts with natural alignment; the x86-64 sizes and offsets are checked
// at the end. Usable from C and C++.

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t VstInt32;
typedef intptr_t VstIntPtr;

struct AEffect;

// host -> plug-in and plug-in -> host share one shape:
// (effect, opcode, index, value, pointer, float option) -> pointer-sized result.
typedef VstIntPtr (*VstHostCallback)(struct AEffect* effect, VstInt32 opcode, VstInt32 index,
                                     VstIntPtr value, void* ptr, float opt);
typedef VstIntPtr (*VstDispatcherProc)(struct AEffect* effect, VstInt32 opcode, VstInt32 index,
                                       VstIntPtr value, void* ptr, float opt);
typedef void (*VstProcessProc)(struct AEffect* effect, float** inputs, float** outputs,
                               VstInt32 frames);
typedef void (*VstProcessDoubleProc)(struct AEffect* effect, double** inputs, double** outputs,
                                     VstInt32 frames);
typedef void (*VstSetParameterProc)(struct AEffect* effect, VstInt32 index, float value);
typedef float (*VstGetParameterProc)(struct AEffect* effect, VstInt32 index);

// The exported entry point: VSTPluginMain (and often a second export named main).
typedef struct AEffect* (*VstPluginEntryProc)(VstHostCallback host);

// 'VstP' with the first character in the most significant byte.
#define kVstEffectMagic 0x56737450
// 'NvEf': the answer to effIdentify.
#define kVstIdentifyAnswer 0x4E764566
// The interface version a 2.4 host or plug-in reports.
#define kVstVersion2400 2400

struct AEffect {
  VstInt32 magic;
  VstDispatcherProc dispatcher;
  VstProcessProc process;  // accumulating; old hosts only
  VstSetParameterProc setParameter;
  VstGetParameterProc getParameter;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 numInputs;
  VstInt32 numOutputs;
  VstInt32 flags;
  VstIntPtr reserved1;
  VstIntPtr reserved2;
  VstInt32 initialDelay;
  VstInt32 realQualities;
  VstInt32 offQualities;
  float ioRatio;
  void* object;  // the plug-in's own object
  void* user;    // free for the host
  VstInt32 uniqueID;
  VstInt32 version;
  VstProcessProc processReplacing;
  VstProcessDoubleProc processDoubleReplacing;
  char future[56];
};

// AEffect::flags
enum VstAEffectFlags {
  effFlagsHasEditor = 1 << 0,
  effFlagsCanMono = 1 << 3,
  effFlagsCanReplacing = 1 << 4,
  effFlagsProgramChunks = 1 << 5,
  effFlagsIsSynth = 1 << 8,
  effFlagsNoSoundInStop = 1 << 9,
  effFlagsCanDoubleReplacing = 1 << 12
};

// Opcodes of the plug-in's dispatcher.
enum VstDispatcherOpcode {
  effOpen = 0,
  effClose = 1,
  effSetProgram = 2,
  effGetProgram = 3,
  effSetProgramName = 4,
  effGetProgramName = 5,
  effGetParamLabel = 6,
  effGetParamDisplay = 7,
  effGetParamName = 8,
  effSetSampleRate = 10,
  effSetBlockSize = 11,
  effMainsChanged = 12,
  effEditGetRect = 13,
  effEditOpen = 14,
  effEditClose = 15,
  effEditIdle = 19,
  effIdentify = 22,
  effGetChunk = 23,
  effSetChunk = 24,
  effProcessEvents = 25,
  effCanBeAutomated = 26,
  effString2Parameter = 27,
  effGetProgramNameIndexed = 29,
  effGetInputProperties = 33,
  effGetOutputProperties = 34,
  effGetPlugCategory = 35,
  effSetSpeakerArrangement = 42,
  effSetBypass = 44,
  effGetEffectName = 45,
  effGetVendorString = 47,
  effGetProductString = 48,
  effGetVendorVersion = 49,
  effVendorSpecific = 50,
  effCanDo = 51,
  effGetTailSize = 52,
  effIdle = 53,
  effGetVstVersion = 58,
  effEditKeyDown = 59,
  effEditKeyUp = 60,
  effGetMidiKeyName = 66,
  effGetSpeakerArrangement = 69,
  effStartProcess = 71,
  effStopProcess = 72,
  effSetProcessPrecision = 77
};

// Opcodes of the host callback.
enum VstHostOpcode {
  audioMasterAutomate = 0,
  audioMasterVersion = 1,
  audioMasterWantMidi = 6,
  audioMasterGetTime = 7,
  audioMasterProcessEvents = 8,
  audioMasterIOChanged = 13,
  audioMasterSizeWindow = 15,
  audioMasterGetSampleRate = 16,
  audioMasterGetBlockSize = 17,
  audioMasterGetCurrentProcessLevel = 23,
  audioMasterGetVendorString = 32,
  audioMasterGetProductString = 33,
  audioMasterGetVendorVersion = 34,
  audioMasterCanDo = 37,
  audioMasterUpdateDisplay = 42,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44
};

// Answers to audioMasterGetCurrentProcessLevel.
enum VstProcessLevel { kVstProcessLevelOffline = 4 };

// Answers to effGetPlugCategory (the two this project uses).
enum VstPlugCategory { kPlugCategEffect = 1, kPlugCategSynth = 2 };

// Nominal text buffer sizes of the interface, terminating zero included.
enum VstStringLength {
  kVstMaxParamStrLen = 8,
  kVstMaxProgNameLen = 24,
  kVstMaxEffectNameLen = 32,
  kVstMaxVendorStrLen = 64,
  kVstMaxProductStrLen = 64
};

// ---- Events -------------------------------------------------------------------

enum VstEventType { kVstMidiType = 1, kVstSysExType = 6 };

// The head every event starts with.
struct VstEvent {
  VstInt32 type;
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  char data[16];
};

struct VstMidiEvent {
  VstInt32 type;  // kVstMidiType
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  VstInt32 noteLength;
  VstInt32 noteOffset;
  char midiData[4];  // status, data 1, data 2, 0
  char detune;
  char noteOffVelocity;
  char reserved1;
  char reserved2;
};

struct VstMidiSysexEvent {
  VstInt32 type;  // kVstSysExType
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  VstInt32 dumpBytes;
  VstIntPtr reserved1;
  char* sysexDump;
  VstIntPtr reserved2;
};

// Declared with two slots; senders allocate room for numEvents pointers.
struct VstEvents {
  VstInt32 numEvents;
  VstIntPtr reserved;
  struct VstEvent* events[2];
};

// ---- Time information ---------------------------------------------------------

struct VstTimeInfo {
  double samplePos;
  double sampleRate;
  double nanoSeconds;
  double ppqPos;
  double tempo;
  double barStartPos;
  double cycleStartPos;
  double cycleEndPos;
  VstInt32 timeSigNumerator;
  VstInt32 timeSigDenominator;
  VstInt32 smpteOffset;
  VstInt32 smpteFrameRate;
  VstInt32 samplesToNextClock;
  VstInt32 flags;
};

enum VstTimeInfoFlags {
  kVstTransportChanged = 1 << 0,
  kVstTransportPlaying = 1 << 1,
  kVstTransportCycleActive = 1 << 2,
  kVstTransportRecording = 1 << 3,
  kVstNanosValid = 1 << 8,
  kVstPpqPosValid = 1 << 9,
  kVstTempoValid = 1 << 10,
  kVstBarsValid = 1 << 11,
  kVstCyclePosValid = 1 << 12,
  kVstTimeSigValid = 1 << 13,
  kVstSmpteValid = 1 << 14,
  kVstClockValid = 1 << 15
};

// ---- Pins, speakers, editor rectangle -----------------------------------------

struct VstPinProperties {
  char label[64];
  VstInt32 flags;
  VstInt32 arrangementType;
  char shortLabel[8];
  char future[48];
};

enum VstPinPropertiesFlags {
  kVstPinIsActive = 1 << 0,
  kVstPinIsStereo = 1 << 1,  // on the first channel of a pair
  kVstPinUseSpeaker = 1 << 2
};

struct VstSpeakerProperties {
  float azimuth;
  float elevation;
  float radius;
  float reserved;
  char name[64];
  VstInt32 type;
  char future[28];
};

struct VstSpeakerArrangement {
  VstInt32 type;
  VstInt32 numChannels;
  struct VstSpeakerProperties speakers[8];
};

enum VstSpeakerArrangementType {
  kSpeakerArrUserDefined = -2,
  kSpeakerArrEmpty = -1,
  kSpeakerArrMono = 0,
  kSpeakerArrStereo = 1
};

// effEditKeyDown / effEditKeyUp: index is the character, value one of these virtual
// keys (0 for a plain character), opt the modifier bits.
enum VstVirtualKey {
  VKEY_BACK = 1,
  VKEY_TAB = 2,
  VKEY_RETURN = 4,
  VKEY_ESCAPE = 6,
  VKEY_SPACE = 7,
  VKEY_END = 9,
  VKEY_HOME = 10,
  VKEY_LEFT = 11,
  VKEY_UP = 12,
  VKEY_RIGHT = 13,
  VKEY_DOWN = 14,
  VKEY_PAGEUP = 15,
  VKEY_PAGEDOWN = 16,
  VKEY_ENTER = 19,
  VKEY_DELETE = 22,
  VKEY_NUMPAD0 = 24,  // up to VKEY_NUMPAD0 + 9
  VKEY_F1 = 40,       // up to VKEY_F1 + 11
  VKEY_EQUALS = 57
};

enum VstModifierKey {
  MODIFIER_SHIFT = 1 << 0,
  MODIFIER_ALTERNATE = 1 << 1,
  MODIFIER_COMMAND = 1 << 2,
  MODIFIER_CONTROL = 1 << 3
};

// effVendorSpecific with index 'PreS' and value 'AeCs': opt is the host's content
// scale factor (1.0, 1.5, 2.0, ...).
#define kVstScaleVendorIndex 0x50726553
#define kVstScaleVendorValue 0x41654373

struct ERect {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
};

#ifdef __cplusplus
}  // extern "C"
#endif

// Layout checks for the platforms the project builds for.
#if defined(__cplusplus)
#define ZORQ_VST_ABI_ASSERT(cond, text) static_assert(cond, text)
#else
#define ZORQ_VST_ABI_ASSERT(cond, text) _Static_assert(cond, text)
#endif

#if defined(__x86_64__) || defined(_M_X64)
ZORQ_VST_ABI_ASSERT(sizeof(struct AEffect) == 192, "AEffect size");
ZORQ_VST_ABI_ASSERT(offsetof(struct AEffect, dispatcher) == 8, "AEffect.dispatcher");
ZORQ_VST_ABI_ASSERT(offsetof(struct AEffect, numPrograms) == 40, "AEffect.numPrograms");
ZORQ_VST_ABI_ASSERT(offsetof(struct AEffect, flags) == 56, "AEffect.flags");
ZORQ_VST_ABI_ASSERT(offsetof(struct AEffect, reserved1) == 64, "AEffect.reserved1");
ZORQ_VST_ABI_ASSERT(offsetof(struct AEffect, initialDelay) == 80, "AEffect.initialDelay");
ZORQ_VST_ABI_ASSERT(offsetof(struct AEffect, ioRatio) == 92, "AEffect.ioRatio");
ZORQ_VST_ABI_ASSERT(offsetof(struct AEffect, object) == 96, "AEffect.object");
ZORQ_VST_ABI_ASSERT(offsetof(struct AEffect, uniqueID) == 112, "AEffect.uniqueID");
ZORQ_VST_ABI_ASSERT(offsetof(struct AEffect, processReplacing) == 120, "AEffect.processReplacing");
ZORQ_VST_ABI_ASSERT(offsetof(struct AEffect, future) == 136, "AEffect.future");
ZORQ_VST_ABI_ASSERT(offsetof(struct VstEvents, events) == 16, "VstEvents.events");
ZORQ_VST_ABI_ASSERT(sizeof(struct VstMidiSysexEvent) == 48, "VstMidiSysexEvent size");
ZORQ_VST_ABI_ASSERT(sizeof(struct VstTimeInfo) == 88, "VstTimeInfo size");
#elif defined(__i386__) || defined(_M_IX86)
ZORQ_VST_ABI_ASSERT(sizeof(struct VstMidiSysexEvent) == 32, "VstMidiSysexEvent size");
#endif
ZORQ_VST_ABI_ASSERT(sizeof(struct VstMidiEvent) == 32, "VstMidiEvent size");
ZORQ_VST_ABI_ASSERT(sizeof(struct VstEvent) == 32, "VstEvent head size");
ZORQ_VST_ABI_ASSERT(offsetof(struct VstMidiEvent, midiData) == 24, "VstMidiEvent.midiData");
ZORQ_VST_ABI_ASSERT(sizeof(struct VstPinProperties) == 128, "VstPinProperties size");
ZORQ_VST_ABI_ASSERT(sizeof(struct VstSpeakerProperties) == 112, "VstSpeakerProperties size");
ZORQ_VST_ABI_ASSERT(sizeof(struct VstSpeakerArrangement) == 8 + 8 * 112,
                    "VstSpeakerArrangement size");
ZORQ_VST_ABI_ASSERT(sizeof(struct ERect) == 8, "ERect size");

#undef ZORQ_VST_ABI_ASSERT
