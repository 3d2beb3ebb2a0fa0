// Starting a calculator as a child process and noticing its end, without the
// window layer: the launcher waits through ui::WaitResponsively and asks
// platform::HasEnded on every turn.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace halvex::launcher {

using platform::EndSignal;
using platform::HasEnded;
using platform::OwnDirectory;

// Where a program named `name` is found: in `ownDirectory` first, then in each
// directory of `searchPath` (separated by platform::SearchPathSeparator()) in
// turn. Empty entries of the search path are skipped: the current directory
// is never searched unless the path names it. A candidate must be a file the
// process may run (platform::Runnable). Returns the path, or empty with
// `error` set to EACCES when a candidate was found but none could be run, or
// ENOENT when there was none.
//   FindProgram("HXP", "/opt/hx", "/usr/bin::/bin", e) == "/opt/hx/HXP"  (when there)
//   FindProgram("HXP", "/opt/hx", "", e) == "" with e == ENOENT          (when not)
std::string FindProgram(std::string_view name, std::string_view ownDirectory, std::string_view searchPath,
                        int& error);

// Starts `name`, looked up by FindProgram in the launcher's own folder and
// the search path, with the command line "<name> <argument>" (blanks and
// commas in the argument kept), in the current directory. Returns the
// child's id, or platform::kNoProcess with the reason in `error` (an errno
// value).
platform::ProcessId StartProgram(std::string_view name, const std::string& argument, int& error);

}  // namespace halvex::launcher
