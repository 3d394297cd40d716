#pragma once

// The model of a popup menu: items with texts, flags and optional submenus. A menu
// owns its items; an item owns its submenu. The platform shows it and stores the
// chosen position in the (sub)menu that holds the chosen item.
#include <memory>
#include <string>
#include <vector>

class IPopupMenu;

class IPopupMenuItem {
 public:
  enum EFlags { kNoFlags = 0, kDisabled = 1, kTitle = 2, kChecked = 4, kSeparator = 8 };

  IPopupMenuItem(const char* text, int flags = kNoFlags, IPopupMenu* submenu = nullptr);
  ~IPopupMenuItem();
  IPopupMenuItem(const IPopupMenuItem&) = delete;
  IPopupMenuItem& operator=(const IPopupMenuItem&) = delete;

  const char* GetText() const { return text_.c_str(); }
  void SetText(const char* text) { text_ = text ? text : ""; }
  int GetFlags() const { return flags_; }
  IPopupMenu* GetSubmenu() const { return submenu_.get(); }
  bool GetEnabled() const { return !(flags_ & kDisabled); }
  bool GetChecked() const { return flags_ & kChecked; }
  bool GetIsTitle() const { return flags_ & kTitle; }
  bool GetIsSeparator() const { return flags_ & kSeparator; }
  void SetEnabled(bool enabled) { setFlag(kDisabled, !enabled); }
  void SetChecked(bool checked) { setFlag(kChecked, checked); }
  void SetTitle(bool title) { setFlag(kTitle, title); }

 private:
  void setFlag(int flag, bool on) { flags_ = on ? flags_ | flag : flags_ & ~flag; }

  std::string text_;
  std::unique_ptr<IPopupMenu> submenu_;
  int flags_;
};

class IPopupMenu {
 public:
  IPopupMenu() = default;
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  // Index -1 appends; any other index inserts there, at the end when it is past the
  // end, at 0 when it is below -1. The menu takes ownership of item (and submenu).
  IPopupMenuItem* AddItem(IPopupMenuItem* item, int index = -1);
  IPopupMenuItem* AddItem(const char* text, int index = -1, int flags = IPopupMenuItem::kNoFlags);
  IPopupMenuItem* AddItem(const char* text, int index, IPopupMenu* submenu);
  IPopupMenuItem* AddItem(const char* text, IPopupMenu* submenu) {
    return AddItem(text, -1, submenu);
  }
  IPopupMenuItem* AddSeparator(int index = -1);

  int GetNItems() const { return static_cast<int>(items_.size()); }
  IPopupMenuItem* GetItem(int index) const;
  const char* GetItemText(int index) const;  // "" outside the list
  int GetPrefix() const { return prefix_; }
  void SetPrefix(int prefix);  // 0 none, 1 "%1d: ", 2 "%02d: ", 3 "%03d: "
  int GetChosenItemIdx() const { return chosenItemIdx_; }
  void SetChosenItemIdx(int index) { chosenItemIdx_ = index; }
  bool CheckItem(int index, bool state);
  void CheckItemAlone(int index);
  bool IsItemChecked(int index) const;

 private:
  int prefix_ = 0;
  int chosenItemIdx_ = -1;
  std::vector<std::unique_ptr<IPopupMenuItem>> items_;
};
