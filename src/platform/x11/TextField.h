#pragma once

// The in-place text field the editor opens over a control: one line of text with a
// caret and a selection, the character filter and length limit of its parameter,
// keys and mouse positions as editing operations, and its picture drawn into a
// bitmap of the field's size. Window-system free: the platform layer feeds it keys,
// clicks and pasted text, and composites its picture over the editor's raster.
#include <string>

#include "framework/IPlugGUI.h"
#include "gui/IGraphicsStructs.h"

class LICE_IBitmap;
class RasterFont;

class TextField {
 public:
  // allowed: the characters that may be typed ("" for any); maxLength: in characters
  // (0 for none). The initial text is kept as it is and selected whole.
  TextField(const std::string& text, const std::string& allowed, int maxLength);

  enum EAction { kNone, kEdited, kApply, kCancel };
  // Return applies, Escape cancels; arrows, Home and End move the caret (Shift
  // extends the selection); Backspace and Delete remove; Control+A selects all;
  // other characters are typed through the filter. Control+V is left to the caller
  // (it pastes through InsertText).
  EAction Key(const IKeyPress& key);
  // Replaces the selection with the characters of utf8 that pass the filter, as many
  // as the length limit leaves room for. True when the text changed.
  bool InsertText(const std::string& utf8);
  // Caret to the character boundary nearest x (field pixels); extend keeps the anchor.
  void ClickAt(int x, bool extend, RasterFont* font, int fieldWidth, IText::EAlign align);

  std::string Text() const;
  int Caret() const { return caret_; }
  int Anchor() const { return anchor_; }
  bool HasSelection() const { return caret_ != anchor_; }

  // Draws the field into dest (its size is the field's): background, selection,
  // text in the given alignment (scrolled so the caret stays visible) and, when
  // caretOn, the caret.
  void Draw(LICE_IBitmap* dest, RasterFont* font, const IText& style, bool caretOn) const;

 private:
  void eraseSelection();
  void moveCaret(int to, bool extend);
  // Left edge of the text in field pixels.
  int textLeft(RasterFont* font, int fieldWidth, IText::EAlign align) const;
  int widthOf(RasterFont* font, int from, int to) const;

  std::u32string text_;
  std::u32string allowed_;
  int maxLength_;
  int caret_ = 0;
  int anchor_ = 0;
};
