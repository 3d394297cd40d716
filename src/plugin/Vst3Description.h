#pragma once

// What the VST 3 module says of itself: vendor, web site, the one class with its id
// (fixed forever: hosts store it in projects), name, sub-categories and version. The
// plug-in file's factory and the module's moduleinfo.json both report it.
#include "formats/vst3/Vst3Factory.h"

const Vst3ClassDescription& zorqVst3Description();
