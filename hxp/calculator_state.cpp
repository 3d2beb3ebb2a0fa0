#include "hxp/calculator_state.h"

#include "calc/catalogue.h"

namespace halvex::hxp {

RoomInputs room;
LayoutResult layout;
bool layoutComputed = false;

void ResetCalculatorState() {
  room = RoomInputs{};
  layout = LayoutResult{};
  layoutComputed = false;
}

void ComputeLayout() {
  if (ComputeLayoutFor(room, layout)) layoutComputed = true;
}

void FindModel(std::string_view text) { room.modelIndex = FindModelIndex(text, room.modelIndex); }

}  // namespace halvex::hxp
