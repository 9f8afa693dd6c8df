// Test classes for collections: a component with a published collection of
// parts, each part with a property of every kind (a nested collection, a
// sub-object, a component reference and an event included).
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/collection.h"
#include "platform/rtl/component.h"
#include "platform/rtl/publish.h"
#include "platform/rtl/typinfo.h"

namespace coll {

using namespace platform;

enum TCoShape { shNone, shCircle, shSquare };
VEL_ENUM(TCoShape, "CoUnit", shNone, shCircle, shSquare);
enum TCoMark { cmTop, cmLeft, cmRight };
VEL_ENUM(TCoMark, "CoUnit", cmTop, cmLeft, cmRight);
using TCoMarks = TSet<TCoMark>;
VEL_SET(TCoMarks, "CoUnit");
using TCoShapeEvent = TEvent<TObject*, TCoShape>;
VEL_EVENT_TYPE(TCoShapeEvent, "CoUnit", "Sender: TObject; Shape: TCoShape");

// Items and components of these classes alive right now, so a test sees leaks and leftovers.
inline int LiveItems = 0;
inline int LiveComps = 0;

class TCoWidget;

class TCoNote : public TPersistent {
  VEL_CLASS(TCoNote, TPersistent)
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value) { FText = Value; }
  int Size() const { return FSize; }
  void SetSize(int Value) { FSize = Value; }
  void Assign(TPersistent* Source) override {
    if (auto* N = dynamic_cast<TCoNote*>(Source)) {
      FText = N->FText;
      FSize = N->FSize;
    } else {
      TPersistent::Assign(Source);
    }
  }
  VEL_PUBLISH(P) {
    P.Property("Text", &TCoNote::Text, &TCoNote::SetText);
    P.Property("Size", &TCoNote::Size, &TCoNote::SetSize).Default(0);
  }

 private:
  std::string FText;
  int FSize = 0;
};

class TCoLeaf : public TCollectionItem {
  VEL_CLASS(TCoLeaf, TCollectionItem)
  explicit TCoLeaf(TCollection* ACollection) : TCollectionItem(ACollection) { ++LiveItems; }
  ~TCoLeaf() override { --LiveItems; }
  int Weight() const { return FWeight; }
  void SetWeight(int Value) {
    FWeight = Value;
    Changed(false);
  }
  void Assign(TPersistent* Source) override {
    if (auto* L = dynamic_cast<TCoLeaf*>(Source)) {
      if (L->FWeight < 0) throw EConvertError("negative weights do not copy");
      SetWeight(L->FWeight);
    } else {
      TCollectionItem::Assign(Source);
    }
  }
  VEL_PUBLISH(P) { P.Property("Weight", &TCoLeaf::Weight, &TCoLeaf::SetWeight).Default(0); }

 private:
  int FWeight = 0;
};

class TCoPart : public TCollectionItem {
  VEL_CLASS(TCoPart, TCollectionItem)
  explicit TCoPart(TCollection* ACollection)
      : TCollectionItem(ACollection), FLeaves(std::make_unique<TOwnedCollection>(this, TCoLeaf::StaticClass())) {
    ++LiveItems;
  }
  ~TCoPart() override { --LiveItems; }

  int Number() const { return FNumber; }
  void SetNumber(int Value) { FNumber = Value; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) {
    FTitle = Value;
    Changed(false);
  }
  TCoShape Shape() const { return FShape; }
  void SetShape(TCoShape Value) { FShape = Value; }
  TCoMarks Marks() const { return FMarks; }
  void SetMarks(TCoMarks Value) { FMarks = Value; }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  TCoNote* Note() const { return FNote.get(); }
  TCoWidget* Target() const { return FTarget; }
  void SetTarget(TCoWidget* Value) { FTarget = Value; }
  TOwnedCollection* Leaves() const { return FLeaves.get(); }
  void SetLeaves(TOwnedCollection* Value) { FLeaves->Assign(Value); }
  TNotifyEvent OnPick;

  void Assign(TPersistent* Source) override {
    auto* S = dynamic_cast<TCoPart*>(Source);
    if (!S) return TCollectionItem::Assign(Source);
    FNumber = S->FNumber;
    FTitle = S->FTitle;
    FShape = S->FShape;
    FMarks = S->FMarks;
    FColor = S->FColor;
    FNote->Assign(S->FNote.get());
    FTarget = S->FTarget;
    FLeaves->Assign(S->FLeaves.get());
    OnPick = S->OnPick;
  }

  VEL_PUBLISH(P) {
    P.Property("Number", &TCoPart::Number, &TCoPart::SetNumber).Default(0);
    P.Property("Title", &TCoPart::Title, &TCoPart::SetTitle);
    P.Property("Shape", &TCoPart::Shape, &TCoPart::SetShape).Default(shNone);
    P.Property("Marks", &TCoPart::Marks, &TCoPart::SetMarks).Default(TCoMarks{});
    P.Property("Color", &TCoPart::Color, &TCoPart::SetColor).Default(clBtnFace);
    P.Property("Note", &TCoPart::Note);
    P.Property("Target", &TCoPart::Target, &TCoPart::SetTarget);
    P.Property("Leaves", &TCoPart::Leaves, &TCoPart::SetLeaves);
    P.Property("OnPick", &TCoPart::OnPick, &TCoPart::OnPick);
  }

 protected:
  std::string GetDisplayName() const override { return FTitle.empty() ? TCollectionItem::GetDisplayName() : FTitle; }

 private:
  int FNumber = 0;
  std::string FTitle;
  TCoShape FShape = shNone;
  TCoMarks FMarks;
  TColor FColor = clBtnFace;
  std::unique_ptr<TCoNote> FNote = std::make_unique<TCoNote>();
  TCoWidget* FTarget = nullptr;
  std::unique_ptr<TOwnedCollection> FLeaves;
};

/// The parts of a widget; records what it is told.
class TCoParts : public TOwnedCollection {
  VEL_CLASS(TCoParts, TOwnedCollection)
  explicit TCoParts(TPersistent* AOwner) : TOwnedCollection(AOwner, TCoPart::StaticClass()) {}
  TCoPart* Part(int Index) const { return static_cast<TCoPart*>(Items(Index)); }
  TCoPart* AddPart() { return static_cast<TCoPart*>(Add()); }

  std::vector<std::string> Log;

 protected:
  void Update(TCollectionItem* Item) override {
    Log.push_back(Item ? "update " + std::to_string(Item->Index()) : "update all");
  }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    static const char* const Names[] = {"added", "extracting", "deleting"};
    Log.push_back(std::string(Names[Action]) + " " + std::to_string(Item->ID()));
  }
};

/// A component with collections, a reference, events and child widgets it
/// presents in its own order.
class TCoWidget : public TComponent {
  VEL_CLASS(TCoWidget, TComponent)
  explicit TCoWidget(TComponent* AOwner) : TComponent(AOwner) { ++LiveComps; }
  ~TCoWidget() override {
    SetParentComponent(nullptr);
    for (TCoWidget* Kid : FKids) Kid->FParentWidget = nullptr;
    --LiveComps;
  }

  int Value() const { return FValue; }
  void SetValue(int V) {
    if (V < 0) throw EInvalidOperation("negative values are refused");
    FValue = V;
  }
  TCoParts* Parts() const { return FParts.get(); }
  void SetParts(TCoParts* Value) { FParts->Assign(Value); }
  TOwnedCollection* Spare() const { return FSpare.get(); }
  TCoWidget* Peer() const { return FPeer; }
  void SetPeer(TCoWidget* Value) { FPeer = Value; }
  TNotifyEvent OnPing;
  TCoShapeEvent OnShape;

  VEL_PUBLISH(P) {
    P.Property("Value", &TCoWidget::Value, &TCoWidget::SetValue).Default(0);
    P.Property("Parts", &TCoWidget::Parts, &TCoWidget::SetParts);
    P.Property("Spare", &TCoWidget::Spare);
    P.Property("Peer", &TCoWidget::Peer, &TCoWidget::SetPeer);
    P.Property("OnPing", &TCoWidget::OnPing, &TCoWidget::OnPing);
    P.Property("OnShape", &TCoWidget::OnShape, &TCoWidget::OnShape);
  }

  const std::vector<TCoWidget*>& Kids() const { return FKids; }
  TCoWidget* ParentWidget() const { return FParentWidget; }
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return FParentWidget; }
  void SetParentComponent(TComponent* Value) override {
    if (FParentWidget) {
      auto& K = FParentWidget->FKids;
      K.erase(std::remove(K.begin(), K.end(), this), K.end());
    }
    FParentWidget = dynamic_cast<TCoWidget*>(Value);
    if (FParentWidget) FParentWidget->FKids.push_back(this);
  }
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
    for (TCoWidget* Kid : FKids)
      if (Kid->Owner() == Root) Proc(Kid);
  }
  void SetChildOrder(TComponent* Child, int Order) override {
    auto It = std::find(FKids.begin(), FKids.end(), Child);
    if (It == FKids.end()) return;
    FKids.erase(It);
    Order = std::clamp(Order, 0, int(FKids.size()));
    FKids.insert(FKids.begin() + Order, static_cast<TCoWidget*>(Child));
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FPeer) FPeer = nullptr;
    for (int I = 0; I < FParts->Count(); ++I)
      if (FParts->Part(I)->Target() == AComponent) FParts->Part(I)->SetTarget(nullptr);
  }
  void Loaded() override {
    TComponent::Loaded();
    ++LoadedCalls;
  }
  int LoadedCalls = 0;

 private:
  int FValue = 0;
  std::unique_ptr<TCoParts> FParts = std::make_unique<TCoParts>(this);
  std::unique_ptr<TOwnedCollection> FSpare = std::make_unique<TOwnedCollection>(this, TCoLeaf::StaticClass());
  TCoWidget* FPeer = nullptr;
  TCoWidget* FParentWidget = nullptr;
  std::vector<TCoWidget*> FKids;
};

/// A root whose published methods events are bound to.
class TCoHost : public TCoWidget {
  VEL_CLASS(TCoHost, TCoWidget)
  explicit TCoHost(TComponent* AOwner) : TCoWidget(AOwner) {}
  void HostPing(TObject*) { ++Pings; }
  void HostShape(TObject*, TCoShape Shape) { LastShape = Shape; }
  VEL_PUBLISH(P) {
    P.Method<&TCoHost::HostPing>("HostPing");
    P.Method<&TCoHost::HostShape>("HostShape");
  }
  int Pings = 0;
  TCoShape LastShape = shNone;
};

/// A nested root (read inline) with a handler of its own.
class TCoFrame : public TCoWidget {
  VEL_CLASS(TCoFrame, TCoWidget)
  explicit TCoFrame(TComponent* AOwner) : TCoWidget(AOwner) {}
  void FramePing(TObject*) { ++Pings; }
  VEL_PUBLISH(P) { P.Method<&TCoFrame::FramePing>("FramePing"); }
  int Pings = 0;
};

}  // namespace coll
