// A test fixture for controls on the headless window system: forms owned by
// the application, real input injected through the window system's routing,
// and helpers to read pixels and save images.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/controls/forms.h"
#include "platform/gfx/bitmap.h"
#include "platform/gfx/colors.h"
#include "platform/win/backend.h"

/// Hooks a window's procedure for the life of the object: Handler sees each
/// message first and answers true when it consumed it (its Result set);
/// otherwise the message goes on to the previous procedure.
class ScopedHook {
 public:
  ScopedHook(platform::HWND Wnd, std::function<bool(platform::TMessage&)> Handler)
      : FWnd(Wnd), FHandler(std::move(Handler)) {
    FHook = platform::MakeObjectInstance([this](platform::TMessage& M) {
      if (FHandler(M)) return;
      M.Result = platform::CallWindowProc(FOld, FWnd, M.Msg, M.WParam, M.LParam);
    });
    FOld = reinterpret_cast<platform::WNDPROC>(
        platform::SetWindowLong(FWnd, platform::GWL_WNDPROC, platform::LONG_PTR(FHook)));
  }
  ~ScopedHook() {
    if (platform::IsWindow(FWnd)) platform::SetWindowLong(FWnd, platform::GWL_WNDPROC, platform::LONG_PTR(FOld));
    platform::FreeObjectInstance(FHook);
  }
  ScopedHook(const ScopedHook&) = delete;
  ScopedHook& operator=(const ScopedHook&) = delete;

 private:
  platform::HWND FWnd;
  std::function<bool(platform::TMessage&)> FHandler;
  platform::WNDPROC FHook = nullptr;
  platform::WNDPROC FOld = nullptr;
};

class WindowFixture : public ::testing::Test {
 protected:
  void TearDown() override {
    platform::DoneApplication();
    platform::ResetWindowSystem();
  }

  /// A shown form of that client size, owned by the application.
  platform::TForm* NewForm(int Width, int Height) {
    auto* F = new platform::TForm(platform::Application());
    F->SetBounds(0, 0, Width, Height);
    F->Show();
    platform::Application()->ProcessMessages();
    return F;
  }

  static void ProcessMessages() { platform::Application()->ProcessMessages(); }

  static void Press(platform::TCustomForm* F, int X, int Y, platform::TInputButton B = platform::TInputButton::Left) {
    platform::InjectMouseMove(F->Handle(), platform::Point(X, Y));
    platform::InjectMouseButton(F->Handle(), B, true, platform::Point(X, Y));
    ProcessMessages();
  }
  static void Release(platform::TCustomForm* F, int X, int Y, platform::TInputButton B = platform::TInputButton::Left) {
    platform::InjectMouseMove(F->Handle(), platform::Point(X, Y));
    platform::InjectMouseButton(F->Handle(), B, false, platform::Point(X, Y));
    ProcessMessages();
  }
  static void Click(platform::TCustomForm* F, int X, int Y, platform::TInputButton B = platform::TInputButton::Left) {
    Press(F, X, Y, B);
    Release(F, X, Y, B);
  }

  /// The colour of a pixel as an RGB TColor.
  static platform::TColor PixelOf(platform::TBitmap* B, int X, int Y) { return B->Canvas()->Pixels(X, Y); }
  static platform::TColor ColorToRGB(platform::TColor C) { return platform::TColor(platform::ColorToRGB(C)); }

  /// Saves B under the build tree's test-output folder.
  static void SavePng(platform::TBitmap* B, const std::string& Name) {
    const std::filesystem::path Dir = std::filesystem::current_path() / "test-output";
    std::filesystem::create_directories(Dir);
    B->SaveToFile((Dir / Name).string());
  }
};
