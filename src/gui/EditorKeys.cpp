#include "gui/EditorKeys.h"

int EditorKeyCode(const IKeyPress& key) {
  switch (key.key) {
    case IKeyPress::kUp: return 1;
    case IKeyPress::kDown: return 2;
    case IKeyPress::kLeft: return 3;
    case IKeyPress::kRight: return 4;
    case IKeyPress::kNoNamedKey: break;
    default: return -1;
  }
  const uint32_t c = key.character;
  if (c == ' ') return 0;
  if (c >= '0' && c <= '9') return 5 + int(c - '0');
  if (c >= 'A' && c <= 'Z') return 15 + int(c - 'A');
  if (c >= 'a' && c <= 'z') return 15 + int(c - 'a');
  return -1;
}
