// The X11 backend on a real X server (Xvfb under scripts/test): pixels,
// input injected with xdotool, and the clipboard shared with xclip.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/backend/x11.h"
#include "support/x11_connect.h"
#include "win/win_fixture.h"

namespace wintest {
namespace {

class X11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWindowSystem();
    Deliveries().clear();
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    ASSERT_TRUE(ConnectX11()) << "DISPLAY is set but does not open";
  }
  void TearDown() override {
    ResetWindowSystem();
    Deliveries().clear();
  }

  /// Handles messages until Done holds or the time is up.
  static bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs = 3000) {
    DWORD Start = GetTickCount();
    for (;;) {
      ProcessMessages();
      if (Done()) return true;
      if (int(GetTickCount() - Start) > TimeoutMs) return false;
      Backend().WaitEvents(20);
    }
  }

  /// Runs a program, handling our messages meanwhile (it may ask us for the
  /// clipboard), and returns its standard output.
  static std::string RunPumping(std::vector<std::string> Args, int TimeoutMs = 5000) {
    int Pipe[2];
    if (pipe(Pipe) != 0) return "<pipe failed>";
    pid_t Pid = fork();
    if (Pid == 0) {
      dup2(Pipe[1], 1);
      close(Pipe[0]);
      close(Pipe[1]);
      std::vector<char*> Argv;
      for (auto& A : Args) Argv.push_back(A.data());
      Argv.push_back(nullptr);
      execvp(Argv[0], Argv.data());
      _exit(127);
    }
    close(Pipe[1]);
    fcntl(Pipe[0], F_SETFL, O_NONBLOCK);
    std::string Out;
    bool Eof = false, Exited = false;
    DWORD Start = GetTickCount();
    while (!(Eof && Exited)) {
      ProcessMessages();
      pollfd P{Pipe[0], POLLIN, 0};
      if (!Eof) poll(&P, 1, 10);
      char Buf[4096];
      for (ssize_t N; !Eof && (N = read(Pipe[0], Buf, sizeof Buf)) != 0;) {
        if (N < 0) break;
        Out.append(Buf, std::size_t(N));
      }
      if (!Eof && (P.revents & POLLHUP)) {
        ssize_t N;
        while ((N = read(Pipe[0], Buf, sizeof Buf)) > 0) Out.append(Buf, std::size_t(N));
        Eof = N == 0;
      }
      if (!Exited && waitpid(Pid, nullptr, WNOHANG) == Pid) Exited = true;
      if (int(GetTickCount() - Start) > TimeoutMs) {
        if (!Exited) kill(Pid, SIGKILL), waitpid(Pid, nullptr, 0);
        Out += "<timeout>";
        break;
      }
      if (Exited && !Eof) Backend().WaitEvents(5);
    }
    close(Pipe[0]);
    return Out;
  }

  static int Shell(const std::string& Command) { return std::system(Command.c_str()); }
};

/// The scene: a panel, a child reaching beyond it and a transparent frame above both.
struct TPixelScene {
  TTestWindow Top{nullptr, Bounds(40, 30, 160, 120), 0};
  TTestWindow Panel{Top, Bounds(10, 10, 100, 80)};
  TTestWindow Child{Panel, Bounds(60, 40, 60, 60)};
  TTestWindow Frame{Top, Bounds(5, 5, 120, 100), WS_VISIBLE, WS_EX_TRANSPARENT};
  TPixelScene() {
    auto Paint = [](TTestWindow& W, double R, double G, double B, bool FrameOnly) {
      W.Handler = [&W, R, G, B, FrameOnly](TMessage& M) {
        if (M.Msg != WM_PAINT) return false;
        PAINTSTRUCT PS;
        HDC DC = BeginPaint(W, PS);
        cairo_set_source_rgb(DC->Cr, R, G, B);
        if (FrameOnly) {
          cairo_set_line_width(DC->Cr, 2);
          cairo_rectangle(DC->Cr, 1, 1, DC->Width - 2, DC->Height - 2);
          cairo_stroke(DC->Cr);
        } else {
          cairo_paint(DC->Cr);
          cairo_set_source_rgb(DC->Cr, 1, 1, 0);
          cairo_arc(DC->Cr, 20, 20, 12, 0, 6.3);  // antialiased edges must match too
          cairo_fill(DC->Cr);
        }
        EndPaint(W, PS);
        return true;
      };
    };
    Paint(Panel, 0, 0, 1, false);
    Paint(Child, 1, 0, 0, false);
    Paint(Frame, 0, 0.5, 0, true);
  }
};

std::vector<std::uint32_t> Pixels(cairo_surface_t* S) {
  cairo_surface_flush(S);
  int W = cairo_image_surface_get_width(S), H = cairo_image_surface_get_height(S);
  int Stride = cairo_image_surface_get_stride(S);
  unsigned char* Data = cairo_image_surface_get_data(S);
  std::vector<std::uint32_t> Out;
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) Out.push_back(reinterpret_cast<std::uint32_t*>(Data + Y * Stride)[X] & 0xFFFFFF);
  return Out;
}

TEST_F(X11Test, RealWindowShowsTheSamePixelsAsHeadless) {
  std::vector<std::uint32_t> Headless;
  {
    ResetWindowSystem();
    UseHeadlessBackend();
    TPixelScene S;
    ShowWindow(S.Top, SW_SHOW);
    UpdateWindow(S.Top);
    Headless = Pixels(GetWindowImage(S.Top));
  }
  ResetWindowSystem();
  ASSERT_TRUE(ConnectX11());
  TPixelScene S;
  ShowWindow(S.Top, SW_SHOW);
  ASSERT_TRUE(X11WaitExposed(S.Top, 5000));
  ProcessMessages();
  cairo_surface_t* Shown = X11CaptureWindow(S.Top);
  ASSERT_NE(Shown, nullptr);
  std::vector<std::uint32_t> Real = Pixels(Shown);
  cairo_surface_destroy(Shown);
  ASSERT_EQ(Real.size(), Headless.size());
  std::size_t Differences = 0;
  for (std::size_t I = 0; I < Real.size(); ++I) Differences += Real[I] != Headless[I];
  EXPECT_EQ(Differences, 0u);
  EXPECT_EQ(Real[(50) * 160 + 30], 0x0000FFu) << "the panel is there";
}

TEST_F(X11Test, InjectedDragArrivesAsCapturedMouseMessages) {
  TTestWindow Top(nullptr, Bounds(100, 100, 300, 200));
  TTestWindow W(Top, Bounds(50, 50, 80, 60));
  W.Handler = [&](TMessage& M) {
    if (M.Msg == WM_LBUTTONDOWN) SetCapture(W);
    if (M.Msg == WM_LBUTTONUP) ReleaseCapture();
    return false;
  };
  ASSERT_TRUE(X11WaitExposed(Top, 5000));
  ASSERT_EQ(Shell("xdotool mousemove --sync 180 180 mousedown 1 mousemove --sync 120 130 "
                  "mousemove --sync 90 95 mouseup 1"),
            0);
  ASSERT_TRUE(PumpUntil([&] { return !W.Of(WM_LBUTTONUP).empty(); }));
  ASSERT_EQ(W.Of(WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(LParamToPoint(W.Of(WM_LBUTTONDOWN)[0].LParam), (TPoint{30, 30}));
  std::vector<TPoint> Moves;
  for (const TMessage& M : W.Of(WM_MOUSEMOVE))
    if (M.WParam & MK_LBUTTON) Moves.push_back(LParamToPoint(M.LParam));
  ASSERT_FALSE(Moves.empty());
  EXPECT_NE(std::find(Moves.begin(), Moves.end(), TPoint{-30, -20}), Moves.end());
  EXPECT_EQ(Moves.back(), (TPoint{-60, -55})) << "captured: relative to the window, outside it";
  EXPECT_EQ(LParamToPoint(W.Of(WM_LBUTTONUP)[0].LParam), (TPoint{-60, -55}));
  EXPECT_TRUE(Top.Of(WM_LBUTTONUP).empty());
}

TEST_F(X11Test, InjectedBorderDragRunsTheMoveSizeLoop) {
  TTestWindow Top(nullptr, Bounds(100, 100, 300, 200));
  TTestWindow W(Top, Bounds(50, 50, 80, 60));
  W.Handler = [&](TMessage& M) {
    if (M.Msg != WM_NCHITTEST) return false;
    TPoint P = LParamToPoint(M.LParam);
    ScreenToClient(W, P);
    M.Result = P.X >= 75 ? HTRIGHT : HTCLIENT;
    return true;
  };
  ASSERT_TRUE(X11WaitExposed(Top, 5000));
  ASSERT_EQ(Shell("xdotool mousemove --sync 228 180 mousedown 1 mousemove --sync 240 185 "
                  "mousemove --sync 260 190 mouseup 1"),
            0);
  ASSERT_TRUE(PumpUntil([&] { return !W.Of(WM_EXITSIZEMOVE).empty(); }));
  TRect R;
  GetWindowRect(W, R);
  EXPECT_EQ(R, Rect(150, 150, 262, 210));
  EXPECT_EQ(W.Of(WM_ENTERSIZEMOVE).size(), 1u);
  EXPECT_FALSE(W.Of(WM_SIZING).empty());
  EXPECT_FALSE(W.Of(WM_SIZE).empty());
}

TEST_F(X11Test, KeysTypedOnTheRealWindowReachTheFocusedWindow) {
  TTestWindow Top(nullptr, Bounds(100, 100, 200, 100));
  TTestWindow Edit(Top, Bounds(10, 10, 100, 30));
  SetFocus(Edit);
  ASSERT_TRUE(X11WaitExposed(Top, 5000));
  // Without a window manager the keyboard follows the pointer.
  ASSERT_EQ(Shell("xdotool mousemove --sync 150 150 key --delay 20 a shift+b Delete"), 0);
  ASSERT_TRUE(PumpUntil([&] { return Edit.Of(WM_KEYUP).size() >= 4; }));
  std::vector<std::pair<UINT, WPARAM>> Keys;
  for (const TMessage& M : Edit.Received)
    if (M.Msg == WM_KEYDOWN || M.Msg == WM_CHAR) Keys.emplace_back(M.Msg, M.WParam);
  std::vector<std::pair<UINT, WPARAM>> Expected{{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_KEYDOWN, VK_SHIFT},
                                                {WM_KEYDOWN, 'B'}, {WM_CHAR, 'B'}, {WM_KEYDOWN, VK_DELETE}};
  EXPECT_EQ(Keys, Expected);
  EXPECT_TRUE(Top.Of(WM_KEYDOWN).empty());
}

TEST_F(X11Test, ResizingTheRealWindowResizesTheTopLevelWindow) {
  TTestWindow Top(nullptr, Bounds(100, 100, 200, 100));
  SetWindowText(Top, "velstudio-resize-test");
  ASSERT_TRUE(X11WaitExposed(Top, 5000));
  ASSERT_EQ(Shell("xdotool search --sync --name velstudio-resize-test windowsize --sync %1 260 150"), 0);
  ASSERT_TRUE(PumpUntil([&] { return !Top.Of(WM_SIZE).empty(); }));
  EXPECT_EQ(Top.Of(WM_SIZE).back().LParam, MAKELPARAM(260, 150));
  TRect R;
  GetClientRect(Top, R);
  EXPECT_EQ(R, Rect(0, 0, 260, 150));
  EXPECT_EQ(cairo_image_surface_get_width(GetWindowImage(Top)), 260);
}

TEST_F(X11Test, TimersAreServedByTheLoopsWait) {
  TTestWindow W(nullptr, Bounds(10, 10, 50, 50));
  SetTimer(W, 3, 30);
  DWORD Start = GetTickCount();
  MSG M;
  while (W.Of(WM_TIMER).size() < 2 && GetTickCount() - Start < 3000 && GetMessage(M)) DispatchMessage(M);
  ASSERT_EQ(W.Of(WM_TIMER).size(), 2u);
  EXPECT_EQ(W.Of(WM_TIMER)[0].WParam, 3u);
  EXPECT_GE(GetTickCount() - Start, 50u) << "not before the timers were due";
}

TEST_F(X11Test, ClipboardBlockIsReadByXclip) {
  UINT Format = RegisterClipboardFormat("VEL Components");
  const std::string Image(
      "TPF0\x07TButton\x00\x01\x02"
      "end",
      16);
  const std::string Text = "text from velstudio";
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL Mem = GlobalAlloc(GHND, Image.size());
  std::memcpy(GlobalLock(Mem), Image.data(), Image.size());
  GlobalUnlock(Mem);
  SetClipboardData(Format, Mem);
  HGLOBAL TextMem = GlobalAlloc(GHND, Text.size() + 1);
  std::memcpy(GlobalLock(TextMem), Text.c_str(), Text.size() + 1);
  GlobalUnlock(TextMem);
  SetClipboardData(CF_TEXT, TextMem);
  CloseClipboard();

  EXPECT_EQ(RunPumping({"xclip", "-selection", "clipboard", "-t", "VEL Components", "-o"}), Image);
  EXPECT_EQ(RunPumping({"xclip", "-selection", "clipboard", "-o"}), Text);
  std::string Targets = RunPumping({"xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"});
  EXPECT_NE(Targets.find("VEL Components"), std::string::npos) << Targets;
  EXPECT_NE(Targets.find("UTF8_STRING"), std::string::npos) << Targets;
}

TEST_F(X11Test, ClipboardWrittenByXclipIsReadByUs) {
  UINT Format = RegisterClipboardFormat("VEL Components");
  ASSERT_EQ(Shell("printf 'hello from xclip' | xclip -selection clipboard -i >/dev/null 2>&1"), 0);
  ASSERT_TRUE(PumpUntil([] { return IsClipboardFormatAvailable(CF_TEXT); }));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE Mem = GetClipboardData(CF_TEXT);
  ASSERT_NE(Mem, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(Mem)), "hello from xclip");
  GlobalUnlock(Mem);
  CloseClipboard();

  ASSERT_EQ(Shell("printf 'TPF0\\001\\002xyz' | xclip -selection clipboard -t 'VEL Components' -i >/dev/null 2>&1"), 0);
  ASSERT_TRUE(PumpUntil([&] { return IsClipboardFormatAvailable(Format); }));
  ASSERT_TRUE(OpenClipboard(nullptr));
  Mem = GetClipboardData(Format);
  ASSERT_NE(Mem, nullptr);
  EXPECT_GE(GlobalSize(Mem), 9u);
  EXPECT_EQ(GlobalSize(Mem) % 16, 0u);
  EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(Mem)), 9), std::string("TPF0\x01\x02xyz"));
  GlobalUnlock(Mem);
  // Taking the clipboard back ends the xclip that served it.
  EmptyClipboard();
  CloseClipboard();
  EXPECT_FALSE(IsClipboardFormatAvailable(Format));
}

}  // namespace
}  // namespace wintest
