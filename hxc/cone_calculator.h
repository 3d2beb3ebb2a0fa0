// HXC, the cone calculator: its start-up, its one window and the handling of
// every event in it.
#pragma once

#include <string_view>

#include "cone/layout.h"
#include "coverage/coverage.h"
#include "ui/ui.h"

namespace halvex::hxc {

// Program-wide state of the window: the inputs it shows, and the layout and
// level while there is one (status kPlanned).
extern ui::Window* coneWindow;
extern cone::ConeInputs inputs;
extern cone::ConeStatus status;
extern cone::ConeLayout layout;
extern CoverageMap levels;

// The share of the floor within the target is taken at HXP's default
// deviation; the window shows the lowest and highest level and their spread.
inline constexpr double kLevelDeviation = 3;

// The whole program: builds the window from the command line's argument text
// ("12,4,30,25,95"), runs it until it is closed, and cleans up. Returns 1 when
// the values could not be saved on closing (the user has been told), else 0.
int RunConeCalculator(std::string_view argumentText);
int ConeCalculatorMain(int argc, char** argv);

// The start-up steps before the window is shown, and the clean-up after.
void StartConeCalculator(std::string_view argumentText);
void FinishConeCalculator();

// Stores the changed input and recalculates; writes the hand-off file on the
// close command. Always 0.
int HandleConeEvent(const ui::Event& event);

// Calculates from the stored inputs and shows every result, the warning and
// the plan.
void Recalculate();

}  // namespace halvex::hxc
