// Colours and the graphics objects: pen, brush and font state, Assign and OnChange.
#include <gtest/gtest.h>

#include "platform/gfx/colors.h"
#include "platform/gfx/graphics.h"
#include "platform/rtl/typinfo.h"

namespace {

using namespace platform;

struct TChangeCounter {
  int Count = 0;
  TObject* LastSender = nullptr;
  TNotifyEvent Event() {
    return [this](TObject* Sender) {
      ++Count;
      LastSender = Sender;
    };
  }
};

// ------------------------------------------------------------------ colours

TEST(ColorTest, RgbValuesAreLittleEndianRedFirst) {
  const TColor C = RGB(0x12, 0x34, 0x56);
  EXPECT_EQ(std::int32_t(C), 0x563412);
  EXPECT_EQ(GetRValue(C), 0x12);
  EXPECT_EQ(GetGValue(C), 0x34);
  EXPECT_EQ(GetBValue(C), 0x56);
  EXPECT_EQ(RGB(255, 0, 0), clRed);
  EXPECT_EQ(RGB(128, 128, 128), clGray);
}

TEST(ColorTest, PlainColoursPaintAsThemselves) {
  for (TColor C : {clBlack, clRed, clNavy, clGray, clWhite, RGB(1, 2, 3)}) EXPECT_EQ(ColorToRGB(C), C);
  // The high byte of a non-system colour does not reach the pixels.
  EXPECT_EQ(ColorToRGB(TColor(0x02123456)), 0x123456);
}

TEST(ColorTest, SystemColoursComeFromALightPalette) {
  auto R = [](TColor C) { return GetRValue(ColorToRGB(C)); };
  auto G = [](TColor C) { return GetGValue(ColorToRGB(C)); };
  auto B = [](TColor C) { return GetBValue(ColorToRGB(C)); };
  auto IsGrey = [&](TColor C) { return R(C) == G(C) && G(C) == B(C); };

  EXPECT_TRUE(IsSystemColor(clBtnFace));
  EXPECT_FALSE(IsSystemColor(clGray));
  // Faces are light grey, shadows darker grey, texts black, windows white.
  EXPECT_TRUE(IsGrey(clBtnFace));
  EXPECT_GT(R(clBtnFace), 200);
  EXPECT_LT(R(clBtnFace), 255);
  EXPECT_TRUE(IsGrey(clBtnShadow));
  EXPECT_LT(R(clBtnShadow), R(clBtnFace));
  EXPECT_GT(R(clBtnShadow), 64);
  EXPECT_EQ(ColorToRGB(clBtnText), 0);
  EXPECT_EQ(ColorToRGB(clWindowText), 0);
  EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFF);
  EXPECT_EQ(ColorToRGB(clBtnHighlight), 0xFFFFFF);
  EXPECT_EQ(ColorToRGB(clHighlightText), 0xFFFFFF);
  // The selection is blue.
  EXPECT_GT(B(clHighlight), R(clHighlight) + 100);
  EXPECT_GT(B(clHighlight), G(clHighlight));
  // Every index is its own entry: the face and the shadow differ from their neighbours.
  EXPECT_NE(ColorToRGB(clBtnFace), ColorToRGB(clBtnShadow));
  EXPECT_NE(ColorToRGB(clBtnShadow), ColorToRGB(clGrayText));
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(15));
}

TEST(ColorTest, SpecialValues) {
  EXPECT_EQ(ColorToRGB(clDefault), ColorToRGB(clWindow));
  EXPECT_EQ(ColorToRGB(SystemColor(200)), 0);  // outside the palette
  EXPECT_EQ(GetSysColor(-1), 0);
  EXPECT_FALSE(IsSystemColor(clNone));
  EXPECT_FALSE(IsSystemColor(clDefault));
}

// --------------------------------------------------------------------- pen

TEST(PenTest, DefaultsAndChangeNotification) {
  TPen Pen;
  EXPECT_EQ(Pen.Color(), clBlack);
  EXPECT_EQ(Pen.Width(), 1);
  EXPECT_EQ(Pen.Style(), psSolid);
  EXPECT_EQ(Pen.Mode(), pmCopy);

  TChangeCounter Changes;
  Pen.OnChange = Changes.Event();
  Pen.SetColor(clRed);
  Pen.SetWidth(3);
  Pen.SetStyle(psDot);
  Pen.SetMode(pmNot);
  EXPECT_EQ(Changes.Count, 4);
  EXPECT_EQ(Changes.LastSender, &Pen);
  // Storing the value the pen already has is no change.
  Pen.SetColor(clRed);
  Pen.SetWidth(3);
  Pen.SetStyle(psDot);
  Pen.SetMode(pmNot);
  EXPECT_EQ(Changes.Count, 4);
  Pen.SetWidth(-5);
  EXPECT_EQ(Pen.Width(), 0);
}

TEST(PenTest, AssignCopiesEverythingWithOneNotification) {
  TPen Source, Dest;
  Source.SetColor(clBtnShadow);
  Source.SetWidth(2);
  Source.SetStyle(psInsideFrame);
  Source.SetMode(pmXor);
  TChangeCounter Changes;
  Dest.OnChange = Changes.Event();
  Dest.Assign(&Source);
  EXPECT_EQ(Dest.Color(), clBtnShadow);
  EXPECT_EQ(Dest.Width(), 2);
  EXPECT_EQ(Dest.Style(), psInsideFrame);
  EXPECT_EQ(Dest.Mode(), pmXor);
  EXPECT_EQ(Changes.Count, 1);
  Dest.Assign(&Source);
  EXPECT_EQ(Changes.Count, 1);
  // The source's handler is not copied.
  EXPECT_FALSE(Source.OnChange);

  TBrush Brush;
  EXPECT_THROW(Dest.Assign(&Brush), EConvertError);
  EXPECT_THROW(Dest.Assign(nullptr), EConvertError);
}

// ------------------------------------------------------------------- brush

TEST(BrushTest, ColourMakesAClearBrushSolid) {
  TBrush Brush;
  EXPECT_EQ(Brush.Color(), clWhite);
  EXPECT_EQ(Brush.Style(), bsSolid);
  TChangeCounter Changes;
  Brush.OnChange = Changes.Event();
  Brush.SetStyle(bsClear);
  EXPECT_EQ(Changes.Count, 1);
  Brush.SetColor(clRed);
  EXPECT_EQ(Brush.Style(), bsSolid);
  EXPECT_EQ(Changes.Count, 2);
  // The style set after the colour sticks.
  Brush.SetStyle(bsClear);
  EXPECT_EQ(Brush.Style(), bsClear);
  EXPECT_EQ(Brush.Color(), clRed);
  // Setting the same colour on a clear brush still makes it solid: a change.
  Brush.SetColor(clRed);
  EXPECT_EQ(Brush.Style(), bsSolid);
  EXPECT_EQ(Changes.Count, 4);
}

TEST(BrushTest, Assign) {
  TBrush Source, Dest;
  Source.SetColor(clBtnFace);
  Source.SetStyle(bsCross);
  TChangeCounter Changes;
  Dest.OnChange = Changes.Event();
  Dest.Assign(&Source);
  EXPECT_EQ(Dest.Color(), clBtnFace);
  EXPECT_EQ(Dest.Style(), bsCross);
  EXPECT_EQ(Changes.Count, 1);
  TPen Pen;
  EXPECT_THROW(Dest.Assign(&Pen), EConvertError);
}

// -------------------------------------------------------------------- font

TEST(FontTest, Defaults) {
  TFont Font;
  EXPECT_EQ(Font.Name(), "Arial");
  EXPECT_EQ(Font.Height(), -11);
  EXPECT_EQ(Font.Size(), 8);
  EXPECT_EQ(Font.Color(), clWindowText);
  EXPECT_TRUE(Font.Style().Empty());
  EXPECT_EQ(Font.Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(Font.PixelsPerInch(), 96);
}

TEST(FontTest, SizeAndHeightAreOneValue) {
  struct TCase {
    int Size;
    int Height;
  };
  // Height = -Size * 96 / 72, rounded half away from zero.
  const TCase Cases[] = {{8, -11}, {9, -12}, {10, -13}, {12, -16}, {14, -19}, {72, -96}, {1, -1}};
  for (const TCase& C : Cases) {
    TFont Font;
    Font.SetSize(C.Size);
    EXPECT_EQ(Font.Height(), C.Height) << "size " << C.Size;
    EXPECT_EQ(Font.Size(), C.Size) << "size " << C.Size;
  }
  TFont Font;
  Font.SetHeight(-16);
  EXPECT_EQ(Font.Size(), 12);
  // A positive height is a cell height; the size then comes out negative.
  Font.SetHeight(16);
  EXPECT_EQ(Font.Size(), -12);
}

TEST(FontTest, ChangesNotifyOnce) {
  TFont Font;
  TChangeCounter Changes;
  Font.OnChange = Changes.Event();
  Font.SetName("Courier New");
  Font.SetSize(10);
  Font.SetColor(clRed);
  Font.SetStyle({fsBold, fsItalic});
  Font.SetPitch(fpFixed);
  Font.SetCharset(GB2312_CHARSET);
  EXPECT_EQ(Changes.Count, 6);
  Font.SetName("Courier New");
  Font.SetSize(10);
  Font.SetHeight(-13);
  Font.SetStyle({fsItalic, fsBold});
  EXPECT_EQ(Changes.Count, 6);
  // A font has a face: an empty name is ignored.
  Font.SetName("");
  EXPECT_EQ(Font.Name(), "Courier New");
  EXPECT_EQ(Changes.Count, 6);
  EXPECT_TRUE(Font.Style().Contains(fsBold));
  EXPECT_FALSE(Font.Style().Contains(fsUnderline));
}

TEST(FontTest, AssignCopiesStateAndKeepsPointSizeAcrossResolutions) {
  TFont Source;
  Source.SetName("Tahoma");
  Source.SetSize(12);
  Source.SetColor(clBtnText);
  Source.SetStyle({fsUnderline});
  TFont Dest;
  TChangeCounter Changes;
  Dest.OnChange = Changes.Event();
  Dest.Assign(&Source);
  EXPECT_EQ(Dest.Name(), "Tahoma");
  EXPECT_EQ(Dest.Height(), -16);
  EXPECT_EQ(Dest.Color(), clBtnText);
  EXPECT_EQ(Dest.Style(), TFontStyles({fsUnderline}));
  EXPECT_EQ(Changes.Count, 1);

  TFont Printer;
  Printer.SetPixelsPerInch(300);
  Printer.Assign(&Source);
  EXPECT_EQ(Printer.Size(), 12);
  EXPECT_EQ(Printer.Height(), -50);
  EXPECT_THROW(Printer.SetPixelsPerInch(0), EInvalidOperation);
}

TEST(GraphicsObjectTest, ClassInformation) {
  TFont Font;
  EXPECT_EQ(Font.ClassName(), "TFont");
  EXPECT_TRUE(Font.InheritsFrom(TGraphicsObject::StaticClass()));
  EXPECT_TRUE(Font.InheritsFrom(TPersistent::StaticClass()));
  EXPECT_EQ(Font.UnitName(), "Graphics");
  // Class references create the most derived class.
  TObject* Made = TPen::StaticClass()->Create();
  EXPECT_EQ(Made->ClassType(), TPen::StaticClass());
  delete Made;
}

// ---------------------------------------------------- published properties

std::vector<std::string> PropNames(const TObject* Obj) {
  std::vector<std::string> Names;
  for (PPropInfo P : GetPropList(Obj)) Names.push_back(P->Name);
  return Names;
}

TEST(GraphicsObjectTest, FontPropertiesThroughTypeInformation) {
  TFont Font;
  EXPECT_EQ(PropNames(&Font),
            (std::vector<std::string>{"Charset", "Color", "Height", "Name", "Pitch", "Size", "Style"}));
  TChangeCounter Changes;
  Font.OnChange = Changes.Event();

  EXPECT_EQ(GetStrProp(&Font, "Name"), "Arial");
  SetStrProp(&Font, "Name", "Tahoma");
  EXPECT_EQ(Font.Name(), "Tahoma");
  SetOrdProp(&Font, "Size", 12);
  EXPECT_EQ(GetOrdProp(&Font, "Height"), -16);
  SetSetProp(&Font, "Style", "[fsBold, fsUnderline]");
  EXPECT_EQ(GetSetProp(&Font, "Style"), "fsBold,fsUnderline");
  SetOrdProp(&Font, "Color", clBtnText);
  EXPECT_EQ(Font.Color(), clBtnText);
  SetEnumProp(&Font, "Pitch", "fpFixed");
  EXPECT_EQ(Font.Pitch(), fpFixed);
  EXPECT_EQ(Changes.Count, 5);  // the setters ran
  // The height carries the size in streams.
  EXPECT_TRUE(IsStoredProp(&Font, "Height"));
  EXPECT_FALSE(IsStoredProp(&Font, "Size"));
  EXPECT_EQ(PropKind(&Font, "Style"), tkSet);
  EXPECT_EQ(PropType(&Font, "Style")->Name, "TFontStyles");
}

TEST(GraphicsObjectTest, PenAndBrushPropertiesThroughTypeInformation) {
  TPen Pen;
  EXPECT_EQ(PropNames(&Pen), (std::vector<std::string>{"Color", "Mode", "Style", "Width"}));
  EXPECT_EQ(GetEnumProp(&Pen, "Style"), "psSolid");
  EXPECT_EQ(GetEnumProp(&Pen, "Mode"), "pmCopy");
  SetEnumProp(&Pen, "Style", "psInsideFrame");
  EXPECT_EQ(Pen.Style(), psInsideFrame);
  EXPECT_TRUE(IsDefaultPropValue(&Pen, GetPropInfo(&Pen, "Width")));
  Pen.SetWidth(2);
  EXPECT_FALSE(IsDefaultPropValue(&Pen, GetPropInfo(&Pen, "Width")));
  EXPECT_THROW(SetEnumProp(&Pen, "Style", "psNoSuchStyle"), EConvertError);
  EXPECT_EQ(Pen.Style(), psInsideFrame);

  TBrush Brush;
  EXPECT_EQ(PropNames(&Brush), (std::vector<std::string>{"Color", "Style"}));
  SetEnumProp(&Brush, "Style", "bsClear");
  EXPECT_EQ(Brush.Style(), bsClear);
  EXPECT_EQ(GetEnumProp(&Brush, "Style"), "bsClear");
}

}  // namespace
