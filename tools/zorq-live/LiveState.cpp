#include "zorq-live/LiveState.h"

#include "framework/FileBytes.h"
#include "framework/FxFormat.h"
#include "framework/IPlugBase.h"

namespace {
// f runs under the plug-in mutex inside a host call; the file work the call leaves
// (a sample file to read) runs after it, with the mutex released.
template <typename F>
bool asHostCall(IPlugBase& plug, F f) {
  bool ok = false, outermost = false;
  {
    IMutexLock lock(plug.Mutex());
    IPlugBase::HostCall call(plug);
    ok = f();
    outermost = call.Outermost();
  }
  if (outermost) plug.OnHostCallReturned();
  return ok;
}
}  // namespace

namespace LiveState {

bool load(IPlugBase& plug, const std::string& path, std::string* error) {
  ByteChunk file;
  if (!readWholeFile(path, &file)) {
    *error = "cannot read the state file " + path;
    return false;
  }
  const fx::BankHeader header = fx::readBankHeader(file);
  const bool ok = asHostCall(plug, [&] {
    return plug.LoadBankFromBytes(file) && plug.RestorePreset(header.currentProgram);
  });
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
  return asHostCall(plug, [&] { return plug.RestorePreset(program); });
}

bool loadProgramFile(IPlugBase& plug, const std::string& path, std::string* error) {
  ByteChunk file;
  if (readWholeFile(path, &file) &&
      asHostCall(plug, [&] { return plug.LoadProgramFromBytes(file); }))
    return true;
  *error = "cannot load the program file " + path;
  return false;
}

}  // namespace LiveState
