// The small editor of standard controls the platform suites open in a real window,
// on the platform layer under test, attached to a GuiPlug on the VST 2 adapter.
// Parameters of GuiPlug: 0 Gain (knob), 1 Mode (menu on right click), 3 Freq (text
// field on right click). With tooltips, each knob has its parameter's name.
#pragma once

#include <memory>

#include "gui/GuiTestSupport.h"
#include "gui/ITextControl.h"

// Pixels of a window's screenshot (opaque) that differ from the raster drawn at scale.
inline int PixelsDifferingFromRaster(const LICE_IBitmap* shot, const LICE_IBitmap* raster,
                                     int scale) {
  int differences = 0;
  for (int y = 0; y < shot->getHeight(); ++y)
    for (int x = 0; x < shot->getWidth(); ++x) {
      const LICE_pixel r = LICE_RowPointer(raster, y / scale)[x / scale];
      differences += LICE_RowPointer(shot, y)[x] !=
                     LICE_PackPixel(255, LICE_PixelR(r), LICE_PixelG(r), LICE_PixelB(r));
    }
  return differences;
}

template <typename Platform>
struct StandardEditor : BasicTestEditor<Platform> {
  static constexpr int kWidth = 200, kHeight = 100;

  explicit StandardEditor(bool tooltips = false) : BasicTestEditor<Platform>(kWidth, kHeight) {
    IGraphics& g = *this->graphics;
    const IColor panel(255, 40, 60, 90);
    g.AttachPanelBackground(&panel);
    // The frames outlive every editor (a window may draw until its editor goes).
    static const std::unique_ptr<LICE_MemBitmap> knobFrames = numberedFrames(32, 32, 65);
    IBitmap knob(knobFrames.get(), 32, 32 * 65, 65);
    for (int param : {0, 1, 3}) {
      auto* control = new IKnobMultiControl(&this->plug, 20 + 40 * param, 20, param, &knob);
      control->DisablePrompt(param == 0);
      g.AttachControl(control);
    }
    IText style(14, &COLOR_WHITE, "Arial");
    g.AttachControl(new ITextControl(&this->plug, IRECT(10, 70, 190, 90), &style, "ZORQ editor"));
    if (tooltips) {
      g.HandleMouseOver(true);
      g.EnableTooltips(true);
      g.AssignParamNameToolTips();
    }
    this->attach();
  }
  IParam* param(int i) { return this->plug.GetParam(i); }
};
