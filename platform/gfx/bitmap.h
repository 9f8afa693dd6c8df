// Images: the abstract TGraphic, the TBitmap raster image and TPicture.
#pragma once

#include <string>

#include "platform/gfx/canvas.h"
#include "platform/gfx/graphics.h"

typedef struct _cairo_surface cairo_surface_t;

namespace platform {

/// \brief An image that can draw itself on a canvas and be read from and written to files.
class TGraphic : public TPersistent {
  VEL_CLASS(TGraphic, TPersistent)
  TGraphic() = default;

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int Value) = 0;
  virtual void SetHeight(int Value) = 0;
  virtual void LoadFromFile(const std::string& FileName) = 0;
  virtual void SaveToFile(const std::string& FileName) = 0;

  /// A transparent image leaves the pixels of its transparent colour undrawn.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }

  TNotifyEvent OnChange;

 protected:
  friend class TCanvas;
  /// Draws the image scaled into Rect on ACanvas, which has a device context.
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  virtual void Changed();

  bool FTransparent = false;

 private:
  bool FModified = false;
};

enum TTransparentMode { tmAuto, tmFixed };

/// \brief A raster image in memory with a canvas to draw on it; read and written as PNG.
///
/// New pixels (of a new bitmap or of the part a bitmap grows by) are white;
/// growing or shrinking keeps the pixels that stay inside.
class TBitmap : public TGraphic {
  VEL_CLASS(TBitmap, TGraphic)
  TBitmap();
  TBitmap(int AWidth, int AHeight);
  ~TBitmap() override;

  /// Copies another bitmap's pixels and settings; none makes this bitmap empty.
  void Assign(TPersistent* Source) override;

  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetWidth(int Value) override { SetSize(Value, FHeight); }
  void SetHeight(int Value) override { SetSize(FWidth, Value); }
  /// Negative sizes count as 0; a size too large for memory raises EInvalidGraphic.
  void SetSize(int AWidth, int AHeight);

  /// The canvas that draws on the bitmap; it is the bitmap's and lives as long as it.
  TCanvas* Canvas();

  /// Reads a PNG file: EFOpenError when the file cannot be opened,
  /// EInvalidGraphic when it is not a PNG image. The bitmap is unchanged on error.
  void LoadFromFile(const std::string& FileName) override;
  /// Writes a PNG file: EFCreateError when it cannot be written, EInvalidGraphic
  /// for an empty bitmap (PNG has no empty images).
  void SaveToFile(const std::string& FileName) override;

  /// With tmAuto the transparent colour is the bottom-left pixel's, with tmFixed the one set.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);

  /// The Cairo image surface that holds the pixels (ARGB, premultiplied).
  cairo_surface_t* Surface() const { return FSurface; }

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  friend class TBitmapCanvas;
  void ReplaceSurface(cairo_surface_t* NewSurface);
  HDC CanvasDC();

  int FWidth = 0;
  int FHeight = 0;
  cairo_surface_t* FSurface = nullptr;
  TDeviceContext FDC;
  TCanvas* FCanvas = nullptr;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
};

/// \brief Holds one graphic (a bitmap here) and copies graphics in and out.
class TPicture : public TPersistent {
  VEL_CLASS(TPicture, TPersistent)
  TPicture() = default;
  ~TPicture() override;

  /// Copies a picture's graphic or a graphic; none empties the picture.
  void Assign(TPersistent* Source) override;

  TGraphic* Graphic() const { return FGraphic; }
  /// Stores a copy of Value (none empties the picture).
  void SetGraphic(TGraphic* Value);
  /// The graphic as a bitmap; a picture that holds no bitmap gets a new empty one.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }

  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

  TNotifyEvent OnChange;

 protected:
  void AssignTo(TPersistent* Dest) const override;
  virtual void Changed();

 private:
  void GraphicChanged(TObject* Sender);
  void Adopt(TGraphic* Value);

  TGraphic* FGraphic = nullptr;
};

}  // namespace platform
