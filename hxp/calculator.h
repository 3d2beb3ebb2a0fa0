// HXP, the planar calculator: its start-up, its one window and the handling
// of every event in it.
#pragma once

#include <string_view>

#include "ui/ui.h"

namespace halvex::hxp {

// Program-wide state of the calculator window.
extern ui::Window* calculatorWindow;

// The whole program: builds the window from the command line's argument
// text ("12,4,30,25,95"), runs it until it is closed, and cleans up. Returns
// 1 when the values could not be saved on closing (the user has been told),
// else 0.
int RunCalculator(std::string_view argumentText);

// The program from its command line (platform::CommandLine): the argument
// text is what follows the program name and the blanks after it.
int CalculatorMain(int argc, char** argv);

// The start-up steps before the window is shown: window, controls, fonts,
// command-line values, lists, pictures, first calculation and results.
void StartCalculator(std::string_view argumentText);
// Deletes the fonts and the window.
void FinishCalculator();

// Stores the changed input, recalculates and refreshes what it can affect;
// writes the hand-off file on the close command. Always 0.
int HandleCalculatorEvent(const ui::Event& event);

void ShowDiagram();
void ShowModelResults();
void ShowLimitWarning();
void ShowFocusHelp(int controlId, int notification);

}  // namespace halvex::hxp
