// Which bank a new instance of ZORQ.so starts with: the startup bank the user's INI
// names, else ZORQ-resources/init.fxb beside the plug-in file, else the factory bank
// built into it. A host's saved chunk then replaces whichever it was, exactly.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempFolder.h"
#include "zorq-bank/BankBuilder.h"
#include "hosting/Vst2PluginHost.h"
#include "support/UserIni.h"

namespace {

const std::string kFactorySource = ZORQ_SOURCE_DIR "/resources/factory-bank.txt";

enum class File { kNone, kValid, kTruncated, kNotABank };

struct Lookup {
  const char* name;
  File startup;          // the bank the INI names
  File beside;           // ZORQ-resources/init.fxb
  const char* expected;  // the label of the bank found, or null for the factory bank
  friend void PrintTo(const Lookup& lookup, std::ostream* out) { *out << lookup.name; }
};

// A bank of the user's whose programs are all named after `label`.
void placeBank(File kind, const std::string& label, const std::string& path) {
  if (kind == File::kNone) return;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  if (kind == File::kNotABank) {
    writeText(path, "CcnK but nothing a bank holds");
    return;
  }
  std::string source;
  for (int i = 0; i < 64; ++i)
    source += "program " + label + " " + std::to_string(i) + "\npurpose p\n";
  BankBuilder::build(BankSource::parse(source, label), label, path);
  // Cut in the middle of the preset list: the first programs read, the rest missing.
  if (kind == File::kTruncated)
    std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
}

class BankLookup : public ::testing::TestWithParam<Lookup> {};

TEST_P(BankLookup, StartupBankThenInitBesideThePluginThenTheFactoryBank) {
  const Lookup& lookup = GetParam();
  TempFolder temp;
  const std::string plugin = temp / "plug-ins/ZORQ.so";
  std::filesystem::create_directories(temp / "plug-ins");
  std::filesystem::copy_file(ZORQ_PLUGIN, plugin);
  placeBank(lookup.startup, "Startup", temp / "banks/startup.fxb");
  placeBank(lookup.beside, "Beside", temp / "plug-ins/ZORQ-resources/init.fxb");
  writeUserIni(lookup.startup == File::kNone
                   ? ""
                   : "[Startup Bank]\nFile=" + temp / "banks/startup.fxb" + "\n");

  Vst2PluginHost host(plugin);
  const std::vector<BankProgram> factory = BankSource::read(kFactorySource);
  for (int i : {0, 1, 63})
    EXPECT_EQ(host.programName(i), lookup.expected ? lookup.expected + (" " + std::to_string(i))
                                                   : factory[size_t(i)].name);
  EXPECT_EQ(host.currentProgram(), 0);
  writeUserIni("");
}

INSTANTIATE_TEST_SUITE_P(
    Files, BankLookup,
    ::testing::Values(Lookup{"NoUserBank", File::kNone, File::kNone, nullptr},
                      Lookup{"InitBeside", File::kNone, File::kValid, "Beside"},
                      Lookup{"StartupWinsOverInit", File::kValid, File::kValid, "Startup"},
                      Lookup{"DamagedStartupFallsToInit", File::kTruncated, File::kValid, "Beside"},
                      Lookup{"TruncatedInitRefused", File::kNone, File::kTruncated, nullptr},
                      Lookup{"BothDamaged", File::kNotABank, File::kTruncated, nullptr}),
    [](const ::testing::TestParamInfo<Lookup>& paramInfo) {
      return std::string(paramInfo.param.name);
    });

// Chunks a host saved from ZORQ 1.1.3 before it had a factory bank (64 programs named
// "Empty" at the defaults) come back byte for byte, and so does every program.
TEST(SavedChunks, ChunksOfTheOldEmptyBankRestoreExactly) {
  for (const bool bank : {true, false}) {
    const std::string text =
        readText(ZORQ_SOURCE_DIR "/tests/tools/data/" +
                 std::string(bank ? "empty-bank.chunk" : "empty-program.chunk"));
    const std::vector<uint8_t> saved(text.begin(), text.end());
    ASSERT_FALSE(saved.empty());
    Vst2PluginHost host(ZORQ_PLUGIN);
    host.start(44100.0, 512);
    ASSERT_TRUE(host.setChunk(bank, saved));
    EXPECT_EQ(host.chunk(bank), saved) << (bank ? "bank" : "program");
    EXPECT_EQ(host.currentProgramName(), "Empty");
    for (int i = 0; bank && i < 64; ++i) EXPECT_EQ(host.programName(i), "Empty") << i;
  }
}

}  // namespace
