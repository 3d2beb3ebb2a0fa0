// What both backends do to a message before they show it.
#pragma once

#include <string>
#include <string_view>

namespace halvex::ui {

// A word (a run without blanks or line ends) longer than `width` characters
// gets a line end after its last path separator ('/' or '\') within each
// `width` characters, or at `width` where it has none: a long path wraps
// instead of making a message box wider than the screen. Other text is kept.
//   BreakLongWords("see /a/b/c", 4) == "see /a/\nb/c"
std::string BreakLongWords(std::string_view text, std::size_t width = 60);

}  // namespace halvex::ui
