#include "shell/MTSClient.h"

namespace mts {
const char* const kMasterLibraryPath = "/usr/local/lib/libMTS.so";
}  // namespace mts
