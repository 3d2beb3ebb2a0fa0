// The whole program hxplan, from its arguments to what it prints.
#pragma once

#include <string>
#include <vector>

namespace halvex::plan {

// Writes to `out` and `err` and returns the exit status: 0 done, 1 rows not
// planned or a file not written, 2 bad use or a room that cannot be planned.
int Run(const std::vector<std::string>& arguments, std::string& out, std::string& err);

}  // namespace halvex::plan
