// The launcher as started, ending at its first painted frame (the notice).
#include "launcher/launcher.h"
#include "ui/first_frame.h"
#include "ui/ui.h"

int main(int argc, char** argv) {
  halvex::ui::Application application(argc, argv);
  halvex::ui::benchmark::ExitAfterFirstFrame();
  return halvex::launcher::RunLauncher();
}
