#include "shell/MTSClient.h"

namespace mts {
// Where the tuning master's installer puts its library for every host on Windows.
const char* const kMasterLibraryPath = "C:\\Program Files\\Common Files\\MTS-ESP\\LIBMTS.dll";
}  // namespace mts
