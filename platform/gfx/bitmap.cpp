#include "platform/gfx/bitmap.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>

namespace platform {

/// \brief The canvas of a bitmap: draws on the bitmap's own surface.
class TBitmapCanvas : public TCanvas {
  VEL_CLASS(TBitmapCanvas, TCanvas)
  explicit TBitmapCanvas(TBitmap* ABitmap) : FBitmap(ABitmap) {}

 protected:
  void CreateHandle() override { SetHandle(FBitmap->CanvasDC()); }
  void Changed() override {
    inherited::Changed();
    FBitmap->Changed();
  }

 private:
  TBitmap* FBitmap;
};

VEL_IMPLEMENT_CLASS(TGraphic, "Graphics");
VEL_IMPLEMENT_CLASS(TBitmap, "Graphics");
VEL_IMPLEMENT_CLASS(TBitmapCanvas, "Graphics");
VEL_IMPLEMENT_CLASS(TPicture, "Graphics");

namespace {

// A new ARGB surface of the size, all opaque white.
cairo_surface_t* NewSurface(int Width, int Height) {
  cairo_surface_t* S = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Width, Height);
  if (cairo_surface_status(S) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(S);
    throw EInvalidGraphic("Cannot make a bitmap of " + IntToStr(Width) + " x " + IntToStr(Height) + " pixels");
  }
  cairo_t* Cr = cairo_create(S);
  cairo_set_source_rgb(Cr, 1, 1, 1);
  cairo_set_operator(Cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(Cr);
  cairo_destroy(Cr);
  return S;
}

// Copies Source's pixels over the top-left of Dest.
void PaintOnto(cairo_surface_t* Dest, cairo_surface_t* Source) {
  cairo_surface_flush(Source);
  cairo_t* Cr = cairo_create(Dest);
  cairo_set_source_surface(Cr, Source, 0, 0);
  cairo_set_operator(Cr, CAIRO_OPERATOR_SOURCE);
  cairo_rectangle(Cr, 0, 0, cairo_image_surface_get_width(Source), cairo_image_surface_get_height(Source));
  cairo_fill(Cr);
  cairo_destroy(Cr);
}

// The colour of an ARGB pixel, undoing the premultiplication.
std::int32_t PixelRGB(std::uint32_t Px) {
  const unsigned A = Px >> 24;
  unsigned R = (Px >> 16) & 0xFF, G = (Px >> 8) & 0xFF, B = Px & 0xFF;
  if (A != 0 && A != 255) {
    R = (R * 255 + A / 2) / A;
    G = (G * 255 + A / 2) / A;
    B = (B * 255 + A / 2) / A;
  }
  return RGB(std::uint8_t(R), std::uint8_t(G), std::uint8_t(B));
}

std::uint32_t* Row(cairo_surface_t* S, int Y) {
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(S) + Y * cairo_image_surface_get_stride(S));
}

struct TSurfaceDeleter {
  void operator()(cairo_surface_t* S) const { cairo_surface_destroy(S); }
};
using TSurfacePtr = std::unique_ptr<cairo_surface_t, TSurfaceDeleter>;

}  // namespace

// =============================================================== TGraphic

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed();
}

void TGraphic::Changed() {
  FModified = true;
  if (OnChange) OnChange(this);
}

// ================================================================ TBitmap

TBitmap::TBitmap() : FSurface(NewSurface(0, 0)) {}

TBitmap::TBitmap(int AWidth, int AHeight) : TBitmap() { SetSize(AWidth, AHeight); }

TBitmap::~TBitmap() {
  delete FCanvas;
  if (FDC.Cr) cairo_destroy(FDC.Cr);
  cairo_surface_destroy(FSurface);
}

HDC TBitmap::CanvasDC() {
  if (!FDC.Cr) {
    FDC.Cr = cairo_create(FSurface);
    FDC.Width = FWidth;
    FDC.Height = FHeight;
  }
  return &FDC;
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) FCanvas = new TBitmapCanvas(this);
  return FCanvas;
}

void TBitmap::ReplaceSurface(cairo_surface_t* NewSurface) {
  // The canvas keeps its pen, brush and font and makes a new context on its next use.
  if (FCanvas) FCanvas->SetHandle(nullptr);
  if (FDC.Cr) cairo_destroy(FDC.Cr);
  FDC = TDeviceContext{};
  cairo_surface_destroy(FSurface);
  FSurface = NewSurface;
  FWidth = cairo_image_surface_get_width(NewSurface);
  FHeight = cairo_image_surface_get_height(NewSurface);
}

void TBitmap::SetSize(int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  if (AWidth == FWidth && AHeight == FHeight) return;
  cairo_surface_t* S = NewSurface(AWidth, AHeight);
  PaintOnto(S, FSurface);
  ReplaceSurface(S);
  Changed();
}

void TBitmap::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (auto* Other = dynamic_cast<TBitmap*>(Source)) {
    cairo_surface_t* S = NewSurface(Other->FWidth, Other->FHeight);
    PaintOnto(S, Other->FSurface);
    ReplaceSurface(S);
    FTransparent = Other->FTransparent;
    FTransparentColor = Other->FTransparentColor;
    FTransparentMode = Other->FTransparentMode;
    Changed();
    return;
  }
  if (!Source) {
    ReplaceSurface(NewSurface(0, 0));
    Changed();
    return;
  }
  inherited::Assign(Source);
}

void TBitmap::LoadFromFile(const std::string& FileName) {
  // The decoder reports most malformed files as a lack of memory, so the
  // file's opening and signature are checked here first.
  {
    std::error_code Error;
    std::ifstream In(FileName, std::ios::binary);
    if (!In || std::filesystem::is_directory(FileName, Error))
      throw EFOpenError("Cannot open file \"" + FileName + "\"");
    static constexpr char Signature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
    char Head[8] = {};
    if (!In.read(Head, 8) || !std::equal(Head, Head + 8, Signature))
      throw EInvalidGraphic("\"" + FileName + "\" is not a PNG image");
  }
  TSurfacePtr Png(cairo_image_surface_create_from_png(FileName.c_str()));
  switch (cairo_surface_status(Png.get())) {
    case CAIRO_STATUS_SUCCESS:
      break;
    case CAIRO_STATUS_FILE_NOT_FOUND:
      throw EFOpenError("Cannot open file \"" + FileName + "\"");
    default:
      throw EInvalidGraphic("\"" + FileName + "\" is not a valid PNG image");
  }
  // Whatever the file's pixel format, the bitmap holds ARGB.
  cairo_surface_t* S = NewSurface(cairo_image_surface_get_width(Png.get()), cairo_image_surface_get_height(Png.get()));
  PaintOnto(S, Png.get());
  ReplaceSurface(S);
  Changed();
}

void TBitmap::SaveToFile(const std::string& FileName) {
  if (Empty()) throw EInvalidGraphic("Cannot save an empty bitmap to \"" + FileName + "\"");
  cairo_surface_flush(FSurface);
  if (cairo_surface_write_to_png(FSurface, FileName.c_str()) != CAIRO_STATUS_SUCCESS)
    throw EFCreateError("Cannot create file \"" + FileName + "\"");
}

TColor TBitmap::TransparentColor() const {
  if (FTransparentMode == tmFixed) return FTransparentColor;
  if (Empty()) return clDefault;
  cairo_surface_flush(FSurface);
  return TColor(PixelRGB(Row(FSurface, FHeight - 1)[0]));
}

void TBitmap::SetTransparentColor(TColor Value) {
  const TTransparentMode Mode = Value == clDefault ? tmAuto : tmFixed;
  if (Value == FTransparentColor && Mode == FTransparentMode) return;
  FTransparentColor = Value;
  FTransparentMode = Mode;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  FTransparentMode = Value;
  if (Value == tmAuto) FTransparentColor = clDefault;
  Changed();
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  cairo_t* Cr = ACanvas->Handle()->Cr;
  cairo_surface_flush(FSurface);

  // A copy when the pixels must change (transparency) or the bitmap draws onto itself.
  TSurfacePtr Copy;
  if (FTransparent || cairo_get_target(Cr) == FSurface) {
    Copy.reset(NewSurface(FWidth, FHeight));
    PaintOnto(Copy.get(), FSurface);
    if (FTransparent) {
      const std::int32_t Key = ColorToRGB(TransparentColor());
      for (int Y = 0; Y < FHeight; ++Y) {
        std::uint32_t* P = Row(Copy.get(), Y);
        for (int X = 0; X < FWidth; ++X)
          if ((P[X] >> 24) != 0 && PixelRGB(P[X]) == Key) P[X] = 0;
      }
      cairo_surface_mark_dirty(Copy.get());
    }
  }

  cairo_rectangle(Cr, Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
  cairo_clip(Cr);
  cairo_translate(Cr, Rect.Left, Rect.Top);
  cairo_scale(Cr, double(Rect.Width()) / FWidth, double(Rect.Height()) / FHeight);
  cairo_set_source_surface(Cr, Copy ? Copy.get() : FSurface, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(Cr), CAIRO_FILTER_NEAREST);
  cairo_set_operator(Cr, CAIRO_OPERATOR_OVER);
  cairo_paint(Cr);
}

// =============================================================== TPicture

TPicture::~TPicture() { delete FGraphic; }

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::GraphicChanged(TObject*) { Changed(); }

void TPicture::Adopt(TGraphic* Value) {
  delete FGraphic;
  FGraphic = Value;
  if (FGraphic) FGraphic->OnChange = TNotifyEvent::Bind<&TPicture::GraphicChanged>(this);
  Changed();
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic) return;
  if (!Value) {
    Adopt(nullptr);
    return;
  }
  std::unique_ptr<TObject> Made(Value->ClassType()->Create());
  auto* Copy = dynamic_cast<TGraphic*>(Made.get());
  if (!Copy) throw EInvalidGraphic("Cannot copy a " + Value->ClassName());
  Copy->Assign(Value);
  Made.release();
  Adopt(Copy);
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(FGraphic)) Adopt(new TBitmap);
  return static_cast<TBitmap*>(FGraphic);
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    SetGraphic(nullptr);
  } else if (auto* Picture = dynamic_cast<TPicture*>(Source)) {
    if (Picture != this) SetGraphic(Picture->FGraphic);
  } else if (auto* Graphic = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(Graphic);
  } else {
    inherited::Assign(Source);
  }
}

void TPicture::AssignTo(TPersistent* Dest) const {
  if (auto* Graphic = dynamic_cast<TGraphic*>(Dest)) {
    Graphic->Assign(FGraphic);
    return;
  }
  inherited::AssignTo(Dest);
}

void TPicture::LoadFromFile(const std::string& FileName) {
  auto Loaded = std::make_unique<TBitmap>();
  Loaded->LoadFromFile(FileName);
  Adopt(Loaded.release());
}

void TPicture::SaveToFile(const std::string& FileName) {
  if (!FGraphic) throw EInvalidGraphic("Cannot save an empty picture to \"" + FileName + "\"");
  FGraphic->SaveToFile(FileName);
}

}  // namespace platform
