// The X11 layer's pieces that need no server: raster pixels into visuals' layouts, the
// answers of the desktop's dialog programs, the screen scale, the project's own message
// boxes and popup menu levels, and the in-place text field's editing.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "gui/IPopupMenu.h"
#include "platform/x11/FileDialogCommand.h"
#include "platform/x11/MessageBoxView.h"
#include "platform/x11/PixelFormat.h"
#include "platform/x11/PlatformFonts.h"
#include "platform/x11/PopupMenuView.h"
#include "platform/x11/TextField.h"
#include "platform/x11/X11Platform.h"

namespace {

PixelFormat format(uint32_t r, uint32_t g, uint32_t b, int depth, int bpp, bool msb = false) {
  return {r, g, b, depth, bpp, msb};
}

// Pixel 1: half-transparent (0x80) R=0x12 G=0x34 B=0x56; pixel 2: opaque white-ish.
// At scale 2 each pixel comes twice in a row. Rows are padded to 32 bits; masks must lie
// inside the depth and name all three colours.
TEST(PixelFormat, ConvertsEachPixelOnceIntoRowsPaddedToTheScanlinePad) {
  const struct {
    PixelFormat format;
    std::vector<uint8_t> expected;  // the image bytes of the two pixels, scale 1
  } cases[] = {
      // The usual 24-bit visual: B,G,R,X bytes; the alpha byte is not shown.
      {format(0xff0000, 0xff00, 0xff, 24, 32), {0x56, 0x34, 0x12, 0, 1, 0xfe, 0xff, 0}},
      // A 32-bit visual with alpha: always opaque.
      {format(0xff0000, 0xff00, 0xff, 32, 32), {0x56, 0x34, 0x12, 0xff, 1, 0xfe, 0xff, 0xff}},
      {format(0xff, 0xff00, 0xff0000, 24, 32), {0x12, 0x34, 0x56, 0, 0xff, 0xfe, 1, 0}},  // BGR
      // The usual one with the most significant byte first.
      {format(0xff0000, 0xff00, 0xff, 24, 32, true), {0, 0x12, 0x34, 0x56, 0, 0xff, 0xfe, 1}},
      // 5-6-5: r 0x12 -> 2, g 0x34 -> 13, b 0x56 -> 10: 0x11aa.
      {format(0xf800, 0x07e0, 0x1f, 16, 16), {0xaa, 0x11, 0xe0, 0xff}}};
  const LICE_pixel source[2] = {LICE_PackPixel(0x80, 0x12, 0x34, 0x56),
                                LICE_PackPixel(255, 0xff, 0xfe, 0x01)};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << &c - cases);
    ASSERT_TRUE(c.format.Valid());
    std::vector<uint8_t> row(c.expected.size(), 0xaa), doubled(row.size() * 2, 0xaa);
    c.format.ConvertRow(source, 2, 1, row.data());
    EXPECT_EQ(row, c.expected);
    c.format.ConvertRow(source, 2, 2, doubled.data());
    const size_t size = row.size() / 2;
    for (size_t i = 0; i < 4; ++i)
      EXPECT_TRUE(std::equal(doubled.begin() + i * size, doubled.begin() + (i + 1) * size,
                             row.begin() + (i / 2) * size));
  }
  EXPECT_EQ(format(0xf800, 0x07e0, 0x1f, 16, 16).Stride(3), 8);  // 6 bytes padded to 32 bits
  EXPECT_FALSE(format(0xff0000, 0xff00, 0, 24, 32).Valid());
  EXPECT_FALSE(format(0xff0000, 0xff00, 0xff, 16, 16).Valid());  // masks beyond the depth
}

TEST(FileDialogCommand, Answers) {
  const FilePromptRequest save{kFileSave, "/m", "", "fxp", 0x400007};
  EXPECT_EQ(DialogAnswer(save, 0, "/m/take\n"), "/m/take.fxp");  // the type is added
  EXPECT_EQ(DialogAnswer(save, 0, "/m/TAKE.FXP\n"), "/m/TAKE.FXP");
  EXPECT_EQ(DialogAnswer(save, 1, ""), "");  // cancelled
  EXPECT_EQ(DialogAnswer(save, 0, "relative\n"), "");
  EXPECT_EQ(DialogAnswer({kFileOpen, "/m", "", "wav", 0x400007}, 0, "/m/voice\n"), "/m/voice");
  EXPECT_EQ(FolderOf("/m/take.fxp"), "/m/");
  EXPECT_EQ(SplitExtensions(" "), std::vector<std::string>{});
}

TEST(X11Platform, ScreenScaleFromXftDpi) {
  EXPECT_EQ(X11Platform::ResourceDpi("Xft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n"), 144.0);
  EXPECT_EQ(X11Platform::ResourceDpi("*dpi: 144\n"), 0.0);
}

IKeyPress named(IKeyPress::ENamedKey key, bool shift = false) { return {0, key, shift}; }
IKeyPress typed(char32_t c, bool control = false) { return {uint32_t(c), {}, false, control}; }

TEST(MessageBoxView, ButtonsAndKeysByType) {
  PlatformFonts fonts(1);
  // The box's type, its buttons' answers, then Return's and Escape's.
  using Row = std::tuple<int, std::vector<int>, int, int>;
  for (const auto& [type, buttons, returnAnswer, escapeAnswer] :
       {Row{0, {1}, 1, 1}, Row{1, {1, 2}, 1, 2}, Row{3, {6, 7, 2}, 6, 2}, Row{4, {6, 7}, 6, 7}}) {
    MessageBoxView box("The Startup Bank is:\n/x.fxb\n\nDo you really want to reload all programs?",
                       "Load Startup Bank", type, &fonts);
    std::vector<int> answers;
    for (const auto& button : box.Buttons()) {
      answers.push_back(button.answer);
      EXPECT_EQ(box.ButtonAt(button.rect.L + 2, button.rect.T + 2), button.answer);
    }
    EXPECT_EQ(answers, buttons) << "type " << type;
    EXPECT_EQ(box.Key(named(IKeyPress::kReturn)), returnAnswer) << "type " << type;
    EXPECT_EQ(box.Key(named(IKeyPress::kEscape)), escapeAnswer) << "type " << type;
  }
  // Moving the focus moves Return's answer.
  MessageBoxView box("?", "Q", 4, &fonts);
  EXPECT_EQ(box.Key(named(IKeyPress::kRight)), 0);
  EXPECT_EQ(box.Key(named(IKeyPress::kReturn)), 7);
  EXPECT_EQ(box.ButtonAt(0, 0), 0);
}

TEST(PopupMenuView, LabelsAndKeyboardSkipSeparatorsAndDisabledItems) {
  PlatformFonts fonts(1);
  IPopupMenu menu;
  menu.AddItem("Copy Program");
  menu.AddSeparator();
  menu.AddItem("Paste Program", -1, IPopupMenuItem::kDisabled);
  menu.AddItem("Folders", new IPopupMenu());
  menu.SetPrefix(2);
  PopupMenuView view(&menu, &fonts);
  EXPECT_EQ(view.Label(0), "01: Copy Program");
  EXPECT_EQ(view.NextSelectable(1), 0);
  view.Highlight(0);
  EXPECT_EQ(view.NextSelectable(1), 3);
  EXPECT_EQ(view.NextSelectable(-1), 3);  // wraps
  view.Highlight(2);                      // disabled: nothing lit
  EXPECT_EQ(view.Highlighted(), -1);
  EXPECT_TRUE(view.HasSubmenu(3));
  EXPECT_EQ(view.ItemAt(view.RowTop(3) + 1), 3);
  EXPECT_EQ(view.ItemAt(view.RowTop(1) + 1), -1);  // separator
  menu.SetPrefix(3);
  EXPECT_EQ(view.Label(0), "001: Copy Program");
}

TEST(TextField, EditingGivesTheText) {
  const char* kDouble = "0123456789.-+";
  const char* kInteger = "0123456789-+";
  const IKeyPress left = named(IKeyPress::kLeft), right = named(IKeyPress::kRight),
                  end = named(IKeyPress::kEnd), shiftLeft = named(IKeyPress::kLeft, true),
                  backspace = named(IKeyPress::kBackspace), del = named(IKeyPress::kDelete);
  const struct {
    const char* name;
    const char* start;
    const char* allowed;
    int maxLength;
    std::vector<IKeyPress> keys;  // then the characters of text
    std::u32string text;
    const char* result;
  } cases[] = {
      {"TypingReplacesTheSelection", "0.50", kDouble, 7, {}, U"1.2", "1.2"},
      {"FilterDropsOtherCharacters", "", kInteger, 7, {}, U"1.x-", "1-"},
      {"LengthLimitStopsTyping", "", kDouble, 3, {}, U"1234", "123"},
      {"NoFilterWithoutParameter", "", "", 0, {}, U"a\u00e9 ", "a\u00e9 "},
      {"ArrowsAndBackspace", "abc", "", 0, {right, left, backspace}, U"", "ac"},
      {"ShiftArrowSelectsThenDelete", "abcd", "", 0, {end, shiftLeft, shiftLeft, del}, U"", "ab"},
      {"ControlASelectsAll", "old", "", 0, {end, typed('a', true)}, U"n", "n"},
      {"ControlKeysTypeNothing", "", "", 0, {typed('b', true)}, U"", ""}};
  for (const auto& c : cases) {
    TextField field(c.start, c.allowed, c.maxLength);
    for (const IKeyPress& key : c.keys) field.Key(key);
    for (char32_t character : c.text) field.Key(typed(character));
    EXPECT_EQ(field.Text(), c.result) << c.name;
  }
}

TEST(TextField, ReturnAppliesEscapeCancelsPasteIsFiltered) {
  TextField field("", "0123456789-+", 4);
  EXPECT_EQ(field.Key(named(IKeyPress::kReturn)), TextField::kApply);
  EXPECT_EQ(field.Key(named(IKeyPress::kEscape)), TextField::kCancel);
  EXPECT_TRUE(field.InsertText("12.345\n6"));
  EXPECT_EQ(field.Text(), "1234");
  EXPECT_FALSE(field.InsertText("7"));
}

}  // namespace
