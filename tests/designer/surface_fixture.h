// A designed panel stage on a shown form, with real input through the window
// system: every message reaches the hooked window procedures.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "designer/VelDesigner.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdctrls.h"
#include "support/window_fixture.h"

/// Hooks a window above whatever procedure it has now and records each
/// message with the Result it came back with.
class ResultRecorder {
 public:
  struct TEntry {
    platform::UINT Msg;
    platform::LRESULT Result;
    platform::WPARAM WParam;
    platform::LPARAM LParam;
  };
  explicit ResultRecorder(platform::HWND Wnd) : FWnd(Wnd) {
    FHook = platform::MakeObjectInstance([this](platform::TMessage& M) {
      M.Result = platform::CallWindowProc(FOld, FWnd, M.Msg, M.WParam, M.LParam);
      Entries.push_back({M.Msg, M.Result, M.WParam, M.LParam});
    });
    FOld = reinterpret_cast<platform::WNDPROC>(
        platform::SetWindowLong(FWnd, platform::GWL_WNDPROC, platform::LONG_PTR(FHook)));
  }
  ~ResultRecorder() {
    if (platform::IsWindow(FWnd)) platform::SetWindowLong(FWnd, platform::GWL_WNDPROC, platform::LONG_PTR(FOld));
    platform::FreeObjectInstance(FHook);
  }
  ResultRecorder(const ResultRecorder&) = delete;
  ResultRecorder& operator=(const ResultRecorder&) = delete;

  /// The entries of one message number, in arrival order.
  std::vector<TEntry> Of(platform::UINT Msg) const {
    std::vector<TEntry> R;
    for (const TEntry& E : Entries)
      if (E.Msg == Msg) R.push_back(E);
    return R;
  }
  std::vector<TEntry> Entries;

 private:
  platform::HWND FWnd;
  platform::WNDPROC FHook = nullptr;
  platform::WNDPROC FOld = nullptr;
};

/// The stage (a panel on a form) holds, all owned by the stage:
///   Button1 (10, 10, 80, 24) and Button2 (120, 10, 80, 24) on the stage,
///   Panel1 (10, 60, 200, 150) with Inner (10, 10, 60, 24) and Label1 (100, 20, 60, 16) on it,
///   Edit1 (250, 10, 100, 24) on the stage.
class SurfaceFixture : public WindowFixture {
 protected:
  platform::TForm* Form = nullptr;
  platform::TPanel* Stage = nullptr;
  platform::TButton* Button1 = nullptr;
  platform::TButton* Button2 = nullptr;
  platform::TPanel* Panel1 = nullptr;
  platform::TButton* Inner = nullptr;
  platform::TLabel* Label1 = nullptr;
  platform::TEdit* Edit1 = nullptr;
  vel::TVelDesignManager* Manager = nullptr;

  void SetUp() override {
    Form = NewForm(640, 480);
    Stage = new platform::TPanel(Form);
    Stage->SetName("Stage");
    Stage->SetParent(Form);
    Stage->SetBounds(20, 20, 500, 400);
    Button1 = Make<platform::TButton>("Button1", Stage, 10, 10, 80, 24);
    Button2 = Make<platform::TButton>("Button2", Stage, 120, 10, 80, 24);
    Panel1 = Make<platform::TPanel>("Panel1", Stage, 10, 60, 200, 150);
    Inner = Make<platform::TButton>("Inner", Panel1, 10, 10, 60, 24);
    Label1 = Make<platform::TLabel>("Label1", Panel1, 100, 20, 60, 16);
    Edit1 = Make<platform::TEdit>("Edit1", Stage, 250, 10, 100, 24);
    Manager = new vel::TVelDesignManager(Stage);
    Manager->SetIsDesigning(true);
    ProcessMessages();
  }

  /// A control owned by the stage, on Parent.
  template <class T>
  T* Make(const std::string& Name, platform::TWinControl* Parent, int X, int Y, int W, int H) {
    auto* C = new T(Stage);
    C->SetName(Name);
    C->SetParent(Parent);
    C->SetBounds(X, Y, W, H);
    return C;
  }

  /// A point given in C's client coordinates, in the form's.
  platform::TPoint At(const platform::TControl* C, int X, int Y) const {
    return Form->ScreenToClient(C->ClientToScreen(platform::Point(X, Y)));
  }

  void PressAt(platform::TPoint P) { Press(Form, P.X, P.Y); }
  void ReleaseAt(platform::TPoint P) { Release(Form, P.X, P.Y); }
  void ClickAt(platform::TPoint P) { Click(Form, P.X, P.Y); }
  void MoveTo(platform::TPoint P) {
    platform::InjectMouseMove(Form->Handle(), P);
    ProcessMessages();
  }
  /// Presses at From, moves towards To in Steps equal steps, runs WhileHeld
  /// and releases at To. The steps after the press are fed through the idle
  /// handler too, so they also reach a move-and-size loop that the press starts.
  void Drag(platform::TPoint From, platform::TPoint To, int Steps = 4,
            const std::function<void()>& WhileHeld = nullptr) {
    std::deque<std::function<void()>> Pending;
    const platform::HWND Top = Form->Handle();
    for (int I = 1; I <= Steps; ++I) {
      const platform::TPoint P =
          platform::Point(From.X + (To.X - From.X) * I / Steps, From.Y + (To.Y - From.Y) * I / Steps);
      Pending.push_back([Top, P] { platform::InjectMouseMove(Top, P); });
    }
    if (WhileHeld) Pending.push_back(WhileHeld);
    Pending.push_back([Top, To] { platform::InjectMouseButton(Top, platform::TInputButton::Left, false, To); });
    auto RunNext = [&Pending] {
      if (Pending.empty()) return false;
      auto Action = std::move(Pending.front());
      Pending.pop_front();
      Action();
      return true;
    };
    platform::SetIdleHandler(RunNext);
    PressAt(From);
    while (RunNext()) ProcessMessages();
    platform::SetIdleHandler(nullptr);
  }
  static void KeyDown(platform::UINT Vk) { platform::InjectKey(Vk, true); }
  static void KeyUp(platform::UINT Vk) { platform::InjectKey(Vk, false); }
  /// Presses and releases Vk, with the modifier held when one is given.
  static void Stroke(platform::UINT Vk, platform::UINT Modifier = 0) {
    if (Modifier) KeyDown(Modifier);
    KeyDown(Vk);
    KeyUp(Vk);
    if (Modifier) KeyUp(Modifier);
    ProcessMessages();
  }

  /// The controls of the manager's sizers, in sizer-list order.
  std::vector<platform::TControl*> Selected() const {
    std::vector<platform::TControl*> R;
    vel::TVelSizerList* L = Manager->Sizers();
    for (int I = 0; I < L->Count(); ++I)
      if (vel::TVelSizer* S = L->GetSizers(I)) R.push_back(S->Control());
    return R;
  }
  /// A one-item popup menu, made the manager's design menu; Popups counts
  /// how often it is shown.
  platform::TPopupMenu* NewDesignMenu(int& Popups) {
    auto* Menu = new platform::TPopupMenu(Form);
    auto* Item = new platform::TMenuItem(Menu);
    Item->SetCaption("Item");
    Menu->Items()->Add(Item);
    Menu->OnPopup = [&Popups](platform::TObject*) { ++Popups; };
    Manager->SetDesignPopupMenu(Menu);
    return Menu;
  }
  void RightClickAt(platform::TPoint P) { Click(Form, P.X, P.Y, platform::TInputButton::Right); }

  vel::TVelSizer* SizerOf(const platform::TControl* C) const {
    const int I = Manager->Sizers()->GetControlIndex(C);
    return I >= 0 ? Manager->Sizers()->GetSizers(I) : nullptr;
  }
  bool StageSelected() const { return Manager->StageSizer()->Control() == Stage; }
};
