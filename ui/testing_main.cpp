// The main of every test program that opens windows: real widgets on the
// offscreen platform unless a display is asked for.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/ui.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
#ifndef _WIN32
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
#endif
  halvex::ui::Application application(argc, argv);
  return RUN_ALL_TESTS();
}
