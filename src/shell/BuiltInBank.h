// The bank a new instance starts with when neither the user's startup bank nor an
// init.fxb of the user's beside the plug-in loads: a chunk-form bank file image built
// into the plug-in (src/factory). The plug-in's entry point registers it once per
// process before it creates an instance; an instrument created without one (tests,
// the tool that builds the bank) keeps the presets the plug-in base gives it.
#pragma once

#include <cstddef>

struct BankImage {
  const unsigned char* bytes = nullptr;
  size_t size = 0;
};

// Any thread. The image must outlive every instance; null forgets it.
void setBuiltInBank(const BankImage* image);
// Any thread; null when none is registered.
const BankImage* builtInBank();
