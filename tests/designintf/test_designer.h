// A designer for tests: components of one root by name, names of components
// by class, event handlers from a map of names, a selection list, and a record
// of the calls that have no other visible effect.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/designintf/designintf.h"

namespace fixture {

using namespace platform;

class TTestDesigner : public TInterfacedObject, public IDesigner {
 public:
  explicit TTestDesigner(TComponent* ARoot = nullptr) : Root(ARoot) {}

  TComponent* Root;
  std::vector<TPersistent*> Selection;
  /// Handlers by name; CreateMethod adds one that records its calls in Fired.
  std::map<std::string, TMethod> Methods;
  std::vector<std::string> Fired;
  std::vector<std::string> Log;
  int ModifiedCount = 0;

  void Activate() override { Log.push_back("Activate"); }
  void Modified() override { ++ModifiedCount; }
  TMethod CreateMethod(const std::string& Name, PTypeData) override {
    auto It = Methods.find(Name);
    if (It != Methods.end()) return It->second;
    // Handlers of the test fixtures take the sender only.
    TNotifyEvent Handler = [this, Name](TObject*) { Fired.push_back(Name); };
    return Methods[Name] = Handler.ToMethod();
  }
  std::string GetMethodName(const TMethod& Method) override {
    for (const auto& [Name, M] : Methods)
      if (M == Method) return Name;
    return {};
  }
  void GetMethods(PTypeData, const TGetStrProc& Proc) override {
    for (const auto& Entry : Methods) Proc(Entry.first);
  }
  std::string GetPathAndBaseExeName() override { return "/tmp/test"; }
  std::string GetPrivateDirectory() override { return {}; }
  std::string GetBaseRegKey() override { return {}; }
  TObject* GetIDEOptions() override { return nullptr; }
  void GetSelections(IDesignerSelections* List) override {
    for (TPersistent* P : Selection) List->Add(P);
  }
  bool MethodExists(const std::string& Name) override { return Methods.count(Name) != 0; }
  void RenameMethod(const std::string& CurName, const std::string& NewName) override {
    auto It = Methods.find(CurName);
    if (It == Methods.end()) return;
    Methods[NewName] = It->second;
    Methods.erase(It);
  }
  void SelectComponent(TPersistent* Instance) override { Selection = {Instance}; }
  void SetSelections(IDesignerSelections* List) override {
    Selection.clear();
    for (int I = 0; I < List->Count(); ++I) Selection.push_back(List->Get(I));
  }
  void ShowMethod(const std::string& Name) override { Log.push_back("ShowMethod " + Name); }
  void GetComponentNames(PTypeData TypeData, const TGetStrProc& Proc) override {
    if (!Root) return;
    for (int I = 0; I < Root->ComponentCount(); ++I)
      if (Root->Components(I)->InheritsFrom(TypeData->ClassType)) Proc(Root->Components(I)->Name());
  }
  TComponent* GetComponent(const std::string& Name) override {
    if (!Root) return nullptr;
    if (SameText(Root->Name(), Name)) return Root;
    const size_t Dot = Name.find('.');
    if (Dot == std::string::npos) return Root->FindComponent(Name);
    TComponent* Owner = Application()->FindComponent(Name.substr(0, Dot));
    return Owner ? Owner->FindComponent(Name.substr(Dot + 1)) : nullptr;
  }
  std::string GetComponentName(TComponent* Component) override {
    if (!Component) return {};
    if (Component == Root || Component->Owner() == Root || !Component->Owner()) return Component->Name();
    return Component->Owner()->Name() + "." + Component->Name();
  }
  TPersistent* GetObject(const std::string& Name) override { return GetComponent(Name); }
  std::string GetObjectName(TPersistent*) override { return {}; }
  void GetObjectNames(PTypeData TypeData, const TGetStrProc& Proc) override { GetComponentNames(TypeData, Proc); }
  bool MethodFromAncestor(const TMethod&) override { return false; }
  TComponent* CreateComponent(TComponentClass ComponentClass, TComponent* Parent, int, int, int, int) override {
    TComponent* C = ComponentClass->CreateComponent(Parent ? Parent : Root);
    std::string Base = ComponentClass->ClassName();
    if (Base.size() > 1 && Base[0] == 'T') Base.erase(0, 1);
    C->SetName(UniqueName(Base));
    return C;
  }
  TComponent* CreateCurrentComponent(TComponent*, const TRect&) override { return nullptr; }
  bool IsComponentLinkable(TComponent*) override { return true; }
  bool IsComponentHidden(TComponent*) override { return false; }
  void MakeComponentLinkable(TComponent*) override {}
  void Revert(TPersistent*, PPropInfo PropInfo) override { Log.push_back("Revert " + PropInfo->Name); }
  bool GetIsDormant() override { return true; }
  void GetProjectModules(const TGetModuleProc&) override {}
  TInterfaceRef<IDesigner> GetAncestorDesigner() override { return nullptr; }
  bool IsSourceReadOnly() override { return false; }
  TPoint GetScrollRanges(const TPoint&) override { return {}; }
  void Edit(TComponent* Component) override {
    if (auto Editor = GetComponentEditor(Component, this)) Editor->Edit();
  }
  void ChainCall(const std::string&, const std::string&, const std::string&, PTypeData) override {}
  void CopySelection() override { Log.push_back("CopySelection"); }
  void CutSelection() override { Log.push_back("CutSelection"); }
  bool CanPaste() override { return false; }
  void PasteSelection() override {}
  void DeleteSelection(bool) override { Log.push_back("DeleteSelection"); }
  void ClearSelection() override { Selection.clear(); }
  void NoSelection() override { Selection.clear(); }
  void ModuleFileNames(std::string&, std::string&, std::string&) override {}
  std::string GetRootClassName() override { return Root ? Root->ClassName() : std::string(); }
  std::string UniqueName(const std::string& BaseName) override {
    for (int N = 1;; ++N) {
      const std::string Name = BaseName + std::to_string(N);
      if (!Root || !Root->FindComponent(Name)) return Name;
    }
  }
  TComponent* GetRoot() override { return Root; }
  TShiftState GetShiftState() override { return {}; }
  TModalResult ModalEdit(char, IActivatable*) override { return mrNone; }
  void SelectItemName(const std::string&) override {}
  void Resurrect() override {}
  TPersistentClass GetActiveClassGroup() override { return nullptr; }
  TComponent* FindRootAncestor(const std::string&) override { return nullptr; }
};

}  // namespace fixture
