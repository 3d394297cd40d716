#pragma once

#include <memory>
#include <string>

#include "hosting/PluginHost.h"

// The plug-in in the file, hosted by the class of its format: an LV2 bundle folder
// (a name ending in ".lv2"), a VST 3 bundle folder (".vst3"), a CLAP file (".clap"),
// else a VST 2 shared object.
// HostError when it cannot be loaded or opened. Windows builds host no LV2.
std::unique_ptr<PluginHost> openPluginHost(const std::string& path, const HostSetup& setup = {});

// A bundle folder of a format openPluginHost knows (".lv2", ".vst3").
bool isPluginBundle(const std::string& path);
