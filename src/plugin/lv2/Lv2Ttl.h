#pragma once

// The bundle's Turtle files, written from the plug-in itself at build time: the
// manifest, the plug-in's description (ports from the parameter table: ranges,
// defaults, units, integer, toggle and enumeration properties with their scale
// points) and its programs as presets (each one's port values). Whatever the
// parameter table and the built-in programs say is what the bundle publishes.
#include <string>

#include "formats/lv2/Lv2Description.h"

class IPlugBase;

namespace Lv2Ttl {
std::string manifest(const Lv2Description& description, const IPlugBase& plug);
std::string plugin(const Lv2Description& description, const IPlugBase& plug);
// Restores every program of `plug` in turn to read its values.
std::string presets(const Lv2Description& description, IPlugBase& plug);
// A preset's URI (1-based number).
std::string presetUri(const Lv2Description& description, int number);
// Writes the three files into `folder`; false when one cannot be written.
bool writeBundle(const std::string& folder, const Lv2Description& description, IPlugBase& plug);
// A number as a Turtle literal that reads back as the same float.
std::string number(double value);
}  // namespace Lv2Ttl
