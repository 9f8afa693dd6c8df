// The design popup menu: the context menu of the run-time designer.
//
// Before it opens, the menu trims the center's selection to what was clicked
// and puts the verbs of the single selected component's component editor at
// its top; the extended menu also appends the verbs of the component's
// attribute editor. A verb item carries its verb index plus 1000 in its Tag.
#pragma once

#include <memory>

#include "console/attrib_editors.h"
#include "platform/controls/menus.h"
#include "platform/designintf/designintf.h"

namespace vel {

class TVelDesignCenter;

/// \brief A popup menu that offers the component editor's verbs of the
/// selected component.
class TVelDesignCompPopupMenu : public platform::TPopupMenu {
  VEL_CLASS(TVelDesignCompPopupMenu, platform::TPopupMenu)
  /// The Tag of the item of verb index I is VerbTagBase + I.
  static constexpr int VerbTagBase = 1000;

  explicit TVelDesignCompPopupMenu(platform::TComponent* AOwner);
  ~TVelDesignCompPopupMenu() override;

  TVelDesignCenter* ConsoleCenter() const { return FConsoleCenter; }
  /// Stores the center (the center calls it when the menu is attached).
  void SetConsoleCenter(TVelDesignCenter* Center);
  /// The center's selection, or none without a center.
  platform::TComponentList* GetSelComps() const;

  /// Opens the menu at the screen point as if Component had been clicked.
  virtual void PopupBaseOnComp(platform::TComponent* Component, int X, int Y);

  /// Rebuilds the generated items.
  virtual void InitMenuItems();
  void AddCompEditorItems();
  /// Frees the verb items (Tag 1000 and more) and the separators the
  /// previous popup added.
  void RemoveLastCEItems();
  /// The component editor of the single selected component, or none.
  platform::TInterfaceRef<platform::IComponentEditor> GetCompEditor();
  void ExecCompEditorItem(int Index);
  void CompEditorItemOnClick(platform::TObject* Sender);

  void Notification(platform::TComponent* AComponent, platform::TOperation Operation) override;

 protected:
  /// Trims the selection to the popup component, rebuilds the items, then
  /// runs the platform's step.
  void DoPopup(platform::TObject* Sender) override;
  /// A new separator item that RemoveLastCEItems frees again.
  platform::TMenuItem* NewSeparator();
  /// A new verb item of verb Index.
  platform::TMenuItem* NewVerbItem(const std::string& Caption, int Index, const platform::TNotifyEvent& OnClick);
  /// The center's refresh (unless embedded editing runs) and dirty marking after a verb ran.
  void AfterVerbExecuted();
  /// A run-time designer bound to the center's manager.
  platform::TInterfaceRef<platform::IDesigner> NewDesigner() const;

 private:
  TVelDesignCenter* FConsoleCenter = nullptr;
  std::unique_ptr<platform::TComponentList> FAddedSeparators;
};

/// \brief The design popup menu that also offers the verbs of the selected
/// component's attribute editor, at its end in reverse verb order.
class TVelDesignCompPopupMenuEx : public TVelDesignCompPopupMenu {
  VEL_CLASS(TVelDesignCompPopupMenuEx, TVelDesignCompPopupMenu)
  using TVelDesignCompPopupMenu::TVelDesignCompPopupMenu;

  void InitMenuItems() override;
  void AddCompAttribEditorItems();
  /// Nothing of its own: RemoveLastCEItems frees the attribute verbs too.
  void RemoveLastAttribItems() {}
  /// The attribute editor of the single selected component, or none.
  platform::TInterfaceRef<IVelAttribEditor> GetAttribEditor();
  void ExecAttribEditorItem(int Index);
  void AttribEditorItemOnClick(platform::TObject* Sender);
};

}  // namespace vel
