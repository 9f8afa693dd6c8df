// The run-time designer handed to component and property editors.
//
// TVelFormDesigner implements the designer interface on top of one design
// manager: component lookup, naming, creation, selection and deletion work;
// what concerns source code, event methods, projects and ancestors answers
// with a constant or does nothing. It is reference counted: hold it in a
// TInterfaceRef.
#pragma once

#include <memory>
#include <string>

#include "platform/designintf/designintf.h"
#include "platform/rtl/component.h"

namespace vel {

class TVelDesignManager;

/// \brief The designer interface plus access to the selected component and
/// its embedded (in-place) editing.
class IVelFormDesigner : public virtual platform::IDesigner {
 public:
  /// The only selected component, or none when not exactly one is selected.
  virtual platform::TComponent* GetSelectedComponent() = 0;
  /// Starts embedded editing of the single selected control.
  virtual void StartControlEmbedEdit() = 0;
  virtual void EndControlEmbedEdit() = 0;
};

/// \brief The run-time designer of one design manager.
class TVelFormDesigner : public platform::TInterfacedObject, public IVelFormDesigner {
  VEL_CLASS(TVelFormDesigner, platform::TInterfacedObject)
  explicit TVelFormDesigner(TVelDesignManager* Manager);
  ~TVelFormDesigner() override;

  /// The design manager worked on, or none (also after it was destroyed).
  TVelDesignManager* Designer() const;
  void SetDesigner(TVelDesignManager* Value);
  /// The manager's design stage with a manager, else the own stage reference.
  platform::TComponent* GetDesignStage() const;
  void SetDesignStage(platform::TComponent* Value);

  // IDesigner.
  void Activate() override {}
  void Modified() override {}
  platform::TMethod CreateMethod(const std::string& Name, platform::PTypeData TypeData) override;
  std::string GetMethodName(const platform::TMethod& Method) override;
  void GetMethods(platform::PTypeData TypeData, const platform::TGetStrProc& Proc) override;
  std::string GetPathAndBaseExeName() override;
  std::string GetPrivateDirectory() override { return {}; }
  std::string GetBaseRegKey() override { return {}; }
  platform::TObject* GetIDEOptions() override { return nullptr; }
  void GetSelections(platform::IDesignerSelections* List) override;
  bool MethodExists(const std::string& Name) override;
  void RenameMethod(const std::string& CurName, const std::string& NewName) override;
  void SelectComponent(platform::TPersistent* Instance) override;
  void SetSelections(platform::IDesignerSelections* List) override;
  void ShowMethod(const std::string& Name) override;
  void GetComponentNames(platform::PTypeData TypeData, const platform::TGetStrProc& Proc) override;
  platform::TComponent* GetComponent(const std::string& Name) override;
  std::string GetComponentName(platform::TComponent* Component) override;
  platform::TPersistent* GetObject(const std::string& Name) override;
  std::string GetObjectName(platform::TPersistent* Instance) override;
  void GetObjectNames(platform::PTypeData TypeData, const platform::TGetStrProc& Proc) override;
  bool MethodFromAncestor(const platform::TMethod& Method) override;
  platform::TComponent* CreateComponent(platform::TComponentClass ComponentClass, platform::TComponent* Parent,
                                        int Left, int Top, int Width, int Height) override;
  platform::TComponent* CreateCurrentComponent(platform::TComponent* Parent, const platform::TRect& Rect) override;
  bool IsComponentLinkable(platform::TComponent* Component) override;
  bool IsComponentHidden(platform::TComponent* Component) override;
  void MakeComponentLinkable(platform::TComponent* Component) override;
  void Revert(platform::TPersistent* Instance, platform::PPropInfo PropInfo) override;
  bool GetIsDormant() override { return true; }
  void GetProjectModules(const platform::TGetModuleProc& Proc) override;
  platform::TInterfaceRef<platform::IDesigner> GetAncestorDesigner() override { return nullptr; }
  bool IsSourceReadOnly() override { return false; }
  platform::TPoint GetScrollRanges(const platform::TPoint& ScrollPosition) override;
  void Edit(platform::TComponent* Component) override;
  void ChainCall(const std::string& MethodName, const std::string& InstanceName, const std::string& InstanceMethod,
                 platform::PTypeData TypeData) override;
  void CopySelection() override;
  void CutSelection() override;
  bool CanPaste() override { return true; }
  void PasteSelection() override {}
  void DeleteSelection(bool ADoAll) override;
  void ClearSelection() override;
  void NoSelection() override;
  void ModuleFileNames(std::string& ImplFileName, std::string& IntfFileName, std::string& FormFileName) override;
  std::string GetRootClassName() override;
  std::string UniqueName(const std::string& BaseName) override;
  platform::TComponent* GetRoot() override;
  platform::TShiftState GetShiftState() override { return {}; }
  platform::TModalResult ModalEdit(char EditKey, platform::IActivatable* ReturnWindow) override;
  void SelectItemName(const std::string& PropertyName) override;
  void Resurrect() override {}
  platform::TPersistentClass GetActiveClassGroup() override { return nullptr; }
  platform::TComponent* FindRootAncestor(const std::string& AClassName) override;

  // IVelFormDesigner.
  platform::TComponent* GetSelectedComponent() override;
  void StartControlEmbedEdit() override;
  void EndControlEmbedEdit() override;

 private:
  // One-entry lists: a destroyed manager or stage drops out by itself.
  std::unique_ptr<platform::TComponentList> FManager;
  std::unique_ptr<platform::TComponentList> FStage;
  /// The manager's selection, or none without a manager.
  platform::TComponentList* SelectedComps() const;
};

}  // namespace vel
