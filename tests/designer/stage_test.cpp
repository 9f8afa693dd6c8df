// The stage's own pieces through real input: the stage sizer moving and
// resizing a panel stage, its fixed modes, the right-click menu, the grid,
// the stage's image, and the ready-made overlay stage.
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "designer/surface_fixture.h"
#include "platform/controls/menus.h"

using namespace platform;
using namespace vel;

namespace {

class StageParts : public SurfaceFixture {
 protected:
  TVelStageSizer* Frame() const { return Manager->StageSizer(); }
};

TEST_F(StageParts, StageSizerFramesTheSelectedStageBehindIt) {
  ASSERT_TRUE(StageSelected());
  EXPECT_EQ(Frame()->Parent(), Form);
  EXPECT_EQ(Frame()->BoundsRect(), (TRect{18, 18, 522, 422}));
  EXPECT_EQ(Frame()->SizerMode(), smSingle);
  // Behind the stage: the stage gets every click inside its client area.
  const TPoint Inside = Frame()->ClientToScreen(Point(100, 100));
  EXPECT_EQ(SendMessage(Frame()->Handle(), WM_NCHITTEST, 0, PointToLParam(Inside)), HTTRANSPARENT);
  const TPoint Corner = Frame()->ClientToScreen(Point(503, 403));
  EXPECT_EQ(SendMessage(Frame()->Handle(), WM_NCHITTEST, 0, PointToLParam(Corner)), HTBOTTOMRIGHT);
}

TEST_F(StageParts, DraggingTheRingMovesTheStageAtButtonUp) {
  ClickAt(At(Stage, 300, 300));
  ASSERT_TRUE(StageSelected());
  const TPoint Ring = At(Frame(), 1, 100);  // on the ring, off the handles
  Drag(Ring, Point(Ring.X + 5, Ring.Y + 5), 5, [&] { EXPECT_EQ(Stage->Left(), 20); });
  EXPECT_EQ(Stage->BoundsRect(), (TRect{25, 25, 525, 425}));
  ProcessMessages();
  EXPECT_EQ(Frame()->BoundsRect(), (TRect{23, 23, 527, 427}));
}

TEST_F(StageParts, DraggingAHandleResizesTheStage) {
  const TPoint Corner = At(Frame(), 503, 403);
  Drag(Corner, Point(Corner.X + 10, Corner.Y + 20), 2);
  EXPECT_EQ(Stage->BoundsRect(), (TRect{20, 20, 530, 440}));
}

TEST_F(StageParts, ControlSizersFollowWhenTheStageMoves) {
  ClickAt(At(Button1, 5, 5));
  const TRect Before = SizerOf(Button1)->BoundsRect();
  Stage->SetBounds(30, 30, 500, 400);
  ProcessMessages();
  // Sizers lie on the stage, so their stage coordinates stay; they refit.
  EXPECT_EQ(SizerOf(Button1)->BoundsRect(), Before);
  EXPECT_EQ(SizerOf(Button1)->ClientToScreen(Point(2, 2)), Button1->ClientToScreen(Point(0, 0)));
}

TEST_F(StageParts, FixedModesRestrictTheStageSizer) {
  auto Hit = [&](int X, int Y) {
    return SendMessage(Frame()->Handle(), WM_NCHITTEST, 0, PointToLParam(Frame()->ClientToScreen(Point(X, Y))));
  };
  Frame()->SetStageSizerMode(ssmFixedTopLeft);
  EXPECT_EQ(Hit(503, 403), HTBOTTOMRIGHT);
  EXPECT_EQ(Hit(503, 202), HTRIGHT);
  EXPECT_EQ(Hit(1, 1), HTCLIENT);
  EXPECT_EQ(Hit(1, 202), HTCLIENT);

  Frame()->SetStageSizerMode(ssmFixed);
  EXPECT_EQ(Hit(503, 403), HTCLIENT);
  // Neither a drag of the ring nor the drag-move command moves the stage.
  const TPoint Ring = At(Frame(), 1, 100);
  Drag(Ring, Point(Ring.X + 5, Ring.Y + 5), 2);
  SendMessage(Frame()->Handle(), WM_SYSCOMMAND, SC_DRAGMOVE, 0);
  EXPECT_EQ(Stage->BoundsRect(), (TRect{20, 20, 520, 420}));
}

TEST_F(StageParts, RightClickOnTheStageShowsTheDesignMenu) {
  int Popups = 0;
  NewDesignMenu(Popups);
  RightClickAt(At(Stage, 300, 300));
  EXPECT_EQ(Popups, 1);
}

TEST_F(StageParts, GridSettings) {
  EXPECT_EQ(Manager->GetGridSizeX(), 4);
  EXPECT_EQ(Manager->GetGridSizeY(), 4);
  Manager->SetGridSizeX(0);
  EXPECT_EQ(Manager->GetGridSizeX(), 4);
  Manager->SetGridSizeY(8);
  EXPECT_EQ(Manager->GetGridSizeY(), 8);
  TBitmap* Cell = Manager->StageProxy()->GridTemplate();
  EXPECT_EQ(Cell->Width(), 4);
  EXPECT_EQ(Cell->Height(), 8);
  EXPECT_EQ(Cell->Canvas()->Pixels(0, 0), clBlack);
  EXPECT_NE(Cell->Canvas()->Pixels(2, 2), clBlack);
}

TEST_F(StageParts, GridDotsAreDrawnOnTheStageWhenShown) {
  Manager->SetGridSizeX(10);
  Manager->SetGridSizeY(10);
  const TPoint Dot = At(Stage, 300, 300);
  const TPoint Gap = At(Stage, 305, 305);
  std::unique_ptr<TBitmap> Image(Form->GetFormImage());
  EXPECT_NE(PixelOf(Image.get(), Dot.X, Dot.Y), clBlack);
  Manager->SetDisplayGrid(true);
  ProcessMessages();
  Image.reset(Form->GetFormImage());
  SavePng(Image.get(), "stage_grid.png");
  // A 2 by 2 dot at every grid point, nothing between them.
  EXPECT_EQ(PixelOf(Image.get(), Dot.X, Dot.Y), clBlack);
  EXPECT_EQ(PixelOf(Image.get(), Dot.X - 1, Dot.Y - 1), clBlack);
  EXPECT_NE(PixelOf(Image.get(), Gap.X, Gap.Y), clBlack);
}

TEST_F(StageParts, StageImageOfAPanelStageLeavesTheBitmapAlone) {
  ClickAt(At(Button1, 5, 5));
  TBitmap B;
  B.SetWidth(3);
  B.SetHeight(2);
  Manager->GetStageBitmap(&B);
  EXPECT_EQ(B.Width(), 3);
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button1}));
  TPicture Picture;
  Manager->GetStagePicture(&Picture);
  EXPECT_EQ(Picture.Width(), 0);
}

TEST_F(StageParts, StageImageOfAFormStageDeselectsFirst) {
  auto* FormManager = new TVelDesignManager(Form);
  Manager->SetIsDesigning(false);
  FormManager->SetIsDesigning(true);
  FormManager->SelectControl(Stage, Point(-1, -1), csmSelect, false, true);
  ASSERT_EQ(FormManager->Sizers()->Count(), 1);
  TBitmap B;
  FormManager->GetStageBitmap(&B);
  EXPECT_EQ(FormManager->Sizers()->Count(), 0);
  EXPECT_EQ(B.Width(), Form->ClientWidth());
  EXPECT_EQ(B.Height(), Form->ClientHeight());

  const auto Pdf = std::filesystem::current_path() / "test-output" / "stage_print.pdf";
  std::filesystem::create_directories(Pdf.parent_path());
  std::filesystem::remove(Pdf);
  setenv("VELSTUDIO_PRINT_FILE", Pdf.c_str(), 1);
  FormManager->PrintStage();
  unsetenv("VELSTUDIO_PRINT_FILE");
  EXPECT_GT(std::filesystem::file_size(Pdf), 0u);
}

TEST_F(StageParts, ReadyMadeStagePutsASizerOnEachClick) {
  Manager->SetIsDesigning(false);
  auto* Overlay = new TVelDesignStage(Stage);
  Overlay->SetParent(Stage);
  Overlay->SetAlign(alClient);
  ProcessMessages();
  // Clicks pass through the transparent overlay only where nothing is hit;
  // the overlay lies on top and takes them.
  ClickAt(At(Button1, 5, 5));
  ClickAt(At(Button1, 6, 6));
  ASSERT_EQ(Overlay->Sizers()->Count(), 2);
  EXPECT_EQ(Overlay->Sizers()->GetSizers(0)->Control(), Button1);
  EXPECT_EQ(Overlay->Sizers()->GetSizers(0)->Parent(), Stage);
  EXPECT_EQ(Overlay->Sizers()->GetSizers(1)->SizerMode(), smMulti);
  // All four edges count as inside.
  EXPECT_TRUE(Overlay->PointInControl(Overlay->ScreenToClient(Button1->ClientToScreen(Point(80, 24))), Button1));
  const TPoint Empty = Overlay->ScreenToClient(Stage->ClientToScreen(Point(450, 380)));
  EXPECT_EQ(Overlay->PointedControl(Empty, false), nullptr);
  EXPECT_EQ(Overlay->PointedControl(Empty, true), Stage);
}

}  // namespace
