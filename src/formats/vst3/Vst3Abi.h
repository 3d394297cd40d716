#pragma once

// The VST 3 binary interface as this project uses it, declared for this project: the
// scalar types, result codes and 16-byte ids; the records that cross the interface
// (factory and class info, buses, processing, events, parameters, units, the editor's
// rectangle); and the interfaces, plug-in side and host side, as C++ classes whose
// function tables follow the published method order. Interfaces are pure virtual,
// single inheritance each, no data, no virtual destructor and no overloaded names, so
// the compiler lays their tables out as the interface does. Records are declared
// without packing pragmas; their sizes and offsets for x86-64 (Linux and Windows) and
// i386 Linux are checked at the end. C++ only.
//
// Two things differ between platforms and are chosen here, nowhere else: the result
// codes (COM values on Windows) and the byte order of an id made from its four words
// (COM order on Windows), so the same four words name the same class everywhere.

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define ZORQ_VST3_API __stdcall
#else
#define ZORQ_VST3_API
#endif

namespace vst3 {

using int8 = char;
using uint8 = uint8_t;
using int16 = int16_t;
using uint16 = uint16_t;
using int32 = int32_t;
using uint32 = uint32_t;
using int64 = int64_t;
using uint64 = uint64_t;
using TBool = uint8;
using char8 = char;
using char16 = char16_t;
using TChar = char16;
using String128 = char16[128];
using FIDString = const char8*;
using tresult = int32;
using TUID = char[16];
using ParamID = uint32;
using ParamValue = double;
using SpeakerArrangement = uint64;
using TSamples = int64;
using TQuarterNotes = double;
using MediaType = int32;
using BusDirection = int32;
using BusType = int32;
using IoMode = int32;
using UnitID = int32;
using ProgramListID = int32;
using CtrlNumber = int16;
using Sample32 = float;
using Sample64 = double;
using SampleRate = double;

// ---- Result codes ----------------------------------------------------------------

#if defined(_WIN32)
inline constexpr tresult kNoInterface = static_cast<tresult>(0x80004002u);
inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057u);
inline constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001u);
inline constexpr tresult kInternalError = static_cast<tresult>(0x80004005u);
inline constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFu);
inline constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000Eu);
#else
inline constexpr tresult kNoInterface = -1;
inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kInvalidArgument = 2;
inline constexpr tresult kNotImplemented = 3;
inline constexpr tresult kInternalError = 4;
inline constexpr tresult kNotInitialized = 5;
inline constexpr tresult kOutOfMemory = 6;
#endif
inline constexpr tresult kResultTrue = kResultOk;

// ---- Ids ---------------------------------------------------------------------------

// An id as it travels: 16 bytes, compared whole.
struct Uid {
  char bytes[16];
};

// Byte order of an id made from four words: each word most significant byte first
// (Linux, macOS), or the COM order (Windows): the first word least significant byte
// first, then the two halves of the second word each least significant byte first,
// then the last two words most significant byte first.
enum class UidOrder { kWordsInOrder, kCom };
#if defined(_WIN32)
inline constexpr UidOrder kPlatformUidOrder = UidOrder::kCom;
#else
inline constexpr UidOrder kPlatformUidOrder = UidOrder::kWordsInOrder;
#endif

// The COM order moves the first eight bytes of the words-in-order form.
constexpr Uid comOrdered(const Uid& wordsInOrder) {
  const int from[8] = {3, 2, 1, 0, 5, 4, 7, 6};
  Uid id = wordsInOrder;
  for (int i = 0; i < 8; ++i) id.bytes[i] = wordsInOrder.bytes[from[i]];
  return id;
}

constexpr Uid uidFromWords(uint32 w1, uint32 w2, uint32 w3, uint32 w4, UidOrder order) {
  Uid id{};
  const uint32 words[4] = {w1, w2, w3, w4};
  for (int i = 0; i < 16; ++i) id.bytes[i] = static_cast<char>(words[i / 4] >> (24 - 8 * (i % 4)));
  return order == UidOrder::kCom ? comOrdered(id) : id;
}

constexpr Uid uid(uint32 w1, uint32 w2, uint32 w3, uint32 w4) {
  return uidFromWords(w1, w2, w3, w4, kPlatformUidOrder);
}

constexpr bool sameUid(const char* a, const char* b) {
  for (int i = 0; i < 16; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

// ---- Constants ---------------------------------------------------------------------

inline constexpr SpeakerArrangement kSpeakerArrEmpty = 0;
inline constexpr SpeakerArrangement kSpeakerArrMono = 0x80000;
inline constexpr SpeakerArrangement kSpeakerArrStereo = 0x3;

enum MediaTypes : int32 { kAudio = 0, kEvent = 1 };
enum BusDirections : int32 { kInput = 0, kOutput = 1 };
enum BusTypes : int32 { kMain = 0, kAux = 1 };
enum BusFlags : uint32 { kDefaultActive = 1 };
enum SymbolicSampleSizes : int32 { kSample32 = 0, kSample64 = 1 };
inline constexpr uint32 kNoTail = 0;
inline constexpr uint32 kInfiniteTail = 0xFFFFFFFFu;

enum ParameterFlags : int32 {
  kCanAutomate = 1,
  kIsReadOnly = 2,
  kIsWrapAround = 4,
  kIsList = 8,
  kIsHidden = 16,
  kIsProgramChange = 0x8000,
  kIsBypass = 0x10000
};
inline constexpr ParamID kNoParamId = 0xFFFFFFFFu;
inline constexpr UnitID kRootUnitId = 0;
inline constexpr UnitID kNoParentUnitId = -1;
inline constexpr ProgramListID kNoProgramListId = -1;

enum RestartFlags : int32 {
  kReloadComponent = 1,
  kIoChanged = 2,
  kParamValuesChanged = 4,
  kLatencyChanged = 8,
  kParamTitlesChanged = 0x10,
  kMidiCCAssignmentChanged = 0x20
};

enum EventTypes : uint16 {
  kNoteOnEvent = 0,
  kNoteOffEvent = 1,
  kDataEvent = 2,
  kPolyPressureEvent = 3,
  kNoteExpressionValueEvent = 4,
  kNoteExpressionTextEvent = 5,
  kLegacyMIDICCOutEvent = 65535
};
inline constexpr uint32 kDataTypeMidiSysEx = 0;

enum ProcessContextStates : uint32 {
  kPlaying = 2,
  kProjectTimeMusicValid = 0x200,
  kTempoValid = 0x400
};

// Controller numbers a host asks IMidiMapping about: 0..127 are MIDI controllers.
enum ControllerNumbers : int16 { kAfterTouch = 128, kPitchBend = 129, kCountCtrlNumber = 130 };

enum FactoryFlags : int32 { kClassesDiscardable = 1, kComponentNonDiscardable = 8, kUnicode = 16 };
inline constexpr int32 kManyInstances = 0x7FFFFFFF;
inline constexpr const char* kVstAudioEffectClass = "Audio Module Class";

inline constexpr const char* kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";
inline constexpr const char* kPlatformTypeHWND = "HWND";
inline constexpr const char* kEditorViewName = "editor";

enum StreamSeekModes : int32 { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };

// ---- Records -----------------------------------------------------------------------

struct PFactoryInfo {
  char8 vendor[64];
  char8 url[256];
  char8 email[128];
  int32 flags;
};

struct PClassInfo {
  TUID cid;
  int32 cardinality;
  char8 category[32];
  char8 name[64];
};

struct PClassInfo2 {
  TUID cid;
  int32 cardinality;
  char8 category[32];
  char8 name[64];
  uint32 classFlags;
  char8 subCategories[128];
  char8 vendor[64];
  char8 version[64];
  char8 sdkVersion[64];
};

struct PClassInfoW {
  TUID cid;
  int32 cardinality;
  char8 category[32];
  char16 name[64];
  uint32 classFlags;
  char8 subCategories[128];
  char16 vendor[64];
  char16 version[64];
  char16 sdkVersion[64];
};

struct BusInfo {
  MediaType mediaType;
  BusDirection direction;
  int32 channelCount;
  String128 name;
  BusType busType;
  uint32 flags;
};

struct RoutingInfo {
  MediaType mediaType;
  int32 busIndex;
  int32 channel;
};

struct ParameterInfo {
  ParamID id;
  String128 title;
  String128 shortTitle;
  String128 units;
  int32 stepCount;
  ParamValue defaultNormalizedValue;
  UnitID unitId;
  int32 flags;
};

struct UnitInfo {
  UnitID id;
  UnitID parentUnitId;
  String128 name;
  ProgramListID programListId;
};

struct ProgramListInfo {
  ProgramListID id;
  String128 name;
  int32 programCount;
};

struct ViewRect {
  int32 left;
  int32 top;
  int32 right;
  int32 bottom;
};

struct ProcessSetup {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 maxSamplesPerBlock;
  SampleRate sampleRate;
};

struct AudioBusBuffers {
  int32 numChannels;
  uint64 silenceFlags;
  union {
    Sample32** channelBuffers32;
    Sample64** channelBuffers64;
  };
};

struct NoteOnEvent {
  int16 channel;
  int16 pitch;
  float tuning;
  float velocity;
  int32 length;
  int32 noteId;
};

struct NoteOffEvent {
  int16 channel;
  int16 pitch;
  float velocity;
  int32 noteId;
  float tuning;
};

struct DataEvent {
  uint32 size;
  uint32 type;
  const uint8* bytes;
};

struct PolyPressureEvent {
  int16 channel;
  int16 pitch;
  float pressure;
  int32 noteId;
};

struct NoteExpressionValueEvent {
  uint32 typeId;
  int32 noteId;
  double value;
};

struct NoteExpressionTextEvent {
  uint32 typeId;
  int32 noteId;
  uint32 textLen;
  const TChar* text;
};

struct LegacyMIDICCOutEvent {
  uint8 controlNumber;
  int8 channel;
  int8 value;
  int8 value2;
};

struct Event {
  int32 busIndex;
  int32 sampleOffset;
  TQuarterNotes ppqPosition;
  uint16 flags;
  uint16 type;
  union {
    NoteOnEvent noteOn;
    NoteOffEvent noteOff;
    DataEvent data;
    PolyPressureEvent polyPressure;
    NoteExpressionValueEvent noteExpressionValue;
    NoteExpressionTextEvent noteExpressionText;
    LegacyMIDICCOutEvent midiCCOut;
  };
};

struct FrameRate {
  uint32 framesPerSecond;
  uint32 flags;
};

struct Chord {
  uint8 keyNote;
  uint8 rootNote;
  int16 chordMask;
};

struct ProcessContext {
  uint32 state;
  double sampleRate;
  TSamples projectTimeSamples;
  int64 systemTime;
  TSamples continousTimeSamples;
  TQuarterNotes projectTimeMusic;
  TQuarterNotes barPositionMusic;
  TQuarterNotes cycleStartMusic;
  TQuarterNotes cycleEndMusic;
  double tempo;
  int32 timeSigNumerator;
  int32 timeSigDenominator;
  Chord chord;
  int32 smpteOffsetSubframes;
  FrameRate frameRate;
  int32 samplesToNextClock;
};

class IParameterChanges;
class IEventList;

struct ProcessData {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 numSamples;
  int32 numInputs;
  int32 numOutputs;
  AudioBusBuffers* inputs;
  AudioBusBuffers* outputs;
  IParameterChanges* inputParameterChanges;
  IParameterChanges* outputParameterChanges;
  IEventList* inputEvents;
  IEventList* outputEvents;
  ProcessContext* processContext;
};

// ---- Interfaces ------------------------------------------------------------------
// Each names its id as `iid`. The comment before a group gives the first slot number
// of its methods in the function table.

class FUnknown {
 public:
  static constexpr Uid iid = uid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
  // 0..2
  virtual tresult ZORQ_VST3_API queryInterface(const TUID interfaceId, void** obj) = 0;
  virtual uint32 ZORQ_VST3_API addRef() = 0;
  virtual uint32 ZORQ_VST3_API release() = 0;

 protected:
  ~FUnknown() = default;
};

class IPluginBase : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
  // 3..4
  virtual tresult ZORQ_VST3_API initialize(FUnknown* context) = 0;
  virtual tresult ZORQ_VST3_API terminate() = 0;

 protected:
  ~IPluginBase() = default;
};

class IPluginFactory : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
  // 3..6
  virtual tresult ZORQ_VST3_API getFactoryInfo(PFactoryInfo* info) = 0;
  virtual int32 ZORQ_VST3_API countClasses() = 0;
  virtual tresult ZORQ_VST3_API getClassInfo(int32 index, PClassInfo* info) = 0;
  virtual tresult ZORQ_VST3_API createInstance(FIDString classId, FIDString interfaceId,
                                               void** obj) = 0;

 protected:
  ~IPluginFactory() = default;
};

class IPluginFactory2 : public IPluginFactory {
 public:
  static constexpr Uid iid = uid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
  // 7
  virtual tresult ZORQ_VST3_API getClassInfo2(int32 index, PClassInfo2* info) = 0;

 protected:
  ~IPluginFactory2() = default;
};

class IPluginFactory3 : public IPluginFactory2 {
 public:
  static constexpr Uid iid = uid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
  // 8..9
  virtual tresult ZORQ_VST3_API getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
  virtual tresult ZORQ_VST3_API setHostContext(FUnknown* context) = 0;

 protected:
  ~IPluginFactory3() = default;
};

class IBStream : public FUnknown {
 public:
  static constexpr Uid iid = uid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
  // 3..6
  virtual tresult ZORQ_VST3_API read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
  virtual tresult ZORQ_VST3_API write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
  virtual tresult ZORQ_VST3_API seek(int64 pos, int32 mode, int64* result) = 0;
  virtual tresult ZORQ_VST3_API tell(int64* pos) = 0;

 protected:
  ~IBStream() = default;
};

class IComponent : public IPluginBase {
 public:
  static constexpr Uid iid = uid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
  // 5..13
  virtual tresult ZORQ_VST3_API getControllerClassId(TUID classId) = 0;
  virtual tresult ZORQ_VST3_API setIoMode(IoMode mode) = 0;
  virtual int32 ZORQ_VST3_API getBusCount(MediaType type, BusDirection dir) = 0;
  virtual tresult ZORQ_VST3_API getBusInfo(MediaType type, BusDirection dir, int32 index,
                                           BusInfo& bus) = 0;
  virtual tresult ZORQ_VST3_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
  virtual tresult ZORQ_VST3_API activateBus(MediaType type, BusDirection dir, int32 index,
                                            TBool state) = 0;
  virtual tresult ZORQ_VST3_API setActive(TBool state) = 0;
  virtual tresult ZORQ_VST3_API setState(IBStream* state) = 0;
  virtual tresult ZORQ_VST3_API getState(IBStream* state) = 0;

 protected:
  ~IComponent() = default;
};

class IAudioProcessor : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
  // 3..10
  virtual tresult ZORQ_VST3_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                   SpeakerArrangement* outputs, int32 numOuts) = 0;
  virtual tresult ZORQ_VST3_API getBusArrangement(BusDirection dir, int32 index,
                                                  SpeakerArrangement& arrangement) = 0;
  virtual tresult ZORQ_VST3_API canProcessSampleSize(int32 symbolicSampleSize) = 0;
  virtual uint32 ZORQ_VST3_API getLatencySamples() = 0;
  virtual tresult ZORQ_VST3_API setupProcessing(ProcessSetup& setup) = 0;
  virtual tresult ZORQ_VST3_API setProcessing(TBool state) = 0;
  virtual tresult ZORQ_VST3_API process(ProcessData& data) = 0;
  virtual uint32 ZORQ_VST3_API getTailSamples() = 0;

 protected:
  ~IAudioProcessor() = default;
};

class IProcessContextRequirements : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0);
  // 3
  virtual uint32 ZORQ_VST3_API getProcessContextRequirements() = 0;

 protected:
  ~IProcessContextRequirements() = default;
};

class IComponentHandler;
class IPlugView;

class IEditController : public IPluginBase {
 public:
  static constexpr Uid iid = uid(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
  // 5..17
  virtual tresult ZORQ_VST3_API setComponentState(IBStream* state) = 0;
  virtual tresult ZORQ_VST3_API setState(IBStream* state) = 0;
  virtual tresult ZORQ_VST3_API getState(IBStream* state) = 0;
  virtual int32 ZORQ_VST3_API getParameterCount() = 0;
  virtual tresult ZORQ_VST3_API getParameterInfo(int32 index, ParameterInfo& info) = 0;
  virtual tresult ZORQ_VST3_API getParamStringByValue(ParamID id, ParamValue normalized,
                                                      String128 string) = 0;
  virtual tresult ZORQ_VST3_API getParamValueByString(ParamID id, TChar* string,
                                                      ParamValue& normalized) = 0;
  virtual ParamValue ZORQ_VST3_API normalizedParamToPlain(ParamID id, ParamValue normalized) = 0;
  virtual ParamValue ZORQ_VST3_API plainParamToNormalized(ParamID id, ParamValue plain) = 0;
  virtual ParamValue ZORQ_VST3_API getParamNormalized(ParamID id) = 0;
  virtual tresult ZORQ_VST3_API setParamNormalized(ParamID id, ParamValue value) = 0;
  virtual tresult ZORQ_VST3_API setComponentHandler(IComponentHandler* handler) = 0;
  virtual IPlugView* ZORQ_VST3_API createView(FIDString name) = 0;

 protected:
  ~IEditController() = default;
};

class IMidiMapping : public FUnknown {
 public:
  static constexpr Uid iid = uid(0xDF0FF9F7, 0x49B74669, 0xB63AB732, 0x7ADBF5E5);
  // 3
  virtual tresult ZORQ_VST3_API getMidiControllerAssignment(int32 busIndex, int16 channel,
                                                            CtrlNumber controller, ParamID& id) = 0;

 protected:
  ~IMidiMapping() = default;
};

class IUnitInfo : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1);
  // 3..14
  virtual int32 ZORQ_VST3_API getUnitCount() = 0;
  virtual tresult ZORQ_VST3_API getUnitInfo(int32 unitIndex, UnitInfo& info) = 0;
  virtual int32 ZORQ_VST3_API getProgramListCount() = 0;
  virtual tresult ZORQ_VST3_API getProgramListInfo(int32 listIndex, ProgramListInfo& info) = 0;
  virtual tresult ZORQ_VST3_API getProgramName(ProgramListID listId, int32 programIndex,
                                               String128 name) = 0;
  virtual tresult ZORQ_VST3_API getProgramInfo(ProgramListID listId, int32 programIndex,
                                               const char* attributeId, String128 value) = 0;
  virtual tresult ZORQ_VST3_API hasProgramPitchNames(ProgramListID listId, int32 programIndex) = 0;
  virtual tresult ZORQ_VST3_API getProgramPitchName(ProgramListID listId, int32 programIndex,
                                                    int16 midiPitch, String128 name) = 0;
  virtual UnitID ZORQ_VST3_API getSelectedUnit() = 0;
  virtual tresult ZORQ_VST3_API selectUnit(UnitID unitId) = 0;
  virtual tresult ZORQ_VST3_API getUnitByBus(MediaType type, BusDirection dir, int32 busIndex,
                                             int32 channel, UnitID& unitId) = 0;
  virtual tresult ZORQ_VST3_API setUnitProgramData(int32 listOrUnitId, int32 programIndex,
                                                   IBStream* data) = 0;

 protected:
  ~IUnitInfo() = default;
};

class IComponentHandler : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);
  // 3..6
  virtual tresult ZORQ_VST3_API beginEdit(ParamID id) = 0;
  virtual tresult ZORQ_VST3_API performEdit(ParamID id, ParamValue normalized) = 0;
  virtual tresult ZORQ_VST3_API endEdit(ParamID id) = 0;
  virtual tresult ZORQ_VST3_API restartComponent(int32 flags) = 0;

 protected:
  ~IComponentHandler() = default;
};

class IUnitHandler : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x4B5147F8, 0x4654486B, 0x8DAB30BA, 0x163A3C56);
  // 3..4
  virtual tresult ZORQ_VST3_API notifyUnitSelection(UnitID unitId) = 0;
  virtual tresult ZORQ_VST3_API notifyProgramListChange(ProgramListID listId,
                                                        int32 programIndex) = 0;

 protected:
  ~IUnitHandler() = default;
};

class IHostApplication : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5);
  // 3..4
  virtual tresult ZORQ_VST3_API getName(String128 name) = 0;
  virtual tresult ZORQ_VST3_API createInstance(TUID classId, TUID interfaceId, void** obj) = 0;

 protected:
  ~IHostApplication() = default;
};

class IParamValueQueue : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
  // 3..6
  virtual ParamID ZORQ_VST3_API getParameterId() = 0;
  virtual int32 ZORQ_VST3_API getPointCount() = 0;
  virtual tresult ZORQ_VST3_API getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0;
  virtual tresult ZORQ_VST3_API addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;

 protected:
  ~IParamValueQueue() = default;
};

class IParameterChanges : public FUnknown {
 public:
  static constexpr Uid iid = uid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
  // 3..5
  virtual int32 ZORQ_VST3_API getParameterCount() = 0;
  virtual IParamValueQueue* ZORQ_VST3_API getParameterData(int32 index) = 0;
  virtual IParamValueQueue* ZORQ_VST3_API addParameterData(const ParamID& id, int32& index) = 0;

 protected:
  ~IParameterChanges() = default;
};

class IEventList : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x3A2C4214, 0x346349FE, 0xB2C4F397, 0xB9695A44);
  // 3..5
  virtual int32 ZORQ_VST3_API getEventCount() = 0;
  virtual tresult ZORQ_VST3_API getEvent(int32 index, Event& e) = 0;
  virtual tresult ZORQ_VST3_API addEvent(Event& e) = 0;

 protected:
  ~IEventList() = default;
};

class IPlugFrame;

class IPlugView : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);
  // 3..14
  virtual tresult ZORQ_VST3_API isPlatformTypeSupported(FIDString type) = 0;
  virtual tresult ZORQ_VST3_API attached(void* parent, FIDString type) = 0;
  virtual tresult ZORQ_VST3_API removed() = 0;
  virtual tresult ZORQ_VST3_API onWheel(float distance) = 0;
  virtual tresult ZORQ_VST3_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
  virtual tresult ZORQ_VST3_API onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
  virtual tresult ZORQ_VST3_API getSize(ViewRect* size) = 0;
  virtual tresult ZORQ_VST3_API onSize(ViewRect* newSize) = 0;
  virtual tresult ZORQ_VST3_API onFocus(TBool state) = 0;
  virtual tresult ZORQ_VST3_API setFrame(IPlugFrame* frame) = 0;
  virtual tresult ZORQ_VST3_API canResize() = 0;
  virtual tresult ZORQ_VST3_API checkSizeConstraint(ViewRect* rect) = 0;

 protected:
  ~IPlugView() = default;
};

class IPlugFrame : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);
  // 3
  virtual tresult ZORQ_VST3_API resizeView(IPlugView* view, ViewRect* newSize) = 0;

 protected:
  ~IPlugFrame() = default;
};

class IPlugViewContentScaleSupport : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F);
  // 3
  virtual tresult ZORQ_VST3_API setContentScaleFactor(float factor) = 0;

 protected:
  ~IPlugViewContentScaleSupport() = default;
};

// The host's run loop on Linux, which calls the editor back on the UI thread.
namespace linux_ui {
using FileDescriptor = int;
using TimerInterval = uint64;

class IEventHandler : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);
  // 3
  virtual void ZORQ_VST3_API onFDIsSet(FileDescriptor fd) = 0;

 protected:
  ~IEventHandler() = default;
};

class ITimerHandler : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);
  // 3
  virtual void ZORQ_VST3_API onTimer() = 0;

 protected:
  ~ITimerHandler() = default;
};

class IRunLoop : public FUnknown {
 public:
  static constexpr Uid iid = uid(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);
  // 3..6
  virtual tresult ZORQ_VST3_API registerEventHandler(IEventHandler* handler, FileDescriptor fd) = 0;
  virtual tresult ZORQ_VST3_API unregisterEventHandler(IEventHandler* handler) = 0;
  virtual tresult ZORQ_VST3_API registerTimer(ITimerHandler* handler, TimerInterval ms) = 0;
  virtual tresult ZORQ_VST3_API unregisterTimer(ITimerHandler* handler) = 0;

 protected:
  ~IRunLoop() = default;
};
}  // namespace linux_ui

// The exported factory function.
using GetFactoryProc = IPluginFactory*(ZORQ_VST3_API*)();

// ---- Checks ------------------------------------------------------------------------

// The byte order rule, on the published example (IComponent) for both orders.
constexpr bool uidBytesAre(const Uid& id, const char (&hex)[33]) {
  auto nibble = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
  for (int i = 0; i < 16; ++i)
    if (static_cast<uint8>(id.bytes[i]) != nibble(hex[2 * i]) * 16 + nibble(hex[2 * i + 1]))
      return false;
  return true;
}
static_assert(uidBytesAre(uidFromWords(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802,
                                       UidOrder::kWordsInOrder),
                          "E831FF31F2D54301928EBBEE25697802"));

// Each interface id in COM order against its published bytes: a word typed wrong fails.
constexpr bool comBytesAre(const Uid& platformId, const char (&hex)[33]) {
  return uidBytesAre(kPlatformUidOrder == UidOrder::kCom ? platformId : comOrdered(platformId),
                     hex);
}
static_assert(comBytesAre(FUnknown::iid, "0000000000000000C000000000000046"));
static_assert(comBytesAre(IPluginBase::iid, "DB8D88226E15AE458358B34808190625"));
static_assert(comBytesAre(IPluginFactory::iid, "1C814D7A11521F4AAED9D2EE0B43BF9F"));
static_assert(comBytesAre(IPluginFactory2::iid, "50B607004BF20B4CA464EDB9F00B2ABB"));
static_assert(comBytesAre(IPluginFactory3::iid, "ABA2554523C1574E9B12291036878931"));
static_assert(comBytesAre(IComponent::iid, "31FF31E8D5F20143928EBBEE25697802"));
static_assert(comBytesAre(IAudioProcessor::iid, "993F0442DAB73C45A569E79D9AAEC33D"));
static_assert(comBytesAre(IProcessContextRequirements::iid, "0343652A76EF3D4E95B5FE83730EF6D0"));
static_assert(comBytesAre(IEditController::iid, "E3BBD7DC42778D44A874AACC979C759E"));
static_assert(comBytesAre(IUnitInfo::iid, "B5D64B3D3A91D24FA886E768A5EB92C1"));
static_assert(comBytesAre(IMidiMapping::iid, "F7F90FDFB7496946B63AB7327ADBF5E5"));
static_assert(comBytesAre(IComponentHandler::iid, "A3BEA093D00BDB458E890B0CC1E46AC6"));
static_assert(comBytesAre(IUnitHandler::iid, "F847514B54466B488DAB30BA163A3C56"));
static_assert(comBytesAre(IHostApplication::iid, "CC95E5582DDB69498B6AAF8C36A664E5"));
static_assert(comBytesAre(IBStream::iid, "A26EBFC3993052479B6BF9901EE33E9B"));
static_assert(comBytesAre(IParameterChanges::iid, "639677A4B60B564AB44384A8466FEB9D"));
static_assert(comBytesAre(IParamValueQueue::iid, "183A260107ED6F4F98C9D3564686F9BA"));
static_assert(comBytesAre(IEventList::iid, "14422C3A6334FE49B2C4F397B9695A44"));
static_assert(comBytesAre(IPlugView::iid, "0725C35B60D0EA49A6151B522B755B29"));
static_assert(comBytesAre(IPlugFrame::iid, "01AF7F36A9AF93468D4DA2A0ED0882A3"));
static_assert(comBytesAre(IPlugViewContentScaleSupport::iid, "9096ED65C48A25458AADEF7A72EA703F"));

static_assert(sizeof(TBool) == 1 && sizeof(char16) == 2 && sizeof(String128) == 256 &&
              sizeof(TUID) == 16 && sizeof(Uid) == 16);

// Records that are the same on every target.
static_assert(sizeof(PFactoryInfo) == 452 && offsetof(PFactoryInfo, url) == 64 &&
              offsetof(PFactoryInfo, email) == 320 && offsetof(PFactoryInfo, flags) == 448);
static_assert(sizeof(PClassInfo) == 116 && offsetof(PClassInfo, cardinality) == 16 &&
              offsetof(PClassInfo, category) == 20 && offsetof(PClassInfo, name) == 52);
static_assert(sizeof(PClassInfo2) == 440 && offsetof(PClassInfo2, classFlags) == 116 &&
              offsetof(PClassInfo2, subCategories) == 120 && offsetof(PClassInfo2, vendor) == 248 &&
              offsetof(PClassInfo2, version) == 312 && offsetof(PClassInfo2, sdkVersion) == 376);
static_assert(sizeof(PClassInfoW) == 696 && offsetof(PClassInfoW, name) == 52 &&
              offsetof(PClassInfoW, classFlags) == 180 &&
              offsetof(PClassInfoW, subCategories) == 184 && offsetof(PClassInfoW, vendor) == 312 &&
              offsetof(PClassInfoW, version) == 440 && offsetof(PClassInfoW, sdkVersion) == 568);
static_assert(sizeof(BusInfo) == 276 && offsetof(BusInfo, direction) == 4 &&
              offsetof(BusInfo, channelCount) == 8 && offsetof(BusInfo, name) == 12 &&
              offsetof(BusInfo, busType) == 268 && offsetof(BusInfo, flags) == 272);
static_assert(sizeof(RoutingInfo) == 12 && offsetof(RoutingInfo, busIndex) == 4 &&
              offsetof(RoutingInfo, channel) == 8);
static_assert(sizeof(ParameterInfo) == 792 && offsetof(ParameterInfo, title) == 4 &&
              offsetof(ParameterInfo, shortTitle) == 260 && offsetof(ParameterInfo, units) == 516 &&
              offsetof(ParameterInfo, stepCount) == 772 &&
              offsetof(ParameterInfo, defaultNormalizedValue) == 776 &&
              offsetof(ParameterInfo, unitId) == 784 && offsetof(ParameterInfo, flags) == 788);
static_assert(sizeof(UnitInfo) == 268 && offsetof(UnitInfo, parentUnitId) == 4 &&
              offsetof(UnitInfo, name) == 8 && offsetof(UnitInfo, programListId) == 264);
static_assert(sizeof(ProgramListInfo) == 264 && offsetof(ProgramListInfo, name) == 4 &&
              offsetof(ProgramListInfo, programCount) == 260);
static_assert(sizeof(ViewRect) == 16 && offsetof(ViewRect, top) == 4 &&
              offsetof(ViewRect, right) == 8 && offsetof(ViewRect, bottom) == 12);
static_assert(sizeof(NoteOnEvent) == 20 && offsetof(NoteOnEvent, pitch) == 2 &&
              offsetof(NoteOnEvent, tuning) == 4 && offsetof(NoteOnEvent, velocity) == 8 &&
              offsetof(NoteOnEvent, length) == 12 && offsetof(NoteOnEvent, noteId) == 16);
static_assert(sizeof(NoteOffEvent) == 16 && offsetof(NoteOffEvent, pitch) == 2 &&
              offsetof(NoteOffEvent, velocity) == 4 && offsetof(NoteOffEvent, noteId) == 8 &&
              offsetof(NoteOffEvent, tuning) == 12);
static_assert(sizeof(PolyPressureEvent) == 12 && offsetof(PolyPressureEvent, pressure) == 4 &&
              offsetof(PolyPressureEvent, noteId) == 8);
static_assert(sizeof(LegacyMIDICCOutEvent) == 4 && alignof(LegacyMIDICCOutEvent) == 1 &&
              offsetof(LegacyMIDICCOutEvent, value2) == 3);
static_assert(sizeof(NoteExpressionValueEvent) == 16 &&
              offsetof(NoteExpressionValueEvent, value) == 8);
static_assert(sizeof(FrameRate) == 8 && offsetof(FrameRate, flags) == 4);
static_assert(sizeof(Chord) == 4 && offsetof(Chord, rootNote) == 1 &&
              offsetof(Chord, chordMask) == 2);

// Records with pointers, doubles or 64-bit integers.
#if defined(__x86_64__) || defined(_WIN64)
static_assert(sizeof(ProcessSetup) == 24 && offsetof(ProcessSetup, symbolicSampleSize) == 4 &&
              offsetof(ProcessSetup, maxSamplesPerBlock) == 8 &&
              offsetof(ProcessSetup, sampleRate) == 16);
static_assert(sizeof(AudioBusBuffers) == 24 && offsetof(AudioBusBuffers, silenceFlags) == 8 &&
              offsetof(AudioBusBuffers, channelBuffers32) == 16);
static_assert(sizeof(ProcessData) == 80 && offsetof(ProcessData, numSamples) == 8 &&
              offsetof(ProcessData, numInputs) == 12 && offsetof(ProcessData, numOutputs) == 16 &&
              offsetof(ProcessData, inputs) == 24 && offsetof(ProcessData, outputs) == 32 &&
              offsetof(ProcessData, inputParameterChanges) == 40 &&
              offsetof(ProcessData, outputParameterChanges) == 48 &&
              offsetof(ProcessData, inputEvents) == 56 &&
              offsetof(ProcessData, outputEvents) == 64 &&
              offsetof(ProcessData, processContext) == 72);
static_assert(sizeof(ProcessContext) == 112 && offsetof(ProcessContext, sampleRate) == 8 &&
              offsetof(ProcessContext, projectTimeSamples) == 16 &&
              offsetof(ProcessContext, tempo) == 72 &&
              offsetof(ProcessContext, timeSigNumerator) == 80 &&
              offsetof(ProcessContext, chord) == 88 && offsetof(ProcessContext, frameRate) == 96 &&
              offsetof(ProcessContext, samplesToNextClock) == 104);
static_assert(sizeof(Event) == 48 && offsetof(Event, sampleOffset) == 4 &&
              offsetof(Event, ppqPosition) == 8 && offsetof(Event, flags) == 16 &&
              offsetof(Event, type) == 18 && offsetof(Event, noteOn) == 24);
static_assert(sizeof(DataEvent) == 16 && offsetof(DataEvent, type) == 4 &&
              offsetof(DataEvent, bytes) == 8);
static_assert(sizeof(NoteExpressionTextEvent) == 24 &&
              offsetof(NoteExpressionTextEvent, textLen) == 8 &&
              offsetof(NoteExpressionTextEvent, text) == 16);
static_assert(alignof(ParameterInfo) == 8 && alignof(NoteExpressionValueEvent) == 8);
#elif defined(__i386__) && defined(__linux__)
static_assert(sizeof(ProcessSetup) == 20 && offsetof(ProcessSetup, sampleRate) == 12);
static_assert(sizeof(AudioBusBuffers) == 16 && offsetof(AudioBusBuffers, silenceFlags) == 4 &&
              offsetof(AudioBusBuffers, channelBuffers32) == 12);
static_assert(sizeof(ProcessData) == 48 && offsetof(ProcessData, inputs) == 20 &&
              offsetof(ProcessData, outputs) == 24 &&
              offsetof(ProcessData, inputParameterChanges) == 28 &&
              offsetof(ProcessData, outputParameterChanges) == 32 &&
              offsetof(ProcessData, inputEvents) == 36 &&
              offsetof(ProcessData, outputEvents) == 40 &&
              offsetof(ProcessData, processContext) == 44);
static_assert(sizeof(ProcessContext) == 104 && offsetof(ProcessContext, sampleRate) == 4 &&
              offsetof(ProcessContext, tempo) == 68 && offsetof(ProcessContext, chord) == 84 &&
              offsetof(ProcessContext, samplesToNextClock) == 100);
static_assert(sizeof(Event) == 40 && offsetof(Event, flags) == 16 && offsetof(Event, noteOn) == 20);
static_assert(sizeof(DataEvent) == 12 && offsetof(DataEvent, bytes) == 8);
static_assert(sizeof(NoteExpressionTextEvent) == 16 &&
              offsetof(NoteExpressionTextEvent, text) == 12);
static_assert(alignof(ParameterInfo) == 4);
#else
#error "The VST 3 records are declared for x86-64 and i386 Linux and 64-bit Windows only"
#endif

}  // namespace vst3
