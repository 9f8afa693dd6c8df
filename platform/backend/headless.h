// The headless backend: top-level images stay in memory, input comes from
// PostInputEvent, time is a clock that tests advance, the clipboard lives
// in the process.
#pragma once

#include "platform/win/backend.h"

namespace platform {

/// \brief Shows nothing and waits for nothing; time moves only when told to.
class THeadlessBackend : public TBackend {
 public:
  const char* Name() const override { return "headless"; }
  void TopLevelCreated(HWND, const TRect&) override {}
  void TopLevelDestroyed(HWND) override {}
  void TopLevelShown(HWND, bool) override {}
  void TopLevelMoved(HWND, const TRect&) override {}
  void TopLevelTitle(HWND, std::string_view) override {}
  void Present(HWND, cairo_surface_t*, const TRect&) override {}
  void PollEvents() override {}
  bool WaitEvents(int) override { return false; }
  DWORD TickCount() override { return FClock; }
  void ClipboardOwned() override {}
  bool ClipboardIsForeign() override { return false; }
  bool ForeignClipboardHas(UINT) override { return false; }
  bool ReadForeignClipboard(UINT, std::string&) override { return false; }

  void AdvanceTime(DWORD Milliseconds) { FClock += Milliseconds; }

 private:
  DWORD FClock = 100000;
};

/// Makes the headless backend current (only while no window exists) and returns it.
THeadlessBackend& UseHeadlessBackend();
/// The current backend when it is headless, else nullptr.
THeadlessBackend* HeadlessBackend();

}  // namespace platform
