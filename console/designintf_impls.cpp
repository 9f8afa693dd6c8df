#include "console/designintf_impls.h"

#include "console/design_center.h"
#include "designer/manager.h"
#include "platform/controls/forms.h"
#include "utils/wyn_sys_utils.h"

namespace vel {

using namespace platform;

VEL_IMPLEMENT_CLASS(TVelFormDesigner, "VelDesignIntfImpls");

namespace {

TComponent* OnlyEntry(const TComponentList& List) { return List.Count() > 0 ? List.Items(0) : nullptr; }

void SetOnlyEntry(TComponentList& List, TComponent* Value) {
  List.Clear();
  if (Value) List.Add(Value);
}

}  // namespace

TVelFormDesigner::TVelFormDesigner(TVelDesignManager* Manager)
    : FManager(std::make_unique<TComponentList>(false)), FStage(std::make_unique<TComponentList>(false)) {
  SetDesigner(Manager);
}

TVelFormDesigner::~TVelFormDesigner() = default;

TVelDesignManager* TVelFormDesigner::Designer() const { return static_cast<TVelDesignManager*>(OnlyEntry(*FManager)); }

void TVelFormDesigner::SetDesigner(TVelDesignManager* Value) { SetOnlyEntry(*FManager, Value); }

TComponent* TVelFormDesigner::GetDesignStage() const {
  if (TVelDesignManager* Manager = Designer()) return Manager->DesignStage();
  return OnlyEntry(*FStage);
}

void TVelFormDesigner::SetDesignStage(TComponent* Value) { SetOnlyEntry(*FStage, Value); }

TComponentList* TVelFormDesigner::SelectedComps() const {
  TVelDesignManager* Manager = Designer();
  return Manager ? Manager->SelectedComps() : nullptr;
}

TMethod TVelFormDesigner::CreateMethod(const std::string&, PTypeData) { return {}; }

std::string TVelFormDesigner::GetMethodName(const TMethod&) { return {}; }

void TVelFormDesigner::GetMethods(PTypeData, const TGetStrProc&) {}

std::string TVelFormDesigner::GetPathAndBaseExeName() { return Application()->ExeName(); }

void TVelFormDesigner::GetSelections(IDesignerSelections* List) {
  TComponentList* Selected = SelectedComps();
  if (!List || !Selected) return;
  for (int I = 0; I < Selected->Count(); ++I)
    if (TComponent* C = Selected->Items(I)) List->Add(C);
}

bool TVelFormDesigner::MethodExists(const std::string&) { return false; }

void TVelFormDesigner::RenameMethod(const std::string&, const std::string&) {}

void TVelFormDesigner::SelectComponent(TPersistent* Instance) {
  TVelDesignManager* Manager = Designer();
  TVelDesignCenter* Center = Manager ? Manager->ConsoleCenter() : nullptr;
  if (!Center) return;
  Center->SelCompList()->Clear();
  if (auto* Component = dynamic_cast<TComponent*>(Instance)) Center->SelCompList()->Add(Component);
}

void TVelFormDesigner::SetSelections(IDesignerSelections*) {}

void TVelFormDesigner::ShowMethod(const std::string&) {}

void TVelFormDesigner::GetComponentNames(PTypeData, const TGetStrProc&) {}

TComponent* TVelFormDesigner::GetComponent(const std::string& Name) { return NSNameToComp(Name, GetDesignStage()); }

std::string TVelFormDesigner::GetComponentName(TComponent* Component) {
  if (!Component) return {};
  return CompToNSName(Component, Component->Owner(), GetDesignStage());
}

TPersistent* TVelFormDesigner::GetObject(const std::string& Name) { return GetComponent(Name); }

std::string TVelFormDesigner::GetObjectName(TPersistent*) { return {}; }

void TVelFormDesigner::GetObjectNames(PTypeData, const TGetStrProc&) {}

bool TVelFormDesigner::MethodFromAncestor(const TMethod&) { return false; }

TComponent* TVelFormDesigner::CreateComponent(TComponentClass ComponentClass, TComponent* Parent, int Left, int Top,
                                              int Width, int Height) {
  TVelDesignManager* Manager = Designer();
  TWinControl* Stage = Manager ? Manager->DesignStage() : nullptr;
  if (!Stage || !ComponentClass) return nullptr;
  if (!ComponentClass->InheritsFrom(TComponent::StaticClass()) || !ComponentClass->CanCreateComponent())
    throw EArgumentException(ComponentClass->ClassName() + " is not a component class that can be created");
  const std::string Name = GetCompUniqueID(ComponentClass, Stage);
  // Owned by this function until an owner takes it.
  std::unique_ptr<TComponent> Instance(ComponentClass->CreateComponent(nullptr));
  Instance->SetName(Name);
  if (auto* Control = dynamic_cast<TControl*>(Instance.get())) {
    Control->SetParent(Stage);
    Control->SetTop(Top);
    Control->SetLeft(Left);
    Control->SetWidth(Width);
    Control->SetHeight(Height);
    Control->Show();
  }
  TComponent* Owner = Parent ? Parent : Stage;
  Owner->InsertComponent(Instance.get());
  return Instance.release();
}

TComponent* TVelFormDesigner::CreateCurrentComponent(TComponent*, const TRect&) { return nullptr; }

bool TVelFormDesigner::IsComponentLinkable(TComponent*) { return true; }

bool TVelFormDesigner::IsComponentHidden(TComponent* Component) {
  return dynamic_cast<TControl*>(Component) != nullptr;
}

void TVelFormDesigner::MakeComponentLinkable(TComponent*) {}

void TVelFormDesigner::Revert(TPersistent*, PPropInfo) {}

void TVelFormDesigner::GetProjectModules(const TGetModuleProc&) {}

TPoint TVelFormDesigner::GetScrollRanges(const TPoint&) { return TPoint{0, 0}; }

void TVelFormDesigner::Edit(TComponent*) {
  TComponent* Root = GetRoot();
  if (!Root) return;
  if (TInterfaceRef<IComponentEditor> Editor = GetComponentEditor(Root, this)) Editor->Edit();
}

void TVelFormDesigner::ChainCall(const std::string&, const std::string&, const std::string&, PTypeData) {}

void TVelFormDesigner::CopySelection() {
  // The component clipboard is not available yet; the clipboard stays as it is.
}

void TVelFormDesigner::CutSelection() {
  // Cutting deletes only what was copied; without a component clipboard
  // nothing is copied, so nothing is deleted either.
}

void TVelFormDesigner::DeleteSelection(bool) {
  if (TVelDesignManager* Manager = Designer()) Manager->DelSelectedControls();
}

void TVelFormDesigner::ClearSelection() {
  if (TVelDesignManager* Manager = Designer()) Manager->DeselectAll();
}

void TVelFormDesigner::NoSelection() { ClearSelection(); }

void TVelFormDesigner::ModuleFileNames(std::string&, std::string&, std::string&) {}

std::string TVelFormDesigner::GetRootClassName() {
  TComponent* Root = GetRoot();
  return Root ? Root->ClassName() : std::string();
}

std::string TVelFormDesigner::UniqueName(const std::string& BaseName) {
  return GetUniqueName(BaseName, GetDesignStage());
}

TComponent* TVelFormDesigner::GetRoot() {
  TComponentList* Selected = SelectedComps();
  return Selected && Selected->Count() > 0 ? Selected->Items(0) : nullptr;
}

TModalResult TVelFormDesigner::ModalEdit(char, IActivatable*) { return mrNone; }

void TVelFormDesigner::SelectItemName(const std::string&) {}

TComponent* TVelFormDesigner::FindRootAncestor(const std::string&) { return nullptr; }

TComponent* TVelFormDesigner::GetSelectedComponent() {
  TComponentList* Selected = SelectedComps();
  return Selected && Selected->Count() == 1 ? Selected->Items(0) : nullptr;
}

void TVelFormDesigner::StartControlEmbedEdit() {
  if (GetSelectedComponent()) Designer()->StartEmbedEdit();
}

void TVelFormDesigner::EndControlEmbedEdit() {
  if (TVelDesignManager* Manager = Designer()) Manager->EndEmbedEdit();
}

}  // namespace vel
