#include "framework/IPreset.h"

void IPreset::setName(const char* text) {
  name.assign(text ? text : "", text ? strnlen(text, kMaxNameLength) : 0);
}
