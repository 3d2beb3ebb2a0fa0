#include <benchmark/benchmark.h>

#include <cstdlib>

#include "hxc/cone_calculator.h"
#include "hxc/cone_window.h"
#include "hxp/calculator.h"
#include "hxp/calculator_window.h"
#include "ui/testing.h"
#include "ui/ui.h"

namespace {

using namespace halvex::hxp;
namespace t = halvex::ui::testing;

// Alternately types a digit and takes it back, so every iteration is one
// keystroke that changes the field and recalculates.
void TypeAndTakeBack(benchmark::State& state, int field) {
  StartCalculator("");
  halvex::ui::ShowWindow(calculatorWindow);
  t::Focus(calculatorWindow, field);
  t::Press(calculatorWindow, field, t::Key::End);
  bool typed = false;
  for (auto _ : state) {
    if (typed) {
      t::Press(calculatorWindow, field, t::Key::Backspace);
    } else {
      t::Type(calculatorWindow, field, "1");
    }
    typed = !typed;
    t::ProcessEvents();  // includes the repaint the change asked for
  }
  FinishCalculator();
}

void BM_KeystrokeInSplField(benchmark::State& state) { TypeAndTakeBack(state, kTargetSpl); }
// The ear level runs every refresh step, the warning included. (The first
// "51" is corrected to " 8"; from then on the field alternates " 81" and
// " 8", both corrected or not as the ceiling says.)
void BM_KeystrokeInEarLevelField(benchmark::State& state) { TypeAndTakeBack(state, kEarLevel); }

BENCHMARK(BM_KeystrokeInSplField);
BENCHMARK(BM_KeystrokeInEarLevelField);

// HXC on the cone calculation's largest everyday room: 100 x 100 ft, ceiling
// 10 ft, ear level 4 ft, C8P centre to centre on a hexagonal grid (330
// loudspeakers, 40,000 cells of level). A keystroke in the SPL field redoes
// the layout, the level over the floor, the texts and the plan, and the
// repaint shows them.
void BM_ConeKeystroke100x100(benchmark::State& state) {
  namespace hxc = halvex::hxc;
  hxc::StartConeCalculator("10,4,100,100,90");
  halvex::ui::ShowWindow(hxc::coneWindow);
  t::Choose(hxc::coneWindow, hxc::kModelList, 6);
  t::Choose(hxc::coneWindow, hxc::kPatternList, 2);
  t::Choose(hxc::coneWindow, hxc::kGridList, 1);
  if (hxc::layout.total != 330) state.SkipWithError("not the room of 330 loudspeakers");
  t::Focus(hxc::coneWindow, hxc::kTargetSpl);
  t::Press(hxc::coneWindow, hxc::kTargetSpl, t::Key::End);
  bool typed = false;
  for (auto _ : state) {
    if (typed) {
      t::Press(hxc::coneWindow, hxc::kTargetSpl, t::Key::Backspace);
    } else {
      t::Type(hxc::coneWindow, hxc::kTargetSpl, "1");
    }
    typed = !typed;
    t::ProcessEvents();
  }
  hxc::FinishConeCalculator();
}

BENCHMARK(BM_ConeKeystroke100x100)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  halvex::ui::Application application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
