#pragma once

// The VST 2.4 binary interface as both sides of it see it: the plug-in record that
// the entry point returns, the callback types, the opcode numbers of the plug-in's
// dispatcher and of the host callback, and the records that cross the boundary
// (events, time information, pin and speaker properties, editor rectangle).
// Plain C layouts with natural alignment; the sizes and offsets for 64- and 32-bit
// pointers are checked at the end. Usable from C and C++.

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

// ---- Layout checks --------------------------------------------------------------
// Every record's size and every field's offset, for 64-bit pointers (x86-64) and
// 32-bit pointers (32-bit x86): ZORQ_VST_ABI_PICK(bytes with 64-bit pointers, bytes
// with 32-bit pointers). Natural alignment, no packing; on 32-bit x86 a double in a
// record is aligned to 4 bytes, which VstTimeInfo's order makes irrelevant.
#if defined(__cplusplus)
#define ZORQ_VST_ABI_ASSERT(cond, text) static_assert(cond, text)
#else
#define ZORQ_VST_ABI_ASSERT(cond, text) _Static_assert(cond, text)
#endif

#if UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
#define ZORQ_VST_ABI_PICK(bytes64, bytes32) (bytes64)
#elif UINTPTR_MAX == 0xFFFFFFFFu
#define ZORQ_VST_ABI_PICK(bytes64, bytes32) (bytes32)
#else
#error "the VST 2 layout is known for 32- and 64-bit pointers only"
#endif

#define ZORQ_VST_ABI_SIZE(type, bytes64, bytes32) \
  ZORQ_VST_ABI_ASSERT(sizeof(struct type) == ZORQ_VST_ABI_PICK(bytes64, bytes32), #type " size")
#define ZORQ_VST_ABI_AT(type, field, at64, at32)                                     \
  ZORQ_VST_ABI_ASSERT(offsetof(struct type, field) == ZORQ_VST_ABI_PICK(at64, at32), \
                      #type "." #field " offset")

ZORQ_VST_ABI_ASSERT(sizeof(VstIntPtr) == sizeof(void*), "VstIntPtr is pointer-sized");
ZORQ_VST_ABI_ASSERT(sizeof(VstDispatcherProc) == sizeof(void*),
                    "function pointers are pointer-sized");

ZORQ_VST_ABI_SIZE(AEffect, 192, 144);
ZORQ_VST_ABI_AT(AEffect, magic, 0, 0);
ZORQ_VST_ABI_AT(AEffect, dispatcher, 8, 4);
ZORQ_VST_ABI_AT(AEffect, process, 16, 8);
ZORQ_VST_ABI_AT(AEffect, setParameter, 24, 12);
ZORQ_VST_ABI_AT(AEffect, getParameter, 32, 16);
ZORQ_VST_ABI_AT(AEffect, numPrograms, 40, 20);
ZORQ_VST_ABI_AT(AEffect, numParams, 44, 24);
ZORQ_VST_ABI_AT(AEffect, numInputs, 48, 28);
ZORQ_VST_ABI_AT(AEffect, numOutputs, 52, 32);
ZORQ_VST_ABI_AT(AEffect, flags, 56, 36);
ZORQ_VST_ABI_AT(AEffect, reserved1, 64, 40);
ZORQ_VST_ABI_AT(AEffect, reserved2, 72, 44);
ZORQ_VST_ABI_AT(AEffect, initialDelay, 80, 48);
ZORQ_VST_ABI_AT(AEffect, realQualities, 84, 52);
ZORQ_VST_ABI_AT(AEffect, offQualities, 88, 56);
ZORQ_VST_ABI_AT(AEffect, ioRatio, 92, 60);
ZORQ_VST_ABI_AT(AEffect, object, 96, 64);
ZORQ_VST_ABI_AT(AEffect, user, 104, 68);
ZORQ_VST_ABI_AT(AEffect, uniqueID, 112, 72);
ZORQ_VST_ABI_AT(AEffect, version, 116, 76);
ZORQ_VST_ABI_AT(AEffect, processReplacing, 120, 80);
ZORQ_VST_ABI_AT(AEffect, processDoubleReplacing, 128, 84);
ZORQ_VST_ABI_AT(AEffect, future, 136, 88);

ZORQ_VST_ABI_SIZE(VstEvent, 32, 32);
ZORQ_VST_ABI_AT(VstEvent, type, 0, 0);
ZORQ_VST_ABI_AT(VstEvent, byteSize, 4, 4);
ZORQ_VST_ABI_AT(VstEvent, deltaFrames, 8, 8);
ZORQ_VST_ABI_AT(VstEvent, flags, 12, 12);
ZORQ_VST_ABI_AT(VstEvent, data, 16, 16);

ZORQ_VST_ABI_SIZE(VstMidiEvent, 32, 32);
ZORQ_VST_ABI_AT(VstMidiEvent, deltaFrames, 8, 8);
ZORQ_VST_ABI_AT(VstMidiEvent, noteLength, 16, 16);
ZORQ_VST_ABI_AT(VstMidiEvent, noteOffset, 20, 20);
ZORQ_VST_ABI_AT(VstMidiEvent, midiData, 24, 24);
ZORQ_VST_ABI_AT(VstMidiEvent, detune, 28, 28);
ZORQ_VST_ABI_AT(VstMidiEvent, noteOffVelocity, 29, 29);
ZORQ_VST_ABI_AT(VstMidiEvent, reserved2, 31, 31);

ZORQ_VST_ABI_SIZE(VstMidiSysexEvent, 48, 32);
ZORQ_VST_ABI_AT(VstMidiSysexEvent, deltaFrames, 8, 8);
ZORQ_VST_ABI_AT(VstMidiSysexEvent, dumpBytes, 16, 16);
ZORQ_VST_ABI_AT(VstMidiSysexEvent, reserved1, 24, 20);
ZORQ_VST_ABI_AT(VstMidiSysexEvent, sysexDump, 32, 24);
ZORQ_VST_ABI_AT(VstMidiSysexEvent, reserved2, 40, 28);

ZORQ_VST_ABI_SIZE(VstEvents, 32, 16);
ZORQ_VST_ABI_AT(VstEvents, numEvents, 0, 0);
ZORQ_VST_ABI_AT(VstEvents, reserved, 8, 4);
ZORQ_VST_ABI_AT(VstEvents, events, 16, 8);

ZORQ_VST_ABI_SIZE(VstTimeInfo, 88, 88);
ZORQ_VST_ABI_AT(VstTimeInfo, samplePos, 0, 0);
ZORQ_VST_ABI_AT(VstTimeInfo, sampleRate, 8, 8);
ZORQ_VST_ABI_AT(VstTimeInfo, nanoSeconds, 16, 16);
ZORQ_VST_ABI_AT(VstTimeInfo, ppqPos, 24, 24);
ZORQ_VST_ABI_AT(VstTimeInfo, tempo, 32, 32);
ZORQ_VST_ABI_AT(VstTimeInfo, barStartPos, 40, 40);
ZORQ_VST_ABI_AT(VstTimeInfo, cycleStartPos, 48, 48);
ZORQ_VST_ABI_AT(VstTimeInfo, cycleEndPos, 56, 56);
ZORQ_VST_ABI_AT(VstTimeInfo, timeSigNumerator, 64, 64);
ZORQ_VST_ABI_AT(VstTimeInfo, timeSigDenominator, 68, 68);
ZORQ_VST_ABI_AT(VstTimeInfo, smpteOffset, 72, 72);
ZORQ_VST_ABI_AT(VstTimeInfo, smpteFrameRate, 76, 76);
ZORQ_VST_ABI_AT(VstTimeInfo, samplesToNextClock, 80, 80);
ZORQ_VST_ABI_AT(VstTimeInfo, flags, 84, 84);

ZORQ_VST_ABI_SIZE(VstPinProperties, 128, 128);
ZORQ_VST_ABI_AT(VstPinProperties, flags, 64, 64);
ZORQ_VST_ABI_AT(VstPinProperties, arrangementType, 68, 68);
ZORQ_VST_ABI_AT(VstPinProperties, shortLabel, 72, 72);
ZORQ_VST_ABI_AT(VstPinProperties, future, 80, 80);

ZORQ_VST_ABI_SIZE(VstSpeakerProperties, 112, 112);
ZORQ_VST_ABI_AT(VstSpeakerProperties, reserved, 12, 12);
ZORQ_VST_ABI_AT(VstSpeakerProperties, name, 16, 16);
ZORQ_VST_ABI_AT(VstSpeakerProperties, type, 80, 80);
ZORQ_VST_ABI_AT(VstSpeakerProperties, future, 84, 84);

ZORQ_VST_ABI_SIZE(VstSpeakerArrangement, 904, 904);
ZORQ_VST_ABI_AT(VstSpeakerArrangement, numChannels, 4, 4);
ZORQ_VST_ABI_AT(VstSpeakerArrangement, speakers, 8, 8);

ZORQ_VST_ABI_SIZE(ERect, 8, 8);
ZORQ_VST_ABI_AT(ERect, left, 2, 2);
ZORQ_VST_ABI_AT(ERect, bottom, 4, 4);
ZORQ_VST_ABI_AT(ERect, right, 6, 6);

#undef ZORQ_VST_ABI_AT
#undef ZORQ_VST_ABI_SIZE
#undef ZORQ_VST_ABI_PICK
#undef ZORQ_VST_ABI_ASSERT
