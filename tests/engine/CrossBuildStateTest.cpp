// The fixed instrument state of CrossBuildState.h, written by the 64-bit and the 32-bit
// build alike: both must write exactly the committed bytes, and load each into a fresh
// instance whose programs then give the same program chunks as the source's: what one
// build saves, the other loads bit for bit. After an intended format or version change,
// `make golden` (in the 64-bit build) writes the references again.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "CrossBuildState.h"
#include "EngineHarness.h"
#include "framework/FileBytes.h"
#include "support/TempFolder.h"

namespace {
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
