// Text drawing on a bitmap canvas: a form of labels repaints through the
// canvas's layout cache, so repeated captions must stay cheap.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"

using namespace platform;

namespace {

// Draws N captions (a tenth of them distinct) in one pass, as a repaint of N labels does.
void BM_TextOutLabels(benchmark::State& State) {
  const int N = int(State.range(0));
  TBitmap Bitmap(800, 600);
  TCanvas* C = Bitmap.Canvas();
  C->Brush()->SetStyle(bsClear);
  std::vector<std::string> Captions;
  for (int I = 0; I < N; ++I) Captions.push_back("Label" + std::to_string(I % (N / 10 + 1)));
  for (auto _ : State) {
    for (int I = 0; I < N; ++I) C->TextOut((I * 37) % 700, (I * 13) % 580, Captions[size_t(I)]);
  }
  State.SetItemsProcessed(State.iterations() * N);
}
BENCHMARK(BM_TextOutLabels)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// Measuring captions, as auto-sized labels do on every caption change.
void BM_TextExtent(benchmark::State& State) {
  TBitmap Bitmap(10, 10);
  TCanvas* C = Bitmap.Canvas();
  int I = 0;
  for (auto _ : State) benchmark::DoNotOptimize(C->TextExtent("Caption " + std::to_string(I++ % 50)));
}
BENCHMARK(BM_TextExtent);

}  // namespace
