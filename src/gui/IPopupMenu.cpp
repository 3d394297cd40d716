#include "gui/IPopupMenu.h"

#include <algorithm>

IPopupMenuItem::IPopupMenuItem(const char* text, int flags, IPopupMenu* submenu)
    : text_(text ? text : ""), submenu_(submenu), flags_(flags) {}

IPopupMenuItem::~IPopupMenuItem() = default;

IPopupMenuItem* IPopupMenu::AddItem(IPopupMenuItem* item, int index) {
  if (!item) return nullptr;
  const int count = GetNItems();
  const int position = index == -1 || index > count ? count : std::max(index, 0);
  items_.emplace(items_.begin() + position, item);
  return item;
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, int flags) {
  return AddItem(new IPopupMenuItem(text, flags), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, IPopupMenu* submenu) {
  return AddItem(new IPopupMenuItem(text, IPopupMenuItem::kNoFlags, submenu), index);
}

IPopupMenuItem* IPopupMenu::AddSeparator(int index) {
  return AddItem("", index, IPopupMenuItem::kSeparator);
}

IPopupMenuItem* IPopupMenu::GetItem(int index) const {
  return index >= 0 && index < GetNItems() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

const char* IPopupMenu::GetItemText(int index) const {
  const IPopupMenuItem* item = GetItem(index);
  return item ? item->GetText() : "";
}

void IPopupMenu::SetPrefix(int prefix) {
  if (prefix >= 0 && prefix <= 3) prefix_ = prefix;
}

bool IPopupMenu::CheckItem(int index, bool state) {
  IPopupMenuItem* item = GetItem(index);
  if (!item) return false;
  item->SetChecked(state);
  return true;
}

void IPopupMenu::CheckItemAlone(int index) {
  for (int i = 0; i < GetNItems(); ++i) CheckItem(i, i == index);
}

bool IPopupMenu::IsItemChecked(int index) const {
  const IPopupMenuItem* item = GetItem(index);
  return item && item->GetChecked();
}
