// Canvas shapes and lines drawn on bitmaps, checked pixel by pixel.
#include <cairo.h>
#include <gtest/gtest.h>

#include <vector>

#include "gfx/gfx_test_util.h"
#include "platform/gfx/canvas.h"

namespace {

using namespace platform;
using namespace gfxtest;

// The colours of the pixels of a rectangle's outline, clockwise from the top-left.
std::vector<TColor> Outline(TCanvas* C, const TRect& R) {
  std::vector<TColor> Out;
  for (int X = R.Left; X < R.Right - 1; ++X) Out.push_back(C->Pixels(X, R.Top));
  for (int Y = R.Top; Y < R.Bottom - 1; ++Y) Out.push_back(C->Pixels(R.Right - 1, Y));
  for (int X = R.Right - 1; X > R.Left; --X) Out.push_back(C->Pixels(X, R.Bottom - 1));
  for (int Y = R.Bottom - 1; Y > R.Top; --Y) Out.push_back(C->Pixels(R.Left, Y));
  return Out;
}

// Pixels of R (inclusive-exclusive) all of colour Color.
::testing::AssertionResult AllOf(TCanvas* C, const TRect& R, TColor Color) {
  for (int Y = R.Top; Y < R.Bottom; ++Y)
    for (int X = R.Left; X < R.Right; ++X)
      if (C->Pixels(X, Y) != Color)
        return ::testing::AssertionFailure()
               << "pixel (" << X << ", " << Y << ") is " << std::hex << int(C->Pixels(X, Y)) << ", not " << int(Color);
  return ::testing::AssertionSuccess();
}

// Pixels on the ring just outside R all of colour Color.
::testing::AssertionResult RingOutside(TCanvas* C, const TRect& R, TColor Color) {
  const TRect O = Rect(R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1);
  for (int Y = O.Top; Y < O.Bottom; ++Y)
    for (int X = O.Left; X < O.Right; ++X)
      if (!PtInRect(R, {X, Y}) && C->Pixels(X, Y) != Color)
        return ::testing::AssertionFailure()
               << "pixel (" << X << ", " << Y << ") outside is " << std::hex << int(C->Pixels(X, Y));
  return ::testing::AssertionSuccess();
}

TEST(CanvasShapeTest, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
  auto B = White(12, 12);
  TCanvas* C = B->Canvas();
  C->Pen()->SetColor(clBlack);
  C->Brush()->SetColor(clRed);
  C->Rectangle(2, 2, 7, 7);
  // Right and bottom are exclusive: the outline is on 2..6.
  for (TColor P : Outline(C, Rect(2, 2, 7, 7))) EXPECT_EQ(P, clBlack);
  EXPECT_TRUE(AllOf(C, Rect(3, 3, 6, 6), clRed));
  EXPECT_TRUE(RingOutside(C, Rect(2, 2, 7, 7), clWhite));
  // Reversed corners draw the same rectangle.
  auto B2 = White(12, 12);
  B2->Canvas()->Brush()->SetColor(clRed);
  B2->Canvas()->Rectangle(6 + 1, 6 + 1, 2, 2);
  for (int Y = 0; Y < 12; ++Y)
    for (int X = 0; X < 12; ++X) ASSERT_EQ(B2->Canvas()->Pixels(X, Y), C->Pixels(X, Y)) << X << "," << Y;
}

TEST(CanvasShapeTest, RectangleWithAClearPenOrBrush) {
  auto B = White(12, 12);
  TCanvas* C = B->Canvas();
  C->Brush()->SetColor(clBlue);
  C->Pen()->SetStyle(psClear);
  C->Rectangle(2, 2, 7, 7);
  // Without an outline the fill leaves out the last column and row.
  EXPECT_TRUE(AllOf(C, Rect(2, 2, 6, 6), clBlue));
  EXPECT_TRUE(RingOutside(C, Rect(2, 2, 6, 6), clWhite));

  auto B2 = White(12, 12);
  TCanvas* C2 = B2->Canvas();
  C2->Brush()->SetStyle(bsClear);
  C2->Rectangle(2, 2, 7, 7);
  for (TColor P : Outline(C2, Rect(2, 2, 7, 7))) EXPECT_EQ(P, clBlack);
  EXPECT_TRUE(AllOf(C2, Rect(3, 3, 6, 6), clWhite));
}

TEST(CanvasShapeTest, FiveByFiveGrabHandle) {
  auto B = White(20, 20);
  TCanvas* C = B->Canvas();
  C->Pen()->SetColor(clBtnText);
  C->Brush()->SetColor(clBtnText);
  C->Rectangle(Bounds(8, 8, 5, 5));
  EXPECT_TRUE(AllOf(C, Bounds(8, 8, 5, 5), clBlack));
  EXPECT_TRUE(RingOutside(C, Bounds(8, 8, 5, 5), clWhite));
  // Filled and outlined in two colours: a 3x3 inside.
  C->Pen()->SetColor(clBlack);
  C->Brush()->SetColor(clHighlight);
  C->Rectangle(Bounds(8, 8, 5, 5));
  for (TColor P : Outline(C, Bounds(8, 8, 5, 5))) EXPECT_EQ(P, clBlack);
  EXPECT_TRUE(AllOf(C, Bounds(9, 9, 3, 3), TColor(ColorToRGB(clHighlight))));
}

TEST(CanvasShapeTest, WidePensCentredOrInsideTheFrame) {
  struct TCase {
    const char* Name;
    TPenStyle Style;
    int Width;
    TRect Ring;    // the outer edge of the outline
    TRect Inside;  // the brush-filled part
  };
  // Wide pens on Rectangle(5, 5, 15, 15). An even width puts the extra pixel inside.
  const TCase Cases[] = {
      {"solid 3", psSolid, 3, Rect(4, 4, 16, 16), Rect(7, 7, 13, 13)},
      {"inside frame 3", psInsideFrame, 3, Rect(5, 5, 15, 15), Rect(8, 8, 12, 12)},
      {"solid 2", psSolid, 2, Rect(5, 5, 15, 15), Rect(7, 7, 13, 13)},
      {"dotted 2 (wide pens are continuous)", psDot, 2, Rect(5, 5, 15, 15), Rect(7, 7, 13, 13)},
  };
  for (const TCase& K : Cases) {
    SCOPED_TRACE(K.Name);
    auto B = White(20, 20);
    TCanvas* C = B->Canvas();
    C->Pen()->SetWidth(K.Width);
    C->Pen()->SetStyle(K.Style);
    C->Pen()->SetColor(clNavy);
    C->Brush()->SetColor(clYellow);
    C->Rectangle(5, 5, 15, 15);
    const int W = K.Width;
    const TRect& R = K.Ring;
    EXPECT_TRUE(AllOf(C, Rect(R.Left, R.Top, R.Right, R.Top + W), clNavy));
    EXPECT_TRUE(AllOf(C, Rect(R.Left, R.Bottom - W, R.Right, R.Bottom), clNavy));
    EXPECT_TRUE(AllOf(C, Rect(R.Left, R.Top, R.Left + W, R.Bottom), clNavy));
    EXPECT_TRUE(AllOf(C, Rect(R.Right - W, R.Top, R.Right, R.Bottom), clNavy));
    EXPECT_TRUE(AllOf(C, K.Inside, clYellow));
    EXPECT_TRUE(RingOutside(C, R, clWhite));
  }
}

TEST(CanvasShapeTest, DottedFrameAlternatesSinglePixels) {
  // On a grey ground: with a clear brush the gaps show the ground, with a
  // solid brush they show the brush colour.
  struct TCase {
    TBrushStyle Style;
    TColor Gap;
  };
  for (const TCase& K : {TCase{bsClear, clSilver}, TCase{bsSolid, clYellow}}) {
    SCOPED_TRACE(K.Style == bsClear ? "clear brush" : "solid brush");
    auto B = White(30, 24);
    TCanvas* C = B->Canvas();
    C->Brush()->SetColor(clSilver);
    C->FillRect(Rect(0, 0, 30, 24));
    C->Pen()->SetStyle(psDot);
    C->Brush()->SetColor(clYellow);
    C->Brush()->SetStyle(K.Style);
    C->Rectangle(10, 10, 20, 16);
    const std::vector<TColor> Ring = Outline(C, Rect(10, 10, 20, 16));
    ASSERT_EQ(Ring.size(), 28u);
    EXPECT_EQ(Ring[0], clBlack);
    for (std::size_t I = 0; I < Ring.size(); ++I) {
      EXPECT_EQ(Ring[I], I % 2 == 0 ? clBlack : K.Gap) << "outline pixel " << I;
    }
    EXPECT_TRUE(AllOf(C, Rect(11, 11, 19, 15), K.Style == bsClear ? clSilver : clYellow));
    EXPECT_TRUE(RingOutside(C, Rect(10, 10, 20, 16), clSilver));
  }
}

TEST(CanvasShapeTest, FillRectAndFrameRectUseTheBrushOnly) {
  auto B = White(16, 16);
  TCanvas* C = B->Canvas();
  C->Pen()->SetColor(clRed);
  C->Pen()->SetWidth(4);
  C->Brush()->SetColor(clGreen);
  C->FillRect(Rect(2, 3, 6, 9));
  EXPECT_TRUE(AllOf(C, Rect(2, 3, 6, 9), clGreen));
  EXPECT_TRUE(RingOutside(C, Rect(2, 3, 6, 9), clWhite));

  C->Brush()->SetColor(clBlue);
  C->FrameRect(Rect(8, 2, 14, 10));
  for (TColor P : Outline(C, Rect(8, 2, 14, 10))) EXPECT_EQ(P, clBlue);
  EXPECT_TRUE(AllOf(C, Rect(9, 3, 13, 9), clWhite));
  EXPECT_TRUE(RingOutside(C, Rect(8, 2, 14, 10), clWhite));

  // A clear brush fills and frames nothing.
  C->Brush()->SetStyle(bsClear);
  C->FillRect(Rect(0, 0, 16, 16));
  C->FrameRect(Rect(0, 0, 16, 16));
  EXPECT_EQ(C->Pixels(0, 0), clWhite);
  EXPECT_EQ(C->Pixels(3, 4), clGreen);
}

TEST(CanvasShapeTest, HatchedBrushLeavesGaps) {
  auto B = White(16, 16);
  TCanvas* C = B->Canvas();
  C->Brush()->SetColor(clBlack);
  C->Brush()->SetStyle(bsCross);
  C->FillRect(Rect(0, 0, 16, 16));
  const int Black = Count(*B, Rect(0, 0, 16, 16), [](TColor P) { return P == clBlack; });
  const int Blank = Count(*B, Rect(0, 0, 16, 16), [](TColor P) { return P == clWhite; });
  EXPECT_GT(Black, 16);
  EXPECT_GT(Blank, 16 * 8);
  EXPECT_EQ(Black + Blank, 256);
}

TEST(CanvasLineTest, LinesLeaveOutTheirEndPoint) {
  auto B = White(12, 12);
  TCanvas* C = B->Canvas();
  C->MoveTo(2, 5);
  C->LineTo(8, 5);
  EXPECT_EQ(C->PenPos(), Point(8, 5));
  EXPECT_TRUE(AllOf(C, Rect(2, 5, 8, 6), clBlack));
  EXPECT_EQ(C->Pixels(8, 5), clWhite);
  EXPECT_EQ(C->Pixels(1, 5), clWhite);

  // Right to left: from 8 down to 3.
  C->MoveTo(8, 7);
  C->LineTo(2, 7);
  EXPECT_TRUE(AllOf(C, Rect(3, 7, 9, 8), clBlack));
  EXPECT_EQ(C->Pixels(2, 7), clWhite);

  // Upwards.
  C->MoveTo(10, 9);
  C->LineTo(10, 2);
  EXPECT_TRUE(AllOf(C, Rect(10, 3, 11, 10), clBlack));
  EXPECT_EQ(C->Pixels(10, 2), clWhite);

  // Diagonal.
  auto D = White(8, 8);
  D->Canvas()->MoveTo(0, 0);
  D->Canvas()->LineTo(5, 5);
  for (int I = 0; I < 5; ++I) EXPECT_EQ(D->Canvas()->Pixels(I, I), clBlack) << I;
  EXPECT_EQ(D->Canvas()->Pixels(5, 5), clWhite);
  EXPECT_EQ(Count(*D, Rect(0, 0, 8, 8), Dark), 5);
}

TEST(CanvasLineTest, PolylineAndPolygon) {
  auto B = White(20, 20);
  TCanvas* C = B->Canvas();
  C->Pen()->SetColor(clRed);
  C->Polyline({{1, 1}, {6, 1}, {6, 6}});
  EXPECT_TRUE(AllOf(C, Rect(1, 1, 7, 2), clRed));
  EXPECT_TRUE(AllOf(C, Rect(6, 1, 7, 6), clRed));
  EXPECT_EQ(C->Pixels(6, 6), clWhite);
  EXPECT_EQ(C->PenPos(), Point(0, 0));  // a polyline does not move the pen

  C->Pen()->SetColor(clBlack);
  C->Brush()->SetColor(clLime);
  C->Polygon({{10, 10}, {18, 10}, {18, 18}, {10, 18}});
  for (TColor P : Outline(C, Rect(10, 10, 19, 19))) EXPECT_EQ(P, clBlack);
  EXPECT_EQ(C->Pixels(14, 14), clLime);
  EXPECT_TRUE(RingOutside(C, Rect(10, 10, 19, 19), clWhite));
}

TEST(CanvasLineTest, WidePenLine) {
  auto B = White(20, 20);
  TCanvas* C = B->Canvas();
  C->Pen()->SetWidth(3);
  C->MoveTo(4, 10);
  C->LineTo(15, 10);
  for (int X = 5; X < 15; ++X) {
    EXPECT_TRUE(AllOf(C, Rect(X, 9, X + 1, 12), clBlack)) << X;
    EXPECT_EQ(C->Pixels(X, 8), clWhite);
    EXPECT_EQ(C->Pixels(X, 12), clWhite);
  }
}

TEST(CanvasShapeTest, PenModes) {
  auto B = White(10, 4);
  TCanvas* C = B->Canvas();
  C->Brush()->SetColor(clBlack);
  C->FillRect(Rect(0, 0, 5, 4));
  C->Pen()->SetMode(pmNot);
  C->MoveTo(0, 1);
  C->LineTo(10, 1);
  // Inverted: black turns white and white turns black.
  EXPECT_TRUE(AllOf(C, Rect(0, 1, 5, 2), clWhite));
  EXPECT_TRUE(AllOf(C, Rect(5, 1, 10, 2), clBlack));
  // Drawing it again restores the pixels.
  C->MoveTo(0, 1);
  C->LineTo(10, 1);
  EXPECT_TRUE(AllOf(C, Rect(0, 1, 5, 2), clBlack));
  EXPECT_TRUE(AllOf(C, Rect(5, 1, 10, 2), clWhite));

  C->Pen()->SetMode(pmXor);
  C->Pen()->SetColor(clWhite);
  C->MoveTo(0, 2);
  C->LineTo(10, 2);
  EXPECT_TRUE(AllOf(C, Rect(0, 2, 5, 3), clWhite));
  EXPECT_TRUE(AllOf(C, Rect(5, 2, 10, 3), clBlack));

  C->Pen()->SetMode(pmNop);
  C->MoveTo(0, 3);
  C->LineTo(10, 3);
  EXPECT_TRUE(AllOf(C, Rect(0, 3, 5, 4), clBlack));
  EXPECT_TRUE(AllOf(C, Rect(5, 3, 10, 4), clWhite));
}

TEST(CanvasShapeTest, EllipseStaysInsideItsBox) {
  auto B = White(30, 30);
  TCanvas* C = B->Canvas();
  C->Brush()->SetColor(clRed);
  C->Ellipse(5, 5, 25, 21);
  EXPECT_EQ(C->Pixels(15, 13), clRed);
  EXPECT_EQ(C->Pixels(5, 13), clBlack);   // the left edge of the outline
  EXPECT_EQ(C->Pixels(24, 13), clBlack);  // the right edge
  EXPECT_EQ(C->Pixels(15, 5), clBlack);
  EXPECT_EQ(C->Pixels(15, 20), clBlack);
  // Corners of the box stay free, and nothing is drawn outside it.
  for (TPoint P : {Point(5, 5), Point(24, 5), Point(5, 20), Point(24, 20)}) EXPECT_EQ(C->Pixels(P.X, P.Y), clWhite);
  EXPECT_EQ(CountOutside(*B, Rect(5, 5, 25, 21), [](TColor P) { return P != clWhite; }), 0);

  // Without a pen only the brush shows; a box too small for a hole is all pen.
  auto B2 = White(30, 30);
  TCanvas* C2 = B2->Canvas();
  C2->Brush()->SetColor(clRed);
  C2->Pen()->SetStyle(psClear);
  C2->Ellipse(5, 5, 25, 21);
  EXPECT_EQ(Count(*B2, Rect(0, 0, 30, 30), [](TColor P) { return P == clBlack; }), 0);
  EXPECT_GT(Count(*B2, Rect(5, 5, 25, 21), [](TColor P) { return P == clRed; }), 200);
  C2->Pen()->SetStyle(psSolid);
  C2->Pen()->SetWidth(3);
  C2->Ellipse(0, 0, 4, 4);
  EXPECT_TRUE(AllOf(C2, Rect(1, 1, 3, 3), clBlack));
  EXPECT_EQ(CountOutside(*B2, Rect(0, 0, 4, 4), [](TColor P) { return P == clBlack; }), 0);
}

TEST(CanvasPixelTest, ReadWriteAndOutOfRange) {
  auto B = White(4, 3);
  TCanvas* C = B->Canvas();
  C->SetPixels(1, 2, clFuchsia);
  C->SetPixels(3, 0, clBtnFace);
  EXPECT_EQ(C->Pixels(1, 2), clFuchsia);
  EXPECT_EQ(C->Pixels(3, 0), TColor(ColorToRGB(clBtnFace)));
  EXPECT_EQ(C->Pixels(0, 0), clWhite);
  for (TPoint P : {Point(-1, 0), Point(4, 0), Point(0, 3), Point(0, -1), Point(1000, 1000)})
    EXPECT_EQ(C->Pixels(P.X, P.Y), clNone) << P.X << "," << P.Y;
  C->SetPixels(-1, 0, clRed);  // ignored
  C->SetPixels(10, 10, clRed);
  C->SetPixels(2, 2, clNone);  // paints nothing
  EXPECT_EQ(C->Pixels(2, 2), clWhite);
}

TEST(CanvasDeviceTest, DrawsThroughAHandedOutContextKeepingItsState) {
  // What the window system does while painting: a context translated to a
  // client origin and clipped to the client area, handed to the canvas.
  cairo_surface_t* Surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 40, 40);
  cairo_t* Cr = cairo_create(Surface);
  cairo_set_source_rgb(Cr, 1, 1, 1);
  cairo_paint(Cr);
  cairo_translate(Cr, 10, 10);
  cairo_rectangle(Cr, 0, 0, 20, 20);
  cairo_clip(Cr);
  TDeviceContext DC{Cr, 20, 20};

  TCanvas Canvas;
  EXPECT_FALSE(Canvas.HandleAllocated());
  EXPECT_THROW(Canvas.Rectangle(0, 0, 5, 5), EInvalidGraphicOperation);
  EXPECT_THROW(Canvas.TextOut(0, 0, "x"), EInvalidGraphicOperation);
  Canvas.Pen()->SetColor(clRed);
  Canvas.Brush()->SetColor(clBlue);

  Canvas.SetHandle(&DC);
  EXPECT_EQ(Canvas.Handle(), &DC);
  EXPECT_EQ(Canvas.ClipRect(), Rect(0, 0, 20, 20));
  Canvas.Rectangle(0, 0, 5, 5);
  Canvas.FillRect(Rect(15, 15, 30, 30));  // clipped at the client edge
  Canvas.SetHandle(nullptr);

  // The next paint gets a fresh context; pen and brush are as they were.
  cairo_t* Cr2 = cairo_create(Surface);
  cairo_translate(Cr2, 10, 10);
  TDeviceContext DC2{Cr2, 20, 20};
  Canvas.SetHandle(&DC2);
  Canvas.Rectangle(6, 0, 9, 3);
  EXPECT_EQ(Canvas.Pixels(0, 0), clRed);
  EXPECT_EQ(Canvas.Pixels(2, 2), clBlue);
  EXPECT_EQ(Canvas.Pixels(6, 0), clRed);
  EXPECT_EQ(Canvas.Pixels(7, 1), clBlue);
  EXPECT_EQ(Canvas.Pixels(19, 19), clBlue);
  EXPECT_EQ(Canvas.Pixels(20, 20), clWhite);  // outside the first clip
  EXPECT_EQ(Canvas.Pixels(-10, -10), clWhite);
  EXPECT_EQ(Canvas.Pixels(-11, -11), clNone);
  Canvas.SetHandle(nullptr);
  cairo_destroy(Cr2);
  cairo_destroy(Cr);

  // The surface itself: the drawing landed at the client origin (10, 10).
  cairo_surface_flush(Surface);
  auto At = [&](int X, int Y) {
    const unsigned char* Data = cairo_image_surface_get_data(Surface);
    return reinterpret_cast<const std::uint32_t*>(Data + Y * cairo_image_surface_get_stride(Surface))[X] & 0xFFFFFF;
  };
  EXPECT_EQ(At(10, 10), 0xFF0000u);  // red, as cairo stores it (0xRRGGBB)
  EXPECT_EQ(At(12, 12), 0x0000FFu);
  EXPECT_EQ(At(9, 9), 0xFFFFFFu);
  EXPECT_EQ(At(29, 29), 0x0000FFu);
  EXPECT_EQ(At(30, 30), 0xFFFFFFu);
  cairo_surface_destroy(Surface);
}

TEST(CanvasDeviceTest, SurfaceWithADeviceOffset) {
  // A window may paint into a part of a larger image through a device offset.
  cairo_surface_t* Surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 40, 40);
  cairo_surface_set_device_offset(Surface, 10, 10);
  cairo_t* Cr = cairo_create(Surface);
  cairo_set_source_rgb(Cr, 1, 1, 1);
  cairo_paint(Cr);
  cairo_translate(Cr, 5, 5);
  TDeviceContext DC{Cr, 20, 20};
  TCanvas Canvas;
  Canvas.SetHandle(&DC);
  Canvas.SetPixels(0, 0, clRed);
  Canvas.SetPixels(1, 0, clBlue);
  EXPECT_EQ(Canvas.Pixels(0, 0), clRed);
  EXPECT_EQ(Canvas.Pixels(1, 0), clBlue);
  EXPECT_EQ(Canvas.Pixels(2, 0), clWhite);
  Canvas.CopyRect(Rect(3, 3, 5, 4), &Canvas, Rect(0, 0, 2, 1));
  EXPECT_EQ(Canvas.Pixels(3, 3), clRed);
  EXPECT_EQ(Canvas.Pixels(4, 3), clBlue);
  EXPECT_EQ(Canvas.Pixels(5, 3), clWhite);
  Canvas.SetHandle(nullptr);
  cairo_destroy(Cr);
  cairo_surface_flush(Surface);
  const unsigned char* Data = cairo_image_surface_get_data(Surface);
  const auto* Row = reinterpret_cast<const std::uint32_t*>(Data + 15 * cairo_image_surface_get_stride(Surface));
  EXPECT_EQ(Row[15] & 0xFFFFFF, 0xFF0000u);  // (0, 0) lands at 10 + 5
  cairo_surface_destroy(Surface);
}

TEST(CanvasDeviceTest, DrawingNotifiesBeforeAndAfter) {
  auto B = White(10, 10);
  TCanvas* C = B->Canvas();
  std::vector<std::string> Log;
  C->OnChanging = [&](TObject* Sender) { Log.push_back(Sender == C ? "changing" : "?"); };
  C->OnChange = [&](TObject* Sender) { Log.push_back(Sender == C ? "change" : "?"); };
  B->OnChange = [&](TObject* Sender) { Log.push_back(Sender == B.get() ? "bitmap" : "?"); };
  C->Rectangle(0, 0, 4, 4);
  EXPECT_EQ(Log, (std::vector<std::string>{"changing", "change", "bitmap"}));
  Log.clear();
  C->MoveTo(1, 1);  // moving the pen draws nothing
  C->Pen()->SetColor(clRed);
  EXPECT_TRUE(Log.empty());
  C->LineTo(5, 5);
  C->TextOut(0, 0, "a");
  EXPECT_EQ(Log.size(), 6u);
  EXPECT_TRUE(B->Modified());
}

TEST(CanvasImageTest, DrawStretchDrawAndCopyRect) {
  auto Tile = White(4, 4);
  Tile->Canvas()->Brush()->SetColor(clRed);
  Tile->Canvas()->FillRect(Rect(0, 0, 4, 4));
  Tile->Canvas()->SetPixels(3, 3, clBlue);

  auto B = White(30, 30);
  TCanvas* C = B->Canvas();
  C->Draw(3, 3, Tile.get());
  EXPECT_TRUE(AllOf(C, Rect(3, 3, 6, 6), clRed));
  EXPECT_EQ(C->Pixels(6, 6), clBlue);
  EXPECT_TRUE(RingOutside(C, Rect(3, 3, 7, 7), clWhite));

  C->StretchDraw(Rect(10, 10, 18, 18), Tile.get());
  EXPECT_TRUE(AllOf(C, Rect(10, 10, 16, 16), clRed));
  EXPECT_TRUE(AllOf(C, Rect(16, 16, 18, 18), clBlue));
  EXPECT_TRUE(RingOutside(C, Rect(10, 10, 18, 18), clWhite));

  // Copy the stretched tile, halving it back.
  C->CopyRect(Rect(20, 20, 24, 24), C, Rect(10, 10, 18, 18));
  EXPECT_TRUE(AllOf(C, Rect(20, 20, 23, 23), clRed));
  EXPECT_EQ(C->Pixels(23, 23), clBlue);
  EXPECT_TRUE(RingOutside(C, Rect(20, 20, 24, 24), clWhite));

  C->Draw(0, 0, nullptr);  // nothing to draw
  auto Empty = std::make_unique<TBitmap>();
  C->Draw(0, 0, Empty.get());
  EXPECT_EQ(C->Pixels(0, 0), clWhite);
}

TEST(CanvasImageTest, TransparentBitmapLeavesItsKeyColourUndrawn) {
  auto Glyph = White(4, 4);
  Glyph->Canvas()->Brush()->SetColor(clLime);
  Glyph->Canvas()->FillRect(Rect(0, 0, 4, 4));
  Glyph->Canvas()->SetPixels(1, 1, clBlack);
  Glyph->SetTransparent(true);
  EXPECT_EQ(Glyph->TransparentMode(), tmAuto);
  EXPECT_EQ(Glyph->TransparentColor(), clLime);  // the bottom-left pixel's

  auto B = White(8, 8);
  B->Canvas()->Draw(2, 2, Glyph.get());
  EXPECT_EQ(B->Canvas()->Pixels(3, 3), clBlack);
  EXPECT_EQ(Count(*B, Rect(0, 0, 8, 8), [](TColor P) { return P == clLime; }), 0);

  // A fixed transparent colour.
  Glyph->SetTransparentColor(clBlack);
  EXPECT_EQ(Glyph->TransparentMode(), tmFixed);
  auto B2 = White(8, 8);
  B2->Canvas()->Draw(2, 2, Glyph.get());
  EXPECT_EQ(B2->Canvas()->Pixels(3, 3), clWhite);
  EXPECT_EQ(B2->Canvas()->Pixels(2, 2), clLime);
}

}  // namespace
