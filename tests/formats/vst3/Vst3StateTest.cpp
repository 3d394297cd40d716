// The component's state: the plug-in's session chunk (the CLAP state's bytes), the same
// bytes when saved twice, restored through streams that move a few bytes at a time; the
// controller following the state it is handed, and refusing a damaged one.
#include "Vst3Fixture.h"

namespace {
void changeSomething(HostedVst3& hosted) {
  hosted.zorq->changePreset(9);
  hosted.zorq->SetParameterFromGUI(kBias, 0.25);
  hosted.zorq->SetParameterFromGUI(kVocoderMode, 1.0);
}
}  // namespace

TEST(Vst3State, SavesTheSessionChunkAndRestoresItInPieces) {
  HostedVst3 saved, restored;
  changeSomething(saved);
  const std::vector<uint8_t> bytes = saved.state();
  EXPECT_EQ(saved.state(3), bytes);  // saved twice, even in small pieces
  ByteChunk session;
  ASSERT_TRUE(saved.zorq->serializeSessionChunk(&session));
  EXPECT_EQ(bytes, std::vector<uint8_t>(session.GetBytes(), session.GetBytes() + session.Size()));

  ASSERT_EQ(restored.setState(bytes, 7), vst3::kResultOk);
  EXPECT_EQ(restored.zorq->GetCurrentPresetIdx(), 9);
  EXPECT_DOUBLE_EQ(restored.zorq->GetParam(kBias)->GetNormalized(), 0.25);
  // The controller follows, and the host is told to read every value.
  EXPECT_DOUBLE_EQ(restored.object->getParamNormalized(kBias), 0.25);
  EXPECT_DOUBLE_EQ(restored.object->getParamNormalized(IPlugVST3::kProgramId), 9.0 / 63.0);
  ASSERT_FALSE(restored.handler().restarts.empty());
  EXPECT_TRUE(restored.handler().restarts.back() & vst3::kParamValuesChanged);
}

// Refusing a damaged state is the parity suite's; the controller refuses one too.
TEST(Vst3State, ControllerRefusesDamagedStreamsAndChangesNothing) {
  HostedVst3 source, target;
  changeSomething(source);
  const std::vector<uint8_t> good = source.state(), before = target.state();
  for (const auto& bytes :
       {std::vector<uint8_t>(), std::vector<uint8_t>(good.begin(), good.begin() + 100)}) {
    Vst3MemoryStream stream(bytes);
    EXPECT_EQ(target.object->setComponentState(&stream), vst3::kResultFalse);
    EXPECT_EQ(target.state(), before);
  }
}

// Hosts hand the controller the state the component was just given (only the
// controller's values follow) or one it has not seen (it loads).
TEST(Vst3State, ComponentStateHandedToTheControllerKeepsBothInStep) {
  HostedVst3 source, target;
  changeSomething(source);
  const std::vector<uint8_t> bytes = source.state();
  Vst3MemoryStream stream(bytes, 5);
  ASSERT_EQ(target.object->setComponentState(&stream), vst3::kResultOk);
  EXPECT_EQ(target.zorq->GetCurrentPresetIdx(), 9);
  EXPECT_DOUBLE_EQ(target.object->getParamNormalized(kBias), 0.25);
  const size_t restarts = target.handler().restarts.size();
  Vst3MemoryStream again(bytes);
  ASSERT_EQ(target.object->setComponentState(&again), vst3::kResultOk);
  EXPECT_EQ(target.handler().restarts.size(), restarts);  // nothing new to read
}
