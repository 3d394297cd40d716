#include "platform/x11/TextField.h"

#include <algorithm>

#include "raster/LICE.h"
#include "raster/RasterFont.h"
#include "raster/Utf8.h"

namespace {
std::u32string decode(const std::string& utf8) {
  std::u32string text;
  for (const char* p = utf8.c_str(); *p;) text += char32_t(nextCodePoint(p));
  return text;
}

std::string encode(const std::u32string& text) {
  std::string utf8;
  for (char32_t c : text) {
    if (c < 0x80) {
      utf8 += char(c);
    } else if (c < 0x800) {
      utf8 += char(0xc0 | (c >> 6));
      utf8 += char(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
      utf8 += char(0xe0 | (c >> 12));
      utf8 += char(0x80 | ((c >> 6) & 0x3f));
      utf8 += char(0x80 | (c & 0x3f));
    } else {
      utf8 += char(0xf0 | (c >> 18));
      utf8 += char(0x80 | ((c >> 12) & 0x3f));
      utf8 += char(0x80 | ((c >> 6) & 0x3f));
      utf8 += char(0x80 | (c & 0x3f));
    }
  }
  return utf8;
}

LICE_pixel pixelOf(const IColor& c) {
  return LICE_PackPixel(255, uint8_t(c.R), uint8_t(c.G), uint8_t(c.B));
}
}  // namespace

TextField::TextField(const std::string& text, const std::string& allowed, int maxLength)
    : text_(decode(text)), allowed_(decode(allowed)), maxLength_(std::max(maxLength, 0)) {
  caret_ = int(text_.size());
  anchor_ = 0;
}

std::string TextField::Text() const { return encode(text_); }

void TextField::eraseSelection() {
  const int from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
  text_.erase(size_t(from), size_t(to - from));
  caret_ = anchor_ = from;
}

void TextField::moveCaret(int to, bool extend) {
  caret_ = std::clamp(to, 0, int(text_.size()));
  if (!extend) anchor_ = caret_;
}

bool TextField::InsertText(const std::string& utf8) {
  std::u32string typed;
  for (char32_t c : decode(utf8)) {
    if (c < 0x20 || c == 0x7f) continue;
    if (!allowed_.empty() && allowed_.find(c) == std::u32string::npos) continue;
    typed += c;
  }
  const int selected = std::abs(caret_ - anchor_);
  if (maxLength_ > 0) {
    const int room = maxLength_ - (int(text_.size()) - selected);
    if (room < int(typed.size())) typed.resize(size_t(std::max(room, 0)));
  }
  if (typed.empty()) return false;
  eraseSelection();
  text_.insert(size_t(caret_), typed);
  moveCaret(caret_ + int(typed.size()), false);
  return true;
}

TextField::EAction TextField::Key(const IKeyPress& key) {
  const int end = int(text_.size());
  switch (key.key) {
    case IKeyPress::kReturn: return kApply;
    case IKeyPress::kEscape: return kCancel;
    case IKeyPress::kLeft:
      moveCaret(HasSelection() && !key.shift ? std::min(caret_, anchor_) : caret_ - 1, key.shift);
      return kEdited;
    case IKeyPress::kRight:
      moveCaret(HasSelection() && !key.shift ? std::max(caret_, anchor_) : caret_ + 1, key.shift);
      return kEdited;
    case IKeyPress::kHome:
    case IKeyPress::kUp: moveCaret(0, key.shift); return kEdited;
    case IKeyPress::kEnd:
    case IKeyPress::kDown: moveCaret(end, key.shift); return kEdited;
    case IKeyPress::kBackspace:
    case IKeyPress::kDelete:
      if (!HasSelection())
        moveCaret(key.key == IKeyPress::kBackspace ? caret_ - 1 : caret_ + 1, true);
      eraseSelection();
      return kEdited;
    case IKeyPress::kNoNamedKey: break;
    default: return kNone;
  }
  if (key.control) {
    if (key.character == 'a' || key.character == 'A') {
      anchor_ = 0;
      caret_ = end;
      return kEdited;
    }
    return kNone;
  }
  if (!key.character) return kNone;
  return InsertText(encode(std::u32string(1, char32_t(key.character)))) ? kEdited : kNone;
}

int TextField::widthOf(RasterFont* font, int from, int to) const {
  if (!font || to <= from) return 0;
  int width = 0, height = 0;
  font->Measure(encode(text_.substr(size_t(from), size_t(to - from))).c_str(), &width, &height);
  return width;
}

int TextField::textLeft(RasterFont* font, int fieldWidth, IText::EAlign align) const {
  constexpr int kMargin = 2;
  const int total = widthOf(font, 0, int(text_.size()));
  int left = kMargin;
  if (align == IText::kAlignCenter)
    left = (fieldWidth - total) / 2;
  else if (align == IText::kAlignFar)
    left = fieldWidth - kMargin - total;
  // Scrolled so that the caret stays inside the field.
  const int caretX = left + widthOf(font, 0, caret_);
  if (caretX > fieldWidth - kMargin) left -= caretX - (fieldWidth - kMargin);
  if (caretX < kMargin) left += kMargin - caretX;
  return left;
}

void TextField::ClickAt(int x, bool extend, RasterFont* font, int fieldWidth, IText::EAlign align) {
  const int left = textLeft(font, fieldWidth, align);
  int best = 0, bestDistance = std::abs(x - left);
  for (int i = 1; i <= int(text_.size()); ++i) {
    const int distance = std::abs(x - (left + widthOf(font, 0, i)));
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  moveCaret(best, extend);
}

void TextField::Draw(LICE_IBitmap* dest, RasterFont* font, const IText& style, bool caretOn) const {
  const int width = dest->getWidth(), height = dest->getHeight();
  LICE_FillRect(dest, 0, 0, width, height, pixelOf(style.mTextEntryBGColor), 1.0f,
                LICE_BLIT_MODE_COPY);
  if (!font) return;
  const int left = textLeft(font, width, style.mAlign);
  const int lineHeight = font->LineHeight();
  const int top = (height - lineHeight) / 2;
  const IColor& fg = style.mTextEntryFGColor;
  if (HasSelection()) {
    const int from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
    const int x0 = left + widthOf(font, 0, from), x1 = left + widthOf(font, 0, to);
    LICE_FillRect(dest, x0, top, x1 - x0, lineHeight, LICE_PackPixel(255, 51, 110, 204), 1.0f,
                  LICE_BLIT_MODE_COPY);
  }
  font->Draw(dest, Text().c_str(), left, top, 255, uint8_t(fg.R), uint8_t(fg.G), uint8_t(fg.B));
  if (caretOn) {
    const int x = std::min(left + widthOf(font, 0, caret_), width - 1);
    LICE_FillRect(dest, x, top, 1, lineHeight, pixelOf(fg), 1.0f, LICE_BLIT_MODE_COPY);
  }
}
