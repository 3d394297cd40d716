#pragma once

// The editor's pictures: each is a strip of equal frames stacked vertically, drawn
// frame by frame by a function of its own.

#include "Fonts.h"
#include "Painter.h"
#include "PngFile.h"

#include <string>
#include <vector>

struct Artwork {
  const char* name;  // base name of the PNG file
  int frameWidth;
  int frameHeight;
  int frames;
  // Draws frame `index` (0-based) into a frame-sized area at the origin.
  void (*draw)(const Painter& painter, int index, int frames);
};

// Every picture of the editor, in a fixed order.
const std::vector<Artwork>& allArtwork();

// Renders all frames of a picture into one strip.
RgbaImage renderArtwork(const Artwork& artwork, const Fonts& fonts);

// Frame drawers, one file per family.
void drawKnob(const Painter& painter, int index, int frames);
void drawKnobBig(const Painter& painter, int index, int frames);
void drawTrimpot(const Painter& painter, int index, int frames);
void drawSwitchV(const Painter& painter, int index, int frames);
void drawSwitchH(const Painter& painter, int index, int frames);
void drawMeter(const Painter& painter, int index, int frames);
void drawLearn(const Painter& painter, int index, int frames);
void drawUnlearn(const Painter& painter, int index, int frames);
void drawPrev(const Painter& painter, int index, int frames);
void drawNext(const Painter& painter, int index, int frames);
void drawBadge(const Painter& painter, int index, int frames);
void drawPanel(const Painter& painter, int index, int frames);
void drawTweakOverlay(const Painter& painter, int index, int frames);
