// Invalidation, painting order, transparency, clipping and the device context.
#include "win/win_fixture.h"

namespace wintest {
namespace {

constexpr std::uint32_t Blue = 0x0000FF, Red = 0xFF0000, Green = 0x00FF00, White = 0xFFFFFF;

void Fill(cairo_t* Cr, std::uint32_t Colour, double X, double Y, double W, double H) {
  cairo_set_source_rgb(Cr, ((Colour >> 16) & 0xFF) / 255.0, ((Colour >> 8) & 0xFF) / 255.0, (Colour & 0xFF) / 255.0);
  cairo_rectangle(Cr, X, Y, W, H);
  cairo_fill(Cr);
}

/// Answers WM_PAINT with Draw between BeginPaint and EndPaint.
void OnPaint(TTestWindow& W, std::function<void(cairo_t* Cr, const TRect& Client)> Draw) {
  W.Handler = [&W, Draw = std::move(Draw)](TMessage& M) {
    if (M.Msg != WM_PAINT) return false;
    PAINTSTRUCT PS;
    HDC DC = BeginPaint(W, PS);
    TRect R;
    GetClientRect(W, R);
    Draw(DC->Cr, R);
    EndPaint(W, PS);
    return true;
  };
}

/// Paints its whole client area in one colour, or only a frame when FrameOnly.
void Painter(TTestWindow& W, std::uint32_t Colour, bool FrameOnly = false) {
  OnPaint(W, [Colour, FrameOnly](cairo_t* Cr, const TRect& R) {
    if (FrameOnly) {
      Fill(Cr, Colour, 0, 0, R.Width(), 2);
      Fill(Cr, Colour, 0, R.Height() - 2, R.Width(), 2);
    } else {
      Fill(Cr, Colour, -1000, -1000, 3000, 3000);  // far beyond the window: clipping keeps it inside
    }
  });
}

TEST_F(WinTest, PaintingComposesChildrenClippedToTheirParents) {
  TTestWindow Top(nullptr, Bounds(0, 0, 200, 150));
  TTestWindow Panel(Top, Bounds(20, 20, 100, 80));
  TTestWindow Child(Panel, Bounds(60, 50, 80, 80));  // reaches beyond the panel
  TTestWindow Sizer(Top, Bounds(10, 10, 120, 100), WS_VISIBLE, WS_EX_TRANSPARENT);
  Painter(Panel, Blue);
  Painter(Child, Red);
  Painter(Sizer, Green, true);
  UpdateWindow(Top);
  EXPECT_EQ(Pixel(Top, 5, 5), White) << "nobody paints there";
  EXPECT_EQ(Pixel(Top, 30, 50), Blue);
  EXPECT_EQ(Pixel(Top, 90, 80), Red);
  EXPECT_EQ(Pixel(Top, 119, 99), Red);
  EXPECT_EQ(Pixel(Top, 125, 80), White) << "the child is clipped to its panel";
  EXPECT_EQ(Pixel(Top, 50, 11), Green) << "the transparent window's frame";
  EXPECT_EQ(Pixel(Top, 50, 108), Green);
  EXPECT_EQ(Pixel(Top, 50, 60), Blue) << "what lies below shows through the transparent window";
}

TEST_F(WinTest, PaintOrderIsParentThenChildrenBottomToTop) {
  TTestWindow Top(nullptr, Bounds(0, 0, 200, 150));
  TTestWindow A(Top, Bounds(0, 0, 50, 50));
  TTestWindow B(Top, Bounds(10, 10, 50, 50), WS_VISIBLE, WS_EX_TRANSPARENT);
  TTestWindow C(Top, Bounds(20, 20, 50, 50));
  TTestWindow AChild(A, Bounds(1, 1, 5, 5));
  for (TTestWindow* W : {&Top, &A, &B, &C, &AChild}) W->RecordNoise = true;
  ProcessMessages();
  std::vector<HWND> Order;
  for (const TDelivery& D : Deliveries())
    if (D.Msg == WM_PAINT) Order.push_back(D.Wnd);
  EXPECT_EQ(Order, (std::vector<HWND>{Top, A, AChild, B, C}));
}

TEST_F(WinTest, InvalidatingATransparentWindowRepaintsWhatLiesBelow) {
  TTestWindow Top(nullptr, Bounds(0, 0, 200, 150));
  TTestWindow Below(Top, Bounds(10, 10, 100, 100));
  TTestWindow Frame(Top, Bounds(40, 40, 30, 30), WS_VISIBLE, WS_EX_TRANSPARENT);
  Painter(Below, Blue);
  std::uint32_t FrameColour = Green;
  OnPaint(Frame, [&](cairo_t* Cr, const TRect&) { Fill(Cr, FrameColour, 0, 0, 30, 2); });
  ProcessMessages();
  EXPECT_EQ(Pixel(Top, 45, 40), Green);
  // Move the frame away: its old place shows the window below again.
  MoveWindow(Frame, 120, 40, 30, 30);
  ProcessMessages();
  EXPECT_EQ(Pixel(Top, 45, 40), Blue);
  EXPECT_EQ(Pixel(Top, 125, 40), Green);
  FrameColour = Red;
  InvalidateRect(Frame, nullptr);
  ProcessMessages();
  EXPECT_EQ(Pixel(Top, 125, 40), Red);
}

TEST_F(WinTest, MovingAWindowComposesAgainWithoutPaintingAnyWindow) {
  TTestWindow Top(nullptr, Bounds(0, 0, 200, 150));
  TTestWindow Below(Top, Bounds(10, 10, 100, 100));
  TTestWindow Frame(Below, Bounds(20, 20, 30, 30), WS_VISIBLE, WS_EX_TRANSPARENT);
  Painter(Top, White);
  Painter(Below, Blue);
  Painter(Frame, Green, true);
  for (TTestWindow* W : {&Top, &Below, &Frame}) W->RecordNoise = true;
  ProcessMessages();
  ASSERT_EQ(Pixel(Top, 35, 30), Green);
  for (TTestWindow* W : {&Top, &Below, &Frame}) W->Received.clear();
  for (int Step = 1; Step <= 3; ++Step) {
    MoveWindow(Frame, 20 + 10 * Step, 20, 30, 30);
    ProcessMessages();
  }
  for (TTestWindow* W : {&Top, &Below, &Frame}) EXPECT_TRUE(W->Of(WM_PAINT).empty());
  EXPECT_EQ(Pixel(Top, 35, 30), Blue) << "the old place shows the window below";
  EXPECT_EQ(Pixel(Top, 65, 30), Green) << "the frame's own painting moved with it";
  EXPECT_EQ(Pixel(Top, 65, 40), Blue) << "and still shows what lies below it";
  // A new size is painted anew; the window below is still not.
  MoveWindow(Frame, 50, 20, 40, 40);
  ProcessMessages();
  EXPECT_EQ(Frame.Of(WM_PAINT).size(), 1u);
  EXPECT_TRUE(Below.Of(WM_PAINT).empty());
  EXPECT_EQ(Pixel(Top, 60, 30 + 39), Green);
}

TEST_F(WinTest, WindowsHiddenUnderAnOpaqueOneArePaintedWhenUncovered) {
  TTestWindow Top(nullptr, Bounds(0, 0, 200, 150));
  TTestWindow Under(Top, Bounds(10, 10, 50, 50));
  TTestWindow UnderChild(Under, Bounds(5, 5, 10, 10));
  TTestWindow Cover(Top, Bounds(0, 0, 100, 100));
  Painter(Under, Blue);
  Painter(UnderChild, Green);
  Painter(Cover, Red);
  ProcessMessages();
  ASSERT_EQ(Pixel(Top, 20, 20), Red);
  Under.RecordNoise = UnderChild.RecordNoise = true;
  Painter(Under, Green);
  Painter(UnderChild, Blue);
  InvalidateRect(Under, nullptr);
  InvalidateRect(UnderChild, nullptr);
  ProcessMessages();
  EXPECT_TRUE(Under.Of(WM_PAINT).empty()) << "wholly hidden: not painted";
  EXPECT_EQ(Pixel(Top, 20, 20), Red);
  EXPECT_EQ(Pixel(Top, 150, 20), White);
  ShowWindow(Cover, SW_HIDE);
  ProcessMessages();
  EXPECT_EQ(Under.Of(WM_PAINT).size(), 1u);
  EXPECT_EQ(Pixel(Top, 12, 12), Green);
  EXPECT_EQ(Pixel(Top, 20, 20), Blue);
  EXPECT_EQ(Pixel(Top, 80, 80), White);
}

TEST_F(WinTest, InvalidWindowsThatDoNotShowLeaveNothingToPaintAndArePaintedOnceShown) {
  TTestWindow Top(nullptr, Bounds(0, 0, 100, 100));
  TTestWindow Shut(Top, Bounds(10, 10, 0, 0));  // clips all of its child
  TTestWindow Inside(Shut, Bounds(0, 0, 20, 20));
  Painter(Inside, Red);
  ProcessMessages();
  InvalidateRect(Inside, nullptr);
  ProcessMessages();
  EXPECT_FALSE(WaitMessage()) << "nothing is left to do: a waiting loop sleeps";
  MoveWindow(Shut, 10, 10, 30, 30);
  ProcessMessages();
  EXPECT_EQ(Pixel(Top, 15, 15), Red);
}

TEST_F(WinTest, PartlyTransparentPaintingBlendsWithWhatLiesBelow) {
  TTestWindow Top(nullptr, Bounds(0, 0, 100, 100));
  TTestWindow Below(Top, Bounds(0, 0, 100, 100));
  TTestWindow Veil(Top, Bounds(0, 0, 50, 50), WS_VISIBLE, WS_EX_TRANSPARENT);
  Painter(Below, Blue);
  OnPaint(Veil, [](cairo_t* Cr, const TRect&) {
    cairo_set_source_rgba(Cr, 1, 0, 0, 0.5);
    cairo_paint(Cr);
  });
  ProcessMessages();
  const std::uint32_t Mixed = Pixel(Top, 10, 10);
  EXPECT_NEAR(int(Mixed >> 16), 128, 1);
  EXPECT_EQ(int((Mixed >> 8) & 0xFF), 0);
  EXPECT_NEAR(int(Mixed & 0xFF), 127, 1);
  EXPECT_EQ(Pixel(Top, 60, 60), Blue);
}

TEST_F(WinTest, AWindowThatStopsPaintingPartOfItselfShowsWhatLiesBelowThere) {
  TTestWindow Top(nullptr, Bounds(0, 0, 100, 100));
  TTestWindow Below(Top, Bounds(0, 0, 100, 100));
  TTestWindow Over(Top, Bounds(20, 20, 40, 40));
  Painter(Below, Blue);
  Painter(Over, Red);
  ProcessMessages();
  ASSERT_EQ(Pixel(Top, 30, 50), Red);
  // Now it paints its upper half only; its lower half is repainted.
  Painter(Over, Red, true);
  TRect Lower = Rect(0, 20, 40, 40);
  InvalidateRect(Over, &Lower);
  ProcessMessages();
  EXPECT_EQ(Pixel(Top, 30, 50), Blue);
  EXPECT_EQ(Pixel(Top, 30, 59), Red) << "its frame's lower edge";
  EXPECT_EQ(Pixel(Top, 30, 30), Red) << "its upper half was not repainted";
  // Cleared through a context outside painting: transparent there too.
  HDC DC = GetDC(Over);
  cairo_set_operator(DC->Cr, CAIRO_OPERATOR_CLEAR);
  cairo_rectangle(DC->Cr, 0, 5, 10, 10);
  cairo_fill(DC->Cr);
  ReleaseDC(Over, DC);
  MoveWindow(Over, 22, 20, 40, 40);
  ProcessMessages();
  EXPECT_EQ(Pixel(Top, 24, 27), Blue);
  EXPECT_EQ(Pixel(Top, 40, 27), Red);
}

TEST_F(WinTest, DrawingThroughAContextOutsidePaintingShowsAtOnceUnderTheChildren) {
  TTestWindow Top(nullptr, Bounds(0, 0, 100, 100));
  TTestWindow Child(Top, Bounds(40, 40, 20, 20));
  Painter(Child, Blue);
  ProcessMessages();
  HDC DC = GetDC(Top);
  ASSERT_NE(DC, nullptr);
  Fill(DC->Cr, Red, 0, 0, 100, 100);
  ReleaseDC(Top, DC);
  EXPECT_EQ(Pixel(Top, 5, 5), Red);
  EXPECT_EQ(Pixel(Top, 50, 50), Blue) << "a window's drawing lies beneath its children";
  // Moving the child keeps what the top-level drew: it is the top-level's own.
  MoveWindow(Child, 70, 70, 20, 20);
  ProcessMessages();
  EXPECT_EQ(Pixel(Top, 50, 50), Red);
  EXPECT_EQ(Pixel(Top, 75, 75), Blue);
}

TEST_F(WinTest, BeginPaintClipsToTheUpdateRegion) {
  TTestWindow Top(nullptr, Bounds(0, 0, 100, 100));
  Painter(Top, Blue);
  ProcessMessages();
  Painter(Top, Red);
  TRect Part = Rect(10, 10, 20, 20);
  InvalidateRect(Top, &Part);
  TRect Update;
  EXPECT_TRUE(GetUpdateRect(Top, Update));
  EXPECT_EQ(Update, Part);
  ProcessMessages();
  EXPECT_FALSE(GetUpdateRect(Top, Update));
  EXPECT_EQ(Pixel(Top, 15, 15), Red);
  EXPECT_EQ(Pixel(Top, 25, 25), Blue);
}

TEST_F(WinTest, HiddenWindowsAreNotPaintedAndShowingRepaints) {
  TTestWindow Top(nullptr, Bounds(0, 0, 100, 100));
  TTestWindow W(Top, Bounds(10, 10, 50, 50), 0);
  Painter(W, Red);
  ProcessMessages();
  EXPECT_EQ(Pixel(Top, 20, 20), White);
  ShowWindow(W, SW_SHOW);
  ProcessMessages();
  EXPECT_EQ(Pixel(Top, 20, 20), Red);
  ShowWindow(W, SW_HIDE);
  ProcessMessages();
  EXPECT_EQ(Pixel(Top, 20, 20), White);
}

TEST_F(WinTest, PaintingWaitsUntilTheQueueIsEmpty) {
  TTestWindow Top(nullptr, Bounds(0, 0, 100, 100));
  Top.RecordNoise = true;
  ProcessMessages();
  Top.Received.clear();
  InvalidateRect(Top, nullptr);
  PostMessage(Top, WM_USER);
  MSG M;
  ASSERT_TRUE(PeekMessage(M));
  EXPECT_EQ(M.message, WM_USER);
  EXPECT_TRUE(Top.Of(WM_PAINT).empty());
  EXPECT_FALSE(PeekMessage(M)) << "painting is done by the retrieval itself";
  EXPECT_EQ(Top.Of(WM_PAINT).size(), 1u);
}

TEST_F(WinTest, ImageFollowsTheTopLevelSizeAndSavesAsPng) {
  TTestWindow Top(nullptr, Bounds(0, 0, 64, 32));
  Painter(Top, Blue);
  ProcessMessages();
  cairo_surface_t* Image = GetWindowImage(Top);
  EXPECT_EQ(cairo_image_surface_get_width(Image), 64);
  MoveWindow(Top, 0, 0, 80, 40);
  ProcessMessages();
  Image = GetWindowImage(Top);
  EXPECT_EQ(cairo_image_surface_get_width(Image), 80);
  EXPECT_EQ(Pixel(Top, 79, 39), Blue);
  std::string File = ::testing::TempDir() + "velstudio_window.png";
  ASSERT_TRUE(SaveWindowImage(Top, File));
  cairo_surface_t* Read = cairo_image_surface_create_from_png(File.c_str());
  EXPECT_EQ(cairo_surface_status(Read), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_height(Read), 40);
  cairo_surface_destroy(Read);
  std::remove(File.c_str());
}

TEST_F(WinTest, DeviceContextLeftOpenIsReleasedWithThePaint) {
  TTestWindow Top(nullptr, Bounds(0, 0, 50, 50));
  Top.Handler = [&](TMessage& M) {
    if (M.Msg != WM_PAINT) return false;
    PAINTSTRUCT PS;
    BeginPaint(Top, PS);  // never ended: the window system cleans up
    return true;
  };
  ProcessMessages();
  HDC DC = GetDC(Top);
  ASSERT_NE(DC, nullptr);
  Fill(DC->Cr, Red, 0, 0, 5, 5);
  EXPECT_EQ(ReleaseDC(Top, DC), 1);
  EXPECT_EQ(Pixel(Top, 1, 1), Red);
  EXPECT_EQ(ReleaseDC(Top, DC), 0) << "released once only";
}

}  // namespace
}  // namespace wintest
