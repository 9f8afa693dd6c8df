// Test support for the window system: a fixture that gives every test a
// fresh headless window system, and windows whose procedure records what
// arrives and lets a test answer messages.
#pragma once

#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/backend/headless.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/backend.h"
#include "platform/win/windows.h"

namespace wintest {

using namespace platform;

/// One delivered message, in the order of arrival across all test windows.
struct TDelivery {
  HWND Wnd = nullptr;
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  friend bool operator==(const TDelivery&, const TDelivery&) = default;
};

inline std::vector<TDelivery>& Deliveries() {
  static std::vector<TDelivery> Log;
  return Log;
}

/// Messages of these numbers are not recorded unless a test asks for them.
inline bool IsNoise(UINT Msg) {
  return Msg == WM_NCHITTEST || Msg == WM_SETCURSOR || Msg == WM_PAINT || Msg == WM_ERASEBKGND ||
         Msg == WM_WINDOWPOSCHANGED || Msg == WM_SHOWWINDOW || Msg == WM_CREATE;
}

/// \brief A window whose procedure records every message and can be told how to answer.
class TTestWindow {
 public:
  /// Return true from Handler to answer the message yourself (set M.Result).
  std::function<bool(TMessage& M)> Handler;
  bool RecordNoise = false;

  TTestWindow(HWND Parent, TRect B, DWORD Style = WS_VISIBLE, DWORD ExStyle = 0, UINT ClassStyle = 0) {
    Proc = MakeObjectInstance([this](TMessage& M) { Handle_(M); });
    Handle = CreateWindowEx(ExStyle, ClassStyle, Style, B.Left, B.Top, B.Width(), B.Height(), Parent, Proc);
  }
  ~TTestWindow() {
    if (IsWindow(Handle)) DestroyWindow(Handle);
    FreeObjectInstance(Proc);
  }
  TTestWindow(const TTestWindow&) = delete;
  TTestWindow& operator=(const TTestWindow&) = delete;

  operator HWND() const { return Handle; }
  HWND Handle = nullptr;
  WNDPROC Proc = nullptr;
  std::vector<TMessage> Received;

  /// The messages of one number this window received.
  std::vector<TMessage> Of(UINT Msg) const {
    std::vector<TMessage> Out;
    for (const TMessage& M : Received)
      if (M.Msg == Msg) Out.push_back(M);
    return Out;
  }

 private:
  void Handle_(TMessage& M) {
    if (RecordNoise || !IsNoise(M.Msg)) {
      Received.push_back(M);
      Deliveries().push_back(TDelivery{Handle, M.Msg, M.WParam, M.LParam});
    }
    if (Handler && Handler(M)) return;
    M.Result = DefWindowProc(Handle, M.Msg, M.WParam, M.LParam);
  }
};

/// \brief A fresh headless window system for each test.
class WinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWindowSystem();
    UseHeadlessBackend();
    Deliveries().clear();
  }
  void TearDown() override {
    ResetWindowSystem();
    Deliveries().clear();
  }
  THeadlessBackend& Clock() { return *HeadlessBackend(); }

  /// The message numbers delivered so far, restricted to Filter when it is not empty.
  static std::vector<UINT> Sequence(std::vector<UINT> Filter = {}) {
    std::vector<UINT> Out;
    for (const TDelivery& D : Deliveries())
      if (Filter.empty() || std::find(Filter.begin(), Filter.end(), D.Msg) != Filter.end()) Out.push_back(D.Msg);
    return Out;
  }

  // Mouse input in the top-level window's client coordinates.
  static void Click(HWND Top, TPoint P, TInputButton B = TInputButton::Left, DWORD Time = 0) {
    InjectMouseButton(Top, B, true, P, Time);
    InjectMouseButton(Top, B, false, P, Time);
  }
};

/// The colour of a pixel of a top-level window's image, as 0xRRGGBB.
inline std::uint32_t Pixel(HWND Wnd, int X, int Y) {
  cairo_surface_t* Image = GetWindowImage(Wnd);
  unsigned char* Data = cairo_image_surface_get_data(Image);
  int Stride = cairo_image_surface_get_stride(Image);
  return reinterpret_cast<std::uint32_t*>(Data + Y * Stride)[X] & 0xFFFFFF;
}

}  // namespace wintest
