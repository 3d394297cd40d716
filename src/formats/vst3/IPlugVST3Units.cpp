// Units and programs: one unit, the root, holds the program parameter and the list of
// the plug-in's programs, so hosts show their names and switch programs through it.
// A program without a name is shown by its number. UI thread; the plug-in mutex is
// held while a name is read.
#include <string>

#include "formats/vst3/IPlugVST3.h"
#include "formats/vst3/Vst3Text.h"

vst3::tresult IPlugVST3::getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info) {
  if (unitIndex != 0) return vst3::kInvalidArgument;
  info = vst3::UnitInfo{};
  info.id = kProgramUnitId;
  info.parentUnitId = vst3::kNoParentUnitId;
  vst3text::toUtf16("Root", info.name, 128);
  info.programListId = kProgramListId;
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3::getProgramListInfo(vst3::int32 listIndex, vst3::ProgramListInfo& info) {
  if (listIndex != 0) return vst3::kInvalidArgument;
  info = vst3::ProgramListInfo{};
  info.id = kProgramListId;
  vst3text::toUtf16("Programs", info.name, 128);
  info.programCount = plug_->NPresets();
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3::getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                        vst3::String128 name) {
  if (listId != kProgramListId || programIndex < 0 || programIndex >= plug_->NPresets() || !name)
    return vst3::kInvalidArgument;
  IMutexLock lock(plug_->Mutex());
  vst3text::toUtf16(programName(programIndex).c_str(), name, 128);
  return vst3::kResultOk;
}

std::string IPlugVST3::programName(int program) const {
  const char* stored = plug_->GetPresetName(program);
  return stored && stored[0] ? stored : std::to_string(program + 1);
}
