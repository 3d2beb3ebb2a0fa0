// The help notes and room pictures that follow the focus.
#pragma once

#include <string_view>

namespace halvex::hxp {

struct FocusHelp {
  int controlId;
  int notification;
  int picture;  // control id of the room picture to show, 0 to leave the picture
  std::string_view note;
};

// The help row for an event, or nullptr when the event has none.
const FocusHelp* FindFocusHelp(int controlId, int notification);

}  // namespace halvex::hxp
