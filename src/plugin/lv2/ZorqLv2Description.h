#pragma once

// ZORQ as an LV2 plug-in: its URIs, its bundle's file names, its audio ports (the
// voice pair, the carrier pair as an optional side chain, the output pair) and the
// port symbol of each of its 107 parameters. The symbols were derived once from the
// parameter names and are fixed here: sessions and presets address ports by symbol,
// so a renamed parameter keeps its symbol (tests/formats/lv2 pins the table).
#include "formats/lv2/Lv2Description.h"

// The description without an editor (the plug-in's side and the Turtle writer).
Lv2Description zorqLv2Description();
