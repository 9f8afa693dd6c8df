// Bitmaps and pictures: size, canvas, copies, and PNG files.
#include <gtest/gtest.h>

#include <fstream>

#include "gfx/gfx_test_util.h"
#include "platform/gfx/bitmap.h"

namespace {

using namespace platform;
using namespace gfxtest;

::testing::AssertionResult SamePixels(TBitmap& A, TBitmap& B) {
  if (A.Width() != B.Width() || A.Height() != B.Height())
    return ::testing::AssertionFailure() << "sizes differ: " << A.Width() << "x" << A.Height() << " and " << B.Width()
                                         << "x" << B.Height();
  for (int Y = 0; Y < A.Height(); ++Y)
    for (int X = 0; X < A.Width(); ++X)
      if (A.Canvas()->Pixels(X, Y) != B.Canvas()->Pixels(X, Y))
        return ::testing::AssertionFailure() << "pixel (" << X << ", " << Y << ") differs";
  return ::testing::AssertionSuccess();
}

// A small scene: a filled rectangle, a dotted frame and a line of text.
void DrawScene(TCanvas* C) {
  C->Brush()->SetColor(clBtnFace);
  C->FillRect(Rect(0, 0, 120, 60));
  C->Pen()->SetColor(clBlack);
  C->Brush()->SetColor(clHighlight);
  C->Rectangle(4, 4, 24, 20);
  C->Pen()->SetStyle(psDot);
  C->Brush()->SetStyle(bsClear);
  C->Rectangle(30, 4, 60, 20);
  C->Pen()->SetStyle(psSolid);
  C->Font()->SetColor(clBtnText);
  C->TextOut(6, 30, "Scene");
}

TEST(BitmapTest, SceneMatchesExpectedPixelsAndIsSavedAsPng) {
  TBitmap B(120, 60);
  TCanvas* C = B.Canvas();
  DrawScene(C);
  const TColor Face = TColor(ColorToRGB(clBtnFace));
  const TColor Highlight = TColor(ColorToRGB(clHighlight));
  // The filled rectangle: outline and fill.
  EXPECT_EQ(C->Pixels(4, 4), clBlack);
  EXPECT_EQ(C->Pixels(23, 19), clBlack);
  EXPECT_EQ(C->Pixels(14, 12), Highlight);
  EXPECT_EQ(C->Pixels(24, 20), Face);
  EXPECT_EQ(C->Pixels(3, 3), Face);
  // The dotted frame: alternating along the top, ground showing through.
  EXPECT_EQ(C->Pixels(30, 4), clBlack);
  EXPECT_EQ(C->Pixels(31, 4), Face);
  EXPECT_EQ(C->Pixels(32, 4), clBlack);
  EXPECT_EQ(C->Pixels(30, 6), clBlack);
  EXPECT_EQ(C->Pixels(30, 5), Face);
  EXPECT_EQ(C->Pixels(45, 12), Face);
  // The text: ink inside its box, none in the rest of that row band.
  const TRect TextBox = Bounds(6, 30, C->TextWidth("Scene"), C->TextHeight("Scene"));
  EXPECT_GT(Count(B, TextBox, Dark), 20);
  EXPECT_EQ(Count(B, Rect(0, 24, 120, 60), Dark), Count(B, TextBox, Dark));

  const std::string File = OutputDir() + "/scene.png";
  std::filesystem::remove(File);
  B.SaveToFile(File);
  ASSERT_TRUE(std::filesystem::exists(File));
  TBitmap Loaded;
  Loaded.LoadFromFile(File);
  EXPECT_TRUE(SamePixels(B, Loaded));
}

TEST(BitmapTest, SizeAndNewPixels) {
  TBitmap B;
  EXPECT_TRUE(B.Empty());
  EXPECT_EQ(B.Width(), 0);
  int Changes = 0;
  B.OnChange = [&](TObject*) { ++Changes; };
  B.SetSize(10, 5);
  EXPECT_EQ(Changes, 1);
  EXPECT_FALSE(B.Empty());
  EXPECT_EQ(Count(B, Rect(0, 0, 10, 5), [](TColor P) { return P == clWhite; }), 50);
  B.SetSize(10, 5);
  EXPECT_EQ(Changes, 1);

  B.Canvas()->Pen()->SetColor(clRed);
  B.Canvas()->SetPixels(9, 4, clBlue);
  // Growing keeps the old pixels and adds white ones.
  B.SetWidth(20);
  B.SetHeight(8);
  EXPECT_EQ(B.Canvas()->Pixels(9, 4), clBlue);
  EXPECT_EQ(B.Canvas()->Pixels(19, 7), clWhite);
  // The canvas is the same object, drawing on the new pixels, its pen kept.
  EXPECT_EQ(B.Canvas()->Pen()->Color(), clRed);
  B.Canvas()->MoveTo(15, 6);
  B.Canvas()->LineTo(19, 6);
  EXPECT_EQ(B.Canvas()->Pixels(16, 6), clRed);
  // Shrinking keeps what stays inside.
  B.SetSize(10, 5);
  EXPECT_EQ(B.Canvas()->Pixels(9, 4), clBlue);
  EXPECT_EQ(B.Canvas()->Pixels(10, 4), clNone);

  B.SetSize(-3, 4);
  EXPECT_TRUE(B.Empty());
  EXPECT_EQ(B.Width(), 0);
  EXPECT_THROW(B.SetSize(100000, 100000), EInvalidGraphic);
  EXPECT_EQ(B.Width(), 0);
  EXPECT_EQ(B.Height(), 4);
}

TEST(BitmapTest, AssignMakesAnIndependentCopy) {
  TBitmap Source(6, 4);
  Source.Canvas()->SetPixels(2, 1, clRed);
  Source.SetTransparent(true);
  TBitmap Copy;
  Copy.Canvas()->Pen()->SetColor(clGreen);
  Copy.Assign(&Source);
  EXPECT_TRUE(SamePixels(Source, Copy));
  EXPECT_TRUE(Copy.Transparent());
  Copy.Canvas()->SetPixels(2, 1, clBlue);
  EXPECT_EQ(Source.Canvas()->Pixels(2, 1), clRed);
  EXPECT_EQ(Copy.Canvas()->Pen()->Color(), clGreen);

  Copy.Assign(&Copy);
  EXPECT_EQ(Copy.Canvas()->Pixels(2, 1), clBlue);
  Copy.Assign(nullptr);
  EXPECT_TRUE(Copy.Empty());
  TFont Font;
  EXPECT_THROW(Copy.Assign(&Font), EConvertError);
}

TEST(BitmapTest, DrawingOntoItself) {
  TBitmap B(8, 8);
  B.Canvas()->SetPixels(0, 0, clRed);
  B.Canvas()->Draw(4, 4, &B);
  EXPECT_EQ(B.Canvas()->Pixels(4, 4), clRed);
  EXPECT_EQ(B.Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(B.Canvas()->Pixels(5, 5), clWhite);
}

TEST(BitmapFileTest, ErrorsLeaveTheBitmapAsItWas) {
  const std::string Dir = OutputDir();
  TBitmap B(3, 3);
  B.Canvas()->SetPixels(1, 1, clRed);

  EXPECT_THROW(B.LoadFromFile(Dir + "/no-such-file.png"), EFOpenError);
  const std::string NotPng = Dir + "/not-a.png";
  std::ofstream(NotPng) << "this is text, not an image";
  EXPECT_THROW(B.LoadFromFile(NotPng), EInvalidGraphic);
  EXPECT_EQ(B.Width(), 3);
  EXPECT_EQ(B.Canvas()->Pixels(1, 1), clRed);

  EXPECT_THROW(B.SaveToFile(Dir + "/no-such-folder/x.png"), EFCreateError);
  TBitmap Empty;
  EXPECT_THROW(Empty.SaveToFile(Dir + "/empty.png"), EInvalidGraphic);
}

TEST(BitmapFileTest, AlphaAndOpaquePixelsSurviveAFile) {
  TBitmap B(5, 2);
  const TColor Colors[] = {clRed, clLime, clBlue, RGB(1, 2, 3), RGB(254, 128, 7)};
  for (int X = 0; X < 5; ++X) B.Canvas()->SetPixels(X, 0, Colors[X]);
  const std::string File = OutputDir() + "/colours.png";
  B.SaveToFile(File);
  TBitmap Loaded(1, 1);
  Loaded.LoadFromFile(File);
  EXPECT_TRUE(SamePixels(B, Loaded));
}

TEST(PictureTest, HoldsACopyOfAGraphic) {
  TBitmap Source(7, 3);
  Source.Canvas()->SetPixels(1, 1, clRed);
  TPicture Picture;
  EXPECT_EQ(Picture.Graphic(), nullptr);
  EXPECT_EQ(Picture.Width(), 0);
  int Changes = 0;
  Picture.OnChange = [&](TObject*) { ++Changes; };
  Picture.Assign(&Source);
  ASSERT_NE(Picture.Graphic(), nullptr);
  EXPECT_NE(Picture.Graphic(), &Source);
  EXPECT_EQ(Picture.Width(), 7);
  EXPECT_EQ(Picture.Height(), 3);
  EXPECT_EQ(Picture.Bitmap()->Canvas()->Pixels(1, 1), clRed);
  const int AfterAssign = Changes;
  EXPECT_GE(AfterAssign, 1);
  // Drawing on the picture's bitmap is a change of the picture.
  Picture.Bitmap()->Canvas()->SetPixels(0, 0, clBlue);
  EXPECT_GT(Changes, AfterAssign);

  // A picture assigns to a bitmap, and from another picture.
  TBitmap Out;
  Out.Assign(&Picture);
  EXPECT_EQ(Out.Canvas()->Pixels(0, 0), clBlue);
  TPicture Other;
  Other.Assign(&Picture);
  EXPECT_EQ(Other.Bitmap()->Canvas()->Pixels(1, 1), clRed);
  EXPECT_NE(Other.Graphic(), Picture.Graphic());

  Picture.Assign(nullptr);
  EXPECT_EQ(Picture.Graphic(), nullptr);
  EXPECT_THROW(Picture.SaveToFile(OutputDir() + "/empty-picture.png"), EInvalidGraphic);
  // Asking for the bitmap of an empty picture makes one.
  EXPECT_TRUE(Picture.Bitmap()->Empty());
  TPen Pen;
  EXPECT_THROW(Picture.Assign(&Pen), EConvertError);
}

TEST(PictureTest, LoadsAndSavesFiles) {
  TBitmap Source(4, 4);
  Source.Canvas()->SetPixels(3, 0, clPurple);
  const std::string File = OutputDir() + "/picture.png";
  Source.SaveToFile(File);
  TPicture Picture;
  Picture.LoadFromFile(File);
  EXPECT_EQ(Picture.Width(), 4);
  EXPECT_EQ(Picture.Bitmap()->Canvas()->Pixels(3, 0), clPurple);
  EXPECT_THROW(Picture.LoadFromFile(OutputDir() + "/missing.png"), EFOpenError);
  EXPECT_EQ(Picture.Width(), 4);
}

}  // namespace
