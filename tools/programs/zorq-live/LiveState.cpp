#include "zorq-live/LiveState.h"

#include "framework/FileBytes.h"
#include "framework/FxFormat.h"
#include "framework/IPlugBase.h"

namespace LiveState {

bool load(IPlugBase& plug, const std::string& path, std::string* error) {
  ByteChunk file;
  if (!readWholeFile(path, &file)) {
    *error = "cannot read the state file " + path;
    return false;
  }
  const fx::BankHeader header = fx::readBankHeader(file);
  const bool ok = plug.RunHostCall(
      [&] { return plug.LoadBankFromBytes(file) && plug.RestorePreset(header.currentProgram); });
  if (!ok) *error = "the state file " + path + " is not a complete ZORQ bank";
  return ok;
}

bool save(IPlugBase& plug, const std::string& path, std::string* error) {
  plug.ModifyCurrentPreset(nullptr);
  if (plug.SaveBankAsFXB(path)) return true;
  *error = "cannot write the state file " + path;
  return false;
}

bool selectProgram(IPlugBase& plug, int program) {
  return plug.RunHostCall([&] { return plug.RestorePreset(program); });
}

bool loadProgramFile(IPlugBase& plug, const std::string& path, std::string* error) {
  ByteChunk file;
  if (readWholeFile(path, &file) &&
      plug.RunHostCall([&] { return plug.LoadProgramFromBytes(file); }))
    return true;
  *error = "cannot load the program file " + path;
  return false;
}

}  // namespace LiveState
