// Fixture classes publishing a property of every kind the standard editors
// serve. Setters count their calls so tests can tell that writes went through them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gfx/graphics.h"
#include "platform/rtl/component.h"
#include "platform/rtl/publish.h"
#include "platform/rtl/stringlist.h"

namespace fixture {

using namespace platform;

enum TShade { shLight, shMedium, shDark, shBlack };
VEL_ENUM(TShade, "Fixtures", shLight, shMedium, shDark, shBlack);
VEL_ENUM_SUBRANGE(TMidShade, "Fixtures", TShade, shMedium, shDark);
using TShades = TSet<TShade>;
VEL_SET(TShades, "Fixtures");

/// \brief A plain persistent sub-object with published properties.
class TFixtureSub : public TPersistent {
  VEL_CLASS(TFixtureSub, TPersistent)
  int Depth() const { return FDepth; }
  void SetDepth(int Value) { FDepth = Value; }
  const std::string& Label() const { return FLabel; }
  void SetLabel(const std::string& Value) { FLabel = Value; }
  void Assign(TPersistent* Source) override {
    auto* S = dynamic_cast<TFixtureSub*>(Source);
    if (!S) return TPersistent::Assign(Source);
    FDepth = S->FDepth;
    FLabel = S->FLabel;
  }
  VEL_PUBLISH(P) {
    P.Property("Depth", &TFixtureSub::Depth, &TFixtureSub::SetDepth);
    P.Property("Label", &TFixtureSub::Label, &TFixtureSub::SetLabel);
  }

 private:
  int FDepth = 0;
  std::string FLabel;
};

/// \brief A component with one property of every kind.
class TFixture : public TComponent {
  VEL_CLASS(TFixture, TComponent)
  explicit TFixture(TComponent* AOwner) : TComponent(AOwner) {}
  ~TFixture() override { RemoveBuddy(); }

  int Writes = 0;  // calls of any setter

  int Count() const { return FCount; }
  void SetCount(int V) { ++Writes, FCount = V; }
  std::uint8_t Small() const { return FSmall; }
  void SetSmall(std::uint8_t V) { ++Writes, FSmall = V; }
  char Letter() const { return FLetter; }
  void SetLetter(char V) { ++Writes, FLetter = V; }
  TShade Shade() const { return FShade; }
  void SetShade(TShade V) { ++Writes, FShade = V; }
  TMidShade Mid() const { return FMid; }
  void SetMid(TMidShade V) { ++Writes, FMid = V; }
  bool Active() const { return FActive; }
  void SetActive(bool V) { ++Writes, FActive = V; }
  TShades Shades() const { return FShades; }
  void SetShades(TShades V) { ++Writes, FShades = V; }
  double Ratio() const { return FRatio; }
  void SetRatio(double V) { ++Writes, FRatio = V; }
  float Scale() const { return FScale; }
  void SetScale(float V) { ++Writes, FScale = V; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& V) { ++Writes, FCaption = V; }
  std::int64_t Big() const { return FBig; }
  void SetBig(std::int64_t V) { ++Writes, FBig = V; }
  TColor Color() const { return FColor; }
  void SetColor(TColor V) { ++Writes, FColor = V; }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor V) { ++Writes, FCursor = V; }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* V) { ++Writes, FFont->Assign(V); }
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* V) { ++Writes, FLines->Assign(V); }
  TFixtureSub* Sub() const { return FSub.get(); }
  void SetSub(TFixtureSub* V) { ++Writes, FSub->Assign(V); }
  TFixture* Buddy() const { return FBuddy; }
  void SetBuddy(TFixture* V) {
    ++Writes;
    RemoveBuddy();
    FBuddy = V;
    if (V) V->FreeNotification(this);
  }
  TNotifyEvent OnClick;
  TNotifyEvent OnChange;

  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBuddy) FBuddy = nullptr;
  }

  VEL_PUBLISH(P) {
    P.Property("Count", &TFixture::Count, &TFixture::SetCount);
    P.Property("Small", &TFixture::Small, &TFixture::SetSmall);
    P.Property("Letter", &TFixture::Letter, &TFixture::SetLetter);
    P.Property("Shade", &TFixture::Shade, &TFixture::SetShade);
    P.Property("Mid", &TFixture::Mid, &TFixture::SetMid);
    P.Property("Active", &TFixture::Active, &TFixture::SetActive);
    P.Property("Shades", &TFixture::Shades, &TFixture::SetShades);
    P.Property("Ratio", &TFixture::Ratio, &TFixture::SetRatio);
    P.Property("Scale", &TFixture::Scale, &TFixture::SetScale);
    P.Property("Caption", &TFixture::Caption, &TFixture::SetCaption);
    P.Property("Big", &TFixture::Big, &TFixture::SetBig);
    P.Property("Color", &TFixture::Color, &TFixture::SetColor);
    P.Property("Cursor", &TFixture::Cursor, &TFixture::SetCursor);
    P.Property("Font", &TFixture::Font, &TFixture::SetFont);
    P.Property("Lines", &TFixture::Lines, &TFixture::SetLines);
    P.Property("Sub", &TFixture::Sub, &TFixture::SetSub);
    P.Property("Buddy", &TFixture::Buddy, &TFixture::SetBuddy);
    P.Property("OnClick", &TFixture::OnClick, &TFixture::OnClick);
    P.Property("OnChange", &TFixture::OnChange, &TFixture::OnChange);
  }

 private:
  void RemoveBuddy() {
    if (FBuddy) FBuddy->RemoveFreeNotification(this);
    FBuddy = nullptr;
  }

  int FCount = 0;
  std::uint8_t FSmall = 0;
  char FLetter = 'A';
  TShade FShade = shLight;
  TMidShade FMid = TMidShade(shMedium);
  bool FActive = false;
  TShades FShades;
  double FRatio = 0;
  float FScale = 0;
  std::string FCaption;
  std::int64_t FBig = 0;
  TColor FColor = clWindow;
  TCursor FCursor = crDefault;
  std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
  std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
  std::unique_ptr<TFixtureSub> FSub = std::make_unique<TFixtureSub>();
  TFixture* FBuddy = nullptr;
};

/// \brief A fixture descendant, for editors registered for a derived class.
class TFixtureChild : public TFixture {
  VEL_CLASS(TFixtureChild, TFixture)
  using TFixture::TFixture;
};

/// \brief Another component class sharing only some of TFixture's properties:
/// Count, Caption and Color alike; Ratio under another type; Shade missing.
class TOther : public TComponent {
  VEL_CLASS(TOther, TComponent)
  explicit TOther(TComponent* AOwner) : TComponent(AOwner) {}
  int Writes = 0;
  int Count() const { return FCount; }
  void SetCount(int V) { ++Writes, FCount = V; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& V) { ++Writes, FCaption = V; }
  TColor Color() const { return FColor; }
  void SetColor(TColor V) { ++Writes, FColor = V; }
  int Ratio() const { return FRatio; }
  void SetRatio(int V) { ++Writes, FRatio = V; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool V) { ++Writes, FEnabled = V; }

  VEL_PUBLISH(P) {
    P.Property("Enabled", &TOther::Enabled, &TOther::SetEnabled);
    P.Property("Caption", &TOther::Caption, &TOther::SetCaption);
    P.Property("Ratio", &TOther::Ratio, &TOther::SetRatio);
    P.Property("Color", &TOther::Color, &TOther::SetColor);
    P.Property("Count", &TOther::Count, &TOther::SetCount);
  }

 private:
  int FCount = 0;
  std::string FCaption;
  TColor FColor = clWindow;
  int FRatio = 0;
  bool FEnabled = true;
};

/// \brief A root that owns the fixtures (like a form).
class TFixtureRoot : public TComponent {
  VEL_CLASS(TFixtureRoot, TComponent)
  explicit TFixtureRoot(TComponent* AOwner) : TComponent(AOwner) {}
};

}  // namespace fixture
