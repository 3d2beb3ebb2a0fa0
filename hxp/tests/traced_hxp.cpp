// HXP as it ships, but with every text that its window shows appended to the
// file named by HALVEX_UI_TRACE: how the end-to-end test under a real display
// reads what the window shows.
#include <cstdlib>

#include "hxp/calculator.h"
#include "ui/testing.h"

int main(int argc, char** argv) {
  if (const char* path = std::getenv("HALVEX_UI_TRACE")) halvex::ui::testing::TraceTextsTo(path);
  return halvex::hxp::CalculatorMain(argc, argv);
}
