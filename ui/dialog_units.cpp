// The pixel arithmetic of the window layer, the same for every toolkit.
#include "ui/ui.h"

namespace halvex::ui {

Rect DialogToPixels(const Rect& units, int dpi) {
  // Base units at 96 dpi: 6 pixels across (a quarter gives one horizontal
  // unit) and 13 down (an eighth gives one vertical unit).
  auto mapX = [dpi](long long du) { return static_cast<int>((2 * du * 6 * dpi + 384) / 768); };
  auto mapY = [dpi](long long du) { return static_cast<int>((2 * du * 13 * dpi + 768) / 1536); };
  const int left = mapX(units.x), top = mapY(units.y);
  return {left, top, mapX(units.x + units.w) - left, mapY(units.y + units.h) - top};
}

int FontPixelHeight(int points, int dpi) { return points * dpi / 72; }

}  // namespace halvex::ui
