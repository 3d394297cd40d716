// The in-place text field's editing: filters, length limits, caret and selection.
#include <gtest/gtest.h>

#include "platform/EditorKeys.h"
#include "platform/TextField.h"

namespace {

IKeyPress named(IKeyPress::ENamedKey key, bool shift = false) {
  IKeyPress k;
  k.key = key;
  k.shift = shift;
  return k;
}

IKeyPress typed(char32_t c, bool control = false) {
  IKeyPress k;
  k.character = uint32_t(c);
  k.control = control;
  return k;
}

struct Editing {
  const char* name;
  const char* start;
  const char* allowed;
  int maxLength;
  std::vector<IKeyPress> keys;
  const char* result;
};
void PrintTo(const Editing& e, std::ostream* os) { *os << e.name; }

class TextFieldEditing : public testing::TestWithParam<Editing> {};

TEST_P(TextFieldEditing, GivesTheText) {
  const Editing& e = GetParam();
  TextField field(e.start, e.allowed, e.maxLength);
  for (const IKeyPress& key : e.keys) field.Key(key);
  EXPECT_EQ(field.Text(), e.result);
}

const char* kDouble = "0123456789.-+";
const char* kInteger = "0123456789-+";

INSTANTIATE_TEST_SUITE_P(
    Cases, TextFieldEditing,
    testing::Values(
        // The initial text is selected: typing replaces it.
        Editing{"TypingReplacesTheSelection", "0.50", kDouble, 7, {typed('1'), typed('.'), typed('2')}, "1.2"},
        Editing{"FilterDropsOtherCharacters", "", kInteger, 7, {typed('1'), typed('.'), typed('x'), typed('-')}, "1-"},
        Editing{"LengthLimitStopsTyping", "", kDouble, 3, {typed('1'), typed('2'), typed('3'), typed('4')}, "123"},
        Editing{"NoFilterWithoutParameter", "", "", 0, {typed('a'), typed(U'\u00e9'), typed(' ')}, "a\u00e9 "},
        Editing{"ArrowsAndBackspace", "abc", "", 0,
                {named(IKeyPress::kRight), named(IKeyPress::kLeft), named(IKeyPress::kBackspace)}, "ac"},
        Editing{"ShiftArrowSelectsThenDelete", "abcd", "", 0,
                {named(IKeyPress::kEnd), named(IKeyPress::kLeft, true), named(IKeyPress::kLeft, true),
                 named(IKeyPress::kDelete)},
                "ab"},
        Editing{"HomeThenType", "23", "", 0, {named(IKeyPress::kHome), typed('1')}, "123"},
        Editing{"ControlASelectsAll", "old", "", 0,
                {named(IKeyPress::kEnd), typed('a', true), typed('n')}, "n"},
        Editing{"ControlKeysTypeNothing", "", "", 0, {typed('b', true)}, ""}),
    [](const testing::TestParamInfo<Editing>& info) { return std::string(info.param.name); });

TEST(TextField, ReturnAppliesEscapeCancelsPasteIsFiltered) {
  TextField field("", kInteger, 4);
  EXPECT_EQ(field.Key(named(IKeyPress::kReturn)), TextField::kApply);
  EXPECT_EQ(field.Key(named(IKeyPress::kEscape)), TextField::kCancel);
  EXPECT_TRUE(field.InsertText("12.345\n6"));
  EXPECT_EQ(field.Text(), "1234");
  EXPECT_FALSE(field.InsertText("7"));
}

TEST(EditorKeys, CodesOfTheEditor) {
  EXPECT_EQ(EditorKeyCode(typed(' ')), 0);
  EXPECT_EQ(EditorKeyCode(named(IKeyPress::kUp)), 1);
  EXPECT_EQ(EditorKeyCode(named(IKeyPress::kRight)), 4);
  EXPECT_EQ(EditorKeyCode(typed('0')), 5);
  EXPECT_EQ(EditorKeyCode(typed('9')), 14);
  EXPECT_EQ(EditorKeyCode(typed('a')), 15);
  EXPECT_EQ(EditorKeyCode(typed('A')), 15);
  EXPECT_EQ(EditorKeyCode(typed('z')), 40);
  EXPECT_EQ(EditorKeyCode(named(IKeyPress::kOtherKey)), -1);  // a function key goes to the host
  EXPECT_EQ(EditorKeyCode(typed('%')), -1);
}

}  // namespace
