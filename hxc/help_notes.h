// The help notes and room pictures that follow the focus, as in HXP: a
// picture marks the dimension a room field sets, a note says what to enter.
#pragma once

#include <string_view>

namespace halvex::hxc {

struct FocusHelp {
  int controlId;
  int notification;
  int picture;  // control id of the room picture to show
  std::string_view note;
};

// The help row for an event, or nullptr when the event has none.
const FocusHelp* FindFocusHelp(int controlId, int notification);

}  // namespace halvex::hxc
