// HXC as started without arguments, ending at its first painted frame.
#include "hxc/cone_calculator.h"
#include "ui/first_frame.h"
#include "ui/ui.h"

int main(int argc, char** argv) {
  halvex::ui::Application application(argc, argv);
  halvex::ui::benchmark::ExitAfterFirstFrame();
  return halvex::hxc::RunConeCalculator("");
}
