#include "editor/EditorCommands.h"
