// HXP's program-wide state: the room inputs that the window owns, the layout
// result that the calculation writes, and whether there is a result yet. Set
// to its start values by ResetCalculatorState at every start-up.
#pragma once

#include <string_view>

#include "calc/layout.h"

namespace halvex::hxp {

extern RoomInputs room;
extern LayoutResult layout;
// False until ComputeLayout has produced a result: while the ceiling has
// never been above the ear level there is nothing to show.
extern bool layoutComputed;

void ResetCalculatorState();

// The whole calculation on the room inputs; the result is kept as it was when
// the ceiling is not above the ear level.
void ComputeLayout();

// Selects the model whose name is `text` (the selected list entry's text);
// text that names no model keeps the selection.
void FindModel(std::string_view text);

}  // namespace halvex::hxp
