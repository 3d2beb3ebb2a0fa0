// Reading a project file: the header row names the columns, every later
// row is one room, read as the calculator reads typed fields.
#pragma once

#include <string>
#include <string_view>

#include "hxplan/options.h"
#include "hxplan/project.h"

namespace halvex::plan {

// Whether a field holds a number as a typed field is read (blanks around it
// allowed): "12", "-3.5", ".5e1", "&HFF". Text that ParseNumber would read
// as 0 without being "0" is not a number here.
bool IsNumberText(std::string_view text);

// Reads a project: a header row naming the columns room, length, width,
// ear_level, ceiling and spl, optionally deviation, model and zone, in any
// order and case. Empty deviation and model cells take the command line's
// --deviation and --model; lengths are metres when `metric`. Returns false
// with a message when the text is not a project at all (empty, binary, no
// header); bad rows only add errors.
bool ReadProject(std::string_view text, const Options& options, bool metric, Project& project, std::string& error);

// Files larger than this are refused before they are read.
inline constexpr std::size_t kMaxProjectBytes = std::size_t{256} << 20;

}  // namespace halvex::plan
