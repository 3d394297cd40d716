// The editor state record that keeps an editor's copy of the instrument in step with
// it: read back whole, refused when cut; the live sample file.
#include <gtest/gtest.h>

#include <fstream>

#include "engine/ZORQ.h"
#include "support/TempFolder.h"

namespace {

constexpr int kInputModeFile = 1;

ByteChunk editorState(ZORQ& zorq) {
  ByteChunk record;
  zorq.SerializeEditorState(&record);
  return record;
}

TEST(ZorqEditorState, TakesOverEverySettingOrNothing) {
  ZORQ source;
  source.setSampleFileName("voices/a.wav");
  source.doMidiLearn(true);
  source.configuration().setMidiThru(true);
  source.configuration().setIgnoreProgramChange(true);
  source.configuration().setDefaultWAVPath("/samples");
  source.configuration().setControllerParameter(7, kTune);
  source.configuration().setControllerParameter(119, kSpeed);
  const ByteChunk record = editorState(source);

  // One instance refuses every cut record: a change left by any of them would show.
  ZORQ refusing;
  const ByteChunk before = editorState(refusing);
  for (int size = 0; size < record.Size(); ++size) {
    ByteChunk cut = record;
    cut.Resize(size);
    EXPECT_FALSE(refusing.UnserializeEditorState(&cut)) << size;
    EXPECT_EQ(editorState(refusing), before) << size;
  }
  ZORQ target;
  EXPECT_TRUE(target.UnserializeEditorState(&record));
  EXPECT_EQ(editorState(target), record);
  EXPECT_EQ(target.sampleFileName(), "voices/a.wav");
  EXPECT_TRUE(target.midiLearn().isLearning());
  EXPECT_EQ(target.configuration().controllerParameter(119), kSpeed);
}

TEST(ZorqEditorState, LiveStateFileIsFoundInTheWavFolder) {
  TempFolder folder;
  std::ofstream(folder.path() + "/in.wav") << "RIFF";
  ZORQ zorq;
  zorq.configuration().setDefaultWAVPath(folder.path());
  zorq.setSampleFileName("in.wav");
  EXPECT_EQ(zorq.LiveStateFile(), "");  // "Signal" input mode: the state holds no file
  zorq.GetParam(kInputMode)->Set(kInputModeFile);
  EXPECT_EQ(zorq.LiveStateFile(), folder.path() + "/in.wav");
  zorq.setSampleFileName("/elsewhere/b.wav");
  EXPECT_EQ(zorq.LiveStateFile(), "/elsewhere/b.wav");
  zorq.SetLiveStateFile("/moved/c.wav");
  EXPECT_EQ(zorq.sampleFileName(), "/moved/c.wav");
}

}  // namespace
