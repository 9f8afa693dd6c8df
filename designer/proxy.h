// Control proxies: hooks on the window procedure of a windowed control.
//
// TVelWndProcProxy replaces a control's window procedure with a trampoline to
// its ProxyWndMethod and puts the old one back on release. The design proxy
// turns the control's clicks into selection messages for the stage, creates
// palette components, reports moves up the parent chain and lets its control
// be edited in place. The proxy list holds one design proxy per control.
#pragma once

#include <memory>

#include "platform/controls/controls.h"
#include "platform/rtl/list.h"
#include "platform/win/windows.h"

namespace vel {

class TVelDesignManager;

/// \brief Hooks one windowed control's window procedure and passes its
/// messages on to the procedure it replaced.
class TVelWndProcProxy : public platform::TObject {
  VEL_CLASS(TVelWndProcProxy, platform::TObject)
  explicit TVelWndProcProxy(platform::TWinControl* Control);
  ~TVelWndProcProxy() override;

  /// The hooked control; none once it has been destroyed.
  platform::TWinControl* Control() const;
  /// The control the proxy was bound to, for comparisons only: it stays set
  /// while the control announces its own destruction.
  const platform::TComponent* BoundComponent() const { return FBound; }
  virtual void SetControl(platform::TWinControl* Control);
  bool GetEnabled() const { return FEnabled; }
  void SetEnbaled(bool Value) { FEnabled = Value; }

  virtual void CreateNewWndProc();
  virtual void ReleaseNewWndProc();
  /// Passes Message to the old window procedure (nothing without a control).
  virtual void ProxyWndMethod(platform::TMessage& Message);

 protected:
  /// For constructors of descendants: binds Control once the object is whole.
  struct TDeferBind {};
  TVelWndProcProxy(TDeferBind);
  void BindInitial(platform::TWinControl* Control);

 private:
  // Holds the control while it exists: a control can be destroyed while its
  // proxy lives on (its parent frees it), and the proxy must not reach it then.
  std::unique_ptr<platform::TComponentList> FControl;
  const platform::TComponent* FBound = nullptr;
  platform::WNDPROC FOldWndProc{};
  platform::WNDPROC FNewWndProc{};
  platform::HWND FHookedWnd = nullptr;
  bool FEnabled = true;
};

/// \brief The proxy the design manager installs on each windowed control of
/// the stage.
class TVelDesignWndProcProxy : public TVelWndProcProxy {
  VEL_CLASS(TVelDesignWndProcProxy, TVelWndProcProxy)
  explicit TVelDesignWndProcProxy(platform::TWinControl* Control);
  ~TVelDesignWndProcProxy() override;

  void SetDesignManager(TVelDesignManager* Manager) { FDesignManager = Manager; }
  TVelDesignManager* DesignManager() const { return FDesignManager; }
  platform::TWinControl* TargetControl() const { return FTargetControl; }
  void SetTargetControl(platform::TWinControl* Value) { FTargetControl = Value; }
  bool InLineEditing() const { return FInLineEditing; }

  bool IsInterceptMsgs() const { return GetEnabled(); }
  bool GetCanAcceptChild() const;
  platform::TControl* GetSelectedGraphicCtrl(const platform::TMessage& Message) const;
  void StartInLineEdit();
  void EndInLineEdit();

  void ProxyWndMethod(platform::TMessage& Message) override;

  virtual platform::TComponent* DynCreateChildControl(platform::TClass ComponentClass, platform::TRect Rect);
  virtual void ProxyKillFocus(platform::TMessage& Message);
  virtual void ProxyMouseDown(platform::TMessage& Message);
  virtual void ProxyMouseUp(platform::TMessage& Message);
  virtual void ProxyMouseMove(platform::TMessage& Message);
  virtual void ProxyMouseDblClick(platform::TMessage& Message);
  virtual void ProxyMoved(platform::TMessage& Message);
  virtual void ProxySized(platform::TMessage& Message);
  virtual void ProxyVELNCtrlMoved(platform::TMessage& Message);
  virtual void ProxyExitSizeMove(platform::TMessage& Message);

 protected:
  TVelDesignWndProcProxy(TDeferBind);
  /// Sets the target from the control's owner when that is windowed.
  void TakeTargetFromOwner(platform::TWinControl* Control);
  /// The design dispatch: handlers by message number, then the old procedure
  /// unless a handler consumed the message.
  void DesignDispatch(platform::TMessage& Message);
  /// True for this class only; the stage proxy answers false.
  virtual bool IsControlProxy() const { return true; }

 private:
  bool FInLineEditing = false;
  platform::TWinControl* FTargetControl = nullptr;
  TVelDesignManager* FDesignManager = nullptr;
  /// Posts VELN_CtrlMoved (or passes one on) to the control's parent.
  void PostMovedToParent(platform::TMessage& Message, platform::WPARAM Moved);
};

/// \brief The manager's control proxies; frees a proxy when it deletes its entry.
class TVelDesignWndProcProxyList : public platform::TList {
  VEL_CLASS(TVelDesignWndProcProxyList, platform::TList)
  TVelDesignWndProcProxyList();
  ~TVelDesignWndProcProxyList() override;

  int AddControl(platform::TWinControl* Control, bool Unique);
  int AddProxy(TVelDesignWndProcProxy* Proxy, bool Unique);
  int GetControlIndex(const platform::TComponent* Control) const;
  TVelDesignWndProcProxy* GetProxies(int Index) const { return static_cast<TVelDesignWndProcProxy*>(Get(Index)); }
  void SetProxies(int Index, TVelDesignWndProcProxy* Proxy) { Put(Index, Proxy); }
  void DelProxy(int Index);
  void DelControl(const platform::TComponent* Control);
  void DelUnassignedProxies();
  void ClearProxies();
  void SetAllEnabled(bool Value);

 protected:
  void Notify(void* Ptr, platform::TListNotification Action) override;

 private:
  class TWatcher;
  /// Hears of the destruction of every proxied control and drops its proxy,
  /// whoever owns the control and whatever is being destroyed around it.
  std::unique_ptr<TWatcher> FWatcher;
};

}  // namespace vel
