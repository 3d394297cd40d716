#pragma once

// The editor's PNG images, compiled into the library from resources/img at build time
// (cmake/EmbedFiles.cmake writes them into a generated source file), so the plug-in
// stays one file to install.
#include <cstddef>
#include <string>

struct EmbeddedBitmap {
  const char* name;  // base name: "knob" for resources/img/knob.png
  const unsigned char* bytes;
  size_t size;
};

// The embedded images, in name order.
const EmbeddedBitmap* embeddedBitmaps(size_t* count);

// Registers every embedded image with BitmapResources by its base name, and skinFolder
// (when given) as the skin folder: a "<name>.png" there that fits the embedded
// picture is drawn in its place, so a folder of pictures beside the plug-in reskins
// it; one that does not fit is reported and not used. Registering again replaces the
// entries and the skin folder. Reads no file (pictures are read when the editor
// loads them). Any thread (BitmapResources has its own lock).
void registerEditorBitmaps(const std::string& skinFolder = "");
