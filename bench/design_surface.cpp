// The design surface under load: N controls of mixed classes on one designed
// stage, driven by real input on the headless window system. Every figure
// includes the posted messages the operation causes and the stage's repaint,
// so it is what a user waits for.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "designer/VelDesigner.h"
#include "platform/backend/headless.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdctrls.h"
#include "platform/win/backend.h"

using namespace platform;
using namespace vel;

namespace {

constexpr int CellW = 18, CellH = 12, Margin = 20;

void Pump() { Application()->ProcessMessages(); }

/// A shown form with a designed panel stage holding N controls (buttons,
/// edits, labels, panels and check boxes in turn) on a grid, all owned by
/// the stage and all its direct children.
class TSurface {
 public:
  explicit TSurface(int N) {
    UseHeadlessBackend();
    const int Cols = int(std::ceil(std::sqrt(N * 1.5)));
    const int Rows = (N + Cols - 1) / Cols;
    const int W = Cols * CellW + 2 * Margin, H = Rows * CellH + 2 * Margin;
    Form = new TForm(Application());
    Form->SetBounds(0, 0, W + 20, H + 20);
    Form->SetClientWidth(W + 10);
    Form->SetClientHeight(H + 10);
    Form->Show();
    Stage = new TPanel(Form);
    Stage->SetName("Stage");
    Stage->SetParent(Form);
    Stage->SetBounds(5, 5, W, H);
    for (int I = 0; I < N; ++I) {
      TControl* C = nullptr;
      switch (I % 5) {
        case 0:
          C = new TButton(Stage);
          break;
        case 1:
          C = new TEdit(Stage);
          break;
        case 2: {
          auto* L = new TLabel(Stage);
          L->SetAutoSize(false);
          C = L;
          break;
        }
        case 3:
          C = new TPanel(Stage);
          break;
        default:
          C = new TCheckBox(Stage);
          break;
      }
      C->SetName("C" + std::to_string(I));
      C->SetParent(Stage);
      Controls.push_back(C);
    }
    FCols = Cols;
    Regrid();
    Manager = new TVelDesignManager(Stage);
    Manager->SetIsDesigning(true);
    Pump();
  }
  ~TSurface() {
    delete Form;
    Pump();
  }
  TSurface(const TSurface&) = delete;
  TSurface& operator=(const TSurface&) = delete;

  /// A point of the stage's client area, in the form's client coordinates.
  TPoint OnStage(int X, int Y) const { return Form->ScreenToClient(Stage->ClientToScreen(Point(X, Y))); }
  /// The middle of the first control, in the form's client coordinates.
  TPoint Grip() const { return OnStage(Margin + (CellW - 4) / 2, Margin + (CellH - 4) / 2); }

  void MoveTo(TPoint P) {
    InjectMouseMove(Form->Handle(), P);
    Pump();
  }
  void Press(TPoint P) {
    // Well apart from the last press, so that no press makes a double click.
    UseHeadlessBackend().AdvanceTime(5000);
    InjectMouseMove(Form->Handle(), P);
    InjectMouseButton(Form->Handle(), TInputButton::Left, true, P);
    Pump();
  }
  void Release(TPoint P) {
    InjectMouseButton(Form->Handle(), TInputButton::Left, false, P);
    Pump();
  }
  void SelectAll() {
    Manager->SelectAllControls();
    Pump();
  }
  void SelectNothing() {
    Manager->DeselectAll();
    Pump();
  }
  /// Puts every control back on its place of the grid.
  void Regrid() {
    for (std::size_t I = 0; I < Controls.size(); ++I)
      Controls[I]->SetBounds(Margin + int(I) % FCols * CellW, Margin + int(I) / FCols * CellH, CellW - 4, CellH - 4);
    Pump();
  }
  int SizerCount() const { return Manager->Sizers()->Count(); }

  TForm* Form = nullptr;
  TPanel* Stage = nullptr;
  TVelDesignManager* Manager = nullptr;
  std::vector<TControl*> Controls;

 private:
  int FCols = 1;
};

void SetCounters(benchmark::State& State, int N) {
  State.counters["N"] = N;
  State.SetComplexityN(N);
}

// Select all on a stage where only the stage was selected.
void BM_SelectAll(benchmark::State& State) {
  const int N = int(State.range(0));
  TSurface S(N);
  for (auto _ : State) {
    S.SelectAll();
    State.PauseTiming();
    if (S.SizerCount() != N) {
      State.SkipWithError("select all missed controls");
      break;
    }
    S.SelectNothing();
    State.ResumeTiming();
  }
  SetCounters(State, N);
}

// One mouse step while the whole selection is dragged: the dragged sizer
// moves and posts the step to every other sizer, which follow; the figure
// ends when every step is handled and the stage has repainted.
void BM_DragStep(benchmark::State& State) {
  const int N = int(State.range(0));
  TSurface S(N);
  S.SelectAll();
  const TPoint Grip = S.Grip();
  S.Press(Grip);
  int Dx = 1;
  for (auto _ : State) {
    S.MoveTo(Point(Grip.X + Dx, Grip.Y));
    Dx = Dx == 1 ? 2 : 1;
  }
  S.Release(Point(Grip.X + (Dx == 1 ? 2 : 1), Grip.Y));
  // Every control must have followed the drag.
  const int Moved = int(std::count_if(S.Controls.begin(), S.Controls.end(),
                                      [](TControl* C) { return (C->Left() - Margin) % CellW != 0; }));
  if (Moved != N) State.SkipWithError("not every control followed the drag");
  SetCounters(State, N);
}

// The end of a drag: the button goes up and every sizer writes its bounds
// back to its control; the figure ends when the posted reports are handled
// and the stage has repainted.
void BM_DragEnd(benchmark::State& State) {
  const int N = int(State.range(0));
  TSurface S(N);
  S.SelectAll();
  const TPoint Grip = S.Grip();
  int Dx = 1;
  for (auto _ : State) {
    State.PauseTiming();
    const TPoint From = Point(Grip.X + (Dx == 1 ? 0 : 1), Grip.Y);
    const TPoint To = Point(From.X + Dx, Grip.Y);
    S.Press(From);
    S.MoveTo(To);
    State.ResumeTiming();
    S.Release(To);
    Dx = -Dx;
  }
  if (S.SizerCount() != N) State.SkipWithError(("the drag kept " + std::to_string(S.SizerCount()) + " sizers").c_str());
  SetCounters(State, N);
}

// A rubber band from the stage's top-left corner over the whole stage: press,
// one move, release, and the selection of every control inside.
void BM_RubberBand(benchmark::State& State) {
  const int N = int(State.range(0));
  TSurface S(N);
  const TPoint From = S.OnStage(4, 4);
  const TPoint To = S.OnStage(S.Stage->ClientWidth() - 4, S.Stage->ClientHeight() - 4);
  for (auto _ : State) {
    S.Press(From);
    S.MoveTo(To);
    S.Release(To);
    State.PauseTiming();
    if (S.SizerCount() != N) {
      State.SkipWithError(("the rubber band selected " + std::to_string(S.SizerCount())).c_str());
      break;
    }
    S.SelectNothing();
    State.ResumeTiming();
  }
  SetCounters(State, N);
}

// Aligning the whole selection to its left edge, after a paused reset of the
// grid, so every control outside the first column moves.
void BM_Align(benchmark::State& State) {
  const int N = int(State.range(0));
  TSurface S(N);
  S.SelectAll();
  S.Manager->FillSelectedComps();
  for (auto _ : State) {
    State.PauseTiming();
    S.Regrid();
    State.ResumeTiming();
    S.Manager->SetSelCtrlDesignAligment(asLeftOrTop, asNoChange);
    Pump();
  }
  SetCounters(State, N);
}

// Equal horizontal spacing of the whole selection, after a paused alignment
// that stacks the controls again.
void BM_SpaceEqual(benchmark::State& State) {
  const int N = int(State.range(0));
  TSurface S(N);
  S.SelectAll();
  S.Manager->FillSelectedComps();
  for (auto _ : State) {
    State.PauseTiming();
    S.Manager->SetSelCtrlDesignAligment(asLeftOrTop, asNoChange);
    Pump();
    State.ResumeTiming();
    S.Manager->SetSelCtrlDesignAligment(asSpaceEqual, asNoChange);
    Pump();
  }
  SetCounters(State, N);
}

#define VEL_SURFACE_BENCH(Fn) BENCHMARK(Fn)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity()

VEL_SURFACE_BENCH(BM_SelectAll);
VEL_SURFACE_BENCH(BM_DragStep);
VEL_SURFACE_BENCH(BM_DragEnd);
VEL_SURFACE_BENCH(BM_RubberBand);
VEL_SURFACE_BENCH(BM_Align);
VEL_SURFACE_BENCH(BM_SpaceEqual);

}  // namespace
