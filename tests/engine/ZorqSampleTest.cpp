#include <gtest/gtest.h>

#include "EngineHarness.h"
#include "MutexAtFileCalls.h"
#include "system/Files.h"

namespace {

// Records what the instrument reports, and whether the plug-in mutex was free meanwhile.
class FakeMessageBox : public IMessageBox {
 public:
  explicit FakeMessageBox(ZORQ& plug) : plug_(plug) {}
  int ShowMessageBox(const char* text, const char* caption, int type) override {
    texts.push_back(std::string(caption) + ": " + text);
    lastType = type;
    mutexWasFree = mutexFreeElsewhere(plug_);
    return 1;
  }
  std::vector<std::string> texts;
  int lastType = -1;
  bool mutexWasFree = false;

 private:
  ZORQ& plug_;
};

struct ZorqSample : ::testing::Test {
  ZorqSample() : box(*h.plug) {
    h.plug->setMessageBox(&box);
    h.setParam(kInputMode, 1.0);
    h.setParam(kOutBalance, 1.0);  // outputs = gain x modulator, band bank off
  }

  std::string writeTone(const std::string& name, uint32_t rate, size_t frames) {
    return dir.write(name, wavtest::floatWav(1, rate, wavtest::sine(frames, 441, rate)));
  }

  void load(const std::string& name, bool showError = true) {
    h.plug->setSampleFileName(name.c_str());
    h.plug->loadSampleFile(showError);
  }

  // Processes `frames` frames in awkward host blocks, collecting the left output.
  std::vector<double> run(int frames) {
    std::vector<double> all;
    const int blocks[] = {10, 17, 999, 1};
    for (int k = 0; static_cast<int>(all.size()) < frames; ++k) {
      const int n = std::min(blocks[k % 4], frames - static_cast<int>(all.size()));
      h.process(n);
      EXPECT_TRUE(h.guardsIntact(n));
      EXPECT_EQ(h.out[0], h.out[1]);
      all.insert(all.end(), h.out[0].begin(), h.out[0].begin() + n);
    }
    return all;
  }

  EngineHarness h;
  FakeMessageBox box;
  wavtest::TempDir dir;
};

// The modulator is the sample player's output, slice by slice, whatever the host blocks.
TEST_F(ZorqSample, PlaysFileIntoBothModulatorChannelsForItsLength) {
  const std::string path = writeTone("a.wav", 44100, 3000);
  load(path);
  ASSERT_FALSE(h.plug->sampleLoadFailed());
  Sampler reference;
  reference.init(44100, 44);
  ASSERT_TRUE(reference.openWAV(path.c_str()));
  reference.restart();
  std::vector<double> left(3500), right(3500);
  double* whole[2] = {left.data(), right.data()};
  reference.processSamples(whole, 3500);  // in slices of its 44-frame sub-block

  h.plug->restartSample();
  const std::vector<double> out = run(3500);
  const double gain = out[1000] / left[1000];
  ASSERT_GT(gain, 0.0);
  for (int i = 0; i < 3500; ++i) ASSERT_NEAR(out[i], gain * left[i], 1e-12) << i;
}

// Without a default folder a relative name is not tried from the root folder.
TEST_F(ZorqSample, RelativeNameLoadsFromWAVFolderAndStaysRelative) {
  load(writeTone("loops/a.wav", 22050, 100).substr(1), false);
  EXPECT_TRUE(h.plug->sampleLoadFailed());
  h.plug->setWAVFolder(dir.path().c_str());
  load("loops/a.wav");
  EXPECT_FALSE(h.plug->sampleLoadFailed());
  EXPECT_EQ(h.plug->sampleFileName(), "loops/a.wav");
  EXPECT_EQ(h.plug->sampler().length(), 100u);
}

// A failed restore is silent and closes the player, which leaves "File" mode silent
// whatever the microphones bring; a failed editor load is reported once, without
// holding the lock.
TEST_F(ZorqSample, LoadFailuresCloseThePlayerAndOnlyTheEditorsAreReported) {
  load(writeTone("a.wav", 44100, 100));
  load(dir.path() + "/gone.wav", false);
  EXPECT_TRUE(h.plug->sampleLoadFailed());
  EXPECT_TRUE(box.texts.empty());
  EXPECT_EQ(h.plug->sampler().length(), 0u);
  const auto mic = wavtest::sine(441, 441, 44100, 1.0);
  h.plug->setNoteOn(60, 100);
  h.process(441, {mic, mic});
  EXPECT_EQ(h.rms(0, 0, 441), 0.0);
  load(dir.path() + "/missing.wav");
  ASSERT_EQ(box.texts, std::vector<std::string>{"Error: Cannot open WAV file!"});
  EXPECT_EQ(box.lastType, IMessageBox::kOk);
  EXPECT_TRUE(box.mutexWasFree);
  h.plug->loadSampleFile(true);  // the same name is not tried again
  h.plug->updateWAVPath();       // retried, silently
  EXPECT_EQ(box.texts.size(), 1u);
  EXPECT_TRUE(h.plug->sampleLoadFailed());
}

// At every file call of a load, another thread can take the plug-in mutex: audio
// never waits for the file, whether the editor loads it or a host restores a program
// that names it.
TEST_F(ZorqSample, FileIsReadWithTheMutexReleased) {
  const std::string path = writeTone("a.wav", 44100, 30000);
  h.plug->setSampleFileName(path.c_str());
  AEffect* effect = h.vst->GetAEffect();
  void* bytes = nullptr;
  const VstIntPtr size = effect->dispatcher(effect, effGetChunk, 1, 0, &bytes, 0.0f);
  ASSERT_GT(size, 0);
  const std::vector<char> program(static_cast<char*>(bytes), static_cast<char*>(bytes) + size);

  if (!fileCallsAreCounted()) GTEST_SKIP() << "file calls are not counted here";
  {
    const MutexAtFileCalls mutex(*h.plug);
    h.plug->loadSampleFile(true);
    EXPECT_EQ(h.plug->sampler().length(), 30000u);
    h.plug->setSampleFileName("");
    h.plug->updateWAVPath();
    EXPECT_EQ(
        effect->dispatcher(effect, effSetChunk, 1, size, const_cast<char*>(program.data()), 0.0f),
        1);
  }
  EXPECT_EQ(h.plug->sampleFileName(), path);
  EXPECT_EQ(h.plug->sampler().length(), 30000u);
  EXPECT_GT(MutexAtFileCalls::free, 4);
  EXPECT_EQ(MutexAtFileCalls::held, 0);
}

// An overlapping second note restarts the file unless "Sample Legato" holds it
// back, which only held keys can do; a restart keeps the envelope level.
TEST_F(ZorqSample, SecondNoteRestartRule) {
  load(writeTone("a.wav", 44100, 4000));
  for (const auto& [keyboard, legato, restarts] :
       {std::tuple{true, true, false}, {true, false, true}, {false, true, true}}) {
    h.setParam(kKeyboard, keyboard ? 1.0 : 0.0);
    h.setParam(kSampleLegato, legato ? 1.0 : 0.0);
    const Sampler& sampler = h.plug->sampler();
    h.plug->setNoteOn(60, 100);
    run(1000);
    const double level = sampler.envelopeLevel();
    h.plug->setNoteOn(64, 100);
    EXPECT_EQ(sampler.remaining(), restarts ? 4000u : 3000u) << keyboard << legato;
    EXPECT_EQ(sampler.envelopeLevel(), level) << keyboard << legato;
    h.plug->setNoteOff(60);
    h.plug->setNoteOff(64);
    run(4000);  // past the file's end and the release
  }
}

// The pedal holds the file's envelope until it lifts; "Attack" and "Release" are the
// sample player's times too.
TEST_F(ZorqSample, SustainPedalDelaysTheRelease) {
  load(dir.write("dc.wav", wavtest::floatWav(1, 44100, std::vector<double>(44100, 1.0))));
  h.setParam(kAttack, 0.4);   // 0.32 s
  h.setParam(kRelease, 0.3);  // 0.11 s
  h.plug->setSustain(true);
  h.plug->setNoteOn(60, 100);
  h.plug->setNoteOff(60);
  run(11025);
  EXPECT_LT(h.plug->sampler().envelopeLevel(), 1.0);
  run(4410);
  EXPECT_EQ(h.plug->sampler().envelopeLevel(), 1.0);
  h.plug->setSustain(false);
  run(2205);
  EXPECT_GT(h.plug->sampler().envelopeLevel(), 0.0);
  run(4410);
  EXPECT_EQ(h.plug->sampler().envelopeLevel(), 0.0);
}

TEST(ZorqSimplifyPath, StripsTheDefaultFolder) {
  using Row = std::tuple<const char*, const char*, const char*>;
  for (const auto& [folder, original, simplified] :
       {Row{"/a/b", "/a/b/x.wav", "x.wav"}, Row{"/a/b", "/a/b///loops/x.wav", "loops/x.wav"},
        Row{"/a/b", "/a/bc/x.wav", "c/x.wav"}, Row{"/a/b", "\\a\\b\\x.wav", "x.wav"},
        Row{"/a/b", "/A/b/x.wav", "/A/b/x.wav"}, Row{"", "c:\\w\\x.wav", "c:/w/x.wav"}}) {
    ZORQ plug;
    plug.setWAVFolder(folder);
    std::string path = original;
    plug.simplifyPath(path);
    EXPECT_EQ(path, simplified) << folder << " | " << original;
  }
}

// Names outside ASCII work wherever the instrument touches a file: program and bank
// files, the sample player's WAV file, and the per-user INI in a home folder with such
// a name (on Windows every one goes through the wide-character calls).

const char kFolder[] = u8"Ünïcode 声";
const char kProgram[] = u8"Überstimme — 音.fxp";
const char kBank[] = u8"Bänke 音.fxb";
const char kSample[] = u8"Stimme 声.wav";

class NonAsciiPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(makeFolders(folder_));
    setHomeFolder(folder_);
  }
  void TearDown() override { setHomeFolder(savedHome_); }

  const std::string savedHome_ = currentHomeFolder();
  wavtest::TempDir root_;
  const std::string folder_ = root_ / kFolder;
};

TEST_F(NonAsciiPaths, IniProgramsBanksAndSamplesTakeAnyName) {
  EngineHarness source;
  Configuration& config = source.plug->configuration();
  ASSERT_NE(config.iniPath().find(kFolder), std::string::npos) << config.iniPath();
  EXPECT_TRUE(fileExists(config.iniPath()));
  config.storeProgramPath(folder_.c_str());
  EXPECT_EQ(config.readFileSettings().programPath, folder_);

  source.setParam(kFinalVolume, 0.8);
  const std::string program = folder_ + "/" + kProgram, bank = folder_ + "/" + kBank;
  ASSERT_TRUE(source.plug->SaveProgramAsFXP(program));
  ASSERT_TRUE(source.plug->SaveBankAsFXB(bank));
  EngineHarness fromProgram, fromBank;
  ASSERT_TRUE(fromProgram.plug->LoadProgramFromFXP(program));
  EXPECT_DOUBLE_EQ(fromProgram.plug->GetParam(kFinalVolume)->Value(), 0.8);
  EXPECT_TRUE(fromBank.plug->LoadBankFromFXB(bank));

  const std::string sample =
      root_.write(std::string(kFolder) + "/" + kSample,
                  wavtest::floatWav(1, 44100, wavtest::sine(100, 441, 44100)));
  source.plug->setSampleFileName(sample.c_str());
  source.plug->loadSampleFile(false);
  EXPECT_FALSE(source.plug->sampleLoadFailed());
  EXPECT_EQ(source.plug->sampler().length(), 100u);
}

}  // namespace
