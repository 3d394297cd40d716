#pragma once

// The module's description as hosts read it without loading the binary
// (Contents/Resources/moduleinfo.json), written from what a factory reports, so the
// file and the factory cannot disagree. Any thread.
#include <string>

#include "formats/vst3/Vst3Abi.h"

namespace vst3moduleinfo {

// The canonical text of an id as it travels on this platform: the 32 upper-case hex
// digits of its four words, the same on every platform.
std::string uidText(const char* bytes);
// The JSON text for the module `name` of `version` with the factory's classes; empty
// when the factory does not answer.
std::string write(vst3::IPluginFactory* factory, const std::string& name,
                  const std::string& version);

}  // namespace vst3moduleinfo
