// Menu items and popup menus.
#pragma once

#include <string>
#include <vector>

#include "platform/controls/controls.h"

namespace platform {

class TMenu;
class TPopupMenu;
class TMenuWindow;

/// \brief An item of a menu: a caption ("-" makes a separator, "&" marks the
/// accelerator), a click handler and optional sub-items.
class TMenuItem : public TComponent {
  VEL_CLASS(TMenuItem, TComponent)
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value) { FImageIndex = Value; }
  /// True for a separator line (caption "-").
  bool IsLine() const { return FCaption == "-"; }

  // Sub-items.
  int Count() const { return int(FItems.size()); }
  TMenuItem* Items(int Index) const;
  TMenuItem* operator[](int Index) const { return Items(Index); }
  TMenuItem* Parent() const { return FParent; }
  int MenuIndex() const;
  void SetMenuIndex(int Value);
  int IndexOf(const TMenuItem* Item) const;
  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  /// Takes the sub-item at Index out of this item; it is not freed.
  void Delete(int Index);
  void Remove(TMenuItem* Item);
  /// Frees every sub-item.
  void Clear();
  /// The sub-item with that caption (accelerator marks ignored), or none.
  TMenuItem* Find(const std::string& ACaption) const;

  /// Runs the item: OnClick (nothing when disabled). The handler may free the item.
  virtual void Click();
  TNotifyEvent OnClick;

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  bool HasParent() const override { return true; }
  /// The parent item, or the menu for an item at the top of one.
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

  VEL_PUBLISH(P);

 private:
  friend class TMenu;
  /// Tells the menu showing this item that it (or its list of sub-items) changed.
  void Changed();
  /// Takes every sub-item out, tells the menu, then frees them.
  void FreeItems();

  std::string FCaption;
  bool FEnabled = true;
  bool FVisible = true;
  bool FChecked = false;
  bool FRadioItem = false;
  int FGroupIndex = 0;
  std::string FHint;
  int FImageIndex = -1;
  TMenuItem* FParent = nullptr;
  std::vector<TMenuItem*> FItems;
  TMenu* FMenu = nullptr;  // the menu whose root this item is
};

/// Caption without "&" accelerator marks ("&&" stays a single "&").
std::string StripHotkey(const std::string& Caption);
/// The accelerator character of a caption (the character after a single "&"), or 0.
char GetHotkey(const std::string& Caption);

/// \brief A menu: the owner of a root item whose sub-items are shown.
class TMenu : public TComponent {
  VEL_CLASS(TMenu, TComponent)
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  TMenuItem* Items() const { return FItems; }
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

 protected:
  friend class TMenuItem;
  /// An item of this menu changed: its properties, or which sub-items it has.
  virtual void MenuChanged(TMenuItem*) {}

  TMenuItem* FItems;
};

enum TPopupAlignment { paLeft, paRight, paCenter };
VEL_ENUM(TPopupAlignment, "Menus", paLeft, paRight, paCenter);

/// \brief A menu that pops up at a point: a window listing the items, which
/// closes on a click elsewhere or Escape. Popup returns at once; the chosen
/// item's OnClick runs when the user clicks it.
class TPopupMenu : public TMenu {
  VEL_CLASS(TPopupMenu, TMenu)
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  /// Runs DoPopup, then shows the menu with its top-left corner at the screen point.
  virtual void Popup(int X, int Y);
  /// Closes the menu (and its open sub-menus) when it is shown.
  void CloseMenu();
  /// True while the menu is shown.
  bool IsShown() const;
  /// The control that popped the menu up (set by the automatic popup of a control).
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }

  /// The window of the shown menu (none when closed), and the screen rectangle of a
  /// visible item in it (an empty rectangle when the item is not shown); tests use them.
  HWND MenuWindow() const;
  TRect ItemScreenRect(const TMenuItem* Item) const;
  /// The shown window (the menu's own or an open sub-menu's) listing Item; none when Item is not shown.
  HWND ItemWindow(const TMenuItem* Item) const;
  /// The highlighted item of the innermost open level (none when nothing is highlighted or the menu is closed).
  TMenuItem* HighlightedItem() const;

  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnPopup;

  VEL_PUBLISH(P);

 protected:
  friend class TMenuWindow;
  /// The step before the menu shows: fires OnPopup.
  virtual void DoPopup(TObject* Sender);
  void MenuChanged(TMenuItem* Item) override;
  /// Closes the shown menu; RestoreFocus gives the focus back to the window that had it before.
  void DoCloseMenu(bool RestoreFocus);

 private:
  TComponent* FPopupComponent = nullptr;
  bool FAutoPopup = true;
  TPopupAlignment FAlignment = paLeft;
  TMenuWindow* FWindow = nullptr;
};

}  // namespace platform
