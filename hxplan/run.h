// The whole program hxplan, from its arguments to what it prints.
#pragma once

#include <string>
#include <vector>

#include "hxplan/output.h"

namespace halvex::plan {

// Writes to `out` and `err` as the plan is made and returns the exit status:
// 0 done, 1 rows not planned, a file not written or (with --strict) a
// coverage that fails, 2 bad use or a room that cannot be planned. With
// --json a run that ends before any plan prints {"error": ...} on `out`.
int Run(const std::vector<std::string>& arguments, TextSink& out, TextSink& err);
int Run(const std::vector<std::string>& arguments, std::string& out, std::string& err);

}  // namespace halvex::plan
