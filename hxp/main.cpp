#include "hxp/calculator.h"

#ifdef _WIN32
#include <windows.h>

#include <string>

#include "handoff/handoff.h"
#include "ui/ui.h"

int main(int argc, char** argv) {
  // The command line as the launcher wrote it: the C runtime's arguments
  // would have lost the double quotes the value splitter reads.
  const std::string argumentText(halvex::handoff::ArgumentText(::GetCommandLineA()));
  halvex::ui::Application application(argc, argv);
  return halvex::hxp::RunCalculator(argumentText);
}
#else
int main(int argc, char** argv) { return halvex::hxp::CalculatorMain(argc, argv); }
#endif
