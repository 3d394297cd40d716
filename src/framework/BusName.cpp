#include "framework/BusName.h"

std::string busName(const char* firstLabel, const char* lastLabel) {
  if (!firstLabel) firstLabel = "";
  if (!lastLabel) lastLabel = firstLabel;
  size_t common = 0;
  while (firstLabel[common] && firstLabel[common] == lastLabel[common]) ++common;
  std::string name(firstLabel, common);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}
