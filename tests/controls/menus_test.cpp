// Menu items and popup menus: the item list, and the popup window driven by
// real mouse and key input through the window system.
#include "platform/controls/menus.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <cairo.h>

#include "platform/controls/forms.h"
#include "platform/win/backend.h"
#include "support/window_fixture.h"

using namespace platform;

namespace {

// A menu that builds its items anew each time it pops up.
class TRebuildingMenu : public TPopupMenu {
  VEL_CLASS(TRebuildingMenu, TPopupMenu)
  explicit TRebuildingMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}
  int Builds = 0;

 protected:
  void DoPopup(TObject* Sender) override {
    Items()->Clear();
    ++Builds;
    for (int I = 0; I < Builds; ++I) {
      auto* It = new TMenuItem(this);
      It->SetCaption("Entry " + std::to_string(I));
      Items()->Add(It);
    }
    TPopupMenu::DoPopup(Sender);
  }
};

}  // namespace

VEL_IMPLEMENT_CLASS(TRebuildingMenu, "Tests");

class Menus : public WindowFixture {
 protected:
  static TMenuItem* AddItem(TMenuItem* Parent, const std::string& Caption, std::vector<std::string>* Log = nullptr) {
    auto* It = new TMenuItem(nullptr);
    It->SetCaption(Caption);
    if (Log) It->OnClick = [Log, Caption](TObject*) { Log->push_back(Caption); };
    Parent->Add(It);
    return It;
  }

  /// The centre of a shown item in the client coordinates of the window listing it.
  static TPoint ItemPoint(TPopupMenu* M, TMenuItem* Item, HWND& Wnd) {
    Wnd = M->ItemWindow(Item);
    EXPECT_NE(Wnd, nullptr) << Item->Caption() << " is not shown";
    const TRect R = M->ItemScreenRect(Item);
    TPoint P = Point((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
    ScreenToClient(Wnd, P);
    return P;
  }

  static void Hover(TPopupMenu* M, TMenuItem* Item) {
    HWND Wnd;
    const TPoint P = ItemPoint(M, Item, Wnd);
    if (!Wnd) return;
    InjectMouseMove(Wnd, P);
    ProcessMessages();
  }

  static void ClickItem(TPopupMenu* M, TMenuItem* Item) {
    HWND Wnd;
    const TPoint P = ItemPoint(M, Item, Wnd);
    if (!Wnd) return;
    InjectMouseMove(Wnd, P);
    InjectMouseButton(Wnd, TInputButton::Left, true, P);
    InjectMouseButton(Wnd, TInputButton::Left, false, P);
    ProcessMessages();
  }

  static void Key(UINT Vk, char32_t Char = 0) {
    InjectKey(Vk, true, Char);
    InjectKey(Vk, false);
    ProcessMessages();
  }

  /// A copy of a window's image.
  static std::unique_ptr<TBitmap> WindowImage(HWND Wnd) {
    UpdateWindow(Wnd);
    cairo_surface_t* S = GetWindowImage(Wnd);
    auto B = std::make_unique<TBitmap>();
    if (!S) return B;
    B->SetSize(cairo_image_surface_get_width(S), cairo_image_surface_get_height(S));
    cairo_t* Cr = B->Canvas()->Handle()->Cr;
    cairo_save(Cr);
    cairo_set_source_surface(Cr, S, 0, 0);
    cairo_set_operator(Cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(Cr);
    cairo_restore(Cr);
    cairo_surface_flush(cairo_get_target(Cr));
    return B;
  }

  static int CountPixels(TBitmap* B, const TRect& R, TColor C) {
    int N = 0;
    for (int Y = R.Top; Y < R.Bottom; ++Y)
      for (int X = R.Left; X < R.Right; ++X)
        if (B->Canvas()->Pixels(X, Y) == C) ++N;
    return N;
  }

  /// The pixels of R that are not Background: what was drawn on it.
  static int InkPixels(TBitmap* B, const TRect& R, TColor Background) {
    return (R.Right - R.Left) * (R.Bottom - R.Top) - CountPixels(B, R, Background);
  }

  static TRect ClientRectOf(TPopupMenu* M, TMenuItem* Item) {
    TRect R = M->ItemScreenRect(Item);
    TPoint O{0, 0};
    ClientToScreen(M->ItemWindow(Item), O);
    OffsetRect(R, -O.X, -O.Y);
    return R;
  }
};

TEST_F(Menus, RightClickOnAControlShowsItsMenuAndAClickOnAnItemRunsIt) {
  TForm* Form = NewForm(300, 200);
  auto* Pad = new TCustomControl(Form);
  Pad->SetParent(Form);
  Pad->SetBounds(20, 20, 120, 80);
  auto* Other = new TCustomControl(Form);
  Other->SetParent(Form);
  Other->SetBounds(200, 20, 40, 40);
  Other->SetFocus();
  ASSERT_TRUE(Other->Focused());

  auto* Menu = new TPopupMenu(Form);
  std::vector<std::string> Log;
  AddItem(Menu->Items(), "&Open", &Log);
  TMenuItem* Save = AddItem(Menu->Items(), "&Save", &Log);
  int Popups = 0;
  Menu->OnPopup = [&](TObject* Sender) {
    EXPECT_EQ(Sender, Menu);
    EXPECT_EQ(Menu->PopupComponent(), Pad);
    ++Popups;
  };
  Pad->SetPopupMenu(Menu);

  Click(Form, 50, 40, TInputButton::Right);
  ASSERT_TRUE(Menu->IsShown());
  HWND Wnd = Menu->MenuWindow();
  ASSERT_NE(Wnd, nullptr);
  EXPECT_EQ(GetParent(Wnd), nullptr);  // a top-level window of its own
  EXPECT_EQ(Menu->PopupComponent(), Pad);
  EXPECT_EQ(Popups, 1);
  // Its corner is where the mouse was released.
  TRect R;
  GetWindowRect(Wnd, R);
  EXPECT_EQ(R.TopLeft(), Form->ClientToScreen(Point(50, 40)));
  EXPECT_EQ(GetFocus(), Wnd);
  EXPECT_EQ(GetCapture(), Wnd);
  SavePng(WindowImage(Wnd).get(), "menus_popup.png");

  ClickItem(Menu, Save);
  EXPECT_EQ(Log, std::vector<std::string>{"&Save"});
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_EQ(Menu->MenuWindow(), nullptr);
  EXPECT_FALSE(IsWindow(Wnd));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(Other->Focused());  // the focus went back
  EXPECT_EQ(Popups, 1);
}

TEST_F(Menus, TheMenuOfTheControlUnderTheMouseOrOfItsParentPopsUp) {
  TForm* Form = NewForm(300, 200);
  auto* Windowed = new TCustomControl(Form);
  Windowed->SetParent(Form);
  Windowed->SetBounds(10, 10, 60, 60);
  auto* Graphic = new TGraphicControl(Form);
  Graphic->SetParent(Form);
  Graphic->SetBounds(100, 10, 60, 60);
  auto* Bare = new TCustomControl(Form);  // no menu of its own
  Bare->SetParent(Form);
  Bare->SetBounds(200, 10, 60, 60);
  auto* Own = new TPopupMenu(Form);
  AddItem(Own->Items(), "Own");
  auto* FormMenu = new TPopupMenu(Form);
  AddItem(FormMenu->Items(), "Form");
  Windowed->SetPopupMenu(Own);
  Graphic->SetPopupMenu(Own);
  Form->SetPopupMenu(FormMenu);

  struct TCase {
    TPoint At;
    TPopupMenu* Shown;
    TComponent* Component;
  };
  const TCase Cases[] = {{Point(20, 20), Own, Windowed},
                         {Point(110, 20), Own, Graphic},
                         {Point(210, 20), FormMenu, Form},
                         {Point(150, 150), FormMenu, Form}};
  for (const TCase& C : Cases) {
    Click(Form, C.At.X, C.At.Y, TInputButton::Right);
    EXPECT_TRUE(C.Shown->IsShown()) << C.At.X;
    EXPECT_FALSE((C.Shown == Own ? FormMenu : Own)->IsShown()) << C.At.X;
    EXPECT_EQ(C.Shown->PopupComponent(), C.Component) << C.At.X;
    Key(VK_ESCAPE);
    EXPECT_FALSE(C.Shown->IsShown());
  }
  // A menu that does not pop up by itself leaves the right click to the parent.
  Own->SetAutoPopup(false);
  Click(Form, 20, 20, TInputButton::Right);
  EXPECT_FALSE(Own->IsShown());
  EXPECT_TRUE(FormMenu->IsShown());
}

TEST_F(Menus, ItemListOperations) {
  TComponent Owner(nullptr);
  TMenuItem Root(nullptr);
  auto Make = [&](const std::string& Caption) {
    auto* It = new TMenuItem(&Owner);
    It->SetCaption(Caption);
    return It;
  };
  TMenuItem* A = Make("A");
  TMenuItem* B = Make("B");
  TMenuItem* C = Make("C");
  Root.Add(A);
  Root.Add(B);
  Root.Insert(0, C);  // C A B
  TMenuItem* D = Make("D");
  Root.Insert(2, D);  // C A D B
  ASSERT_EQ(Root.Count(), 4);
  EXPECT_EQ(Root[0], C);
  EXPECT_EQ(Root[1], A);
  EXPECT_EQ(Root[2], D);
  EXPECT_EQ(Root[3], B);
  EXPECT_EQ(D->MenuIndex(), 2);
  EXPECT_EQ(D->Parent(), &Root);

  // Bad positions and double insertion are refused, and change nothing.
  TMenuItem* E = Make("E");
  EXPECT_THROW(Root.Insert(5, E), EListError);
  EXPECT_THROW(Root.Insert(-1, E), EListError);
  EXPECT_THROW(Root.Insert(0, A), EInvalidOperation);
  EXPECT_THROW(A->Add(A), EInvalidOperation);
  Root.Delete(1);  // A out: C D B
  A->Add(E);
  EXPECT_THROW(E->Add(A), EInvalidOperation);  // an item cannot hold its own ancestor
  EXPECT_EQ(Root.Count(), 3);
  EXPECT_THROW(Root.Items(3), EListError);

  // Delete takes the item out without freeing it.
  const int Owned = Owner.ComponentCount();
  EXPECT_EQ(A->Parent(), nullptr);
  EXPECT_EQ(Root.IndexOf(A), -1);
  EXPECT_EQ(Owner.ComponentCount(), Owned);
  EXPECT_EQ(A->Caption(), "A");
  Root.Add(A);  // and it can go back
  EXPECT_EQ(Root[3], A);

  // SetMenuIndex moves within the parent.
  A->SetMenuIndex(0);
  EXPECT_EQ(Root.IndexOf(A), 0);

  // Clear frees the items, and their sub-items.
  Root.Clear();
  EXPECT_EQ(Root.Count(), 0);
  EXPECT_EQ(Owner.ComponentCount(), Owned - 5);
}

TEST_F(Menus, ParentsAndRadioGroups) {
  TPopupMenu Menu(nullptr);
  TMenuItem* File = AddItem(Menu.Items(), "File");
  TMenuItem* Small = AddItem(File, "Small");
  TMenuItem* Large = AddItem(File, "Large");
  TMenuItem* Other = AddItem(File, "Other group");
  // Streaming and designers see the menu above its top items, and the item above sub-items.
  EXPECT_EQ(File->GetParentComponent(), &Menu);
  EXPECT_EQ(Small->GetParentComponent(), File);
  TMenuItem* Moved = AddItem(File, "Moved");
  Moved->SetParentComponent(&Menu);
  EXPECT_EQ(Moved->Parent(), Menu.Items());
  EXPECT_EQ(File->IndexOf(Moved), -1);

  for (TMenuItem* I : {Small, Large, Other}) I->SetRadioItem(true);
  Other->SetGroupIndex(1);
  Other->SetChecked(true);
  Small->SetChecked(true);
  Large->SetChecked(true);  // unchecks Small, not the item of the other group
  EXPECT_FALSE(Small->Checked());
  EXPECT_TRUE(Large->Checked());
  EXPECT_TRUE(Other->Checked());
}

TEST_F(Menus, CaptionsSeparatorsAndAccelerators) {
  struct TCase {
    const char* Caption;
    const char* Stripped;
    char Hotkey;
  };
  const TCase Cases[] = {
      {"&File", "File", 'F'},         {"Save &as", "Save as", 'A'},
      {"&&Fish", "&Fish", 0},         {"Tom && &Jerry", "Tom & Jerry", 'J'},
      {"Trailing&", "Trailing", 0},   {"Plain", "Plain", 0},
      {"&1 Recent", "1 Recent", '1'},
  };
  for (const TCase& C : Cases) {
    EXPECT_EQ(StripHotkey(C.Caption), C.Stripped) << C.Caption;
    EXPECT_EQ(GetHotkey(C.Caption), C.Hotkey) << C.Caption;
  }
  TMenuItem Root(nullptr);
  TMenuItem* Line = AddItem(&Root, "-");
  TMenuItem* Dash = AddItem(&Root, "-x");
  TMenuItem* Open = AddItem(&Root, "&Open");
  EXPECT_TRUE(Line->IsLine());
  EXPECT_FALSE(Dash->IsLine());
  EXPECT_EQ(Root.Find("open"), Open);
  EXPECT_EQ(Root.Find("&Open"), Open);
  EXPECT_EQ(Root.Find("Close"), nullptr);
}

TEST_F(Menus, DisabledItemsAndSeparatorsCannotBeClicked) {
  TForm* Form = NewForm(300, 200);
  auto* Menu = new TPopupMenu(Form);
  std::vector<std::string> Log;
  TMenuItem* Off = AddItem(Menu->Items(), "Off", &Log);
  Off->SetEnabled(false);
  TMenuItem* Line = AddItem(Menu->Items(), "-", &Log);
  TMenuItem* On = AddItem(Menu->Items(), "On", &Log);
  Off->Click();  // disabled: nothing, even when called directly
  EXPECT_TRUE(Log.empty());

  Menu->Popup(100, 100);
  ASSERT_TRUE(Menu->IsShown());
  ClickItem(Menu, Off);
  ClickItem(Menu, Line);
  EXPECT_TRUE(Log.empty());
  EXPECT_TRUE(Menu->IsShown());  // the menu waits for a usable item
  ClickItem(Menu, On);
  EXPECT_EQ(Log, std::vector<std::string>{"On"});
  EXPECT_FALSE(Menu->IsShown());
}

TEST_F(Menus, SubMenuOpensOnHoverAndItsItemsRun) {
  TForm* Form = NewForm(300, 200);
  auto* Menu = new TPopupMenu(Form);
  std::vector<std::string> Log;
  TMenuItem* First = AddItem(Menu->Items(), "First", &Log);
  TMenuItem* More = AddItem(Menu->Items(), "More", &Log);
  TMenuItem* Deep = AddItem(More, "Deep", &Log);
  TMenuItem* Deeper = AddItem(More, "Deeper", &Log);
  TMenuItem* Last = AddItem(Deeper, "Last", &Log);

  Menu->Popup(50, 50);
  EXPECT_EQ(Menu->ItemWindow(Deep), nullptr);
  Hover(Menu, More);
  HWND Sub = Menu->ItemWindow(Deep);
  ASSERT_NE(Sub, nullptr);
  EXPECT_NE(Sub, Menu->MenuWindow());
  EXPECT_EQ(Menu->HighlightedItem(), nullptr);  // nothing in the new level yet
  // The sub-menu opens to the right of the menu, beside its item.
  TRect MenuR, SubR;
  GetWindowRect(Menu->MenuWindow(), MenuR);
  GetWindowRect(Sub, SubR);
  EXPECT_GE(SubR.Left, MenuR.Right - 2);
  EXPECT_LE(std::abs(SubR.Top - MenuR.Top - (Menu->ItemScreenRect(More).Top - Menu->ItemScreenRect(First).Top)), 4);

  Hover(Menu, Deeper);
  ASSERT_NE(Menu->ItemWindow(Last), nullptr);
  // Back on another item of the first level: its open sub-menus close.
  Hover(Menu, First);
  EXPECT_EQ(Menu->ItemWindow(Deep), nullptr);
  EXPECT_EQ(Menu->ItemWindow(Last), nullptr);
  EXPECT_FALSE(IsWindow(Sub));

  Hover(Menu, More);
  Hover(Menu, Deeper);
  ClickItem(Menu, Last);
  EXPECT_EQ(Log, std::vector<std::string>{"Last"});  // an item with sub-items does not run
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_EQ(Menu->ItemWindow(Last), nullptr);
}

TEST_F(Menus, KeyboardNavigationSkipsWhatCannotBeChosen) {
  TForm* Form = NewForm(300, 200);
  auto* Menu = new TPopupMenu(Form);
  std::vector<std::string> Log;
  TMenuItem* A = AddItem(Menu->Items(), "Alpha", &Log);
  AddItem(Menu->Items(), "-", &Log);
  AddItem(Menu->Items(), "Off", &Log)->SetEnabled(false);
  AddItem(Menu->Items(), "Hidden", &Log)->SetVisible(false);
  TMenuItem* D = AddItem(Menu->Items(), "Delta", &Log);
  AddItem(Menu->Items(), "-", &Log);

  Menu->Popup(10, 10);
  struct TStep {
    UINT Key;
    TMenuItem* Expected;
  };
  const TStep Steps[] = {{VK_DOWN, A}, {VK_DOWN, D}, {VK_DOWN, A}, {VK_UP, D}, {VK_UP, A}, {VK_END, D}, {VK_HOME, A}};
  for (const TStep& S : Steps) {
    Key(S.Key);
    EXPECT_EQ(Menu->HighlightedItem(), S.Expected) << "after key " << S.Key;
  }
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_EQ(Log, std::vector<std::string>{"Delta"});
  EXPECT_FALSE(Menu->IsShown());
}

TEST_F(Menus, ArrowsOpenAndCloseSubMenusAndEscapeCloses) {
  TForm* Form = NewForm(300, 200);
  Form->SetFocus();
  auto* Menu = new TPopupMenu(Form);
  std::vector<std::string> Log;
  TMenuItem* More = AddItem(Menu->Items(), "More", &Log);
  AddItem(More, "-", &Log);
  TMenuItem* Inner = AddItem(More, "Inner", &Log);

  Menu->Popup(10, 10);
  Key(VK_DOWN);
  Key(VK_RIGHT);
  ASSERT_NE(Menu->ItemWindow(Inner), nullptr);
  EXPECT_EQ(Menu->HighlightedItem(), Inner);  // the first usable item of the sub-menu
  Key(VK_LEFT);
  EXPECT_EQ(Menu->ItemWindow(Inner), nullptr);
  EXPECT_EQ(Menu->HighlightedItem(), More);
  Key(VK_RIGHT);
  Key(VK_ESCAPE);  // out of the sub-menu only
  EXPECT_TRUE(Menu->IsShown());
  EXPECT_EQ(Menu->ItemWindow(Inner), nullptr);
  Key(VK_ESCAPE);
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_TRUE(Form->Focused());
  EXPECT_TRUE(Log.empty());

  // Enter on an item with sub-items opens them; Enter there runs the item.
  Menu->Popup(10, 10);
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_EQ(Menu->HighlightedItem(), Inner);
  Key(VK_RETURN);
  EXPECT_EQ(Log, std::vector<std::string>{"Inner"});
  EXPECT_FALSE(Menu->IsShown());
}

TEST_F(Menus, AcceleratorLettersRunTheirItem) {
  TForm* Form = NewForm(300, 200);
  auto* Menu = new TPopupMenu(Form);
  std::vector<std::string> Log;
  AddItem(Menu->Items(), "&Open", &Log);
  TMenuItem* Copy = AddItem(Menu->Items(), "&Copy", &Log);
  TMenuItem* Cut = AddItem(Menu->Items(), "&Cut", &Log);
  AddItem(Menu->Items(), "&Disabled", &Log)->SetEnabled(false);
  AddItem(Menu->Items(), "Save &as", &Log);

  Menu->Popup(10, 10);
  Key('D', U'd');  // a disabled item does not answer
  Key('Q', U'q');  // nor does a letter nobody has
  EXPECT_TRUE(Menu->IsShown());
  // A letter two items share highlights them in turn.
  Key('C', U'c');
  EXPECT_EQ(Menu->HighlightedItem(), Copy);
  Key('C', U'c');
  EXPECT_EQ(Menu->HighlightedItem(), Cut);
  EXPECT_TRUE(Log.empty());
  Key('A', U'A');
  EXPECT_EQ(Log, std::vector<std::string>{"Save &as"});
  EXPECT_FALSE(Menu->IsShown());
}

TEST_F(Menus, AClickElsewhereClosesTheMenuAndGoesNoFurther) {
  TForm* Form = NewForm(300, 200);
  auto* Pad = new TCustomControl(Form);
  Pad->SetParent(Form);
  Pad->SetBounds(150, 100, 100, 80);
  int Downs = 0, Clicks = 0;
  Pad->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++Downs; };
  Pad->OnClick = [&](TObject*) { ++Clicks; };
  auto* Menu = new TPopupMenu(Form);
  std::vector<std::string> Log;
  AddItem(Menu->Items(), "One", &Log);
  Menu->Popup(Form->ClientToScreen(Point(10, 10)).X, Form->ClientToScreen(Point(10, 10)).Y);
  ASSERT_TRUE(Menu->IsShown());
  // Moving elsewhere does not close it.
  InjectMouseMove(Form->Handle(), Point(200, 150));
  ProcessMessages();
  EXPECT_TRUE(Menu->IsShown());
  Click(Form, 200, 150);
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_EQ(Downs, 0);
  EXPECT_EQ(Clicks, 0);
  EXPECT_TRUE(Log.empty());
  // The next click reaches the control again.
  Click(Form, 210, 160);
  EXPECT_EQ(Downs, 1);
  EXPECT_EQ(Clicks, 1);
}

TEST_F(Menus, TheMenuStaysOnTheScreen) {
  NewForm(100, 100);
  auto* Menu = new TPopupMenu(Application());
  for (int I = 0; I < 4; ++I) AddItem(Menu->Items(), "Item number " + std::to_string(I));
  const TRect Screen0 = Rect(0, 0, Screen()->Width(), Screen()->Height());
  const TPoint Points[] = {Point(Screen0.Right - 3, Screen0.Bottom - 3), Point(Screen0.Right - 3, 5),
                           Point(5, Screen0.Bottom - 3), Point(-50, -50)};
  for (const TPoint& P : Points) {
    Menu->Popup(P.X, P.Y);
    TRect R;
    ASSERT_TRUE(GetWindowRect(Menu->MenuWindow(), R));
    EXPECT_GE(R.Left, 0);
    EXPECT_GE(R.Top, 0);
    EXPECT_LE(R.Right, Screen0.Right);
    EXPECT_LE(R.Bottom, Screen0.Bottom);
    Menu->CloseMenu();
  }
  // Right alignment puts the right edge at the point.
  Menu->SetAlignment(paRight);
  Menu->Popup(600, 300);
  TRect R;
  GetWindowRect(Menu->MenuWindow(), R);
  EXPECT_EQ(R.Right, 600);
  EXPECT_EQ(R.Top, 300);
  Menu->SetAlignment(paCenter);
  Menu->Popup(600, 300);
  GetWindowRect(Menu->MenuWindow(), R);
  EXPECT_LE(std::abs((R.Left + R.Right) / 2 - 600), 1);
  // Popup while shown shows it anew.
  Menu->SetAlignment(paLeft);
  Menu->Popup(40, 50);
  GetWindowRect(Menu->MenuWindow(), R);
  EXPECT_EQ(R.TopLeft(), Point(40, 50));

  // Without room on the right a sub-menu opens to the left of its menu.
  TMenuItem* More = AddItem(Menu->Items(), "More");
  TMenuItem* Inner = AddItem(More, "A sub-menu item with a long caption");
  Menu->Popup(Screen0.Right - 150, 10);
  GetWindowRect(Menu->MenuWindow(), R);
  ASSERT_LE(R.Right, Screen0.Right);
  Hover(Menu, More);
  TRect SubR;
  ASSERT_TRUE(GetWindowRect(Menu->ItemWindow(Inner), SubR));
  EXPECT_LE(SubR.Right, R.Left + 2);
  EXPECT_GE(SubR.Left, 0);
}

TEST_F(Menus, PaintsHighlightSeparatorAndCheckMarks) {
  TForm* Form = NewForm(300, 200);
  auto* Menu = new TPopupMenu(Form);
  TMenuItem* Hot = AddItem(Menu->Items(), "&Highlighted");
  TMenuItem* Line = AddItem(Menu->Items(), "-");
  TMenuItem* Plain = AddItem(Menu->Items(), "Plain");
  TMenuItem* Checked = AddItem(Menu->Items(), "Checked");
  Checked->SetChecked(true);
  TMenuItem* Radio = AddItem(Menu->Items(), "Radio");
  Radio->SetRadioItem(true);
  Radio->SetChecked(true);
  TMenuItem* Off = AddItem(Menu->Items(), "Disabled");
  Off->SetEnabled(false);
  TMenuItem* Sub = AddItem(Menu->Items(), "Sub");
  AddItem(Sub, "Inside");

  Menu->Popup(30, 30);
  Hover(Menu, Hot);
  ASSERT_EQ(Menu->HighlightedItem(), Hot);
  std::unique_ptr<TBitmap> Image = WindowImage(Menu->MenuWindow());
  SavePng(Image.get(), "menus_paint.png");
  const TColor Highlight = ColorToRGB(clHighlight), Back = ColorToRGB(clMenu), Text = ColorToRGB(clMenuText);

  const TRect HotR = ClientRectOf(Menu, Hot);
  EXPECT_EQ(PixelOf(Image.get(), HotR.Right - 3, HotR.Top + 2), Highlight);
  EXPECT_GT(InkPixels(Image.get(), HotR, Highlight), 10);  // its caption
  const TRect PlainR = ClientRectOf(Menu, Plain);
  EXPECT_EQ(PixelOf(Image.get(), PlainR.Right - 3, PlainR.Top + 2), Back);
  EXPECT_GT(InkPixels(Image.get(), PlainR, Back), 10);

  // The separator: one line of the shadow colour across the middle of its entry.
  const TRect LineR = ClientRectOf(Menu, Line);
  int LineRows = 0;
  for (int Y = LineR.Top; Y < LineR.Bottom; ++Y)
    if (PixelOf(Image.get(), (LineR.Left + LineR.Right) / 2, Y) == ColorToRGB(clBtnShadow)) ++LineRows;
  EXPECT_EQ(LineRows, 1);

  // Check mark and radio dot in the gutter left of the caption; none beside Plain.
  auto Gutter = [&](TMenuItem* It) {
    TRect R = ClientRectOf(Menu, It);
    R.Right = R.Left + 22;
    return R;
  };
  EXPECT_GT(CountPixels(Image.get(), Gutter(Checked), Text), 6);
  EXPECT_GT(CountPixels(Image.get(), Gutter(Radio), Text), 6);
  EXPECT_EQ(InkPixels(Image.get(), Gutter(Plain), Back), 0);
  // A disabled caption is drawn, but nowhere as dark as enabled text; an item
  // with sub-items shows an arrow at the right.
  EXPECT_GT(InkPixels(Image.get(), ClientRectOf(Menu, Off), Back), 10);
  EXPECT_EQ(CountPixels(Image.get(), ClientRectOf(Menu, Off), Text), 0);
  TRect Arrow = ClientRectOf(Menu, Sub);
  Arrow.Left = Arrow.Right - 20;
  EXPECT_GT(CountPixels(Image.get(), Arrow, Text), 6);
  Arrow = ClientRectOf(Menu, Plain);
  Arrow.Left = Arrow.Right - 20;
  EXPECT_EQ(InkPixels(Image.get(), Arrow, Back), 0);
}

TEST_F(Menus, OnPopupRebuildsAndAnEmptyMenuStaysClosed) {
  NewForm(100, 100);
  auto* Menu = new TRebuildingMenu(Application());
  int Fired = 0;
  Menu->OnPopup = [&](TObject*) { ++Fired; };
  Menu->Popup(10, 10);
  ASSERT_TRUE(Menu->IsShown());
  EXPECT_EQ(Menu->Items()->Count(), 1);
  Menu->Popup(10, 10);  // the old items are freed, the new ones shown
  EXPECT_EQ(Menu->Items()->Count(), 2);
  EXPECT_FALSE(IsRectEmpty(Menu->ItemScreenRect(Menu->Items()->Items(1))));
  EXPECT_EQ(Fired, 2);
  Menu->CloseMenu();

  auto* Empty = new TPopupMenu(Application());
  int EmptyFired = 0;
  Empty->OnPopup = [&](TObject*) { ++EmptyFired; };
  AddItem(Empty->Items(), "Hidden")->SetVisible(false);
  Empty->Popup(10, 10);
  EXPECT_EQ(EmptyFired, 1);
  EXPECT_FALSE(Empty->IsShown());
}

TEST_F(Menus, HandlersMayFreeTheMenuAndTheirErrorsReachTheApplication) {
  TForm* Form = NewForm(300, 200);
  auto* Menu = new TPopupMenu(Form);
  TMenuItem* Free = AddItem(Menu->Items(), "Free");
  TMenuItem* Fail = AddItem(Menu->Items(), "Fail");
  TMenuItem* Again = AddItem(Menu->Items(), "Again");
  std::vector<std::string> Reported;
  Application()->OnException = [&](TObject* Sender, const Exception& E) {
    EXPECT_EQ(Sender, Fail);
    Reported.push_back(E.Message());
  };
  Fail->OnClick = [](TObject*) { throw EConvertError("bad"); };
  Menu->Popup(10, 10);
  ClickItem(Menu, Fail);
  EXPECT_EQ(Reported, std::vector<std::string>{"bad"});
  EXPECT_FALSE(Menu->IsShown());

  // A handler that shows the menu again finds it closed first.
  int Shown = 0;
  Again->OnClick = [&](TObject*) {
    EXPECT_FALSE(Menu->IsShown());
    if (++Shown == 1) Menu->Popup(20, 20);
  };
  Menu->Popup(10, 10);
  ClickItem(Menu, Again);
  EXPECT_TRUE(Menu->IsShown());
  ClickItem(Menu, Again);
  EXPECT_EQ(Shown, 2);
  EXPECT_FALSE(Menu->IsShown());

  bool Ran = false;
  Free->OnClick = [&](TObject*) {
    delete Menu;
    Ran = true;
  };
  Menu->Popup(10, 10);
  ClickItem(Menu, Free);
  EXPECT_TRUE(Ran);
  Application()->OnException = nullptr;
}

TEST_F(Menus, ItemsChangingWhileShownUpdateTheMenu) {
  TForm* Form = NewForm(300, 200);
  auto* Menu = new TPopupMenu(Form);
  TMenuItem* A = AddItem(Menu->Items(), "A");
  TMenuItem* More = AddItem(Menu->Items(), "More");
  TMenuItem* Inner = AddItem(More, "Inner");
  Menu->Popup(10, 10);
  Hover(Menu, More);
  ASSERT_NE(Menu->ItemWindow(Inner), nullptr);
  TRect Before;
  GetWindowRect(Menu->MenuWindow(), Before);

  TMenuItem* B = AddItem(Menu->Items(), "A much longer caption than the others");
  TRect After;
  GetWindowRect(Menu->MenuWindow(), After);
  EXPECT_GT(After.Width(), Before.Width());
  EXPECT_GT(After.Height(), Before.Height());
  EXPECT_FALSE(IsRectEmpty(Menu->ItemScreenRect(B)));

  A->SetVisible(false);
  EXPECT_TRUE(IsRectEmpty(Menu->ItemScreenRect(A)));
  EXPECT_NE(Menu->ItemWindow(Inner), nullptr);  // the open sub-menu stays

  delete More;  // the sub-menu of a freed item goes with it
  EXPECT_EQ(Menu->ItemWindow(Inner), nullptr);
  EXPECT_TRUE(Menu->IsShown());
  Key(VK_DOWN);
  EXPECT_EQ(Menu->HighlightedItem(), B);
}

TEST_F(Menus, TheMenuClosesWhenTheFocusMovesAway) {
  TForm* Form = NewForm(300, 200);
  auto* Pad = new TCustomControl(Form);
  Pad->SetParent(Form);
  auto* Menu = new TPopupMenu(Form);
  AddItem(Menu->Items(), "One");
  Menu->Popup(10, 10);
  ASSERT_TRUE(Menu->IsShown());
  Pad->SetFocus();
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_TRUE(Pad->Focused());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Menus, APopupFromAButtonDownTakesTheMouseFromTheControl) {
  TForm* Form = NewForm(300, 200);
  auto* Pad = new TCustomControl(Form);
  Pad->SetParent(Form);
  Pad->SetBounds(10, 10, 100, 100);
  auto* Menu = new TPopupMenu(Form);
  std::vector<std::string> Log;
  TMenuItem* One = AddItem(Menu->Items(), "One", &Log);
  int Clicks = 0;
  Pad->OnClick = [&](TObject*) { ++Clicks; };
  Pad->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int Y) {
    const TPoint P = Pad->ClientToScreen(Point(X, Y));
    Menu->Popup(P.X, P.Y);
  };
  Click(Form, 20, 20);
  ASSERT_TRUE(Menu->IsShown());
  EXPECT_EQ(GetCapture(), Menu->MenuWindow());
  EXPECT_EQ(Mouse()->CaptureControl(), nullptr);
  EXPECT_EQ(Clicks, 0);  // the release went to the menu
  ClickItem(Menu, One);
  EXPECT_EQ(Log, std::vector<std::string>{"One"});
  // The control captures the mouse on its next press again.
  Pad->OnMouseDown = nullptr;
  Press(Form, 30, 30);
  EXPECT_EQ(GetCapture(), Pad->Handle());
  Release(Form, 30, 30);
  EXPECT_EQ(Clicks, 1);
}
