// The launcher program: everything but the window layer's set-up lives in
// the launcher library.
#include "launcher/launcher.h"
#include "ui/ui.h"

int main(int argc, char** argv) {
  halvex::ui::Application application(argc, argv);
  return halvex::launcher::RunLauncher();
}
