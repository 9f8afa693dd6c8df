#include "platform/controls/menus.h"

#include <algorithm>

#include "platform/controls/forms.h"

namespace platform {

VEL_IMPLEMENT_CLASS(TMenuItem, "Menus");
VEL_IMPLEMENT_CLASS(TMenu, "Menus");
VEL_IMPLEMENT_CLASS(TPopupMenu, "Menus");

std::string StripHotkey(const std::string& Caption) {
  std::string R;
  for (size_t I = 0; I < Caption.size(); ++I) {
    if (Caption[I] == '&') {
      if (I + 1 < Caption.size() && Caption[I + 1] == '&') {
        R += '&';
        ++I;
      }
      continue;
    }
    R += Caption[I];
  }
  return R;
}

char GetHotkey(const std::string& Caption) {
  for (size_t I = 0; I + 1 < Caption.size(); ++I) {
    if (Caption[I] != '&') continue;
    if (Caption[I + 1] == '&') {
      ++I;
      continue;
    }
    const char C = Caption[I + 1];
    return (C >= 'a' && C <= 'z') ? char(C - 'a' + 'A') : C;
  }
  return 0;
}

// ================================================================== TMenuItem

void TMenuItem::VelPublish(TPublisher& P) {
  P.Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  P.Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
  P.Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
  P.Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
  P.Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  P.Property("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
  P.Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
  P.Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
  P.Property("OnClick", &TMenuItem::OnClick, &TMenuItem::OnClick);
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  if (FParent) FParent->Remove(this);
  // Sub-items belong to this item.
  FreeItems();
}

void TMenuItem::Changed() {
  const TMenuItem* Root = this;
  while (Root->FParent) Root = Root->FParent;
  if (Root->FMenu) Root->FMenu->MenuChanged(this);
}

void TMenuItem::FreeItems() {
  if (FItems.empty()) return;
  // Detached first, so that a shown menu lets go of them before they are freed.
  std::vector<TMenuItem*> Old;
  Old.swap(FItems);
  for (TMenuItem* I : Old) I->FParent = nullptr;
  Changed();
  while (!Old.empty()) {
    TMenuItem* Last = Old.back();
    Old.pop_back();
    delete Last;
  }
}

void TMenuItem::SetCaption(const std::string& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  Changed();
}

void TMenuItem::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Changed();
}

void TMenuItem::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Changed();
}

void TMenuItem::SetRadioItem(bool Value) {
  if (FRadioItem == Value) return;
  FRadioItem = Value;
  Changed();
}

void TMenuItem::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  // A checked radio item unchecks the others of its group.
  if (Value && FRadioItem && FParent)
    for (TMenuItem* I : FParent->FItems)
      if (I != this && I->FRadioItem && I->FGroupIndex == FGroupIndex) I->FChecked = false;
  Changed();
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {std::int64_t(Index)}));
  return FItems[size_t(Index)];
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value) {
  if (!FParent) return;
  TMenuItem* P = FParent;
  const int Cur = MenuIndex();
  Value = std::clamp(Value, 0, P->Count() - 1);
  if (Value == Cur) return;
  P->FItems.erase(P->FItems.begin() + Cur);
  P->FItems.insert(P->FItems.begin() + Value, this);
  P->Changed();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto It = std::find(FItems.begin(), FItems.end(), Item);
  return It == FItems.end() ? -1 : int(It - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EInvalidOperation("Menu inserted twice");
  for (TMenuItem* P = this; P; P = P->FParent)
    if (P == Item) throw EInvalidOperation("A menu item cannot contain itself");
  if (Index < 0 || Index > Count()) throw EListError(Format("List index out of bounds (%d)", {std::int64_t(Index)}));
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  Changed();
}

void TMenuItem::Delete(int Index) {
  TMenuItem* Item = Items(Index);
  FItems.erase(FItems.begin() + Index);
  Item->FParent = nullptr;
  Changed();
}

void TMenuItem::Remove(TMenuItem* Item) {
  const int I = IndexOf(Item);
  if (I < 0) throw EInvalidOperation("Menu item not found");
  Delete(I);
}

void TMenuItem::Clear() { FreeItems(); }

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
  const std::string Wanted = StripHotkey(ACaption);
  for (TMenuItem* I : FItems)
    if (SameText(StripHotkey(I->FCaption), Wanted)) return I;
  return nullptr;
}

void TMenuItem::Click() {
  if (!FEnabled || !OnClick) return;
  // A copy keeps the handler alive should it free this item.
  const TNotifyEvent Handler = OnClick;
  Handler(this);
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TMenuItem* I : FItems)
    if (I->Owner() == Root) Proc(I);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (FParent) FParent->Remove(this);
  if (auto* M = dynamic_cast<TMenu*>(Value))
    M->Items()->Add(this);
  else if (auto* I = dynamic_cast<TMenuItem*>(Value))
    I->Add(this);
}

// ====================================================================== TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) { FItems->FMenu = this; }

TMenu::~TMenu() {
  FItems->FMenu = nullptr;
  delete FItems;
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root) { FItems->GetChildren(Proc, Root); }

// ================================================================ TMenuWindow

namespace {

// Metrics of the flat menu look, in pixels.
constexpr int MenuBorder = 1;    // the frame around the list
constexpr int MenuPadding = 2;   // above the first and below the last entry
constexpr int CheckGutter = 24;  // the column of check marks and radio dots
constexpr int TextGap = 4;       // between the gutter and the caption
constexpr int ArrowColumn = 24;  // right of the caption: the sub-menu arrow
constexpr int SeparatorHeight = 7;
constexpr int MinItemHeight = 22;
constexpr int MinMenuWidth = 80;

bool HasVisibleItems(const TMenuItem* Item) {
  for (int I = 0; I < Item->Count(); ++I)
    if (Item->Items(I)->Visible()) return true;
  return false;
}

bool Selectable(const TMenuItem* Item) { return Item->Visible() && Item->Enabled() && !Item->IsLine(); }

}  // namespace

/// \brief The window of one level of a shown popup menu: it lists the visible
/// sub-items of one item. The menu's own level holds the mouse capture and the
/// focus while shown and steers the open sub-menu levels.
class TMenuWindow : public TCustomControl {
  VEL_CLASS(TMenuWindow, TCustomControl)
  TMenuWindow(TPopupMenu* Menu, TMenuItem* Item, TMenuWindow* ParentLevel);
  ~TMenuWindow() override;

  /// Lays out and shows the menu's own level with its corner at the screen point.
  void OpenAt(int X, int Y, TPopupAlignment Alignment);
  /// Hides every level, lets go of capture and focus; the windows stay until Release.
  void Dismiss(bool RestoreFocus);
  /// Frees the level (and its sub-levels) now, or when its current message is done.
  void Release();
  /// Lays the levels out again after the items changed; closes sub-levels whose item is gone.
  void Rebuild();

  const TMenuWindow* Innermost() const { return FSub ? FSub->Innermost() : this; }
  TMenuWindow* Innermost() { return FSub ? FSub->Innermost() : this; }
  /// The level (this or one below it) listing Item, or none.
  const TMenuWindow* LevelOf(const TMenuItem* Item) const;
  TRect EntryScreenRect(const TMenuItem* Item) const;
  TMenuItem* Selected() const { return FSelected; }

  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void WMKillFocus(TMessage& Message) override;

 private:
  struct TEntry {
    TMenuItem* Item;
    TRect R;  // client coordinates
  };

  void Layout();
  /// Moves the window so that it fits on the screen, preferring (X, Y).
  void Place(int X, int Y, int FlipX, int FlipY);
  int IndexOfEntry(const TMenuItem* Item) const;
  TMenuItem* EntryAt(const TPoint& Client) const;
  void Select(TMenuItem* Item);
  void SelectStep(int Delta);
  /// Opens the sub-menu of the selected item (selecting its first item when SelectFirst).
  void OpenSub(bool SelectFirst);
  void CloseSub();
  /// Closes the whole menu, then runs Item. Static: the level may be gone once the menu is closed.
  static void Choose(TPopupMenu* Menu, TMenuItem* Item);
  /// Acts on the selected item: opens its sub-menu or runs it.
  void Activate(TMenuItem* Item);
  /// The open level whose window holds the screen point, innermost first; none when outside all.
  TMenuWindow* LevelAt(const TPoint& Screen);
  void MouseInput(UINT Msg, const TPoint& Client);
  TMenuWindow* Root() { return FParentLevel ? FParentLevel->Root() : this; }

  TPopupMenu* FMenu;
  TMenuItem* FItem;
  TMenuWindow* FParentLevel;
  TMenuWindow* FSub = nullptr;
  TMenuItem* FSelected = nullptr;
  std::vector<TEntry> FEntries;
  int FMenuWidth = 0, FMenuHeight = 0;  // the size the items need
  HWND FPrevFocus = nullptr;
  int FBusy = 0;           // messages under way in this window
  bool FReleased = false;  // to be freed once no message is under way
  bool FDeleting = false;
  bool FClosing = false;  // letting go of focus and capture on purpose
};

VEL_IMPLEMENT_CLASS(TMenuWindow, "Menus");

TMenuWindow::TMenuWindow(TPopupMenu* Menu, TMenuItem* Item, TMenuWindow* ParentLevel)
    : TCustomControl(nullptr), FMenu(Menu), FItem(Item), FParentLevel(ParentLevel) {
  // No capture of its own on button down, no clicks, no double clicks: the menu handles the mouse itself.
  FControlStyle = TControlStyle{csOpaque};
  FColor = clMenu;
  FVisible = false;
}

TMenuWindow::~TMenuWindow() {
  FDeleting = true;
  if (FSub) {
    FSub->FParentLevel = nullptr;
    FSub->Release();
    FSub = nullptr;
  }
  DestroyHandle();
}

void TMenuWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP;
  Params.WndParent = nullptr;
}

void TMenuWindow::WndProc(TMessage& Message) {
  struct TBusy {
    TMenuWindow* W;
    ~TBusy() {
      if (--W->FBusy == 0 && W->FReleased && !W->FDeleting) {
        W->FDeleting = true;
        delete W;
      }
    }
  } Guard{this};
  ++FBusy;
  switch (Message.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      if (!FReleased) MouseInput(Message.Msg, LParamToPoint(Message.LParam));
      return;
    case WM_CONTEXTMENU:
      Message.Result = 1;  // a menu has no context menu of its own
      return;
    case WM_CAPTURECHANGED:
      // Another window took the mouse: the menu can no longer track it.
      if (!FClosing && !FReleased && !FParentLevel && HWND(Message.LParam) != FHandle) FMenu->DoCloseMenu(true);
      return;
    case WM_CANCELMODE:
      if (!FClosing && !FReleased) Root()->FMenu->DoCloseMenu(true);
      return;
    default:
      break;
  }
  TCustomControl::WndProc(Message);
}

void TMenuWindow::Release() {
  if (FSub) {
    FSub->FParentLevel = nullptr;
    FSub->Release();
    FSub = nullptr;
  }
  FReleased = true;
  if (FBusy == 0 && !FDeleting) {
    FDeleting = true;
    delete this;
  }
}

void TMenuWindow::Layout() {
  FEntries.clear();
  Canvas()->Font()->Assign(Font());
  const int TextH = Canvas()->TextHeight("Wg");
  const int ItemH = std::max(MinItemHeight, TextH + 8);
  int MaxText = 0;
  int Y = MenuBorder + MenuPadding;
  for (int I = 0; I < FItem->Count(); ++I) {
    TMenuItem* It = FItem->Items(I);
    if (!It->Visible()) continue;
    const int H = It->IsLine() ? SeparatorHeight : ItemH;
    FEntries.push_back(TEntry{It, Rect(MenuBorder, Y, 0, Y + H)});
    if (!It->IsLine()) MaxText = std::max(MaxText, Canvas()->TextWidth(StripHotkey(It->Caption())));
    Y += H;
  }
  const int W = std::max(MinMenuWidth, MenuBorder + CheckGutter + TextGap + MaxText + ArrowColumn + MenuBorder);
  for (TEntry& E : FEntries) E.R.Right = W - MenuBorder;
  if (FSelected && IndexOfEntry(FSelected) < 0) FSelected = nullptr;
  FMenuWidth = W;
  FMenuHeight = Y + MenuPadding + MenuBorder;
}

void TMenuWindow::Place(int X, int Y, int FlipX, int FlipY) {
  const int SW = Screen()->Width(), SH = Screen()->Height();
  // Past the right or bottom edge the menu opens the other way round, and stays on the screen.
  const int W = FMenuWidth, H = FMenuHeight;
  if (X + W > SW) X = FlipX - W >= 0 ? FlipX - W : SW - W;
  if (Y + H > SH) Y = FlipY - H >= 0 ? FlipY - H : SH - H;
  SetBounds(std::max(0, X), std::max(0, Y), W, H);
}

void TMenuWindow::OpenAt(int X, int Y, TPopupAlignment Alignment) {
  Layout();
  if (Alignment == paRight) X -= FMenuWidth;
  if (Alignment == paCenter) X -= FMenuWidth / 2;
  Place(X, Y, X, Y);
  FVisible = true;
  HandleNeeded();
  ShowWindow(FHandle, SW_SHOWNA);
  SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  FPrevFocus = GetFocus();
  ::platform::SetFocus(FHandle);
  // A control tracking the mouse (the menu may pop up from its button-down) lets go first.
  if (Mouse()->CaptureControl()) Mouse()->SetCaptureControl(nullptr);
  ::platform::SetCapture(FHandle);
}

void TMenuWindow::Dismiss(bool RestoreFocus) {
  FClosing = true;
  if (FSub) FSub->Dismiss(false);
  if (FHandle) {
    if (GetCapture() == FHandle) ReleaseCapture();
    if (GetFocus() == FHandle) ::platform::SetFocus(RestoreFocus && IsWindow(FPrevFocus) ? FPrevFocus : nullptr);
    ShowWindow(FHandle, SW_HIDE);
  }
  FVisible = false;
}

void TMenuWindow::Rebuild() {
  Layout();
  if (FHandle) {
    if (FParentLevel)
      SetBounds(FLeft, FTop, FMenuWidth, FMenuHeight);
    else
      Place(FLeft, FTop, FLeft, FTop);
    Invalidate();
  }
  if (FSub) {
    if (FSelected == FSub->FItem && Selectable(FSelected) && HasVisibleItems(FSelected))
      FSub->Rebuild();
    else
      CloseSub();
  }
}

int TMenuWindow::IndexOfEntry(const TMenuItem* Item) const {
  for (size_t I = 0; I < FEntries.size(); ++I)
    if (FEntries[I].Item == Item) return int(I);
  return -1;
}

TMenuItem* TMenuWindow::EntryAt(const TPoint& Client) const {
  for (const TEntry& E : FEntries)
    if (PtInRect(E.R, Client)) return E.Item;
  return nullptr;
}

const TMenuWindow* TMenuWindow::LevelOf(const TMenuItem* Item) const {
  if (IndexOfEntry(Item) >= 0) return this;
  return FSub ? FSub->LevelOf(Item) : nullptr;
}

TRect TMenuWindow::EntryScreenRect(const TMenuItem* Item) const {
  const int I = IndexOfEntry(Item);
  if (I < 0) return TRect{};
  TRect R = FEntries[size_t(I)].R;
  const TPoint O = ClientOrigin();
  OffsetRect(R, O.X, O.Y);
  return R;
}

TMenuWindow* TMenuWindow::LevelAt(const TPoint& Screen) {
  if (FSub)
    if (TMenuWindow* W = FSub->LevelAt(Screen)) return W;
  TRect R;
  if (FHandle && GetWindowRect(FHandle, R) && PtInRect(R, Screen)) return this;
  return nullptr;
}

void TMenuWindow::Select(TMenuItem* Item) {
  if (FSelected == Item) return;
  FSelected = Item;
  Invalidate();
}

void TMenuWindow::SelectStep(int Delta) {
  const int N = int(FEntries.size());
  if (N == 0) return;
  int Start = IndexOfEntry(FSelected);
  if (Start < 0) Start = Delta > 0 ? -1 : N;
  for (int Step = 1; Step <= N; ++Step) {
    const int I = ((Start + Delta * Step) % N + N) % N;
    if (Selectable(FEntries[size_t(I)].Item)) {
      Select(FEntries[size_t(I)].Item);
      return;
    }
  }
}

void TMenuWindow::OpenSub(bool SelectFirst) {
  if (!FSelected || !Selectable(FSelected) || !HasVisibleItems(FSelected)) return;
  if (FSub && FSub->FItem == FSelected) {
    if (SelectFirst && !FSub->FSelected) FSub->SelectStep(1);
    return;
  }
  CloseSub();
  auto* Sub = new TMenuWindow(FMenu, FSelected, this);
  FSub = Sub;
  Sub->Font()->Assign(Font());
  Sub->Layout();
  const TRect Item = EntryScreenRect(FSelected);
  TRect Mine;
  GetWindowRect(FHandle, Mine);
  // To the right of this level, its first entry level with the item; else to the left.
  Sub->Place(Mine.Right - MenuBorder, Item.Top - MenuBorder - MenuPadding, Mine.Left + MenuBorder,
             Item.Bottom + MenuBorder + MenuPadding);
  Sub->FVisible = true;
  Sub->HandleNeeded();
  ShowWindow(Sub->FHandle, SW_SHOWNA);
  SetWindowPos(Sub->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (SelectFirst) Sub->SelectStep(1);
}

void TMenuWindow::CloseSub() {
  if (!FSub) return;
  TMenuWindow* Sub = FSub;
  FSub = nullptr;
  Sub->Dismiss(false);
  Sub->FParentLevel = nullptr;
  Sub->Release();
}

void TMenuWindow::Choose(TPopupMenu* Menu, TMenuItem* Item) {
  // The menu closes first, so that the handler may free it or show it again.
  Menu->DoCloseMenu(true);
  try {
    Item->Click();
  } catch (...) {
    ApplicationHandleException(Item);
  }
}

void TMenuWindow::Activate(TMenuItem* Item) {
  if (!Item || !Selectable(Item)) return;
  Select(Item);
  if (HasVisibleItems(Item))
    OpenSub(true);
  else
    Choose(FMenu, Item);
}

void TMenuWindow::MouseInput(UINT Msg, const TPoint& Client) {
  TPoint Screen = Client;
  ::platform::ClientToScreen(FHandle, Screen);
  TMenuWindow* Level = Root()->LevelAt(Screen);
  const bool Down = Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN || Msg == WM_MBUTTONDOWN ||
                    Msg == WM_LBUTTONDBLCLK || Msg == WM_RBUTTONDBLCLK || Msg == WM_MBUTTONDBLCLK;
  if (!Level) {
    // A press outside every level closes the menu and goes no further.
    if (Down) {
      Root()->FMenu->DoCloseMenu(true);
      return;
    }
    TMenuWindow* In = Root()->Innermost();
    if (Msg == WM_MOUSEMOVE) In->Select(nullptr);
    return;
  }
  TPoint LevelClient = Screen;
  ::platform::ScreenToClient(Level->FHandle, LevelClient);
  TMenuItem* Item = Level->EntryAt(LevelClient);
  const bool Usable = Item && Selectable(Item);
  if (Msg == WM_MOUSEMOVE || Down) {
    // Hovering highlights the item and opens its sub-menu; the sub-menu of another item closes.
    if (!Item) {
      if (!Level->FSub) Level->Select(nullptr);  // on the frame: an open sub-menu stays
      return;
    }
    if (Level->FSub && Level->FSub->FItem != Item) Level->CloseSub();
    Level->Select(Usable ? Item : nullptr);
    if (Usable && HasVisibleItems(Item)) Level->OpenSub(false);
    return;
  }
  // A button released over an item runs it (an item with sub-items opens them).
  if (Usable) Level->Activate(Item);
}

void TMenuWindow::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0 || FParentLevel) return;
  TMenuWindow* In = Innermost();
  switch (Key) {
    case VK_DOWN:
      In->SelectStep(1);
      break;
    case VK_UP:
      In->SelectStep(-1);
      break;
    case VK_HOME:
      In->Select(nullptr);
      In->SelectStep(1);
      break;
    case VK_END:
      In->Select(nullptr);
      In->SelectStep(-1);
      break;
    case VK_RIGHT:
      In->OpenSub(true);
      break;
    case VK_LEFT:
      if (In->FParentLevel) In->FParentLevel->CloseSub();
      break;
    case VK_ESCAPE:
      // Escape steps out of a sub-menu, or closes the menu.
      if (In->FParentLevel)
        In->FParentLevel->CloseSub();
      else
        FMenu->DoCloseMenu(true);
      break;
    case VK_RETURN:
    case VK_SPACE:
      In->Activate(In->FSelected);
      break;
    default:
      return;
  }
  Key = 0;
}

void TMenuWindow::KeyPress(char& Key) {
  TCustomControl::KeyPress(Key);
  if (Key == 0 || FParentLevel) return;
  const char Upper = (Key >= 'a' && Key <= 'z') ? char(Key - 'a' + 'A') : Key;
  if (Upper == ' ') return;  // Space was handled as a key
  TMenuWindow* In = Innermost();
  std::vector<TMenuItem*> Matches;
  for (const TEntry& E : In->FEntries)
    if (Selectable(E.Item) && GetHotkey(E.Item->Caption()) == Upper) Matches.push_back(E.Item);
  Key = 0;
  if (Matches.empty()) return;
  if (Matches.size() == 1) {
    In->Activate(Matches.front());
    return;
  }
  // Several items share the letter: each press highlights the next of them.
  auto It = std::find(Matches.begin(), Matches.end(), In->FSelected);
  In->Select(It == Matches.end() || It + 1 == Matches.end() ? Matches.front() : *(It + 1));
}

void TMenuWindow::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  // The focus went elsewhere: the menu closes and leaves the focus where it went.
  if (!FClosing && !FReleased && !FParentLevel) FMenu->DoCloseMenu(false);
}

void TMenuWindow::Paint() {
  TCanvas* C = Canvas();
  C->Font()->Assign(Font());
  C->Brush()->SetColor(clMenu);
  C->FillRect(ClientRect());
  C->Brush()->SetColor(clBtnShadow);
  C->FrameRect(ClientRect());
  for (const TEntry& E : FEntries) {
    TMenuItem* It = E.Item;
    if (It->IsLine()) {
      const int Y = E.R.Top + SeparatorHeight / 2;
      C->Brush()->SetColor(clBtnShadow);
      C->FillRect(Rect(E.R.Left + 2, Y, E.R.Right - 2, Y + 1));
      continue;
    }
    const bool Hot = It == FSelected;
    TColor Text = clMenuText;
    if (!It->Enabled())
      Text = clGrayText;
    else if (Hot)
      Text = clHighlightText;
    if (Hot) {
      C->Brush()->SetColor(clHighlight);
      C->FillRect(E.R);
    }
    const int CX = E.R.Left + CheckGutter / 2, CY = (E.R.Top + E.R.Bottom) / 2;
    if (It->Checked()) {
      C->Pen()->SetColor(Text);
      C->Brush()->SetColor(Text);
      if (It->RadioItem()) {
        C->Pen()->SetWidth(1);
        C->Ellipse(CX - 3, CY - 3, CX + 4, CY + 4);
      } else {
        C->Pen()->SetWidth(2);
        C->Polyline({Point(CX - 5, CY), Point(CX - 2, CY + 3), Point(CX + 5, CY - 4)});
        C->Pen()->SetWidth(1);
      }
    }
    if (HasVisibleItems(It)) {
      C->Pen()->SetColor(Text);
      C->Brush()->SetColor(Text);
      const int AX = E.R.Right - ArrowColumn / 2;
      C->Polygon({Point(AX - 2, CY - 4), Point(AX - 2, CY + 4), Point(AX + 2, CY)});
    }
    C->Font()->SetColor(Text);
    C->Brush()->SetStyle(bsClear);
    TRect TR = Rect(E.R.Left + CheckGutter + TextGap, E.R.Top, E.R.Right - ArrowColumn, E.R.Bottom);
    C->TextRect(TR, It->Caption(), TTextFormat{tfLeft, tfSingleLine, tfVerticalCenter});
    C->Brush()->SetStyle(bsSolid);
  }
}

// ================================================================= TPopupMenu

void TPopupMenu::VelPublish(TPublisher& P) {
  P.Property("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft);
  P.Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
  P.Property("OnPopup", &TPopupMenu::OnPopup, &TPopupMenu::OnPopup);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() { DoCloseMenu(false); }

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (FPopupComponent == Value) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (Value) Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::Popup(int X, int Y) {
  CloseMenu();
  DoPopup(this);
  if (FWindow || !HasVisibleItems(FItems)) return;  // shown by OnPopup itself, or nothing to show
  auto* W = new TMenuWindow(this, FItems, nullptr);
  FWindow = W;
  try {
    W->OpenAt(X, Y, FAlignment);
  } catch (...) {
    DoCloseMenu(true);
    throw;
  }
}

void TPopupMenu::CloseMenu() { DoCloseMenu(true); }

void TPopupMenu::DoCloseMenu(bool RestoreFocus) {
  if (!FWindow) return;
  TMenuWindow* W = FWindow;
  FWindow = nullptr;
  W->Dismiss(RestoreFocus);
  W->Release();
}

void TPopupMenu::MenuChanged(TMenuItem*) {
  if (FWindow) FWindow->Rebuild();
}

bool TPopupMenu::IsShown() const { return FWindow && FWindow->HandleAllocated(); }

HWND TPopupMenu::MenuWindow() const { return IsShown() ? FWindow->Handle() : nullptr; }

TRect TPopupMenu::ItemScreenRect(const TMenuItem* Item) const {
  if (!IsShown()) return TRect{};
  const TMenuWindow* L = FWindow->LevelOf(Item);
  return L ? L->EntryScreenRect(Item) : TRect{};
}

HWND TPopupMenu::ItemWindow(const TMenuItem* Item) const {
  if (!IsShown()) return nullptr;
  const TMenuWindow* L = FWindow->LevelOf(Item);
  return L && L->HandleAllocated() ? const_cast<TMenuWindow*>(L)->Handle() : nullptr;
}

TMenuItem* TPopupMenu::HighlightedItem() const { return IsShown() ? FWindow->Innermost()->Selected() : nullptr; }

}  // namespace platform
