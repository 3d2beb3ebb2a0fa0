#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/ui.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
#ifndef _WIN32
  setenv("QT_QPA_PLATFORM", "offscreen", 0);  // real widgets, no display needed
#endif
  ui::Application app(argc, argv);
  return RUN_ALL_TESTS();
}
