#include "platform/gfx/graphics.h"

#include "platform/rtl/publish.h"

namespace platform {

VEL_IMPLEMENT_CLASS(TGraphicsObject, "Graphics");
VEL_IMPLEMENT_CLASS(TPen, "Graphics");
VEL_IMPLEMENT_CLASS(TBrush, "Graphics");
VEL_IMPLEMENT_CLASS(TFont, "Graphics");

namespace {

// Stores Value in Field and reports whether that changed anything.
template <class T>
bool Store(T& Field, const T& Value) {
  if (Field == Value) return false;
  Field = Value;
  return true;
}

}  // namespace

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------- TPen

void TPen::VelPublish(TPublisher& P) {
  P.Property("Color", &TPen::Color, &TPen::SetColor).Default(clBlack);
  P.Property("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
  P.Property("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
  P.Property("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

void TPen::Assign(TPersistent* Source) {
  if (auto* Pen = dynamic_cast<TPen*>(Source)) {
    bool Diff = Store(FColor, Pen->FColor);
    Diff = Store(FWidth, Pen->FWidth) || Diff;
    Diff = Store(FStyle, Pen->FStyle) || Diff;
    Diff = Store(FMode, Pen->FMode) || Diff;
    if (Diff) Changed();
    return;
  }
  inherited::Assign(Source);
}

void TPen::SetColor(TColor Value) {
  if (Store(FColor, Value)) Changed();
}

void TPen::SetWidth(int Value) {
  if (Value < 0) Value = 0;
  if (Store(FWidth, Value)) Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (Store(FStyle, Value)) Changed();
}

void TPen::SetMode(TPenMode Value) {
  if (Store(FMode, Value)) Changed();
}

// -------------------------------------------------------------- TBrush

void TBrush::VelPublish(TPublisher& P) {
  P.Property("Color", &TBrush::Color, &TBrush::SetColor).Default(clWhite);
  P.Property("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* Brush = dynamic_cast<TBrush*>(Source)) {
    bool Diff = Store(FColor, Brush->FColor);
    Diff = Store(FStyle, Brush->FStyle) || Diff;
    if (Diff) Changed();
    return;
  }
  inherited::Assign(Source);
}

void TBrush::SetColor(TColor Value) {
  bool Diff = Store(FColor, Value);
  if (FStyle == bsClear) Diff = Store(FStyle, bsSolid) || Diff;
  if (Diff) Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Store(FStyle, Value)) Changed();
}

// --------------------------------------------------------------- TFont

void TFont::VelPublish(TPublisher& P) {
  P.Property("Charset", &TFont::Charset, &TFont::SetCharset).Default(DEFAULT_CHARSET);
  P.Property("Color", &TFont::Color, &TFont::SetColor);
  P.Property("Height", &TFont::Height, &TFont::SetHeight);
  P.Property("Name", &TFont::Name, &TFont::SetName);
  P.Property("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
  P.Property("Size", &TFont::Size, &TFont::SetSize).Stored(false);
  P.Property("Style", &TFont::Style, &TFont::SetStyle);
}

void TFont::Assign(TPersistent* Source) {
  if (auto* Font = dynamic_cast<TFont*>(Source)) {
    // The height is copied as a size when the resolutions differ, so the text
    // keeps its size in points.
    const int NewHeight =
        Font->FPixelsPerInch == FPixelsPerInch ? Font->FHeight : -MulDiv(Font->Size(), FPixelsPerInch, 72);
    bool Diff = Store(FName, Font->FName);
    Diff = Store(FHeight, NewHeight) || Diff;
    Diff = Store(FColor, Font->FColor) || Diff;
    Diff = Store(FStyle, Font->FStyle) || Diff;
    Diff = Store(FPitch, Font->FPitch) || Diff;
    Diff = Store(FCharset, Font->FCharset) || Diff;
    if (Diff) Changed();
    return;
  }
  inherited::Assign(Source);
}

void TFont::SetName(const std::string& Value) {
  if (Value.empty()) return;  // a font needs a face; keep the current one
  if (Store(FName, Value)) Changed();
}

void TFont::SetHeight(int Value) {
  if (Store(FHeight, Value)) Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetColor(TColor Value) {
  if (Store(FColor, Value)) Changed();
}

void TFont::SetStyle(TFontStyles Value) {
  if (Store(FStyle, Value)) Changed();
}

void TFont::SetPitch(TFontPitch Value) {
  if (Store(FPitch, Value)) Changed();
}

void TFont::SetCharset(TFontCharset Value) {
  if (Store(FCharset, Value)) Changed();
}

void TFont::SetPixelsPerInch(int Value) {
  if (Value <= 0) throw EInvalidOperation("PixelsPerInch must be positive");
  FPixelsPerInch = Value;
}

}  // namespace platform
