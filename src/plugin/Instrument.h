#pragma once

// The instrument as every plug-in file hosts it: a ZORQ with its editor on the window
// system's platform layer and every program slot filled. The editor's images and the
// factory bank new instances start with are registered on the first call (a
// "ZORQ-skin" folder of PNGs beside the plug-in file replaces images by name). Any
// thread; calls are serialised across instances.
#include <memory>

class ZORQ;

std::unique_ptr<ZORQ> createInstrument();
