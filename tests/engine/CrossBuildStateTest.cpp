// One fixed, non-default instrument state as a program chunk, a bank chunk, a program
// file and a bank file, committed as bytes. The 64-bit and the 32-bit build both must
// write exactly these bytes, and load each into a fresh instance whose programs then
// give the same program chunks as the source's: what one build saves, the other loads
// bit for bit. Regenerate after an intended format or version change (in the 64-bit
// build) with
//   ZORQ_REGENERATE_GOLDEN=1 engine_tests --gtest_filter='*CrossBuild*'
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "EngineHarness.h"
#include "framework/FileBytes.h"
#include "support/TempFolder.h"

namespace {

constexpr int kCurrentProgram = 3;
constexpr char kLongName[] = "Cross-build program 28 chars";

// Every program gets its own values inside each parameter's range (whole numbers where
// the parameter steps), made with exact arithmetic only, and a name; the current one
// fills a file's 28-byte name field, longer than a host's 24-character buffer.
void setFixedState(ZORQ& plug) {
  for (int program = plug.NPresets() - 1; program >= 0; --program) {
    ASSERT_TRUE(plug.RestorePreset(program));
    for (int i = 0; i < plug.NParams(); ++i) {
      IParam* param = plug.GetParam(i);
      const double step = ((i * 5 + program * 3) % 17) / 16.0;
      double value = param->GetMin() + (param->GetMax() - param->GetMin()) * step;
      if (param->Type() != IParam::kTypeDouble) value = std::floor(value);
      param->Set(value);
    }
    plug.OnParamReset();
    const std::string name =
        program == kCurrentProgram ? kLongName : "Program " + std::to_string(program);
    plug.ModifyCurrentPreset(name.c_str());
  }
  ASSERT_TRUE(plug.RestorePreset(kCurrentProgram));
}

struct Form {
  const char* file;
  bool bank;
  bool asFile;  // a program or bank file, else the chunk a host stores
};

void PrintTo(const Form& form, std::ostream* os) { *os << form.file; }

ByteChunk write(ZORQ& plug, const Form& form, const std::string& scratch) {
  ByteChunk bytes;
  if (!form.asFile) {
    EXPECT_TRUE(form.bank ? plug.serializeBankChunk(&bytes) : plug.serializeProgramChunk(&bytes));
    return bytes;
  }
  EXPECT_TRUE(form.bank ? plug.SaveBankAsFXB(scratch) : plug.SaveProgramAsFXP(scratch));
  EXPECT_TRUE(readWholeFile(scratch, &bytes));
  return bytes;
}

// Into the current program's slot (a program), or over every program (a bank).
bool load(ZORQ& plug, const Form& form, const std::string& path) {
  ByteChunk bytes;
  if (!readWholeFile(path, &bytes)) return false;
  if (!form.asFile)
    return (form.bank ? plug.unserializeBankChunk(&bytes) : plug.unserializeProgramChunk(&bytes)) ==
           bytes.Size();
  return form.bank ? plug.LoadBankFromFXB(path) : plug.LoadProgramFromFXP(path);
}

class CrossBuildState : public ::testing::TestWithParam<Form> {};

TEST_P(CrossBuildState, WritesTheReferenceBytesAndLoadsThemBitForBit) {
  const Form& form = GetParam();
  const char* dataFolder = std::getenv("ZORQ_TEST_DATA");
  ASSERT_NE(dataFolder, nullptr);
  const std::string reference = std::string(dataFolder) + "/cross-build/" + form.file;
  TempFolder temp;

  EngineHarness source;
  setFixedState(*source.plug);
  const ByteChunk written = write(*source.plug, form, temp / "written");
  if (std::getenv("ZORQ_REGENERATE_GOLDEN")) {
    ASSERT_TRUE(writeFileAtomically(reference, written));
  }
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

INSTANTIATE_TEST_SUITE_P(Forms, CrossBuildState,
                         ::testing::Values(Form{"program.chunk", false, false},
                                           Form{"bank.chunk", true, false},
                                           Form{"program.fxp", false, true},
                                           Form{"bank.fxb", true, true}),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           name[name.find('.')] = '_';
                           return name;
                         });

}  // namespace
