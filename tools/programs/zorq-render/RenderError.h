#pragma once

#include "hosting/HostError.h"

// The failures of the offline host: the message is the single line the command prints
// before exiting. RenderError: an input, an output or the plug-in failed (exit status 1);
// UsageError: the command line asks for something this plug-in or these files cannot
// give (exit status 2). The hosting library raises the same two.
using RenderError = HostError;
