#pragma once

// The editor's PNG images by base name ("knob" for "resources/img/knob.png"): a
// process-wide table that the plug-in fills with its embedded images at start-up,
// a skin folder whose pictures replace registered ones when they fit, and folders
// searched for "<base name>.png" when the table has no entry. It belongs to the
// graphics context; every platform layer's OSLoadBitmap reads images through here.
// Any thread; one mutex guards the table, none is held while a file is read or an
// image decoded.
#include <cstddef>
#include <string>

class LICE_IBitmap;

namespace BitmapResources {

// Copies the PNG bytes; a later registration of the same name replaces the earlier.
void Register(const std::string& baseName, const void* png, size_t size);
// "<folder>/<base name>.png" replaces a registered image when it fits it (see
// SkinPicture.h); one that does not is not used, and one line on standard error
// names it and says why, once per file. Nothing is read here: each picture is read
// when it is loaded. An empty folder turns skins off.
void SetSkinFolder(const std::string& folder);
// Searched in the order added, after the table.
void AddFolder(const std::string& folder);
// Empties the table, the skin folder and the folder list.
void Clear();

// "resources/img/knob.png" -> "knob"; empty when the name does not end in ".png" (any
// letter case).
std::string BaseName(const char* name);
// Decodes the image for name (see BaseName): the skin's picture when it fits, else
// the registered one, else the first found in the folders. A new bitmap the caller
// owns, or null when the name is refused, unknown, or the PNG cannot be decoded.
// Reads files: never on the audio thread.
LICE_IBitmap* Load(const char* name);

}  // namespace BitmapResources
