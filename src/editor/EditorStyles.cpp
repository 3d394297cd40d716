#include "editor/EditorStyles.h"

namespace {
IText style(const char* font, int size, IColor color, IText::EAlign align, int quality) {
  return IText(size, &color, font, IText::kStyleNormal, align, 0, quality);
}
}  // namespace

namespace EditorStyles {

IText program() { return style("Arial", 15, IColor(160, 255, 255, 255), IText::kAlignCenter, 0); }
IText menuValue() { return style("Arial", 12, IColor(192, 255, 255, 255), IText::kAlignCenter, 3); }
IText wavError() { return style("Arial", 12, IColor(192, 255, 32, 32), IText::kAlignCenter, 3); }
IText knobValue() { return style("Arial", 11, IColor(160, 255, 255, 192), IText::kAlignCenter, 3); }
IText knobValueAtZero() {
  return style("Arial", 11, IColor(160, 128, 128, 96), IText::kAlignCenter, 3);
}
IText version() { return style("Helvetica", 9, IColor(128, 255, 255, 255), IText::kAlignFar, 0); }

}  // namespace EditorStyles
