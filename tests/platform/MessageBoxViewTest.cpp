// The project's own message boxes and popup menu levels: answers, keys, labels.
#include <gtest/gtest.h>

#include "gui/IPopupMenu.h"
#include "platform/x11/MessageBoxView.h"
#include "platform/x11/PlatformFonts.h"
#include "platform/x11/PopupMenuView.h"

namespace {

IKeyPress key(IKeyPress::ENamedKey named) { return {0, named}; }

struct BoxCase {
  int type;
  std::vector<int> buttons;
  int returnAnswer, escapeAnswer;
};

TEST(MessageBoxView, ButtonsAndKeysByType) {
  PlatformFonts fonts(1);
  for (const BoxCase& c : {BoxCase{0, {1}, 1, 1}, BoxCase{1, {1, 2}, 1, 2},
                           BoxCase{3, {6, 7, 2}, 6, 2}, BoxCase{4, {6, 7}, 6, 7}}) {
    MessageBoxView box("The Startup Bank is:\n/x.fxb\n\nDo you really want to reload all programs?",
                       "Load Startup Bank", c.type, &fonts);
    std::vector<int> answers;
    for (const auto& button : box.Buttons()) {
      answers.push_back(button.answer);
      EXPECT_EQ(box.ButtonAt(button.rect.L + 2, button.rect.T + 2), button.answer);
    }
    EXPECT_EQ(answers, c.buttons) << "type " << c.type;
    EXPECT_EQ(box.Key(key(IKeyPress::kReturn)), c.returnAnswer) << "type " << c.type;
    EXPECT_EQ(box.Key(key(IKeyPress::kEscape)), c.escapeAnswer) << "type " << c.type;
  }
  // Moving the focus moves Return's answer.
  MessageBoxView box("?", "Q", 4, &fonts);
  EXPECT_EQ(box.Key(key(IKeyPress::kRight)), 0);
  EXPECT_EQ(box.Key(key(IKeyPress::kReturn)), 7);
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

}  // namespace
