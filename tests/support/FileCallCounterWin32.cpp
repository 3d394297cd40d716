// The C runtime's file calls cannot be replaced in a Windows program (msvcrt.dll is
// called directly): nothing is counted, and fileCallsAreCounted says so.
#include "support/FileCallCounter.h"

size_t fileCallCount() { return 0; }

void setFileCallObserver(void (*)()) {}

bool fileCallsAreCounted() { return false; }
