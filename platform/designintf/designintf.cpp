#include "platform/designintf/designintf.h"

#include <algorithm>

#include "platform/designintf/designintf_p.h"
#include "platform/designintf/propedit.h"

namespace platform {

VEL_IMPLEMENT_CLASS(TDesignerSelections, "DesignIntf");
VEL_IMPLEMENT_CLASS(TComponentEditor, "DesignEditors");
VEL_IMPLEMENT_CLASS(TDefaultEditor, "DesignEditors");

namespace detail {

VEL_IMPLEMENT_CLASS(TFreeWatch, "DesignIntf");

TFreeWatch::TFreeWatch(std::function<void(TComponent*)> AOnGone) : TComponent(nullptr), FOnGone(std::move(AOnGone)) {}

void TFreeWatch::Watch(TComponent* AComponent) {
  if (AComponent) FreeNotification(AComponent);
}

void TFreeWatch::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && FOnGone && !ComponentState().Contains(csDestroying)) FOnGone(AComponent);
}

}  // namespace detail

// ============================================================ TDesignerSelections

TDesignerSelections::TDesignerSelections()
    : FWatch(std::make_unique<detail::TFreeWatch>([this](TComponent* C) { Gone(C); })) {}

TDesignerSelections::~TDesignerSelections() = default;

int TDesignerSelections::Add(TPersistent* Item) {
  FItems.push_back(Item);
  if (auto* C = dynamic_cast<TComponent*>(Item)) FWatch->Watch(C);
  return int(FItems.size()) - 1;
}

bool TDesignerSelections::Equals(IDesignerSelections* List) {
  if (!List || List->Count() != Count()) return false;
  for (int I = 0; I < Count(); ++I)
    if (List->Get(I) != FItems[size_t(I)]) return false;
  return true;
}

TPersistent* TDesignerSelections::Get(int Index) {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return FItems[size_t(Index)];
}

void TDesignerSelections::Gone(TComponent* Component) { std::erase(FItems, static_cast<TPersistent*>(Component)); }

// =============================================================== TComponentEditor

TComponentEditor* TComponentEditorClassRec::Create(TComponent* AComponent, IDesigner* ADesigner) const {
  return FNew(AComponent, ADesigner);
}

TComponentEditor::TComponentEditor(TComponent* AComponent, IDesigner* ADesigner)
    : FComponent(AComponent), FDesigner(ADesigner) {}

void TComponentEditor::Edit() {
  if (GetVerbCount() > 0) ExecuteVerb(0);
}

void TComponentEditor::ExecuteVerb(int) {}
std::string TComponentEditor::GetVerb(int) { return {}; }
int TComponentEditor::GetVerbCount() { return 0; }
void TComponentEditor::PrepareItem(int, IMenuItem*) {}
void TComponentEditor::Copy() {}

bool TComponentEditor::IsInInlined() {
  for (TComponent* C = FComponent; C; C = C->Owner())
    if (C->ComponentState().Contains(csInline)) return true;
  return false;
}

// ================================================================= TDefaultEditor

TDefaultEditor::~TDefaultEditor() = default;

namespace {
// The events a double click prefers, best last.
int EventRank(const std::string& Name) {
  if (SameText(Name, "OnCreate")) return 3;
  if (SameText(Name, "OnChange")) return 2;
  if (SameText(Name, "OnClick")) return 1;
  return 0;
}
}  // namespace

void TDefaultEditor::EditProperty(const TInterfaceRef<IProperty>& Prop, bool&) {
  if (!FFirst) FFirst = Prop;
  const int Rank = EventRank(Prop->GetName());
  if (Rank > FBestRank) {
    FBestRank = Rank;
    FBest = Prop;
  }
}

void TDefaultEditor::Edit() {
  if (!Component()) return;
  FFirst.Reset();
  FBest.Reset();
  FBestRank = 0;
  TInterfaceRef<TDesignerSelections> Selection(new TDesignerSelections());
  Selection->Add(Component());
  bool Continue = true;
  GetComponentProperties(Selection.Get(), tkMethods, Designer(), [&](const TInterfaceRef<IProperty>& Prop) {
    if (Continue) EditProperty(Prop, Continue);
  });
  TInterfaceRef<IProperty> Target = FBest ? FBest : FFirst;
  FFirst.Reset();
  FBest.Reset();
  if (Target) Target->Edit();
}

// ======================================================= component-editor registry

namespace {

struct TComponentEditorRecord {
  TComponentClass ComponentClass;
  TComponentEditorClass EditorClass;
};

std::vector<TComponentEditorRecord>& ComponentEditors() {
  static std::vector<TComponentEditorRecord> List;
  return List;
}

void CheckComponentClass(TClass AClass, const char* What) {
  if (!AClass) throw EArgumentException(std::string(What) + ": no class given");
  if (!AClass->InheritsFrom(TComponent::StaticClass()))
    throw EArgumentException(std::string(What) + ": " + AClass->ClassName() + " is not a component class");
}

}  // namespace

void RegisterComponentEditor(TComponentClass ComponentClass, TComponentEditorClass EditorClass) {
  CheckComponentClass(ComponentClass, "RegisterComponentEditor");
  if (!EditorClass) throw EArgumentException("RegisterComponentEditor: no editor class given");
  ComponentEditors().push_back({ComponentClass, EditorClass});
}

TInterfaceRef<IComponentEditor> GetComponentEditor(TComponent* Component, IDesigner* Designer) {
  if (!Component) return nullptr;
  // The most derived fitting class wins; a later record for the same class replaces an earlier one.
  const TComponentEditorRecord* Best = nullptr;
  for (const TComponentEditorRecord& R : ComponentEditors()) {
    if (!Component->InheritsFrom(R.ComponentClass)) continue;
    if (!Best || R.ComponentClass->InheritsFrom(Best->ComponentClass)) Best = &R;
  }
  if (!Best) return nullptr;
  return TInterfaceRef<IComponentEditor>(Best->EditorClass->Create(Component, Designer));
}

// ============================================== palette pages and action categories

namespace {

struct TGroup {
  std::string Name;
  std::vector<TClass> Classes;
  TComponentClass Resource = nullptr;
};

std::vector<TGroup>& Pages() {
  static std::vector<TGroup> List;
  return List;
}

std::vector<TGroup>& Categories() {
  static std::vector<TGroup> List;
  return List;
}

TGroup* FindGroup(std::vector<TGroup>& Groups, const std::string& Name) {
  for (TGroup& G : Groups)
    if (SameText(G.Name, Name)) return &G;
  return nullptr;
}

void CheckGroup(const std::string& Name, const std::vector<TClass>& Classes, const char* What) {
  if (Name.empty()) throw EArgumentException(std::string(What) + ": empty name");
  for (TClass C : Classes) CheckComponentClass(C, What);
}

TGroup& AddToGroup(std::vector<TGroup>& Groups, const std::string& Name, const std::vector<TClass>& Classes) {
  TGroup* G = FindGroup(Groups, Name);
  if (!G) {
    Groups.push_back({Name, {}, nullptr});
    G = &Groups.back();
  }
  for (TClass C : Classes)
    if (std::find(G->Classes.begin(), G->Classes.end(), C) == G->Classes.end()) G->Classes.push_back(C);
  return *G;
}

std::vector<std::string> GroupNames(const std::vector<TGroup>& Groups) {
  std::vector<std::string> Names;
  for (const TGroup& G : Groups) Names.push_back(G.Name);
  return Names;
}

}  // namespace

void RegisterComponents(const std::string& Page, std::initializer_list<TComponentClass> Classes) {
  RegisterComponents(Page, std::vector<TComponentClass>(Classes));
}

void RegisterComponents(const std::string& Page, const std::vector<TComponentClass>& Classes) {
  // Everything is checked first, so that a bad entry registers nothing.
  CheckGroup(Page, Classes, "RegisterComponents");
  for (TClass C : Classes) RegisterClass(C);
  AddToGroup(Pages(), Page, Classes);
}

void RegisterActions(const std::string& Category, std::initializer_list<TClass> Classes, TComponentClass Resource) {
  RegisterActions(Category, std::vector<TClass>(Classes), Resource);
}

void RegisterActions(const std::string& Category, const std::vector<TClass>& Classes, TComponentClass Resource) {
  CheckGroup(Category, Classes, "RegisterActions");
  if (Resource) CheckComponentClass(Resource, "RegisterActions");
  for (TClass C : Classes) RegisterClass(C);
  TGroup& G = AddToGroup(Categories(), Category, Classes);
  if (Resource) G.Resource = Resource;
}

std::vector<std::string> GetComponentPages() { return GroupNames(Pages()); }

std::vector<TComponentClass> GetPageComponents(const std::string& Page) {
  const TGroup* G = FindGroup(Pages(), Page);
  return G ? G->Classes : std::vector<TComponentClass>{};
}

std::vector<std::string> GetActionCategories() { return GroupNames(Categories()); }

std::vector<TClass> GetCategoryActions(const std::string& Category) {
  const TGroup* G = FindGroup(Categories(), Category);
  return G ? G->Classes : std::vector<TClass>{};
}

TComponentClass GetCategoryResource(const std::string& Category) {
  const TGroup* G = FindGroup(Categories(), Category);
  return G ? G->Resource : nullptr;
}

}  // namespace platform
