// The object as a host's controller and set-up code see it: life cycle in the orders
// hosts use, buses and arrangements, the parameter list with its texts, the program
// list, the MIDI mapping, and the editor's gestures reaching the host. The component's
// state: the plug-in's session chunk (the CLAP state's bytes), the same bytes when saved
// twice, restored through streams that move a few bytes at a time; the controller
// following the state it is handed, and refusing a damaged one.
#include <set>
#include <string>

#include "Vst3Fixture.h"
#include "formats/vst3/Vst3Text.h"
#include "framework/ParamText.h"

namespace {
std::string text(IPlugVST3& object, vst3::ParamID id, double normalized) {
  vst3::String128 shown{};
  if (object.getParamStringByValue(id, normalized, shown) != vst3::kResultOk) return "<refused>";
  return vst3text::toUtf8(shown, 128);
}

bool fromText(IPlugVST3& object, vst3::ParamID id, const std::string& typed, double* normalized) {
  vst3::String128 wide{};
  vst3text::toUtf16(typed.c_str(), wide, 128);
  return object.getParamValueByString(id, wide, *normalized) == vst3::kResultOk;
}

// One object as a host sets it up; the host application outlives it (the object holds it).
class Vst3Adapter : public ::testing::Test {
 protected:
  Vst3HostApplication application;
  HostedVst3 hosted;
  IPlugVST3& object = *hosted.object;
};
}  // namespace

// A host may initialise the object as component and again as controller, and tear
// it down through both: only the outer pair works; afterwards it starts again. Repeated
// states are harmless, and so is a block before activation.
TEST_F(Vst3Adapter, LifeCycleTakesTheOrdersHostsUse) {
  EXPECT_EQ(object.initialize(&application), vst3::kResultFalse);  // nested
  EXPECT_EQ(object.terminate(), vst3::kResultOk);                  // the nested one's: nothing ends
  hosted.process(64);                                              // before setActive: silence
  EXPECT_EQ(rms(hosted.left), 0.0);
  for (int loop = 0; loop < 4; ++loop) {
    vst3::ProcessSetup setup{0, vst3::kSample32, 256, 48000.0};
    EXPECT_EQ(object.setupProcessing(setup), vst3::kResultOk);
    EXPECT_EQ(object.setActive(true), vst3::kResultOk);
    EXPECT_EQ(object.setActive(true), vst3::kResultOk);
    EXPECT_EQ(object.activateBus(vst3::kAudio, vst3::kInput, 1, false), vst3::kResultOk);
    EXPECT_EQ(object.setActive(false), vst3::kResultOk);
    EXPECT_EQ(object.setActive(false), vst3::kResultOk);
    EXPECT_EQ(object.terminate(), vst3::kResultOk);
    EXPECT_EQ(object.terminate(), vst3::kResultFalse);
    EXPECT_EQ(object.initialize(&application), vst3::kResultOk);
  }
  vst3::ProcessSetup odd{0, vst3::kSample32, 1, 1234.5678};
  EXPECT_EQ(object.setupProcessing(odd), vst3::kResultOk);
  odd.sampleRate = 0.0;
  EXPECT_EQ(object.setupProcessing(odd), vst3::kResultFalse);
  odd = {0, 7, 64, 48000.0};
  EXPECT_EQ(object.setupProcessing(odd), vst3::kResultFalse);  // no such sample size
}

TEST_F(Vst3Adapter, BusesAreVoiceCarrierOutputAndMidi) {
  ASSERT_EQ(object.getBusCount(vst3::kAudio, vst3::kInput), 2);
  ASSERT_EQ(object.getBusCount(vst3::kAudio, vst3::kOutput), 1);
  ASSERT_EQ(object.getBusCount(vst3::kEvent, vst3::kInput), 1);
  EXPECT_EQ(object.getBusCount(vst3::kEvent, vst3::kOutput), 0);
  vst3::BusInfo bus{};
  ASSERT_EQ(object.getBusInfo(vst3::kAudio, vst3::kInput, 0, bus), vst3::kResultOk);
  EXPECT_EQ(vst3text::toUtf8(bus.name, 128), "MIC");
  EXPECT_EQ(bus.busType, vst3::kMain);
  EXPECT_EQ(bus.flags, vst3::kDefaultActive);
  ASSERT_EQ(object.getBusInfo(vst3::kAudio, vst3::kInput, 1, bus), vst3::kResultOk);
  EXPECT_EQ(vst3text::toUtf8(bus.name, 128), "EXT");
  EXPECT_EQ(bus.busType, vst3::kAux);  // hosts offer it as the side chain
  EXPECT_EQ(bus.flags, 0u);            // off until the host turns it on
  EXPECT_EQ(bus.channelCount, 2);
  EXPECT_EQ(object.getBusInfo(vst3::kAudio, vst3::kOutput, 1, bus), vst3::kInvalidArgument);

  // Stereo everywhere is taken; a mono voice is taken (it feeds both sides), a mono
  // output is not: the output stays stereo and the host reads back what holds.
  vst3::SpeakerArrangement stereo[2] = {vst3::kSpeakerArrStereo, vst3::kSpeakerArrStereo};
  vst3::SpeakerArrangement out = vst3::kSpeakerArrStereo;
  EXPECT_EQ(object.setBusArrangements(stereo, 2, &out, 1), vst3::kResultTrue);
  vst3::SpeakerArrangement mono[2] = {vst3::kSpeakerArrMono, vst3::kSpeakerArrStereo};
  vst3::SpeakerArrangement monoOut = 0x1;  // a low-bit mask, as Ardour sends
  EXPECT_EQ(object.setBusArrangements(mono, 2, &monoOut, 1), vst3::kResultFalse);
  vst3::SpeakerArrangement arrangement = 0;
  ASSERT_EQ(object.getBusArrangement(vst3::kInput, 0, arrangement), vst3::kResultOk);
  EXPECT_EQ(arrangement, vst3::kSpeakerArrMono);
  ASSERT_EQ(object.getBusInfo(vst3::kAudio, vst3::kInput, 0, bus), vst3::kResultOk);
  EXPECT_EQ(bus.channelCount, 1);
  ASSERT_EQ(object.getBusArrangement(vst3::kOutput, 0, arrangement), vst3::kResultOk);
  EXPECT_EQ(arrangement, vst3::kSpeakerArrStereo);
}

// Ids unique and in the plug-in's half, every title set, defaults in range; one bypass;
// the program parameter a list in the unit with the program list; MIDI ones hidden, and
// the MIDI mapping names them. Every parameter's text reads back to a value that shows
// the same text.
TEST_F(Vst3Adapter, ParameterListIsWhatHostsAndValidatorsExpect) {
  const int count = object.getParameterCount();
  ASSERT_EQ(count, kNumParams + 2 + 129);
  std::set<vst3::ParamID> ids;
  int bypasses = 0, programs = 0, hidden = 0;
  for (int i = 0; i < count; ++i) {
    vst3::ParameterInfo info{};
    ASSERT_EQ(object.getParameterInfo(i, info), vst3::kResultOk);
    EXPECT_TRUE(ids.insert(info.id).second) << info.id;
    EXPECT_LT(info.id, 0x80000000u);
    EXPECT_FALSE(vst3text::toUtf8(info.title, 128).empty()) << i;
    EXPECT_GE(info.stepCount, 0);
    EXPECT_TRUE(info.defaultNormalizedValue >= 0.0 && info.defaultNormalizedValue <= 1.0);
    EXPECT_EQ(info.unitId, vst3::kRootUnitId);
    EXPECT_NE(info.flags & (vst3::kCanAutomate | vst3::kIsReadOnly),
              vst3::kCanAutomate | vst3::kIsReadOnly);
    // A bypass can be automated, a hidden parameter cannot; the program parameter is a list.
    const auto has = [&](auto flag) { return (info.flags & flag) != 0; };
    bypasses += has(vst3::kIsBypass);
    programs += has(vst3::kIsProgramChange);
    hidden += has(vst3::kIsHidden);
    EXPECT_TRUE(!has(vst3::kIsBypass) || has(vst3::kCanAutomate)) << i;
    EXPECT_TRUE(!has(vst3::kIsHidden) || !has(vst3::kCanAutomate)) << i;
    EXPECT_TRUE(!has(vst3::kIsProgramChange) || (has(vst3::kIsList) && info.stepCount == 63)) << i;
    if (i < kNumParams) {
      EXPECT_EQ(info.id, vst3::ParamID(i));
      EXPECT_EQ(info.stepCount, hosted.zorq->GetParam(i)->StepCount());
    }
    // Its texts read back to values that show the same texts; plain and normalised values
    // convert both ways and rise together.
    double previousPlain = -1e300;
    for (double normalized : {0.0, 0.13, 0.5, 0.77, 1.0}) {
      const std::string shown = text(object, info.id, normalized);
      double back = -1.0;
      ASSERT_TRUE(fromText(object, info.id, shown, &back)) << i << " '" << shown << "'";
      EXPECT_EQ(text(object, info.id, back), shown) << i;
      const double plain = object.normalizedParamToPlain(info.id, normalized);
      EXPECT_GE(plain, previousPlain) << i;
      previousPlain = plain;
      if (info.stepCount > 0) {
        EXPECT_DOUBLE_EQ(object.plainParamToNormalized(info.id, plain),
                         std::round(normalized * info.stepCount) / info.stepCount);
      }
    }
  }
  EXPECT_EQ(bypasses, 1);
  EXPECT_EQ(programs, 1);
  EXPECT_EQ(hidden, 129);
  vst3::ParameterInfo info{};
  EXPECT_EQ(object.getParameterInfo(count, info), vst3::kInvalidArgument);

  vst3::UnitInfo unit{};
  ASSERT_EQ(object.getUnitCount(), 1);
  ASSERT_EQ(object.getUnitInfo(0, unit), vst3::kResultOk);
  EXPECT_EQ(unit.parentUnitId, vst3::kNoParentUnitId);
  vst3::ProgramListInfo list{};
  ASSERT_EQ(object.getProgramListInfo(0, list), vst3::kResultOk);
  EXPECT_EQ(list.id, unit.programListId);
  EXPECT_EQ(list.programCount, 64);
  for (int k = 0; k < 64; ++k) {
    vst3::String128 name{};
    ASSERT_EQ(object.getProgramName(list.id, k, name), vst3::kResultOk);
    EXPECT_EQ(vst3text::toUtf8(name, 128), hosted.zorq->GetPresetName(k));
    EXPECT_EQ(text(object, IPlugVST3::kProgramId, k / 63.0), hosted.zorq->GetPresetName(k));
  }

  // Controllers and pitch bend on the event bus map to parameters the host lists; channel
  // pressure and anything beyond is not asked for.
  for (vst3::int16 channel : {0, 15}) {
    for (int controller = 0; controller < vst3::kCountCtrlNumber; ++controller) {
      vst3::ParamID id = vst3::kNoParamId;
      const vst3::tresult result = object.getMidiControllerAssignment(
          0, channel, static_cast<vst3::CtrlNumber>(controller), id);
      const bool mapped = controller != vst3::kAfterTouch;
      EXPECT_EQ(result, mapped ? vst3::kResultTrue : vst3::kResultFalse) << controller;
      EXPECT_TRUE(!mapped || ids.count(id)) << controller;
    }
  }
  vst3::ParamID id = 0;
  EXPECT_EQ(object.getMidiControllerAssignment(1, 0, 1, id), vst3::kResultFalse);
  EXPECT_EQ(object.getMidiControllerAssignment(0, 0, 130, id), vst3::kResultFalse);

  // A text that names no value is refused; a program is found by its name.
  double value = 0.0;
  EXPECT_FALSE(fromText(object, kFinalVolume, "loud", &value));
  hosted.zorq->changePreset(5);
  hosted.zorq->renameCurrentProgram("Robot Choir");
  EXPECT_TRUE(fromText(object, IPlugVST3::kProgramId, "robot choir", &value));
  EXPECT_DOUBLE_EQ(value, 5.0 / 63.0);
  EXPECT_EQ(object.getParamStringByValue(0x7777, 0.5, nullptr), vst3::kInvalidArgument);
  EXPECT_EQ(object.plainParamToNormalized(kFinalVolume, 1e9), 1.0);  // beyond the range
}

// A drag in the editor reaches the host as begin, perform (the last value of the drag),
// end, once no lock is held; a program chosen in the editor makes the host read every
// value again.
TEST_F(Vst3Adapter, EditorGesturesAndProgramChangesReachTheHost) {
  ZORQ& zorq = *hosted.zorq;
  zorq.BeginInformHostOfParamChange(kFinalVolume);
  zorq.SetParameterFromGUI(kFinalVolume, 0.5);
  zorq.SetParameterFromGUI(kFinalVolume, 0.6);
  zorq.EndInformHostOfParamChange(kFinalVolume);
  EXPECT_TRUE(hosted.handler().edits.empty());
  hosted.object->FlushToHost();
  const auto& edits = hosted.handler().edits;
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[0].kind, 'b');
  EXPECT_EQ(edits[1].kind, 'p');
  EXPECT_DOUBLE_EQ(edits[1].value, 0.6);
  EXPECT_EQ(edits[2].kind, 'e');
  EXPECT_DOUBLE_EQ(hosted.object->getParamNormalized(kFinalVolume), 0.6);

  zorq.changePreset(7);
  hosted.object->FlushToHost();
  ASSERT_EQ(hosted.handler().restarts.size(), 1u);
  EXPECT_EQ(hosted.handler().restarts[0], vst3::kParamValuesChanged);
  EXPECT_DOUBLE_EQ(hosted.object->getParamNormalized(IPlugVST3::kProgramId), 7.0 / 63.0);
  EXPECT_DOUBLE_EQ(hosted.object->getParamNormalized(kFinalVolume),
                   zorq.GetParam(kFinalVolume)->GetNormalized());
}

// Saved as the session chunk, twice alike, in pieces; restored in pieces, with the
// controller following and the host told to read every value. Hosts hand the controller
// the state the component was just given (only the controller's values follow) or one it
// has not seen (it loads); a damaged one it refuses, changing nothing. (Refusing a damaged
// state through the component is the parity suite's.)
TEST(Vst3State, SessionChunkRestoresInPiecesAndKeepsTheControllerInStep) {
  HostedVst3 saved, restored, handed;
  saved.zorq->changePreset(9);
  saved.zorq->SetParameterFromGUI(kBias, 0.25);
  saved.zorq->SetParameterFromGUI(kVocoderMode, 1.0);
  const std::vector<uint8_t> bytes = saved.state(), before = handed.state();
  EXPECT_EQ(saved.state(3), bytes);  // saved twice, even in small pieces
  ByteChunk session;
  ASSERT_TRUE(saved.zorq->serializeSessionChunk(&session));
  EXPECT_EQ(bytes, std::vector<uint8_t>(session.GetBytes(), session.GetBytes() + session.Size()));

  ASSERT_EQ(restored.setState(bytes, 7), vst3::kResultOk);
  EXPECT_EQ(restored.zorq->GetCurrentPresetIdx(), 9);
  EXPECT_DOUBLE_EQ(restored.zorq->GetParam(kBias)->GetNormalized(), 0.25);
  EXPECT_DOUBLE_EQ(restored.object->getParamNormalized(kBias), 0.25);
  EXPECT_DOUBLE_EQ(restored.object->getParamNormalized(IPlugVST3::kProgramId), 9.0 / 63.0);
  ASSERT_FALSE(restored.handler().restarts.empty());
  EXPECT_TRUE(restored.handler().restarts.back() & vst3::kParamValuesChanged);

  for (const auto& damaged :
       {std::vector<uint8_t>(), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 100)}) {
    Vst3MemoryStream stream(damaged);
    EXPECT_EQ(handed.object->setComponentState(&stream), vst3::kResultFalse);
    EXPECT_EQ(handed.state(), before);
  }
  Vst3MemoryStream stream(bytes, 5);
  ASSERT_EQ(handed.object->setComponentState(&stream), vst3::kResultOk);
  EXPECT_EQ(handed.zorq->GetCurrentPresetIdx(), 9);
  EXPECT_DOUBLE_EQ(handed.object->getParamNormalized(kBias), 0.25);
  const size_t restarts = handed.handler().restarts.size();
  Vst3MemoryStream again(bytes);
  ASSERT_EQ(handed.object->setComponentState(&again), vst3::kResultOk);
  EXPECT_EQ(handed.handler().restarts.size(), restarts);  // nothing new to read
}
