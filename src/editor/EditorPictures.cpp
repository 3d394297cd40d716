#include "editor/EditorPictures.h"

#include "gui/IGraphics.h"

std::string picturePath(const layout::Picture& picture) {
  return std::string("resources/img/") + picture.name + ".png";
}

IBitmap loadPicture(IGraphics& graphics, const layout::Picture& picture) {
  return graphics.LoadIBitmap(picture.id, picturePath(picture).c_str(), picture.frames);
}
