#pragma once

// The editor's pictures as the graphics context loads them: by the geometry's resource
// id and base name ("resources/img/<name>.png"), with its frame count.
#include <string>

#include "editor/EditorGeometry.h"
#include "gui/IGraphicsStructs.h"

class IGraphics;

std::string picturePath(const layout::Picture& picture);
// Editor thread (or construction): the picture from the graphics context's cache.
IBitmap loadPicture(IGraphics& graphics, const layout::Picture& picture);
