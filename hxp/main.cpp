#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "hxp/calculator.h"
#include "launcher/handoff/handoff.h"
#include "ui/ui.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  // The command line as the launcher wrote it: the C runtime's arguments
  // would have lost the double quotes the value splitter reads.
  const std::string argumentText(halvex::handoff::ArgumentText(::GetCommandLineA()));
#else
  // The text after the program name: its arguments joined by one blank, with
  // the blanks in front dropped as the program name's separator would be.
  std::string commandLine = "HXP";
  for (int i = 1; i < argc; ++i) (commandLine += ' ') += argv[i];
  const std::string argumentText(halvex::handoff::ArgumentText(commandLine));
#endif

  ui::Application application(argc, argv);
  return halvex::hxp::RunCalculator(argumentText);
}
