#include <benchmark/benchmark.h>

#include <cstdlib>

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

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  halvex::ui::Application application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
