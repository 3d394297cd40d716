#pragma once

// The editor's PNG images by base name ("knob" for "resources/img/knob.png"): a
// process-wide table that the plug-in fills with its embedded images at start-up, and
// folders searched for "<base name>.png" when the table has no entry. It belongs to
// the graphics context; every platform layer's OSLoadBitmap reads images through
// here. Any thread; one mutex guards the table, none is held while an image is
// decoded.
#include <cstddef>
#include <string>

class LICE_IBitmap;

namespace BitmapResources {

// Copies the PNG bytes; a later registration of the same name replaces the earlier.
void Register(const std::string& baseName, const void* png, size_t size);
// Searched in the order added, after the table.
void AddFolder(const std::string& folder);
// Empties the table and the folder list.
void Clear();

// "resources/img/knob.png" -> "knob"; empty when the name does not end in ".png" (any
// letter case).
std::string BaseName(const char* name);
// Decodes the image for name (see BaseName); a new bitmap the caller owns, or null
// when the name is refused, unknown, or the PNG cannot be decoded.
LICE_IBitmap* Load(const char* name);

}  // namespace BitmapResources
