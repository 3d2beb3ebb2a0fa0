#include <string>

#include "hxp/calculator.h"
#include "handoff/handoff.h"
#include "ui/ui.h"

int main(int argc, char** argv) {
  // The text after the program name: its arguments joined by one blank, with
  // the blanks in front dropped as the program name's separator would be.
  std::string commandLine = "HXP";
  for (int i = 1; i < argc; ++i) (commandLine += ' ') += argv[i];
  const std::string argumentText(halvex::handoff::ArgumentText(commandLine));

  halvex::ui::Application application(argc, argv);
  return halvex::hxp::RunCalculator(argumentText);
}
