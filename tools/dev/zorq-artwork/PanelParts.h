#pragma once

// Pieces of the background that the tweak overlay reuses.

#include "Painter.h"

// The dark blue base with its brushing, over `r`.
void drawBase(const Painter& p, const Rect& r);
// A raised plate of lighter metal over `r`.
void drawPlate(const Painter& p, const Rect& r, unsigned seed);
// The tick scale around a knob of the given frame placed at (x, y).
void drawMainKnobScale(const Painter& p, double x, double y);
void drawTrimpotScale(const Painter& p, double x, double y);
// A hot-spot button drawn on the art: a face with a legend.
void drawLegendButton(const Painter& p, const Rect& r, const char* legend);
// The "TWEAK" caption beside the tweak switch with its lamp.
void drawTweakCaption(const Painter& p, bool lit);
