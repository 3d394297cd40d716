// The in-place text field's editing (filters, length limits, caret and selection) and
// the editor's key codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/x11/EditorKeys.h"
#include "platform/x11/TextField.h"

namespace {

IKeyPress named(IKeyPress::ENamedKey key, bool shift = false) { return {0, key, shift}; }
IKeyPress typed(char32_t c, bool control = false) { return {uint32_t(c), {}, false, control}; }

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

// Space 0, the arrows 1 to 4, digits 5 to 14, letters 15 to 40 in either case; other
// keys go to the host (-1).
TEST(EditorKeys, CodesOfTheEditor) {
  const std::pair<IKeyPress, int> cases[] = {
      {typed(' '), 0},  {named(IKeyPress::kUp), 1}, {named(IKeyPress::kRight), 4},
      {typed('0'), 5},  {typed('9'), 14},           {typed('a'), 15},
      {typed('A'), 15}, {typed('z'), 40},           {named(IKeyPress::kOtherKey), -1},
      {typed('%'), -1}};
  for (const auto& [key, code] : cases) EXPECT_EQ(EditorKeyCode(key), code) << code;
}

}  // namespace
