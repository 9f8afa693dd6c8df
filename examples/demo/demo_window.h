// The demo's main window: a form with a row of design commands, a panel stage
// carrying an ordinary data-entry layout, and a status line that follows the
// selection and the mouse on the stage.
#pragma once

#include <functional>
#include <string>

#include "console/design_center.h"
#include "designer/VelDesigner.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdctrls.h"

namespace demo {

/// \brief Builds the demo form and wires its commands to a design manager.
///
/// The form belongs to the application; everything on the stage, and the
/// manager, belong to the stage, as a host application would arrange it.
class TDemoWindow {
 public:
  /// Builds the form (not shown yet) with designing switched on.
  TDemoWindow();
  /// Destroys the form and everything on it.
  ~TDemoWindow();
  TDemoWindow(const TDemoWindow&) = delete;
  TDemoWindow& operator=(const TDemoWindow&) = delete;

  platform::TForm* Form() const { return FForm; }
  platform::TPanel* Stage() const { return FStage; }
  vel::TVelDesignManager* Manager() const { return FManager; }
  /// A control on the stage by name, or none.
  platform::TControl* StageControl(const std::string& Name) const;

  // The command row.
  platform::TButton* DesignButton() const { return FDesignButton; }
  platform::TButton* AlignLeftButton() const { return FAlignLeftButton; }
  platform::TButton* AlignTopButton() const { return FAlignTopButton; }
  platform::TButton* SameSizeButton() const { return FSameSizeButton; }
  platform::TButton* FrontButton() const { return FFrontButton; }
  platform::TButton* BackButton() const { return FBackButton; }
  platform::TButton* DeleteButton() const { return FDeleteButton; }
  platform::TButton* SelectAllButton() const { return FSelectAllButton; }

  /// The status line's two parts.
  std::string SelectionStatus() const { return FSelectionLabel->Caption(); }
  std::string MouseStatus() const { return FMouseLabel->Caption(); }

  /// The names of the selected controls, in selection order ("Stage" when the stage is selected).
  std::string SelectionText() const;

 private:
  platform::TButton* AddCommand(const std::string& Name, const std::string& Caption, int Width,
                                const platform::TNotifyEvent& OnClick);
  void BuildStage();
  template <class T>
  T* Add(const std::string& Name, platform::TWinControl* Parent, int X, int Y, int W, int H,
         const std::string& Caption = "");
  /// Runs a command on the selection, then gives the keyboard back to it.
  void Command(const std::function<void()>& Action);
  void ToggleDesigning();
  void UpdateSelectionStatus();

  platform::TForm* FForm = nullptr;
  platform::TPanel* FCommands = nullptr;
  platform::TPanel* FHost = nullptr;
  platform::TPanel* FStage = nullptr;
  platform::TPanel* FStatus = nullptr;
  platform::TLabel* FSelectionLabel = nullptr;
  platform::TLabel* FMouseLabel = nullptr;
  vel::TVelDesignManager* FManager = nullptr;
  vel::TVelDesignCenter* FCenter = nullptr;
  platform::TButton* FDesignButton = nullptr;
  platform::TButton* FAlignLeftButton = nullptr;
  platform::TButton* FAlignTopButton = nullptr;
  platform::TButton* FSameSizeButton = nullptr;
  platform::TButton* FFrontButton = nullptr;
  platform::TButton* FBackButton = nullptr;
  platform::TButton* FDeleteButton = nullptr;
  platform::TButton* FSelectAllButton = nullptr;
  int FNextCommandLeft = 8;
};

}  // namespace demo
