// The in-place text field's editing: filters, length limits, caret and selection.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
