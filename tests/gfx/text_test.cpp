// Text on the canvas: placement, background, clipping, measuring and formats.
#include <gtest/gtest.h>

#include "gfx/gfx_test_util.h"
#include "platform/gfx/canvas.h"

namespace {

using namespace platform;
using namespace gfxtest;

// The smallest rectangle holding every dark pixel, or an empty one.
TRect DarkBox(TBitmap& B) {
  TRect R{B.Width(), B.Height(), 0, 0};
  for (int Y = 0; Y < B.Height(); ++Y)
    for (int X = 0; X < B.Width(); ++X)
      if (Dark(B.Canvas()->Pixels(X, Y))) {
        R.Left = std::min(R.Left, X);
        R.Top = std::min(R.Top, Y);
        R.Right = std::max(R.Right, X + 1);
        R.Bottom = std::max(R.Bottom, Y + 1);
      }
  return R;
}

TEST(CanvasTextTest, TextOutDrawsInsideItsExtentAndMovesThePen) {
  auto B = White(120, 40);
  TCanvas* C = B->Canvas();
  C->Brush()->SetStyle(bsClear);
  C->Font()->SetColor(clBlack);
  const TSize Size = C->TextExtent("Hello");
  ASSERT_GT(Size.cx, 10);
  ASSERT_GT(Size.cy, 8);
  C->TextOut(5, 7, "Hello");
  const TRect Box = Bounds(5, 7, Size.cx, Size.cy);
  EXPECT_GT(Count(*B, Box, Dark), 20);
  EXPECT_EQ(CountOutside(*B, Box, Dark), 0);
  // Antialiasing may tint the pixel next to a glyph's edge, never farther.
  EXPECT_EQ(CountOutside(*B, Grown(Box, 1), [](TColor P) { return P != clWhite; }), 0);
  EXPECT_EQ(C->PenPos(), Point(5 + Size.cx, 7));
  // Glyphs start near the given corner rather than a baseline.
  const TRect Ink = DarkBox(*B);
  EXPECT_LE(Ink.Left, 7);
  EXPECT_LE(Ink.Top, 7 + Size.cy / 2);
}

TEST(CanvasTextTest, SolidBrushFillsTheTextBackground) {
  auto B = White(120, 40);
  TCanvas* C = B->Canvas();
  C->Brush()->SetColor(clYellow);
  C->Font()->SetColor(clNavy);
  C->TextOut(10, 10, "Text");
  const TRect Box = Bounds(10, 10, C->TextWidth("Text"), C->TextHeight("Text"));
  const int Yellow = Count(*B, Box, [](TColor P) { return P == clYellow; });
  EXPECT_GT(Yellow, Box.Width() * Box.Height() / 2);
  EXPECT_GT(Count(*B, Box, Dark), 0);
  EXPECT_EQ(CountOutside(*B, Box, [](TColor P) { return P == clYellow || Dark(P); }), 0);
  EXPECT_EQ(CountOutside(*B, Grown(Box, 1), [](TColor P) { return P != clWhite; }), 0);
}

TEST(CanvasTextTest, TextRectClipsAndFillsTheWholeRectangle) {
  auto B = White(100, 30);
  TCanvas* C = B->Canvas();
  C->Brush()->SetColor(clAqua);
  const TRect R = Rect(10, 5, 30, 25);
  C->TextRect(R, 12, 8, "A long text that does not fit");
  EXPECT_GT(Count(*B, R, Dark), 5);
  EXPECT_EQ(CountOutside(*B, R, [](TColor P) { return P != clWhite; }), 0);
  EXPECT_EQ(C->Pixels(10, 24), clAqua);  // a corner the text leaves alone
}

TEST(CanvasTextTest, ChineseTextHasGlyphs) {
  auto B = White(120, 30);
  TCanvas* C = B->Canvas();
  C->Brush()->SetStyle(bsClear);
  const std::string Text = "\xE5\x85\xA8\xE9\x83\xA8";  // two CJK characters
  C->TextOut(2, 2, Text);
  const TRect Box = Bounds(2, 2, C->TextWidth(Text), C->TextHeight(Text));
  EXPECT_GT(Count(*B, Box, Dark), 20);
  // Each character has a width of its own (no missing-glyph boxes of zero width).
  EXPECT_GT(C->TextWidth(Text), C->TextWidth("\xE5\x85\xA8"));
  EXPECT_GE(C->TextWidth("\xE5\x85\xA8"), C->TextHeight("A") / 2);
}

TEST(CanvasTextTest, Measuring) {
  TCanvas C;  // measuring needs no device context
  EXPECT_EQ(C.TextWidth(""), 0);
  EXPECT_GT(C.TextHeight(""), 0);
  EXPECT_EQ(C.TextHeight(""), C.TextHeight("Xy"));
  EXPECT_LT(C.TextWidth("A"), C.TextWidth("AB"));
  EXPECT_LT(C.TextWidth("AB"), C.TextWidth("ABC"));
  EXPECT_LT(C.TextWidth("iii"), C.TextWidth("WWW"));

  const int Regular = C.TextWidth("Hello World");
  const int Height = C.TextHeight("Hello World");
  C.Font()->SetStyle({fsBold});
  EXPECT_GT(C.TextWidth("Hello World"), Regular);
  C.Font()->SetStyle({});
  C.Font()->SetSize(16);
  EXPECT_GT(C.TextHeight("Hello World"), Height);
  EXPECT_GT(C.TextWidth("Hello World"), Regular);
  // A positive height is the cell height: the line is about that high.
  C.Font()->SetHeight(20);
  EXPECT_NEAR(C.TextHeight("Hello"), 20, 2);
  // Measured twice, the same (the second comes from the layout cache).
  EXPECT_EQ(C.TextExtent("Hello"), C.TextExtent("Hello"));
}

TEST(CanvasTextTest, MeasuresStayRightWhenTheCacheOverflows) {
  TCanvas C;
  const TSize Short = C.TextExtent("x");
  const TSize Long = C.TextExtent("a much longer text");
  // More distinct texts than the layout cache keeps.
  int Widest = 0;
  for (int I = 0; I < 6000; ++I) Widest = std::max(Widest, C.TextWidth("label " + std::to_string(I)));
  EXPECT_GT(Widest, Short.cx);
  EXPECT_EQ(C.TextExtent("x"), Short);
  EXPECT_EQ(C.TextExtent("a much longer text"), Long);
  // Same text, other font: not the cached layout of the first font.
  C.Font()->SetSize(20);
  EXPECT_GT(C.TextWidth("a much longer text"), Long.cx);
  C.Font()->SetSize(8);
  EXPECT_EQ(C.TextExtent("a much longer text"), Long);
}

TEST(CanvasTextTest, FontStylesChangeThePixels) {
  auto Draw = [](TFontStyles Style) {
    auto B = White(80, 24);
    B->Canvas()->Brush()->SetStyle(bsClear);
    B->Canvas()->Font()->SetStyle(Style);
    B->Canvas()->TextOut(2, 2, "Sample");
    return Count(*B, Rect(0, 0, 80, 24), Dark);
  };
  const int Plain = Draw({});
  EXPECT_GT(Draw({fsBold}), Plain);
  EXPECT_GT(Draw({fsUnderline}), Plain);
  EXPECT_GT(Draw({fsStrikeOut}), Plain);
}

TEST(CanvasTextTest, FontColourAndDefault) {
  auto B = White(60, 20);
  TCanvas* C = B->Canvas();
  C->Brush()->SetStyle(bsClear);
  C->Font()->SetColor(clRed);
  C->Font()->SetSize(14);
  C->TextOut(1, 1, "HH");
  auto Blackish = [](TColor P) { return GetRValue(P) < 80 && GetGValue(P) < 80 && GetBValue(P) < 80; };
  const int Red = Count(*B, Rect(0, 0, 60, 20), [](TColor P) { return P == clRed; });
  EXPECT_GT(Red, 5);
  EXPECT_EQ(Count(*B, Rect(0, 0, 60, 20), Blackish), 0);
  // clDefault text is window text: black.
  C->Font()->SetColor(clDefault);
  C->TextOut(30, 1, "HH");
  EXPECT_GT(Count(*B, Rect(30, 0, 60, 20), [](TColor P) { return P == clBlack; }), 5);
}

TEST(CanvasTextTest, InvalidUtf8StillDraws) {
  auto B = White(60, 20);
  TCanvas* C = B->Canvas();
  C->Brush()->SetStyle(bsClear);
  C->TextOut(1, 1,
             "ab\xFF\xFE"
             "cd");
  EXPECT_GT(C->TextWidth("ab\xFF\xFE"
                         "cd"),
            C->TextWidth("abcd"));
  EXPECT_GT(Count(*B, Rect(0, 0, 60, 20), Dark), 10);
}

TEST(CanvasTextFormatTest, PrefixesAndCalcRect) {
  TCanvas C;
  struct TCase {
    const char* Text;
    const char* Shown;
  };
  const TCase Cases[] = {{"&Save", "Save"}, {"Save &As", "Save As"}, {"A && B", "A & B"}, {"End&", "End"}};
  for (const TCase& K : Cases) {
    TRect R = Rect(0, 0, 200, 50);
    C.TextRect(R, K.Text, {tfCalcRect, tfSingleLine});
    EXPECT_EQ(R.Width(), C.TextWidth(K.Shown)) << K.Text;
    EXPECT_EQ(R.Height(), C.TextHeight(K.Shown)) << K.Text;
    EXPECT_EQ(R.TopLeft(), Point(0, 0));
    TRect Raw = Rect(0, 0, 200, 50);
    C.TextRect(Raw, K.Text, {tfCalcRect, tfSingleLine, tfNoPrefix});
    EXPECT_EQ(Raw.Width(), C.TextWidth(K.Text)) << K.Text;
  }
  // Word breaking makes a narrow text taller.
  TRect Narrow = Rect(0, 0, 60, 0);
  C.TextRect(Narrow, "one two three four five six", {tfCalcRect, tfWordBreak});
  EXPECT_GT(Narrow.Height(), 2 * C.TextHeight("x"));
  EXPECT_LE(Narrow.Width(), 60);
}

TEST(CanvasTextFormatTest, PrefixUnderlinesOneCharacter) {
  auto Draw = [](const char* Text, TTextFormat Format) {
    auto B = White(80, 24);
    B->Canvas()->Brush()->SetStyle(bsClear);
    TRect R = Rect(0, 0, 80, 24);
    B->Canvas()->TextRect(R, Text, Format);
    return Count(*B, Rect(0, 0, 80, 24), Dark);
  };
  EXPECT_GT(Draw("&Open", {tfSingleLine}), Draw("Open", {tfSingleLine}));
  EXPECT_EQ(Draw("&Open", {tfSingleLine, tfHidePrefix}), Draw("Open", {tfSingleLine}));
}

TEST(CanvasTextFormatTest, Alignment) {
  auto B = White(200, 40);
  TCanvas* C = B->Canvas();
  C->Brush()->SetStyle(bsClear);
  TRect R = Rect(0, 0, 200, 40);
  C->TextRect(R, "Mid", {tfCenter, tfVerticalCenter, tfSingleLine});
  TRect Ink = DarkBox(*B);
  EXPECT_NEAR(Ink.Left - R.Left, R.Right - Ink.Right, 3);
  EXPECT_NEAR(Ink.Top - R.Top, R.Bottom - Ink.Bottom, 4);

  auto B2 = White(200, 40);
  B2->Canvas()->Brush()->SetStyle(bsClear);
  B2->Canvas()->TextRect(R, "Right", {tfRight, tfBottom, tfSingleLine});
  Ink = DarkBox(*B2);
  EXPECT_GE(Ink.Right, 195);
  EXPECT_GE(Ink.Bottom, 30);
}

TEST(CanvasTextFormatTest, EndEllipsisKeepsTheTextInside) {
  auto B = White(200, 20);
  TCanvas* C = B->Canvas();
  C->Brush()->SetStyle(bsClear);
  TRect R = Rect(0, 0, 50, 20);
  C->TextRect(R, "A caption far too long for its box", {tfSingleLine, tfEndEllipsis, tfNoClip});
  EXPECT_GT(Count(*B, R, Dark), 10);
  EXPECT_EQ(CountOutside(*B, R, Dark), 0);
}

}  // namespace
