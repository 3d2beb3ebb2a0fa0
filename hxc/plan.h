// The plan the window draws: the room to scale, every loudspeaker with its
// coverage circle at ear level, and the first loudspeaker's distances from
// the walls. Plain shapes for the window layer, from the calculation alone.
#pragma once

#include <vector>

#include "cone/layout.h"
#include "ui/ui.h"

namespace halvex::hxc {

// Above this many loudspeakers the plan shows the room and says how many
// there are: the circles would be too small to see and too many to draw at
// every keystroke.
inline constexpr double kMaxDrawnLoudspeakers = 2000;

// The plan in an area of `width` x `height` drawing units (ui::Shape). The
// room's length runs left to right, its width bottom to top; the first
// loudspeaker is the one nearest the lower left corner. Without a layout
// (`layout` null) only the area's frame is drawn, with `message` in it.
std::vector<ui::Shape> PlanShapes(const cone::ConeInputs& inputs, const cone::ConeLayout* layout, double width,
                                  double height, const std::string& message);

}  // namespace halvex::hxc
