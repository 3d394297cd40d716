#pragma once

// The name every format gives a bus of the plug-in's channels: what the labels of its
// channels have in common, without trailing blanks ("MIC Left " and "MIC Right " make
// "MIC"). One channel is named by its label. Any thread.
#include <string>

std::string busName(const char* firstLabel, const char* lastLabel);
