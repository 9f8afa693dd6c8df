#include "examples/demo/demo_window.h"

#include "platform/rtl/sysutils.h"

namespace demo {

using namespace platform;

namespace {

constexpr int CommandRowHeight = 40;
constexpr int StatusHeight = 26;

}  // namespace

TDemoWindow::TDemoWindow() {
  FForm = Application()->CreateForm<TForm>();
  FForm->SetName("DemoForm");
  FForm->SetCaption("velstudio demo");
  FForm->SetBounds(40, 40, 800, 430);

  FCommands = new TPanel(FForm);
  FCommands->SetName("Commands");
  FCommands->SetCaption("");
  FCommands->SetParent(FForm);
  FCommands->SetHeight(CommandRowHeight);
  FCommands->SetAlign(alTop);

  FDesignButton = AddCommand("DesignButton", "Stop designing", 104, [this](TObject*) { ToggleDesigning(); });
  FAlignLeftButton = AddCommand("AlignLeftButton", "Align left", 80, [this](TObject*) {
    Command([this] { FManager->SetSelCtrlDesignAligment(vel::asLeftOrTop, vel::asNoChange); });
  });
  FAlignTopButton = AddCommand("AlignTopButton", "Align top", 80, [this](TObject*) {
    Command([this] { FManager->SetSelCtrlDesignAligment(vel::asNoChange, vel::asLeftOrTop); });
  });
  FSameSizeButton = AddCommand("SameSizeButton", "Same size", 80, [this](TObject*) {
    Command([this] { FManager->SetSelCtrlDesignSize(vel::ssToLargest, vel::ssToLargest, 0, 0); });
  });
  FFrontButton = AddCommand("FrontButton", "To front", 80,
                            [this](TObject*) { Command([this] { FManager->BringSelCtrlsToFront(); }); });
  FBackButton = AddCommand("BackButton", "To back", 80,
                           [this](TObject*) { Command([this] { FManager->SendSelCtrlsToBack(); }); });
  FDeleteButton = AddCommand("DeleteButton", "Delete", 80,
                             [this](TObject*) { Command([this] { FManager->DelSelectedControls(); }); });
  FSelectAllButton = AddCommand("SelectAllButton", "Select all", 80, [this](TObject*) {
    if (!FManager->IsDesigning()) return;
    FManager->SelectAllControls();
    Command([] {});
  });

  FStatus = new TPanel(FForm);
  FStatus->SetName("Status");
  FStatus->SetCaption("");
  FStatus->SetParent(FForm);
  FStatus->SetBevelOuter(bvLowered);
  FStatus->SetHeight(StatusHeight);
  FStatus->SetAlign(alBottom);
  FSelectionLabel = new TLabel(FForm);
  FSelectionLabel->SetName("SelectionLabel");
  FSelectionLabel->SetParent(FStatus);
  FSelectionLabel->SetBounds(8, 5, 560, 16);
  FMouseLabel = new TLabel(FForm);
  FMouseLabel->SetName("MouseLabel");
  FMouseLabel->SetParent(FStatus);
  FMouseLabel->SetBounds(580, 5, 210, 16);
  FMouseLabel->SetCaption("Mouse: -");

  // The stage sits inside a plain host, with room around it for the frame
  // that shows the stage itself selected.
  FHost = new TPanel(FForm);
  FHost->SetName("Host");
  FHost->SetCaption("");
  FHost->SetBevelOuter(bvNone);
  FHost->SetParent(FForm);
  FHost->SetAlign(alClient);
  FStage = new TPanel(FForm);
  FStage->SetName("Stage");
  FStage->SetCaption("");
  FStage->SetParent(FHost);
  FStage->SetBounds(12, 12, 776, 340);
  BuildStage();

  FManager = new vel::TVelDesignManager(FStage);
  FCenter = new vel::TVelDesignCenter(FForm);
  FCenter->SetName("DesignCenter");
  FCenter->SetDesignManager(FManager);
  FCenter->OnCompsChange = [this](TObject*) { UpdateSelectionStatus(); };
  FCenter->OnControlsMoved = [this](TObject*) { UpdateSelectionStatus(); };
  FManager->OnStageMouseMove = [this](TObject* Sender, TShiftState, int X, int Y) {
    auto* Over = dynamic_cast<TComponent*>(Sender);
    // A sizer reports for the control it frames.
    if (auto* S = dynamic_cast<vel::TVelSizer*>(Sender); S && S->Control()) Over = S->Control();
    std::string Text = "Mouse: " + IntToStr(X) + ", " + IntToStr(Y);
    if (Over && !Over->Name().empty()) Text += " over " + Over->Name();
    FMouseLabel->SetCaption(Text);
  };
  FManager->SetIsDesigning(true);
  // Deleting reports no selection change: the status line catches up when the program is idle.
  Application()->OnIdle = [this](TObject*) { UpdateSelectionStatus(); };
  UpdateSelectionStatus();
}

TDemoWindow::~TDemoWindow() {
  // The handlers point back here: none may run while the form goes.
  Application()->OnIdle = nullptr;
  FCenter->OnCompsChange = nullptr;
  FCenter->OnControlsMoved = nullptr;
  FManager->OnStageMouseMove = nullptr;
  delete FForm;
}

TButton* TDemoWindow::AddCommand(const std::string& Name, const std::string& Caption, int Width,
                                 const TNotifyEvent& OnClick) {
  auto* B = new TButton(FForm);
  B->SetName(Name);
  B->SetCaption(Caption);
  B->SetParent(FCommands);
  B->SetBounds(FNextCommandLeft, 8, Width, 24);
  B->OnClick = OnClick;
  FNextCommandLeft += Width + 6;
  return B;
}

template <class T>
T* TDemoWindow::Add(const std::string& Name, TWinControl* Parent, int X, int Y, int W, int H,
                    const std::string& Caption) {
  auto* C = new T(FStage);
  C->SetName(Name);
  C->SetParent(Parent);
  C->SetBounds(X, Y, W, H);
  C->SetCaption(Caption);
  return C;
}

void TDemoWindow::BuildStage() {
  // A sign-up form as an application might carry it, a little untidy: the
  // check boxes do not line up yet.
  Add<TLabel>("LabelName", FStage, 16, 18, 70, 16, "Name:");
  Add<TEdit>("EditName", FStage, 96, 14, 180, 24)->SetText("Ada Lovelace");
  Add<TLabel>("LabelMail", FStage, 16, 50, 70, 16, "E-mail:");
  Add<TEdit>("EditMail", FStage, 96, 46, 180, 24)->SetText("ada@example.org");
  Add<TCheckBox>("CheckNews", FStage, 22, 90, 200, 20, "Send me the newsletter");
  Add<TCheckBox>("CheckTerms", FStage, 16, 116, 200, 20, "I accept the terms")->SetChecked(true);
  Add<TCheckBox>("CheckRemember", FStage, 30, 142, 200, 20, "Remember me");

  auto* Delivery = Add<TGroupBox>("GroupDelivery", FStage, 300, 10, 170, 112, "Delivery");
  Add<TRadioButton>("RadioPost", Delivery, 12, 24, 140, 20, "Post")->SetChecked(true);
  Add<TRadioButton>("RadioCourier", Delivery, 12, 50, 140, 20, "Courier");
  Add<TRadioButton>("RadioPickup", Delivery, 12, 76, 140, 20, "Pick-up");

  auto* Notes = Add<TPanel>("PanelNotes", FStage, 300, 134, 170, 92, "");
  Add<TLabel>("LabelNotes", Notes, 10, 10, 150, 16, "Notes for the courier");
  Add<TButton>("ButtonClear", Notes, 10, 54, 80, 26, "Clear");

  auto* Countries = Add<TListBox>("ListCountry", FStage, 490, 10, 110, 150);
  for (const char* Country : {"Austria", "Belgium", "Denmark", "France", "Germany", "Italy", "Norway", "Spain"})
    Countries->Items()->Add(Country);
  Countries->SetItemIndex(3);

  Add<TButton>("ButtonOK", FStage, 16, 296, 80, 26, "OK");
  Add<TButton>("ButtonCancel", FStage, 104, 296, 80, 26, "Cancel");
}

TControl* TDemoWindow::StageControl(const std::string& Name) const {
  return dynamic_cast<TControl*>(FStage->FindComponent(Name));
}

void TDemoWindow::Command(const std::function<void()>& Action) {
  if (!FManager->IsDesigning()) return;
  // The arrangement commands work on the manager's list of the selection.
  FManager->FillSelectedComps();
  const vel::TVelSizerList* Sizers = FManager->Sizers();
  if (Sizers->Count() > 0) Action();
  FManager->RefreshSizers();
  FManager->FillSelectedComps();
  UpdateSelectionStatus();
  // The command button took the keyboard: the selection gets it back, for
  // Ctrl+arrows and Delete.
  if (Sizers->Count() > 0)
    if (vel::TVelSizer* S = Sizers->GetSizers(0); S && S->HandleAllocated()) S->SetFocus();
}

void TDemoWindow::ToggleDesigning() {
  const bool Designing = !FManager->IsDesigning();
  FManager->SetIsDesigning(Designing);
  FDesignButton->SetCaption(Designing ? "Stop designing" : "Design");
  for (TButton* B :
       {FAlignLeftButton, FAlignTopButton, FSameSizeButton, FFrontButton, FBackButton, FDeleteButton, FSelectAllButton})
    B->SetEnabled(Designing);
  UpdateSelectionStatus();
}

std::string TDemoWindow::SelectionText() const {
  std::string Text;
  const vel::TVelSizerList* Sizers = FManager->Sizers();
  for (int I = 0; I < Sizers->Count(); ++I)
    if (const vel::TVelSizer* S = Sizers->GetSizers(I); S && S->Control())
      Text += (Text.empty() ? "" : ", ") + S->Control()->Name();
  if (!Text.empty()) return Text;
  // The stage: framed by the stage sizer, or left as the whole selection by a deletion.
  const platform::TComponentList* Common = FCenter->SelCompList();
  if ((FManager->StageSizer() && FManager->StageSizer()->Control() == FStage) ||
      (Common->Count() == 1 && Common->Items(0) == FStage))
    Text = FStage->Name();
  return Text;
}

void TDemoWindow::UpdateSelectionStatus() {
  if (!FManager->IsDesigning()) {
    const std::string Text = "Not designing: the controls work as in the application";
    if (Text != FSelectionLabel->Caption()) FSelectionLabel->SetCaption(Text);
    return;
  }
  std::string Text = "Selected: " + (SelectionText().empty() ? std::string("nothing") : SelectionText());
  const vel::TVelSizerList* Sizers = FManager->Sizers();
  if (Sizers->Count() == 1)
    if (const TControl* C = Sizers->GetSizers(0)->Control()) {
      const TRect B = C->BoundsRect();
      Text += "  (" + IntToStr(B.Left) + ", " + IntToStr(B.Top) + ", " + IntToStr(B.Width()) + " x " +
              IntToStr(B.Height()) + ")";
    }
  if (Text != FSelectionLabel->Caption()) FSelectionLabel->SetCaption(Text);
}

}  // namespace demo
