// TVelWndProcProxy, TVelDesignWndProcProxy and TVelDesignWndProcProxyList.
#include "designer/proxy.h"

#include "designer/manager.h"
#include "designer/messages.h"
#include "utils/wyn_sys_utils.h"

namespace vel {

using namespace platform;

VEL_IMPLEMENT_CLASS(TVelWndProcProxy, "VelDesigner");
VEL_IMPLEMENT_CLASS(TVelDesignWndProcProxy, "VelDesigner");
VEL_IMPLEMENT_CLASS(TVelDesignWndProcProxyList, "VelDesigner");

// ============================================================ TVelWndProcProxy

TVelWndProcProxy::TVelWndProcProxy(TWinControl* Control) : FControl(std::make_unique<TComponentList>(false)) {
  BindInitial(Control);
}

TVelWndProcProxy::TVelWndProcProxy(TDeferBind) : FControl(std::make_unique<TComponentList>(false)) {}

TWinControl* TVelWndProcProxy::Control() const {
  return FControl->Count() > 0 ? static_cast<TWinControl*>(FControl->Items(0)) : nullptr;
}

// Binding goes through the virtual SetControl, so it runs once the most
// derived constructor has made the object whole.
void TVelWndProcProxy::BindInitial(TWinControl* Control) {
  FEnabled = true;
  SetControl(Control);
}

TVelWndProcProxy::~TVelWndProcProxy() { TVelWndProcProxy::ReleaseNewWndProc(); }

void TVelWndProcProxy::SetControl(TWinControl* Control) {
  if (Control == this->Control()) return;
  ReleaseNewWndProc();
  FControl->Clear();
  if (Control) FControl->Add(Control);
  FBound = Control;
  CreateNewWndProc();
}

void TVelWndProcProxy::CreateNewWndProc() {
  TWinControl* C = Control();
  if (!C) return;
  const HWND Wnd = C->Handle();
  FNewWndProc = MakeObjectInstance([this](TMessage& Message) { ProxyWndMethod(Message); });
  FOldWndProc = reinterpret_cast<WNDPROC>(SetWindowLong(Wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FNewWndProc)));
  FHookedWnd = Wnd;
}

void TVelWndProcProxy::ReleaseNewWndProc() {
  if (!FNewWndProc) return;
  // A control being destroyed (or gone) has lost its window already: leave it alone.
  TWinControl* C = Control();
  if (C && !C->ComponentState().Contains(csDestroying) && IsWindow(FHookedWnd) &&
      reinterpret_cast<WNDPROC>(GetWindowLong(FHookedWnd, GWL_WNDPROC)) == FNewWndProc)
    SetWindowLong(FHookedWnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FOldWndProc));
  FreeObjectInstance(FNewWndProc);
  FNewWndProc = nullptr;
  FOldWndProc = nullptr;
  FHookedWnd = nullptr;
}

void TVelWndProcProxy::ProxyWndMethod(TMessage& Message) {
  if (!FHookedWnd || !Control()) return;
  Message.Result = CallWindowProc(FOldWndProc, FHookedWnd, Message.Msg, Message.WParam, Message.LParam);
}

// ============================================================ TVelDesignWndProcProxy

TVelDesignWndProcProxy::TVelDesignWndProcProxy(TWinControl* Control) : TVelWndProcProxy(TDeferBind{}) {
  BindInitial(Control);
  TakeTargetFromOwner(Control);
}

TVelDesignWndProcProxy::TVelDesignWndProcProxy(TDeferBind) : TVelWndProcProxy(TDeferBind{}) {}

void TVelDesignWndProcProxy::TakeTargetFromOwner(TWinControl* Control) {
  if (!Control) return;
  if (auto* Owner = dynamic_cast<TWinControl*>(Control->Owner())) FTargetControl = Owner;
}

TVelDesignWndProcProxy::~TVelDesignWndProcProxy() { EndInLineEdit(); }

bool TVelDesignWndProcProxy::GetCanAcceptChild() const {
  return Control() && Control()->ControlStyle().Contains(csAcceptsControls) &&
         !(FDesignManager && FDesignManager->EmbedEditing());
}

TControl* TVelDesignWndProcProxy::GetSelectedGraphicCtrl(const TMessage& Message) const {
  TWinControl* C = Control();
  if (!C) return nullptr;
  const TPoint Screen = C->ClientToScreen(LParamToPoint(Message.LParam));
  for (int I = C->ControlCount() - 1; I >= 0; --I) {
    TControl* Child = C->Controls(I);
    if (!dynamic_cast<TGraphicControl*>(Child)) continue;
    if (PtInRect(Child->ClientRect(), Child->ScreenToClient(Screen))) return Child;
  }
  return nullptr;
}

void TVelDesignWndProcProxy::StartInLineEdit() {
  if (!Control()) return;
  SetEnbaled(false);
  FInLineEditing = true;
  Control()->SetFocus();
}

void TVelDesignWndProcProxy::EndInLineEdit() {
  if (!Control() || !FInLineEditing) return;
  SetEnbaled(true);
  FInLineEditing = false;
  if (FDesignManager) FDesignManager->EndEmbedEdit();
}

void TVelDesignWndProcProxy::ProxyWndMethod(TMessage& Message) {
  const UINT Msg = Message.Msg;
  const bool Watched = Msg == WM_KILLFOCUS || Msg == VELN_EndInlineEdit || Msg == WM_SETCURSOR || Msg == WM_SIZE ||
                       Msg == WM_MOVE || Msg == CM_FOCUSCHANGED;
  if (!IsInterceptMsgs() && !Watched) {
    TVelWndProcProxy::ProxyWndMethod(Message);
    return;
  }
  DesignDispatch(Message);
}

void TVelDesignWndProcProxy::DesignDispatch(TMessage& Message) {
  if (!Control()) return;
  const UINT Msg = Message.Msg;
  switch (Msg) {
    case WM_NCHITTEST:
      if (FDesignManager) {
        if (IsControlProxy() && FDesignManager->GetIsRubbering())
          Message.Result = HTTRANSPARENT;
        else if (FDesignManager->GetIsDynInsComp() && !GetCanAcceptChild())
          Message.Result = HTTRANSPARENT;
      }
      break;
    case WM_MOVE:
      ProxyMoved(Message);
      break;
    case WM_SIZE:
      ProxySized(Message);
      break;
    case WM_EXITSIZEMOVE:
      ProxyExitSizeMove(Message);
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      ProxyMouseDown(Message);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      ProxyMouseUp(Message);
      break;
    case WM_LBUTTONDBLCLK:
      ProxyMouseDblClick(Message);
      break;
    case WM_MOUSEMOVE:
      ProxyMouseMove(Message);
      break;
    case WM_KILLFOCUS:
      ProxyKillFocus(Message);
      break;
    default:
      if (Msg == VELN_CtrlMoved) {
        ProxyVELNCtrlMoved(Message);
      } else if (Msg == VELN_StartInlineEdit) {
        StartInLineEdit();
        Message.Result = 1;
      } else if (Msg == VELN_EndInlineEdit) {
        EndInLineEdit();
        Message.Result = 1;
      }
      break;
  }
  if (Message.Result == 0) TVelWndProcProxy::ProxyWndMethod(Message);
}

TComponent* TVelDesignWndProcProxy::DynCreateChildControl(TClass ComponentClass, TRect Rect) {
  if (!FDesignManager || !FDesignManager->DesignStage() || !ComponentClass) return nullptr;
  TWinControl* Stage = FDesignManager->DesignStage();
  const std::string Name = GetCompUniqueID(ComponentClass, Stage);
  TComponent* Component = ComponentClass->CreateComponent(nullptr);
  if (!Component) return nullptr;
  try {
    Component->SetName(Name);
    if (auto* C = dynamic_cast<TControl*>(Component)) {
      C->SetParent(Control());
      C->SetTop(Rect.Top);
      C->SetLeft(Rect.Left);
      if (Rect.Right - Rect.Left > 0) C->SetWidth(Rect.Right - Rect.Left);
      if (Rect.Bottom - Rect.Top > 0) C->SetHeight(Rect.Bottom - Rect.Top);
      if (C->Width() == 0 && C->Height() == 0) {
        C->SetWidth(50);
        C->SetHeight(50);
      }
      C->Show();
    }
    Stage->InsertComponent(Component);
  } catch (...) {
    delete Component;
    throw;
  }
  return Component;
}

void TVelDesignWndProcProxy::ProxyKillFocus(TMessage&) {}

void TVelDesignWndProcProxy::ProxyMouseDown(TMessage& Message) {
  TWinControl* C = Control();
  const TPoint Click = LParamToPoint(Message.LParam);
  // Palette insertion.
  if (FDesignManager && FDesignManager->GetIsDynInsComp() && GetCanAcceptChild() && Message.Msg == WM_LBUTTONDOWN) {
    TComponent* Component = DynCreateChildControl(FDesignManager->GetDynInsCompClass(), TRect{Click.X, Click.Y, 0, 0});
    FDesignManager->DynInsCompDone(Component);
    if (auto* NewControl = dynamic_cast<TControl*>(Component))
      FDesignManager->SelectControl(NewControl, TPoint{-1, -1}, csmSelect, false, true);
    Message.Result = 301;
  }
  // Ctrl-click: up to the parent.
  if (Message.Result == 0 && (Message.WParam & MK_CONTROL)) {
    if (TWinControl* Parent = C->Parent()) {
      const TPoint P = Parent->ScreenToClient(C->ClientToScreen(Click));
      PostMessage(Parent->Handle(), Message.Msg, Message.WParam, PointToLParam(P));
    }
    Message.Result = 201;
  }
  // Selection: the position first, then the control, to the target.
  if (Message.Result == 0) {
    TWinControl* Target = FTargetControl;
    TMessage Copy = Message;
    Copy.Msg = VELM_ControlSelectedAtPos;
    Copy.Result = 0;
    if (Target) {
      Target->Broadcast(Copy);
      PostMessage(Target->Handle(), Copy.Msg, Copy.WParam, Copy.LParam);
    }
    if (TControl* Graphic = GetSelectedGraphicCtrl(Message)) {
      Copy.LParam = reinterpret_cast<LPARAM>(Graphic);
      Message.Result = 102;
    } else {
      Copy.LParam = reinterpret_cast<LPARAM>(static_cast<TControl*>(C));
      Message.Result = 101;
    }
    Copy.Msg = VELM_ControlSelected;
    Copy.WParam = Message.WParam;
    Copy.Result = 0;
    if (Target) {
      Target->Broadcast(Copy);
      PostMessage(Target->Handle(), Copy.Msg, Copy.WParam, Copy.LParam);
    }
  }
}

void TVelDesignWndProcProxy::ProxyMouseUp(TMessage&) {}

void TVelDesignWndProcProxy::ProxyMouseMove(TMessage& Message) {
  if (FDesignManager)
    FDesignManager->EnvokeStageMouseMove(Control(), KeyDataToShiftState(Message.WParam), LParamToPoint(Message.LParam));
}

void TVelDesignWndProcProxy::ProxyMouseDblClick(TMessage&) {}

void TVelDesignWndProcProxy::PostMovedToParent(TMessage& Message, WPARAM Moved) {
  TWinControl* Parent = Control()->Parent();
  if (!Parent) return;
  PostMessage(Parent->Handle(), VELN_CtrlMoved, Moved, Message.LParam);
  Message.Result = 1;
}

void TVelDesignWndProcProxy::ProxyMoved(TMessage& Message) {
  PostMovedToParent(Message, reinterpret_cast<WPARAM>(static_cast<TControl*>(Control())));
}

void TVelDesignWndProcProxy::ProxySized(TMessage& Message) {
  PostMovedToParent(Message, reinterpret_cast<WPARAM>(static_cast<TControl*>(Control())));
}

void TVelDesignWndProcProxy::ProxyExitSizeMove(TMessage& Message) {
  PostMovedToParent(Message, reinterpret_cast<WPARAM>(static_cast<TControl*>(Control())));
}

void TVelDesignWndProcProxy::ProxyVELNCtrlMoved(TMessage& Message) { PostMovedToParent(Message, Message.WParam); }

// ============================================================ TVelDesignWndProcProxyList

class TVelDesignWndProcProxyList::TWatcher : public TComponent {
 public:
  explicit TWatcher(TVelDesignWndProcProxyList* List) : TComponent(nullptr), FList(List) {}
  void Watch(TComponent* Control) {
    if (Control) Control->FreeNotification(this);
  }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    while (FList->GetControlIndex(AComponent) >= 0) FList->DelControl(AComponent);
  }

 private:
  TVelDesignWndProcProxyList* FList;
};

TVelDesignWndProcProxyList::TVelDesignWndProcProxyList() : FWatcher(std::make_unique<TWatcher>(this)) {}

TVelDesignWndProcProxyList::~TVelDesignWndProcProxyList() = default;

void TVelDesignWndProcProxyList::Notify(void* Ptr, TListNotification Action) {
  if (Action == lnAdded && FWatcher)
    if (TWinControl* Control = static_cast<TVelDesignWndProcProxy*>(Ptr)->Control()) FWatcher->Watch(Control);
  TList::Notify(Ptr, Action);
}

int TVelDesignWndProcProxyList::AddControl(TWinControl* Control, bool Unique) {
  if (Unique && GetControlIndex(Control) >= 0) return -1;
  return Add(new TVelDesignWndProcProxy(Control));
}

int TVelDesignWndProcProxyList::AddProxy(TVelDesignWndProcProxy* Proxy, bool Unique) {
  if (Unique && Proxy && GetControlIndex(Proxy->BoundComponent()) >= 0) return -1;
  return Add(Proxy);
}

int TVelDesignWndProcProxyList::GetControlIndex(const TComponent* Control) const {
  for (int I = 0; I < Count(); ++I)
    if (TVelDesignWndProcProxy* P = GetProxies(I); P && P->BoundComponent() == Control) return I;
  return -1;
}

void TVelDesignWndProcProxyList::DelProxy(int Index) {
  TVelDesignWndProcProxy* P = GetProxies(Index);
  Delete(Index);
  delete P;
}

void TVelDesignWndProcProxyList::DelControl(const TComponent* Control) {
  if (const int Index = GetControlIndex(Control); Index >= 0) DelProxy(Index);
}

void TVelDesignWndProcProxyList::DelUnassignedProxies() {
  int I = 0;
  while (I < Count()) {
    TVelDesignWndProcProxy* P = GetProxies(I);
    if (!P || !P->Control())
      DelProxy(I);
    else
      ++I;
  }
}

void TVelDesignWndProcProxyList::ClearProxies() {
  for (int I = Count() - 1; I >= 0; --I) {
    TVelDesignWndProcProxy* P = GetProxies(I);
    Put(I, nullptr);
    delete P;
  }
  Clear();
}

void TVelDesignWndProcProxyList::SetAllEnabled(bool Value) {
  for (int I = Count() - 1; I >= 0; --I)
    if (TVelDesignWndProcProxy* P = GetProxies(I)) P->SetEnbaled(Value);
}

}  // namespace vel
