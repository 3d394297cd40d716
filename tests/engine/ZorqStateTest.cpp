// The instrument's state record: written, then read back whole or with a file name of
// no characters (damaged or cut records, refused by the program chunk as a whole, are the
// chunk fuzz target's regression inputs, fuzz/regressions/chunk); the editor state
// record; the state's committed bytes, the same in every build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "CrossBuildState.h"
#include "EngineHarness.h"
#include "engine/ZORQ.h"
#include "framework/FileBytes.h"
#include "support/TempFolder.h"

namespace {

class CountingZorq : public ZORQ {
 public:
  void OnParamChange(int index) override {
    ++reported;
    ZORQ::OnParamChange(index);
  }
  // Every parameter at a different value inside its range.
  void scramble(uint32_t seed) {
    std::mt19937 random(seed);
    for (int i = 0; i < NParams(); ++i) GetParam(i)->SetNormalized((random() % 1000) / 999.0);
  }
  int reported = 0;
};

constexpr int kValuesStart = 10 + 4 + 4 + 5;          // after the marker, program index and "Empty"
constexpr int kFlag = kValuesStart + 8 * kNumParams;  // the has-file byte
constexpr int kWhole = 1 << 30;                       // `end`: the record's own size

struct StateCase {
  const char* name;
  int sourceInputMode;  // 1: "File", the record holds "a.wav"
  void (*damage)(ByteChunk&);
  int end;               // what UnserializeState returns: kWhole or a position
  const char* fileName;  // the target's afterwards (it starts with none)
};

const StateCase kCases[] = {
    {"RoundTrip", 1, [](ByteChunk&) {}, kWhole, "a.wav"},
    {"SignalModeKeepsNoFileName", 0, [](ByteChunk& r) { ASSERT_EQ(r.GetBytes()[kFlag], 0); },
     kWhole, ""},
    // An older record is the values, the flag and the name alone; values out of range are clamped.
    {"OldRecordOutOfRange", 1,
     [](ByteChunk& r) {
       ByteChunk old;
       old.PutBytes(r.GetBytes() + kValuesStart, r.Size() - kValuesStart);
       const double tooLoud = 1e6;
       std::memcpy(old.GetBytes() + 8 * kFinalVolume, &tooLoud, 8);
       r = old;
       ASSERT_FALSE(ZORQ::isNewVersion_1_1_1(&r, 0));
     },
     kWhole, "a.wav"},
    {"FileLengthZero", 1,
     [](ByteChunk& r) {
       const int32_t empty = 0;
       std::memcpy(r.GetBytes() + kFlag + 1, &empty, 4);
     },
     kFlag + 5, ""},
};

// The editor state record that keeps an editor's copy of the instrument in step with
// it: read back whole, refused when cut; the live sample file.

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
  zorq.GetParam(kInputMode)->Set(1.0);  // "File"
  EXPECT_EQ(zorq.LiveStateFile(), folder.path() + "/in.wav");
  zorq.setSampleFileName("/elsewhere/b.wav");
  EXPECT_EQ(zorq.LiveStateFile(), "/elsewhere/b.wav");
}

// The fixed instrument state of CrossBuildState.h, written by the 64-bit and the 32-bit
// build alike: both must write exactly the committed bytes, and load each into a fresh
// instance whose programs then give the same program chunks as the source's: what one
// build saves, the other loads bit for bit. After an intended format or version change,
// `make golden` (in the 64-bit build) writes the references again.

using namespace crossbuild;

// Into the current program's slot (a program), or over every program (a bank).
bool load(ZORQ& plug, const Form& form, const std::string& path) {
  ByteChunk bytes;
  if (!readWholeFile(path, &bytes)) return false;
  if (!form.asFile)
    return (form.bank ? plug.unserializeBankChunk(&bytes) : plug.unserializeProgramChunk(&bytes)) ==
           bytes.Size();
  return form.bank ? plug.LoadBankFromFXB(path) : plug.LoadProgramFromFXP(path);
}

TEST(CrossBuildState, WritesTheReferenceBytesAndLoadsThemBitForBit) {
  const char* dataFolder = std::getenv("ZORQ_TEST_DATA");
  ASSERT_NE(dataFolder, nullptr);
  for (const Form& form : kForms) {
    SCOPED_TRACE(form.file);
    const std::string reference = std::string(dataFolder) + "/cross-build/" + form.file;
    TempFolder temp;

    EngineHarness source;
    setFixedState(*source.plug);
    const ByteChunk written = write(*source.plug, form, temp / "written");
    ByteChunk expected;
    ASSERT_TRUE(readWholeFile(reference, &expected)) << reference;
    EXPECT_TRUE(written == expected) << form.file << ": " << written.Size() << " bytes written, "
                                     << expected.Size() << " in the reference";

    // Loaded into a fresh instance, every program it holds gives the source's program
    // chunk. (A bank saved again is not the same bytes: each stored state names the
    // program that was current when it was stored, and a load stores them all anew.)
    EngineHarness target;
    ASSERT_TRUE(target.plug->RestorePreset(kCurrentProgram));
    ASSERT_TRUE(load(*target.plug, form, reference));
    EXPECT_STREQ(target.plug->GetPresetName(kCurrentProgram), kLongName);
    const Form programChunk{"", false, false};
    for (int program = 0; program < source.plug->NPresets(); ++program) {
      if (!form.bank && program != kCurrentProgram) continue;
      ASSERT_TRUE(source.plug->RestorePreset(program) && target.plug->RestorePreset(program));
      EXPECT_TRUE(write(*target.plug, programChunk, "") == write(*source.plug, programChunk, ""))
          << form.file << ", program " << program;
    }
    if (!form.bank) {
      EXPECT_TRUE(write(*target.plug, form, temp / "rewritten") == expected) << form.file;
    }
  }
}

}  // namespace

TEST(ZorqState, RestoresWhatTheRecordHolds) {
  for (const StateCase& c : kCases) {
    SCOPED_TRACE(c.name);
    CountingZorq source;
    source.scramble(1);
    source.GetParam(kInputMode)->Set(c.sourceInputMode);
    source.setSampleFileName("a.wav");
    ByteChunk record;
    ASSERT_TRUE(source.SerializeState(&record));
    ASSERT_EQ(record.Size(), kFlag + 1 + (c.sourceInputMode ? 4 + 5 : 0));
    c.damage(record);

    CountingZorq target;
    target.scramble(2);
    EXPECT_EQ(target.UnserializeState(&record, 0), c.end == kWhole ? record.Size() : c.end);
    for (int i = 0; i < kNumParams; ++i) {
      const IParam& p = *target.GetParam(i);
      ASSERT_TRUE(p.Value() >= p.GetMin() && p.Value() <= p.GetMax()) << i;
      if (i != kFinalVolume || c.end != kWhole) {  // the old record's is clamped
        EXPECT_EQ(p.Value(), source.GetParam(i)->Value()) << i;
      }
    }
    EXPECT_EQ(target.reported, kNumParams);
    EXPECT_EQ(target.sampleFileName(), c.fileName);
  }
}
