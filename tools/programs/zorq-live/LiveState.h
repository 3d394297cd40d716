#pragma once

// The files zorq-live reads and writes for the instrument, on the main thread: the
// state file (a bank file whose header also carries the current program), a program
// to start on and a program file to load. Loads run as a host call, so a sample file
// that the restored programs name is read once the plug-in mutex is free again.
#include <string>

class IPlugBase;

namespace LiveState {
// Restores every program and the current one from a bank file. False, with *error
// set, when the file cannot be read or is not a bank of this plug-in; the plug-in is
// then left as the failed load left it.
bool load(IPlugBase& plug, const std::string& path, std::string* error);
// The live edits go into the current program, then the whole bank (with the current
// program's number) is written atomically: the old file stays whole until the new one
// is complete. False, with *error set, when it cannot be written.
bool save(IPlugBase& plug, const std::string& path, std::string* error);
// Restores program `program` (0-based); false outside the bank.
bool selectProgram(IPlugBase& plug, int program);
// Loads a program file into the current program; false, with *error set, when it
// cannot be read or is not a program of this plug-in.
bool loadProgramFile(IPlugBase& plug, const std::string& path, std::string* error);
}  // namespace LiveState
