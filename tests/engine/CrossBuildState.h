// One fixed, non-default instrument state, and the four forms in which it is committed
// as bytes under data/cross-build (a program chunk, a bank chunk, a program file, a bank
// file): the cross-build test compares with them, and only `make golden`
// (tests/golden) writes them again.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/ZORQ.h"
#include "framework/FileBytes.h"

namespace crossbuild {

constexpr int kCurrentProgram = 3;
constexpr char kLongName[] = "Cross-build program 28 chars";

// Every program gets its own values inside each parameter's range (whole numbers where
// the parameter steps), made with exact arithmetic only, and a name; the current one
// fills a file's 28-byte name field, longer than a host's 24-character buffer.
inline void setFixedState(ZORQ& plug) {
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

// The state in the form's bytes (a file form goes through the file `scratch`).
inline ByteChunk write(ZORQ& plug, const Form& form, const std::string& scratch) {
  ByteChunk bytes;
  if (!form.asFile) {
    EXPECT_TRUE(form.bank ? plug.serializeBankChunk(&bytes) : plug.serializeProgramChunk(&bytes));
    return bytes;
  }
  EXPECT_TRUE(form.bank ? plug.SaveBankAsFXB(scratch) : plug.SaveProgramAsFXP(scratch));
  EXPECT_TRUE(readWholeFile(scratch, &bytes));
  return bytes;
}

inline const Form kForms[] = {{"program.chunk", false, false},
                              {"bank.chunk", true, false},
                              {"program.fxp", false, true},
                              {"bank.fxb", true, true}};

}  // namespace crossbuild
