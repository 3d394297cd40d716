// Instruments made in these tests start from the factory bank, as the built plug-ins
// they are compared with do.
#include "factory/FactoryBank.h"

namespace {
const bool kFactoryBankRegistered = (registerFactoryBank(), true);
}  // namespace
