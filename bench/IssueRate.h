#pragma once

#include "dsp/SimdKernel.h"

// The most double-precision operations per cycle this processor issues with a kernel's
// instructions: independent additions and multiplies, half each, on registers of the
// kernel's width, timed on this thread's CPU clock against the core clock `coreGHz` (the
// caller's coreClockGHz). It shows what the machine does rather than what its family's
// data sheet says (a core may issue 512-bit operations whole or as two halves). 0 where it
// cannot be measured: an instruction set this processor lacks, or a 32-bit build, whose
// eight vector registers hold too few independent chains to fill the units.
double issueRateOpsPerCycle(SimdKernel kernel, double coreGHz);
