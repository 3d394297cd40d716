#pragma once

// The editor's key codes for keys that reach its window: 0 for the space bar, 1 to 4
// for the up, down, left and right arrows, 5..14 for "0".."9", 15..40 for "A".."Z"
// and "a".."z" alike; -1 for every other key, which goes back to the host.
#include "framework/IPlugGUI.h"

int EditorKeyCode(const IKeyPress& key);
